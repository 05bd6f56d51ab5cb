// The pieces between the ticker and its platform: the single-instance lock,
// links turned into URLs, and the patrol host's calls onto the main thread.
#include "ui/instance_lock.h"
#include "ui/link_target.h"
#include "ui/qt_patrol_host.h"
#include "ui/termination_signals.h"
#include "ui_test_support.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zr5::ui::test {
namespace {

TEST(InstanceLockTest, OnlyOneHolderAtATimeAndTheFileIsLeftAlone)
{
    ScratchFolder folder;
    const auto path = folder / "Orlemont-Zephyrant2.lock";
    writeFile(path, "kept");
    InstanceLock first;
    ASSERT_TRUE(first.acquire(path));
    InstanceLock second;
    EXPECT_FALSE(second.acquire(path));
    EXPECT_FALSE(second.held());
    first.release();
    EXPECT_TRUE(second.acquire(path));
    EXPECT_EQ(readFile(path), "kept");
}

TEST(InstanceLockTest, AnotherProcessIsRefusedAndTheLockGoesWithTheProcess)
{
    ScratchFolder folder;
    const auto path = folder / "lock";
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        InstanceLock lock;
        char byte = lock.acquire(path) ? 1 : 0;
        [[maybe_unused]] auto written = ::write(ready[1], &byte, 1);
        ::usleep(300 * 1000);
        ::_exit(0); // no destructors: the kernel must drop the lock by itself
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 1);
    InstanceLock mine;
    EXPECT_FALSE(mine.acquire(path));
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(mine.acquire(path));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLockTest, LockFileLivesInTheRuntimeFolderElseInTempWithTheUserId)
{
    ScratchFolder folder;
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    std::string restore = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", folder.path().c_str(), 1);
    EXPECT_EQ(InstanceLock::defaultPath(), folder / "Orlemont-Zephyrant2.lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::path fallback = InstanceLock::defaultPath();
    EXPECT_EQ(fallback.parent_path(), std::filesystem::temp_directory_path());
    EXPECT_EQ(fallback.filename().string(), "Orlemont-Zephyrant2-" + std::to_string(::getuid()) + ".lock");
    if (saved) {
        ::setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
    }
}

TEST(LinkTargetTest, RelativeLinksAreFilesInTheWorkingFolderWithTheirFragment)
{
    QDir base("/srv/ticker");
    EXPECT_EQ(
        linkTarget("Help/index.html#scripts", base).toString(), "file:///srv/ticker/Help/index.html#scripts");
    EXPECT_EQ(linkTarget("Help\\index.html", base).toString(), "file:///srv/ticker/Help/index.html");
    EXPECT_EQ(linkTarget("./a/../b.html", base).toString(), "file:///srv/ticker/b.html");
    EXPECT_EQ(linkTarget("https://example.org/news?id=3#top", base).toString(),
        "https://example.org/news?id=3#top");
    EXPECT_EQ(linkTarget("  http://example.org/  ", base).toString(), "http://example.org/");
    EXPECT_EQ(linkTarget("mailto:desk@example.org", base).scheme(), "mailto");
    EXPECT_FALSE(linkTarget("", base).isValid());
    EXPECT_FALSE(linkTarget("   ", base).isValid());
}

TEST(QtPatrolHostTest, NotificationWaitsForTheMainThreadUntilTheHostCloses)
{
    QtPatrolHost host(nullptr);
    std::atomic<int> returned { 0 };
    std::thread worker([&] {
        host.notification("name", "value");
        returned = 1;
        host.notification("again", "value");
        returned = 2;
    });
    QThread::msleep(50);
    EXPECT_EQ(returned.load(), 0) << "nobody has served the call yet";
    EXPECT_TRUE(waitFor([&] { return returned.load() >= 1; }));

    // A main thread that no longer serves: closing releases the worker.
    QThread::msleep(50);
    EXPECT_EQ(returned.load(), 1);
    host.close();
    worker.join();
    EXPECT_EQ(returned.load(), 2);

    // Once closed, nothing waits at all.
    std::thread late([&] { host.notification("late", ""); });
    late.join();
    QCoreApplication::processEvents();
}

TEST(QtPatrolHostTest, LoadErrorsArriveOnTheMainThreadInOrder)
{
    std::vector<std::string> errors;
    QtPatrolHost host([&](const std::string& text) {
        EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
        errors.push_back(text);
    });
    std::thread worker([&] {
        host.loadError("first");
        host.loadError("second");
    });
    worker.join();
    EXPECT_TRUE(errors.empty()) << "queued, not called on the worker";
    EXPECT_TRUE(waitFor([&] { return errors.size() == 2; }));
    EXPECT_EQ(errors, (std::vector<std::string> { "first", "second" }));
}

TEST(TerminationSignalsTest, TermIntAndHupArriveAsOneQueuedRequestEach)
{
    TerminationSignals terminations;
    QSignalSpy received(&terminations, &TerminationSignals::received);
    for (int signal : { SIGTERM, SIGINT, SIGHUP }) {
        int before = received.count();
        ASSERT_EQ(::raise(signal), 0);
        EXPECT_EQ(received.count(), before) << "never from inside the handler";
        EXPECT_TRUE(waitFor([&] { return received.count() > before; })) << signal;
    }
}

} // namespace
} // namespace zr5::ui::test
