#include "platform/linux/LinuxPowerControl.h"
#include "support/Files.h"

#include <QDBusConnection>
#include <QDateTime>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Stands in for systemd-logind's manager and records the calls it gets. It lives in its own
// thread so that the blocking calls of the code under test get answered.
class MockLogin1 : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    QStringList calls() const {
        QMutexLocker lock(&m_mutex);
        return m_calls;
    }

public slots:
    void SetWallMessage(const QString& message, bool enable) {
        record(QStringLiteral("SetWallMessage %1 %2").arg(message, yesNo(enable)));
    }
    void ScheduleShutdown(const QString& type, qulonglong usec) {
        record(QStringLiteral("ScheduleShutdown %1 %2").arg(type).arg(usec));
    }
    void PowerOff(bool interactive) {
        record(QStringLiteral("PowerOff %1").arg(yesNo(interactive)));
    }

private:
    static QString yesNo(bool value) { return value ? "true" : "false"; }
    void record(const QString& call) {
        QMutexLocker lock(&m_mutex);
        m_calls.append(call);
    }

    mutable QMutex m_mutex;
    QStringList m_calls;
};

// A private message bus that lives for one test; the real system bus is never used.
class PrivateBus {
public:
    bool start() {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            return false;
        const QString config = m_dir.filePath("bus.conf");
        koro::test::writeFile(
            config, QStringLiteral(
                        "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                        "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                        "busconfig.dtd\">\n"
                        "<busconfig><type>session</type><listen>unix:path=%1</listen>"
                        "<auth>EXTERNAL</auth><policy context=\"default\">"
                        "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                        "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                        .arg(m_dir.filePath("bus"))
                        .toUtf8());
        m_daemon.start("dbus-daemon",
                       {"--config-file=" + config, "--nofork", "--print-address=1", "--nopidfile"});
        if (!m_daemon.waitForStarted(10000))
            return false;
        while (!m_daemon.canReadLine())
            if (!m_daemon.waitForReadyRead(10000))
                return false;
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        return !m_address.isEmpty();
    }
    ~PrivateBus() {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished(10000);
        }
    }
    QString address() const { return m_address; }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
    QString m_address;
};

class PowerControlTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bus.start())
            GTEST_SKIP() << "dbus-daemon is not available";
        service = QDBusConnection::connectToBus(bus.address(), "koro-mock-login1");
        ASSERT_TRUE(service.isConnected());
        thread.start();
        mock.moveToThread(&thread);
        ASSERT_TRUE(service.registerObject("/org/freedesktop/login1", &mock,
                                           QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService("org.freedesktop.login1"));
        client = QDBusConnection::connectToBus(bus.address(), "koro-power-client");
        ASSERT_TRUE(client.isConnected());
    }
    void TearDown() override {
        QDBusConnection::disconnectFromBus("koro-power-client");
        QDBusConnection::disconnectFromBus("koro-mock-login1");
        thread.quit();
        thread.wait();
    }

    PrivateBus bus;
    QThread thread;
    MockLogin1 mock;
    QDBusConnection service{QString()};
    QDBusConnection client{QString()};
};

TEST_F(PowerControlTest, PowerOffIsNotInteractive) {
    koro::LinuxPowerControl power(client);
    power.powerOffNow();
    EXPECT_EQ(mock.calls().join(" | ").toStdString(), "PowerOff false");
}

TEST_F(PowerControlTest, AbsentServiceIsIgnored) {
    service.unregisterService("org.freedesktop.login1");
    koro::LinuxPowerControl power(client);
    power.powerOffNow();
    EXPECT_TRUE(mock.calls().isEmpty());
    koro::LinuxPowerControl unconnected(QDBusConnection(QStringLiteral("koro-no-such-bus")));
    unconnected.powerOffNow();
}

} // namespace

#include "test_linux_power.moc"
