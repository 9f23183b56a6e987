// The ad line and the schedule checks against their targets.
//
//   ./build/bench/schedule_bench latency      UI timer lateness while a 50 MB feed trickles in
//   ./build/bench/schedule_bench idle [s]     CPU of the 8 s rotation and the 4 s / 3 s checks
//
// Targets: lateness under 50 ms; the idle checks under 1 % of a core together.
#include "config/AppSettings.h"
#include "config/ProfileFile.h"
#include "platform/AlarmSound.h"
#include "platform/PlatformInfo.h"
#include "platform/PowerControl.h"
#include "platform/ShellOpen.h"
#include "schedule/AdLine.h"
#include "schedule/ScheduledViewing.h"
#include "schedule/ShutdownTimer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using namespace koro;

struct NoShell : ShellOpen {
    void open(const QString&) override {}
    QString handlerName(const QString&) const override { return {}; }
};
struct NoAlarm : AlarmSound {
    void play(const QString&) override {}
};
struct NoPower : PowerControl {
    void scheduleShutdown(int, const QString&) override {}
    void powerOffNow() override {}
};
struct Nt : PlatformInfo {
    PlatformFamily family() const override { return PlatformFamily::NT; }
};

// Serves one body of `total` bytes in chunks, pausing between them, on its own thread.
class TrickleServer : public QThread {
public:
    TrickleServer(qint64 total, int chunk, int pauseMs)
        : m_total(total)
        , m_chunk(chunk)
        , m_pauseMs(pauseMs) {
        start();
        while (m_port == 0)
            QThread::msleep(5);
    }
    ~TrickleServer() override {
        quit();
        wait();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/ad.txt").arg(m_port); }

protected:
    void run() override {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            auto* pump = new QTimer(socket);
            auto sent = std::make_shared<qint64>(-1);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [=] {
                if (*sent >= 0 || !socket->readAll().contains("\r\n\r\n"))
                    return;
                socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(m_total) +
                              "\r\nConnection: close\r\n\r\n");
                *sent = 0;
                pump->start(m_pauseMs);
            });
            const QByteArray block(m_chunk, 'a');
            QObject::connect(pump, &QTimer::timeout, socket, [=] {
                const qint64 n = std::min<qint64>(m_chunk, m_total - *sent);
                socket->write(block.constData(), n);
                *sent += n;
                if (*sent >= m_total) {
                    pump->stop();
                    socket->disconnectFromHost();
                }
            });
        });
        m_port = server.serverPort();
        exec();
    }

private:
    qint64 m_total;
    int m_chunk;
    int m_pauseMs;
    std::atomic<quint16> m_port{0};
};

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

int latency() {
    constexpr qint64 Total = 50LL * 1024 * 1024;
    constexpr int TickMs = 10;
    QTemporaryDir dir;
    TrickleServer server(Total, 64 * 1024, 5); // about 12 MB/s
    NoShell shell;
    AdLine line(dir.filePath("ad.txt"), {}, shell);
    line.Timer_Readad().stop();

    std::vector<double> lateness;
    QElapsedTimer clock;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(TickMs);
    qint64 last = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        lateness.push_back(std::max(0.0, double(now - last) / 1e6 - TickMs));
        last = now;
    });
    bool replaced = false;
    QObject::connect(&line, &AdLine::downloadFinished, [&](bool ok) {
        replaced = ok;
        QCoreApplication::quit();
    });
    clock.start();
    probe.start();
    line.StartDownload(server.url(), dir.filePath("ad.txt"));
    QCoreApplication::exec();
    const double seconds = double(clock.elapsed()) / 1000;

    std::sort(lateness.begin(), lateness.end());
    const double median = lateness.empty() ? 0 : lateness[lateness.size() / 2];
    const double worst = lateness.empty() ? 0 : lateness.back();
    std::printf("download: %s, %lld bytes in %.1f s\n", replaced ? "complete" : "FAILED",
                static_cast<long long>(QFile(dir.filePath("ad.txt")).size()), seconds);
    std::printf("UI timer lateness over %zu ticks of %d ms: median %.2f ms, worst %.2f ms "
                "(target < 50 ms)\n",
                lateness.size(), TickMs, median, worst);
    return replaced && worst < 50 ? 0 : 1;
}

