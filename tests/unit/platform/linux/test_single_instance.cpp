#include "platform/linux/LinuxSingleInstance.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

using Mark = koro::SingleInstance::Mark;

class SingleInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString lockPath() const { return dir.filePath("kestro.lock"); }
};

void killAndReap(pid_t pid) {
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// Another process that asks for the lock and holds what it got until it is ended, killed.
class Holder {
public:
    explicit Holder(const QStringList& paths, uid_t asUser = 0) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            if (asUser != 0 &&
                (::setgroups(0, nullptr) != 0 || ::setgid(asUser) != 0 || ::setuid(asUser) != 0))
                ::_exit(3);
            koro::LinuxSingleInstance instance(paths);
            const char result = instance.acquire() == Mark::Taken ? '1' : '0';
            (void)!::write(fds[1], &result, 1);
            for (;;)
                ::pause();
        }
        ::close(fds[1]);
        char result = '0';
        took = m_pid > 0 && ::read(fds[0], &result, 1) == 1 && result == '1';
        ::close(fds[0]);
    }
    ~Holder() { end(); }
    void end() {
        if (m_pid > 0)
            killAndReap(std::exchange(m_pid, -1));
    }

    bool took = false; // whether it has the lock

private:
    pid_t m_pid = -1;
};

TEST_F(SingleInstanceTest, SecondProcessIsRefusedUntilTheHolderDies) {
    Holder holder({lockPath()});
    ASSERT_TRUE(holder.took);

    koro::LinuxSingleInstance second(lockPath());
    EXPECT_EQ(second.acquire(), Mark::HeldByAnother);
    EXPECT_EQ(second.acquire(), Mark::HeldByAnother) << "a refusal must not stick on retry";

    // However the holder ends, the kernel lets go of the lock.
    holder.end();
    EXPECT_EQ(second.acquire(), Mark::Taken);
    EXPECT_FALSE(Holder({lockPath()}).took);
}

TEST_F(SingleInstanceTest, LockLastsAsLongAsTheObject) {
    {
        koro::LinuxSingleInstance first(lockPath());
        ASSERT_EQ(first.acquire(), Mark::Taken);
        EXPECT_EQ(first.acquire(), Mark::Taken) << "asking again keeps the mark";
        koro::LinuxSingleInstance other(lockPath());
        EXPECT_EQ(other.acquire(), Mark::HeldByAnother);
    }
    koro::LinuxSingleInstance later(lockPath());
    EXPECT_EQ(later.acquire(), Mark::Taken);
}

TEST_F(SingleInstanceTest, ProgramsStartedByTheHolderDoNotInheritTheLock) {
    pid_t child = -1;
    {
        koro::LinuxSingleInstance first(lockPath());
        ASSERT_EQ(first.acquire(), Mark::Taken);
        child = ::fork();
        if (child == 0) {
            ::execl("/bin/sleep", "sleep", "60", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ASSERT_GT(child, 0);
        // Wait until the child has exec'd: its /proc/<pid>/exe then points at sleep.
        for (int i = 0; i < 5000; ++i) {
            char target[256] = {};
            const QByteArray link = QByteArray("/proc/") + QByteArray::number(child) + "/exe";
            const ssize_t n = ::readlink(link.constData(), target, sizeof target - 1);
            if (n > 0 && QByteArray(target, n).endsWith("sleep"))
                break;
            ::usleep(1000);
        }
    }
    koro::LinuxSingleInstance next(lockPath());
    EXPECT_EQ(next.acquire(), Mark::Taken) << "a program started by the holder keeps the lock";
    killAndReap(child);
}

TEST_F(SingleInstanceTest, NoUsableLockFileIsUnavailableNotTaken) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("a-folder"));
    koro::LinuxSingleInstance instance(
        QStringList{dir.filePath("missing-folder/kestro.lock"), dir.filePath("a-folder")});
    EXPECT_EQ(instance.acquire(), Mark::Unavailable);
}

TEST_F(SingleInstanceTest, CopiesWithDifferentRuntimeFoldersMeetAtTheSharedLock) {
    // A desktop session has a runtime folder, a cron job or a second session another or none:
    // the lock every copy takes is still the same one.
    const QString shared = dir.filePath("kestro-shared.lock");
    const QString runtimeA = dir.filePath("runtime-a.lock");
    const QString runtimeB = dir.filePath("runtime-b.lock");
    for (const QStringList& first : {QStringList{shared, runtimeA}, QStringList{shared}}) {
        Holder holder(first);
        ASSERT_TRUE(holder.took);
        for (const QStringList& second :
             {QStringList{shared}, QStringList{shared, runtimeA}, QStringList{shared, runtimeB}}) {
            koro::LinuxSingleInstance copy(second);
            EXPECT_EQ(copy.acquire(), Mark::HeldByAnother) << second.join(' ').toStdString();
        }
    }
}

TEST_F(SingleInstanceTest, AnUnusableFolderFallsBackToTheNextPath) {
    const QString fallback = dir.filePath("kestro-fallback.lock");
    const QString missing = dir.filePath("gone/kestro.lock");
    ASSERT_TRUE(QDir(dir.path()).mkdir("file-not-folder"));
    const QString notAFile = dir.filePath("file-not-folder");
    for (const QString& unusable : {missing, notAFile}) {
        SCOPED_TRACE(unusable.toStdString());
        Holder holder({unusable, fallback});
        ASSERT_TRUE(holder.took);
        koro::LinuxSingleInstance second(QStringList{unusable, fallback});
        EXPECT_EQ(second.acquire(), Mark::HeldByAnother) << "two copies would run";
        holder.end();
        EXPECT_EQ(second.acquire(), Mark::Taken);
    }
}

TEST_F(SingleInstanceTest, AnotherUsersFileIsNotTheLock) {
    // Someone else's file in a shared folder, held by them, must not keep the program from
    // starting; the next path is used instead.
    const QString foreign = dir.filePath("foreign.lock");
    koro::test::writeFile(foreign, {});
    ASSERT_TRUE(QFile::setPermissions(foreign, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ReadOther |
                                                   QFileDevice::WriteOther));
    if (::getuid() == 0)
        ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), 65534, 65534), 0);
    else
        GTEST_SKIP() << "needs root to give the file to another user";
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner |
                                                      QFileDevice::ExeOther));
    Holder holder({foreign}, 65534);
    ASSERT_TRUE(holder.took);

    koro::LinuxSingleInstance mine(QStringList{foreign, lockPath()});
    EXPECT_EQ(mine.acquire(), Mark::Taken);
    koro::LinuxSingleInstance other(QStringList{foreign, lockPath()});
    EXPECT_EQ(other.acquire(), Mark::HeldByAnother);
}

TEST(SingleInstancePath, TheTemporaryFolderAlwaysThenTheRuntimeFolder) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const bool had = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QString temporary = QStringLiteral("/tmp/kestro-%1.lock").arg(::getuid());
    qputenv("XDG_RUNTIME_DIR", "/run/user/4321");
    EXPECT_EQ(koro::LinuxSingleInstance::defaultLockPaths(),
              (QStringList{temporary, "/run/user/4321/kestro.lock"}));
    qputenv("XDG_RUNTIME_DIR", "relative/dir");
    EXPECT_EQ(koro::LinuxSingleInstance::defaultLockPaths(), QStringList{temporary});
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(koro::LinuxSingleInstance::defaultLockPaths(), QStringList{temporary});
    if (had)
        qputenv("XDG_RUNTIME_DIR", saved);
}

} // namespace
