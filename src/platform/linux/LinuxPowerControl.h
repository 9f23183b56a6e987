#pragma once

#include "platform/PowerControl.h"

#include <QDBusConnection>
#include <QVariantList>

namespace koro {

// systemd-logind's manager on the given bus (the system bus in the program, a private bus
// in tests).
class LinuxPowerControl : public PowerControl {
public:
    explicit LinuxPowerControl(QDBusConnection bus = QDBusConnection::systemBus());
    void powerOffNow() override;

private:
    void call(const QString& method, const QVariantList& arguments);

    QDBusConnection m_bus;
};

} // namespace koro