int idle(int seconds) {
    QTemporaryDir dir;
    QFile feed(dir.filePath("ad.txt"));
    feed.open(QIODevice::WriteOnly);
    for (int i = 0; i < 10; ++i)
        feed.write(QByteArray("广告 ") + QByteArray::number(i) + "\r\nhttp://127.0.0.1/" +
                   QByteArray::number(i) + "\r\n");
    feed.close();

    NoShell shell;
    NoAlarm alarm;
    NoPower power;
    Nt nt;
    AppSettings settings;
    ProfileFile userIni(dir.filePath("user.ini"));
    // Times that never come during the run: the checks do all their work and never fire.
    const QTime never = QTime::currentTime().addSecs(6 * 3600);
    const QByteArray time =
        QByteArray::number(never.hour()) + ":" + QByteArray::number(never.minute());
    settings.SeeTime = time;
    AdLine line(dir.filePath("ad.txt"), {}, shell);
    line.show(); // the rotation repaints it, as in the window
    line.Timer_ReadadTimer();
    ScheduledViewing viewing(settings, [&] { return &userIni; }, alarm, "COCK.wav", {}, {});
    viewing.Timer_SeeTv().start();
    ShutdownTimer shutdown(settings, power, nt, {}, {});
    shutdown.arm(time);

    // Cost of one tick of each, on its own.
    constexpr int Rounds = 20000;
    double t0 = cpuSeconds();
    for (int i = 0; i < Rounds; ++i)
        line.gogg();
    const double rotation = (cpuSeconds() - t0) / Rounds;
    t0 = cpuSeconds();
    for (int i = 0; i < Rounds; ++i)
        viewing.Timer_SeeTvTimer();
    const double viewingCheck = (cpuSeconds() - t0) / Rounds;
    t0 = cpuSeconds();
    for (int i = 0; i < Rounds; ++i)
        shutdown.TimerPowerOffTimer();
    const double shutdownCheck = (cpuSeconds() - t0) / Rounds;
    const double perTenMinutes = rotation * 75 + viewingCheck * 150 + shutdownCheck * 200;
    std::printf("per tick: rotation %.1f us, viewing check %.1f us, shutdown check %.1f us\n",
                rotation * 1e6, viewingCheck * 1e6, shutdownCheck * 1e6);
    std::printf("10 minutes of ticks (75 + 150 + 200): %.3f ms CPU = %.5f %% of a core\n",
                perTenMinutes * 1e3, perTenMinutes / 600 * 100);

    // The whole idle process with the three timers running.
    int rotations = 0, checks = 0, powerChecks = 0;
    QObject::connect(&line.Timer_Showad(), &QTimer::timeout, [&] { ++rotations; });
    QObject::connect(&viewing.Timer_SeeTv(), &QTimer::timeout, [&] { ++checks; });
    QObject::connect(&shutdown.TimerPowerOff(), &QTimer::timeout, [&] { ++powerChecks; });
    QTimer::singleShot(seconds * 1000, [] { QCoreApplication::quit(); });
    const double cpuStart = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QCoreApplication::exec();
    const double cpu = cpuSeconds() - cpuStart;
    const double wallSeconds = double(wall.elapsed()) / 1000;
    std::printf("idle %.0f s (%d rotations, %d viewing checks, %d shutdown checks): %.1f ms CPU "
                "= %.4f %% of a core (target < 1 %%)\n",
                wallSeconds, rotations, checks, powerChecks, cpu * 1e3, cpu / wallSeconds * 100);
    return cpu / wallSeconds < 0.01 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == "latency")
        return latency();
    if (mode == "idle")
        return idle(argc > 2 ? std::atoi(argv[2]) : 600);
    std::fprintf(stderr, "usage: schedule_bench latency | idle [seconds]\n");
    return 2;
}
