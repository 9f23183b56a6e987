#include "schedule/ShutdownCountdown.h"

#include "config/ApplicationTitle.h"
#include "config/FormTimer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace koro {

ShutdownCountdown::ShutdownCountdown(int seconds, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_left(seconds) {
    setObjectName("ShutdownCountdown");
    setWindowTitle(applicationTitle());
    m_text = new QLabel(this);
    m_text->setObjectName("CountdownText");
    m_text->setTextFormat(Qt::PlainText);
    auto* now = new QPushButton(QStringLiteral("立即关机"), this);
    now->setObjectName("ButtonPowerOffNow");
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName("ButtonCancelPowerOff");
    // Enter must not switch the computer off by accident.
    cancel->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(now);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(12);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    connect(now, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Esc and the close box reject it as 取消 does; either way it ends once.
    connect(this, &QDialog::accepted, this, &ShutdownCountdown::powerOffRequested);
    connect(this, &QDialog::rejected, this, &ShutdownCountdown::cancelled);
    connect(this, &QDialog::finished, this, [this] {
        m_tick.stop();
        deleteLater();
    });

    using namespace std::chrono_literals;
    setUpFormTimer(m_tick, this, "TimerCountdown", 1s, &ShutdownCountdown::tick);
    m_tick.start();
    showLeft();
}

void ShutdownCountdown::showLeft() {
    m_text->setText(QStringLiteral("您设定的关机时间到了。\n计算机将在 %1 秒后关机。\n"
                                   "点「取消」可以取消这次关机。")
                        .arg(m_left));
}

void ShutdownCountdown::tick() {
    if (--m_left > 0)
        showLeft();
    else
        accept();
}

} // namespace koro
