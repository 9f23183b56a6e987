#include "platform/linux/LinuxMixer.h"
#include "support/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

namespace {

using koro::MixerLine;
using koro::MixerStatus;

using koro::test::writeFile;

// A sound server of the test's own with one null sink, reached through an ALSA configuration
// whose only device is that server: no real sound device can be touched, whatever the
// machine has.
class PrivateSoundServer {
public:
    bool start() {
        if (QStandardPaths::findExecutable("pulseaudio").isEmpty())
            return false;
        m_socket = m_dir.filePath("native");
        QDir(m_dir.path()).mkdir("run");
        QFile::setPermissions(m_dir.filePath("run"), QFileDevice::ReadOwner |
                                                         QFileDevice::WriteOwner |
                                                         QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_dir.path());
        env.insert("XDG_RUNTIME_DIR", m_dir.filePath("run"));
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_dir.filePath("no-bus"));
        env.remove("DISPLAY");
        m_server.setProcessEnvironment(env);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start("pulseaudio",
                       {"-n", "--daemonize=no", "--exit-idle-time=-1",
                        "--load=module-native-protocol-unix auth-anonymous=1 socket=" + m_socket,
                        "--load=module-null-sink sink_name=nullsink"});
        if (!m_server.waitForStarted(10000))
            return false;
        for (int i = 0; i < 200 && !QFileInfo::exists(m_socket); ++i)
            if (m_server.waitForFinished(50))
                return false;
        return QFileInfo::exists(m_socket);
    }
    ~PrivateSoundServer() {
        if (m_server.state() != QProcess::NotRunning) {
            m_server.terminate();
            m_server.waitForFinished(10000);
        }
    }
    QString server() const { return "unix:" + m_socket; }
    QString sinkMute() const {
        QProcess pactl;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PULSE_SERVER", server());
        pactl.setProcessEnvironment(env);
        pactl.start("pactl", {"get-sink-mute", "@DEFAULT_SINK@"});
        pactl.waitForFinished(10000);
        return QString::fromUtf8(pactl.readAllStandardOutput()).trimmed();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_server;
    QString m_socket;
};

// The environment that points sound clients at server through a configuration in folder,
// without any device when asked. ALSA reads its configuration once per process.
QList<QPair<const char*, QString>> soundConfig(const QString& folder, const QString& server,
                                               bool withDevice) {
    writeFile(folder + "/asound.conf",
              withDevice ? "pcm.!default { type pulse }\nctl.!default { type pulse }\n"
                         : "# no devices\n");
    writeFile(folder + "/client.conf", "autospawn = no\n");
    return {{"ALSA_CONFIG_PATH", folder + "/asound.conf"},
            {"PULSE_CLIENTCONFIG", folder + "/client.conf"},
            {"PULSE_SERVER", server}};
}

class LinuxMixerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (qEnvironmentVariableIsSet("KORO_MIXER_CHILD"))
            return;
        server = new PrivateSoundServer;
        if (!server->start()) {
            delete server;
            server = nullptr;
            return;
        }
        config = new QTemporaryDir;
        // Every test here uses this one configuration.
        for (const auto& [name, value] : soundConfig(config->path(), server->server(), true))
            qputenv(name, QFile::encodeName(value));
    }
    static void TearDownTestSuite() {
        delete server;
        delete config;
        server = nullptr;
        config = nullptr;
    }
    void SetUp() override {
        if (!server)
            GTEST_SKIP() << "pulseaudio is not available to stand in for a sound card";
    }

    static PrivateSoundServer* server;
    static QTemporaryDir* config;
    koro::LinuxMixer mixer;
};
PrivateSoundServer* LinuxMixerTest::server = nullptr;
QTemporaryDir* LinuxMixerTest::config = nullptr;

TEST_F(LinuxMixerTest, MasterMuteFollowsTheSoundServer) {
    bool muted = true;
    ASSERT_EQ(mixer.getMute(MixerLine::Master, muted), MixerStatus::Ok);
    EXPECT_FALSE(muted);
    EXPECT_EQ(server->sinkMute().toStdString(), "Mute: no");

    ASSERT_EQ(mixer.setMute(MixerLine::Master, true), MixerStatus::Ok);
    EXPECT_EQ(server->sinkMute().toStdString(), "Mute: yes");
    // A fresh mixer object sees it too: nothing is cached between calls.
    koro::LinuxMixer other;
    muted = false;
    ASSERT_EQ(other.getMute(MixerLine::Master, muted), MixerStatus::Ok);
    EXPECT_TRUE(muted);

    ASSERT_EQ(mixer.setMute(MixerLine::Master, false), MixerStatus::Ok);
    EXPECT_EQ(server->sinkMute().toStdString(), "Mute: no");
}

TEST_F(LinuxMixerTest, MicrophoneUsesTheCaptureSwitch) {
    bool muted = true;
    ASSERT_EQ(mixer.getMute(MixerLine::Microphone, muted), MixerStatus::Ok);
    EXPECT_FALSE(muted);
    ASSERT_EQ(mixer.setMute(MixerLine::Microphone, true), MixerStatus::Ok);
    ASSERT_EQ(mixer.getMute(MixerLine::Microphone, muted), MixerStatus::Ok);
    EXPECT_TRUE(muted);
    EXPECT_EQ(server->sinkMute().toStdString(), "Mute: no") << "only the input was muted";
    EXPECT_EQ(mixer.setMute(MixerLine::Microphone, false), MixerStatus::Ok);
}

TEST_F(LinuxMixerTest, LinesTheDeviceLacksAreReportedAsSuch) {
    bool muted = false;
    EXPECT_EQ(mixer.getMute(MixerLine::WaveOut, muted), MixerStatus::NoLine);
    EXPECT_EQ(mixer.setMute(MixerLine::Synth, true), MixerStatus::NoLine);
}

// Runs in a child process (ALSA keeps the first configuration it reads).
TEST(LinuxMixerChild, NoDeviceMeansNoMixer) {
    if (!qEnvironmentVariableIsSet("KORO_MIXER_CHILD"))
        GTEST_SKIP() << "runs as the child of LinuxMixerNoDevice.ReportsNoMixer";
    koro::LinuxMixer mixer;
    bool muted = false;
    EXPECT_EQ(mixer.getMute(MixerLine::Master, muted), MixerStatus::NoMixer);
    EXPECT_EQ(mixer.setMute(MixerLine::Master, true), MixerStatus::NoMixer);
}

TEST(LinuxMixerNoDevice, ReportsNoMixer) {
    if (qEnvironmentVariableIsSet("KORO_MIXER_CHILD"))
        GTEST_SKIP() << "already the child";
    QTemporaryDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KORO_MIXER_CHILD", "1");
    for (const auto& [name, value] :
         soundConfig(dir.path(), "unix:" + dir.filePath("nothing-here"), false))
        env.insert(name, value);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    char exe[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    ASSERT_GT(n, 0);
    child.start(QString::fromLocal8Bit(exe, n),
                {"--gtest_filter=LinuxMixerChild.NoDeviceMeansNoMixer"});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[       OK ] LinuxMixerChild.NoDeviceMeansNoMixer"))
        << output.toStdString();
}

} // namespace
