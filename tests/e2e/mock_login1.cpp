// Stands in for systemd-logind's manager on the bus named by DBUS_SYSTEM_BUS_ADDRESS (a
// private bus of the test) and prints every call it gets: "login1: <method> <arguments>".
#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <cstdio>

class MockLogin1 : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    void SetWallMessage(const QString& message, bool enable) {
        print(QStringLiteral("SetWallMessage %1 %2").arg(enable ? "true" : "false", message));
    }
    void ScheduleShutdown(const QString& type, qulonglong usec) {
        print(QStringLiteral("ScheduleShutdown %1 %2").arg(type).arg(usec));
    }
    void PowerOff(bool interactive) {
        print(QStringLiteral("PowerOff %1").arg(interactive ? "true" : "false"));
    }

private:
    static void print(const QString& call) {
        std::printf("login1: %s\n", call.toUtf8().constData());
        std::fflush(stdout);
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS")) {
        std::fprintf(stderr, "DBUS_SYSTEM_BUS_ADDRESS must name the test's own bus\n");
        return 2;
    }
    QDBusConnection bus = QDBusConnection::systemBus();
    MockLogin1 mock;
    if (!bus.isConnected() ||
        !bus.registerObject("/org/freedesktop/login1", &mock, QDBusConnection::ExportAllSlots) ||
        !bus.registerService("org.freedesktop.login1"))
        return 1;
    std::printf("login1: ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "mock_login1.moc"
