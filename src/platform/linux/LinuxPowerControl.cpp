#include "platform/linux/LinuxPowerControl.h"

#include <QDBusMessage>

namespace koro {

namespace {
constexpr int callTimeoutMs = 5000;
} // namespace

LinuxPowerControl::LinuxPowerControl(QDBusConnection bus)
    : m_bus(std::move(bus)) {}

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
