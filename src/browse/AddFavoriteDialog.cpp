#include "browse/AddFavoriteDialog.h"

#include "ui_AddFavoriteDialog.h"

#include <QPushButton>

namespace koro {

AddFavoriteDialog::AddFavoriteDialog(const QString& title, const QString& url, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::AddFavoriteDialog>())
    , m_url(url) {
    m_ui->setupUi(this);
    // A page without a title is named after its address.
    const QString trimmed = title.trimmed();
    m_ui->NameEdit->setText(trimmed.isEmpty() ? url : trimmed);
    m_ui->NameEdit->selectAll();
    m_ui->AddressLabel->setText(url);
    connect(m_ui->NameEdit, &QLineEdit::textChanged, this, &AddFavoriteDialog::updateOk);
    updateOk();
}

AddFavoriteDialog::~AddFavoriteDialog() = default;

QString AddFavoriteDialog::name() const {
    return m_ui->NameEdit->text();
}

void AddFavoriteDialog::setName(const QString& name) {
    m_ui->NameEdit->setText(name);
}

void AddFavoriteDialog::updateOk() {
    m_ui->ButtonBox->button(QDialogButtonBox::Ok)->setEnabled(!name().trimmed().isEmpty());
}

} // namespace koro
