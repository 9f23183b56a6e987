#include "webengine/PageDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace koro {

namespace {

constexpr qsizetype MaxChars = 1500;
constexpr qsizetype MaxLines = 30;
constexpr int MinWidth = 360;

} // namespace

PageDialog::PageDialog(Kind kind, const QUrl& origin, const QString& message, QWidget* owner,
                       const QString& value)
    : QDialog(owner) {
    setWindowTitle(titleFor(origin));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(MinWidth);
    auto* layout = new QVBoxLayout(this);

    auto* text = new QLabel(shownText(message), this);
    text->setObjectName(QStringLiteral("message"));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);

    if (kind == Kind::Prompt) {
        m_value = new QLineEdit(value, this);
        m_value->setObjectName(QStringLiteral("value"));
        m_value->selectAll();
        layout->addWidget(m_value);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    if (kind != Kind::Alert)
        buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString PageDialog::value() const {
    return m_value ? m_value->text() : QString();
}

std::optional<QString> PageDialog::ask(Kind kind, const QUrl& origin, const QString& message,
                                       QWidget* owner, const QString& value) {
    // The owner may go while the dialog waits, and takes the dialog with it.
    QPointer<PageDialog> dialog = new PageDialog(kind, origin, message, owner, value);
    const bool agreed = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return std::nullopt;
    const QString typed = dialog->value();
    delete dialog;
    return agreed ? std::optional<QString>(typed) : std::nullopt;
}

QString PageDialog::titleFor(const QUrl& origin) {
    const QString host = origin.host();
    return host.isEmpty() ? QStringLiteral("网页消息")
                          : QStringLiteral("来自 %1 的网页消息").arg(host);
}

QString PageDialog::shownText(const QString& message) {
    QString text = message.left(MaxChars);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    if (const QStringList lines = text.split(u'\n'); lines.size() > MaxLines)
        text = lines.mid(0, MaxLines).join(u'\n');
    return text.size() < message.size() ? text + QStringLiteral("…") : text;
}

} // namespace koro
