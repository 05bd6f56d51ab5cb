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
#include <optional>
#include <sys/stat.h>
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
    int release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(release[1]); // so that a parent gone early also lets the child go
        InstanceLock lock;
        char byte = lock.acquire(path) ? 1 : 0;
        [[maybe_unused]] auto written = ::write(ready[1], &byte, 1);
        // Held until the parent has seen the refusal.
        [[maybe_unused]] auto released = ::read(release[0], &byte, 1);
        ::_exit(0); // no destructors: the kernel must drop the lock by itself
    }
    ::close(release[0]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_EQ(byte, 1);
    InstanceLock mine;
    EXPECT_FALSE(mine.acquire(path));
    ::close(release[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(mine.acquire(path));
    ::close(ready[0]);
    ::close(ready[1]);
}

// Sets an environment variable for one scope.
class EnvironmentScope final {
public:
    EnvironmentScope(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        if (value) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvironmentScope()
    {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

mode_t modeOf(const std::filesystem::path& path)
{
    struct stat info { };
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(InstanceLockTest, LockFileLivesInTheRuntimeFolderElseInAPrivateFolderInTemp)
{
    ScratchFolder runtime;
    ScratchFolder temp;
    EnvironmentScope tmpdir("TMPDIR", temp.path().c_str());
    {
        EnvironmentScope xdg("XDG_RUNTIME_DIR", runtime.path().c_str());
        EXPECT_EQ(InstanceLock::defaultPath(), runtime / "Orlemont-Zephyrant2.lock");
    }
    EnvironmentScope xdg("XDG_RUNTIME_DIR", nullptr);
    const std::filesystem::path folder = temp / ("zr5-" + std::to_string(::getuid()));
    EXPECT_EQ(InstanceLock::defaultPath(), folder / "Orlemont-Zephyrant2.lock");
    EXPECT_EQ(modeOf(folder), 0700u);
    // Made with a umask that takes the owner's bits, it is still usable.
    std::filesystem::remove(folder);
    mode_t umask = ::umask(0277);
    std::optional<std::filesystem::path> made = InstanceLock::privateFolder(temp.path());
    ::umask(umask);
    EXPECT_EQ(made, folder);
    EXPECT_EQ(modeOf(folder), 0700u);
}

TEST(InstanceLockTest, APreparedFolderThatIsNotPrivateIsRefusedAndLeftAlone)
{
    ScratchFolder temp;
    const std::filesystem::path folder = temp / ("zr5-" + std::to_string(::getuid()));
    EnvironmentScope tmpdir("TMPDIR", temp.path().c_str());
    EnvironmentScope xdg("XDG_RUNTIME_DIR", nullptr);

    // Open to others: someone could replace the lock file inside it.
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ::chmod(folder.c_str(), 0755);
    EXPECT_EQ(InstanceLock::privateFolder(temp.path()), std::nullopt);
    EXPECT_EQ(InstanceLock::defaultPath(), std::nullopt);
    EXPECT_EQ(modeOf(folder), 0755u) << "not taken over either";
    EXPECT_FALSE(std::filesystem::exists(folder / "Orlemont-Zephyrant2.lock"));
    std::filesystem::remove(folder);

    // A link to a folder that would do is someone else's choice of place.
    const std::filesystem::path elsewhere = temp / "elsewhere";
    ASSERT_EQ(::mkdir(elsewhere.c_str(), 0700), 0);
    std::filesystem::create_directory_symlink(elsewhere, folder);
    EXPECT_EQ(InstanceLock::privateFolder(temp.path()), std::nullopt);
    std::filesystem::remove(folder);

    // A plain file in its place.
    writeFile(folder, "");
    EXPECT_EQ(InstanceLock::privateFolder(temp.path()), std::nullopt);
    std::filesystem::remove(folder);

    // Another user's folder, private to them (only root can make one here).
    if (::geteuid() == 0) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        ASSERT_EQ(::chown(folder.c_str(), 54321, 54321), 0);
        EXPECT_EQ(InstanceLock::privateFolder(temp.path()), std::nullopt);
        std::filesystem::remove(folder);
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
    EXPECT_EQ(linkTarget("FTP://files.example.org/a.txt", base).toString(), "ftp://files.example.org/a.txt");
    EXPECT_FALSE(linkTarget("", base).isValid());
    EXPECT_FALSE(linkTarget("   ", base).isValid());
}

TEST(LinkTargetTest, OnlyWebAddressesAndFilesInsideTheWorkingFolderOpen)
{
    QDir base("/srv/ticker");
    for (const char* link :
        { "javascript:alert(document.cookie)", " JavaScript:alert(1)", "file:///etc/passwd",
            "FILE:/etc/passwd", "data:text/html;base64,PHNjcmlwdD4=", "mailto:desk@example.org",
            "vbscript:msgbox", "ssh://host/", "smb://server/share", "/etc/passwd", "\\\\server\\share\\x.exe",
            "//evil.example/x", "../../etc/passwd", "Help/../../ticker-other/x.html" }) {
        EXPECT_FALSE(linkTarget(QString::fromUtf8(link), base).isValid()) << link;
    }
    EXPECT_EQ(linkTarget("Help/../index.html", base).toString(), "file:///srv/ticker/index.html");
    EXPECT_EQ(linkTarget("Help/ftp:notes.html", base).toString(), "file:///srv/ticker/Help/ftp:notes.html");
}

TEST(QtPatrolHostTest, NotificationWaitsForTheMainThreadUntilTheHostCloses)
{
    QtPatrolHost host(nullptr);
    std::atomic<int> returned { 0 };
    std::atomic<bool> serving { true };
    std::thread worker([&] {
        host.notification("name", "value");
        returned = 1;
        // The second call is made only once the main thread has stopped
        // serving, or the same wait could serve it too.
        while (serving.load()) {
            std::this_thread::yield();
        }
        host.notification("again", "value");
        returned = 2;
    });
    QThread::msleep(50);
    EXPECT_EQ(returned.load(), 0) << "nobody has served the call yet";
    EXPECT_TRUE(waitFor([&] { return returned.load() >= 1; }));

    // A main thread that no longer serves: closing releases the worker.
    serving = false;
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
