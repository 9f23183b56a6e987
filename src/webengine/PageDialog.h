#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

#include <optional>

class QLineEdit;

namespace koro {

// A question a page puts to the user (alert, confirm, prompt): titled after the page's host,
// with Chinese buttons, modal to the window that shows the page. The page's text is shown as
// plain text and cut to a size that keeps the buttons on the screen: it is the page's, not ours.
class PageDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Alert, Confirm, Prompt };

    PageDialog(Kind kind, const QUrl& origin, const QString& message, QWidget* owner,
               const QString& value = {});

    // What the prompt's box holds.
    QString value() const;

    // The text typed for a prompt (empty for the others) when the user agreed; nothing when the
    // user declined or the owner went away meanwhile.
    static std::optional<QString> ask(Kind kind, const QUrl& origin, const QString& message,
                                      QWidget* owner, const QString& value = {});

    static QString titleFor(const QUrl& origin);
    static QString shownText(const QString& message);

private:
    QLineEdit* m_value = nullptr;
};

} // namespace koro
