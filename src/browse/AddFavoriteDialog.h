#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AddFavoriteDialog;
}

namespace koro {

// Asks for the name under which the current page goes into the Favorites folder; the address
// is shown, not edited. OK stays off while the name is blank.
class AddFavoriteDialog : public QDialog {
    Q_OBJECT
public:
    AddFavoriteDialog(const QString& title, const QString& url, QWidget* parent = nullptr);
    ~AddFavoriteDialog() override;

    QString name() const;
    void setName(const QString& name);
    QString url() const { return m_url; }

private:
    void updateOk();

    std::unique_ptr<Ui::AddFavoriteDialog> m_ui;
    QString m_url;
};

} // namespace koro
