#include "platform/linux/LinuxPowerControl.h"

#include <QDBusMessage>
#include <QDateTime>

namespace koro {

namespace {
constexpr int callTimeoutMs = 5000;
} // namespace

LinuxPowerControl::LinuxPowerControl(QDBusConnection bus)
    : m_bus(std::move(bus)) {}

void LinuxPowerControl::scheduleShutdown(int delaySeconds, const QString& message) {
    // The wall message goes first: logind sends it out when the shutdown is scheduled.
    call(QStringLiteral("SetWallMessage"), {message, true});
    const qint64 whenMs = QDateTime::currentMSecsSinceEpoch() + qint64(delaySeconds) * 1000;
    const auto whenUsec = static_cast<quint64>(std::max<qint64>(whenMs, 0)) * 1000;
    call(QStringLiteral("ScheduleShutdown"),
         {QStringLiteral("poweroff"), QVariant::fromValue<quint64>(whenUsec)});
}

void LinuxPowerControl::powerOffNow() {
    call(QStringLiteral("PowerOff"), {false});
}

void LinuxPowerControl::call(const QString& method, const QVariantList& arguments) {
    if (!m_bus.isConnected())
        return;
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), method);
    message.setArguments(arguments);
    // Waits for the answer so a power-off sent just before the program ends is not lost;
    // the answer itself is of no use.
    m_bus.call(message, QDBus::Block, callTimeoutMs);
}

} // namespace koro
