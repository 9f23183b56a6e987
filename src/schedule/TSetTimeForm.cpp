#include "schedule/TSetTimeForm.h"

#include "config/CodePage.h"
#include "schedule/TimeOfDay.h"
#include "ui_TSetTimeForm.h"

#include <QKeyEvent>

#include <optional>

namespace koro {

namespace {

// Whole numbers of plain digits only: a sign would give a time that can never come.
std::optional<int> fieldValue(const QString& text) {
    if (text.isEmpty())
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

} // namespace

TSetTimeForm::TSetTimeForm(const std::function<void(QWidget*)>& applyLanguage,
                           const QWidget* centreOn)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::TSetTimeForm>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(228, 136);
    m_ui->Edit1->installEventFilter(this);
    m_ui->Edit2->installEventFilter(this);
    connect(m_ui->Buttonok, &QPushButton::clicked, this, &TSetTimeForm::ButtonokClick);
    connect(m_ui->Buttonexit, &QPushButton::clicked, this, &TSetTimeForm::ButtonexitClick);
    if (applyLanguage)
        applyLanguage(this);
    if (centreOn)
        move(centreOn->frameGeometry().center() - rect().center());
}

TSetTimeForm::~TSetTimeForm() = default;

void TSetTimeForm::setViewingMode(const QString& channelName, const QString& channelUrl) {
    m_channelName = channelName;
    m_ui->LabelTvName->setText(channelName);
    m_ui->Labeltvurl->setText(channelUrl);
    m_ui->Buttonok->setProperty(HintProperty, QString::fromLatin1(ViewingHint));
}

void TSetTimeForm::setShutdownMode(const QByteArray& powerOffTime, bool armed) {
    if (armed) {
        m_ui->ButtonCancelPower->show();
        setFixedSize(228, 164);
        connect(m_ui->ButtonCancelPower, &QPushButton::clicked, this, [this] {
            emit powerOffCancelled();
            close();
        });
    }
    m_ui->Label1->setText(QStringLiteral("关机时间:"));
    m_ui->Buttonok->setProperty(HintProperty, QString::fromLatin1(PowerHint));
    m_ui->LabelTvName->setText(QStringLiteral("定时关机设置"));
    if (const auto time = parseTimeOfDay(powerOffTime)) {
        m_ui->Edit1->setText(QString::number(time->hour));
        m_ui->Edit2->setText(QString::number(time->minute));
    }
}

bool TSetTimeForm::CheckTime(int hour, int minute) {
    if (hour <= 23 && minute <= 59)
        return true;
    m_ui->LabelTvName->setText(QStringLiteral("输入有误"));
    return false;
}

void TSetTimeForm::ButtonokClick() {
    const auto hour = fieldValue(m_ui->Edit1->text());
    const auto minute = fieldValue(m_ui->Edit2->text());
    if (!hour || !minute || !CheckTime(*hour, *minute))
        return;
    const QByteArray time =
        codepage::fromUnicode(m_ui->Edit1->text() + QLatin1Char(':') + m_ui->Edit2->text());
    if (m_ui->Buttonok->property(HintProperty).toString() == QLatin1String(ViewingHint)) {
        bool kept = true;
        emit viewingTimeChosen(m_channelName, m_ui->Labeltvurl->text(), time, &kept);
        if (!kept)
            return;
    } else {
        emit powerOffTimeChosen(time);
    }
    close();
}

void TSetTimeForm::ButtonexitClick() {
    close();
}

void TSetTimeForm::keyPressEvent(QKeyEvent* event) {
    // Esc leaves it as a dialog's close does.
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

bool TSetTimeForm::acceptsKey(const QString& typed) {
    if (typed.size() != 1)
        return typed.isEmpty(); // keys that type nothing (arrows, Tab) are not characters
    const QChar c = typed.front();
    return (c >= u'0' && c <= u'9') || c == QChar(8) || c == QChar(13) || c == QChar(27);
}

bool TSetTimeForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_ui->Edit1 || watched == m_ui->Edit2) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Focus moves and Delete are keys, not typed characters.
        const bool editingKey = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                                key->key() == Qt::Key_Delete;
        if (!editingKey && !acceptsKey(key->text()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace koro
