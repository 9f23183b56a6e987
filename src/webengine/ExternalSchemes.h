#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace koro {

class ShellOpen;

// Whether the page engine loads addresses of this scheme itself; everything else would start
// another program.
bool engineHandlesScheme(const QString& scheme);

// The question put to the user before an address goes to another program; handler is that
// program's name, empty when unknown.
QString externalOpenQuestion(const QUrl& url, const QString& handler);

// Hands addresses that pages ask for but the engine does not handle to the desktop, once the
// user has agreed. Asks one question at a time; requests made meanwhile are dropped, so a page
// cannot pile up questions.
class ExternalOpener : public QObject {
    Q_OBJECT
public:
    // Puts the question and calls answer(true) for Yes. Returns the object that stands for the
    // open question: the question counts as open until answer is called or the object is gone.
    using Ask = std::function<QObject*(QWidget* from, const QString& question,
                                       std::function<void(bool)> answer)>;

    ExternalOpener(ShellOpen& shell, Ask ask, QObject* parent = nullptr);

    // Asks from the event loop, never inside the engine's callback. Local files are never
    // handed over.
    void request(const QUrl& url, QWidget* from);

    bool asking() const { return m_asking; }

    // The question as a message box in front of from's window.
    static QObject* askWithMessageBox(QWidget* from, const QString& question,
                                      std::function<void(bool)> answer);

private:
    void ask(const QUrl& url, QWidget* from);

    ShellOpen& m_shell;
    Ask m_ask;
    bool m_asking = false;
    QPointer<QObject> m_question;
};

} // namespace koro
