#include "platform/linux/LinuxSingleInstance.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString lockPath() const { return dir.filePath("kestro.lock"); }
};

// A child process that takes the lock, reports the result through a pipe and then waits to be
// killed. Returns its pid and the child's acquire() result.
std::pair<pid_t, bool> startHolder(const QString& path) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {-1, false};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        koro::LinuxSingleInstance instance(path);
        const char result = instance.acquire() ? '1' : '0';
        (void)!::write(fds[1], &result, 1);
        for (;;)
            ::pause();
    }
    ::close(fds[1]);
    char result = '0';
    const bool got = ::read(fds[0], &result, 1) == 1;
    ::close(fds[0]);
    return {pid, got && result == '1'};
}

void killAndReap(pid_t pid) {
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

TEST_F(SingleInstanceTest, SecondProcessIsRefusedUntilTheHolderDies) {
    const auto [holder, holderGotIt] = startHolder(lockPath());
    ASSERT_GT(holder, 0);
    ASSERT_TRUE(holderGotIt);

    koro::LinuxSingleInstance second(lockPath());
    EXPECT_FALSE(second.acquire());
    EXPECT_FALSE(second.acquire()) << "a refusal must not be sticky-true on retry";

    // However the holder ends, the kernel lets go of the lock.
    killAndReap(holder);
    EXPECT_TRUE(second.acquire());

    const auto [third, thirdGotIt] = startHolder(lockPath());
    ASSERT_GT(third, 0);
    EXPECT_FALSE(thirdGotIt);
    killAndReap(third);
}

TEST_F(SingleInstanceTest, LockLastsAsLongAsTheObject) {
    {
        koro::LinuxSingleInstance first(lockPath());
        ASSERT_TRUE(first.acquire());
        EXPECT_TRUE(first.acquire()) << "asking again keeps the mark";
        koro::LinuxSingleInstance other(lockPath());
        EXPECT_FALSE(other.acquire());
    }
    koro::LinuxSingleInstance later(lockPath());
    EXPECT_TRUE(later.acquire());
}

TEST_F(SingleInstanceTest, ProgramsStartedByTheHolderDoNotInheritTheLock) {
    pid_t child = -1;
    {
        koro::LinuxSingleInstance first(lockPath());
        ASSERT_TRUE(first.acquire());
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
    EXPECT_TRUE(next.acquire()) << "a program started by the holder keeps the lock alive";
    killAndReap(child);
}

TEST_F(SingleInstanceTest, UnopenableLockFileCountsAsTheOnlyCopy) {
    koro::LinuxSingleInstance instance(dir.filePath("missing-folder/kestro.lock"));
    EXPECT_TRUE(instance.acquire());
}

TEST(SingleInstancePath, FollowsTheRuntimeFolder) {
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const bool had = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", "/run/user/4321");
    EXPECT_EQ(koro::LinuxSingleInstance::defaultLockPath(), "/run/user/4321/kestro.lock");
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(koro::LinuxSingleInstance::defaultLockPath(),
              QStringLiteral("/tmp/kestro-%1.lock").arg(::getuid()));
    if (had)
        qputenv("XDG_RUNTIME_DIR", saved);
}

} // namespace
