// zr5a: the Zephyrant2 desktop ticker. Works in its home folder (Scripts,
// Skins, Help, zr5.ini; see zr5a --help), which it enters before anything is
// read or written. Exit status 1 when another copy runs, the home folder
// cannot be used or no skin loads; 64 on a command-line mistake.
//
// Environment: ZR5_HOME chooses the home folder; ZR5_NOTICE_URL replaces the
// address of the notice page ([Notice] URL in zr5.ini); ZR5_DEBUG turns on
// diagnostics on standard error.
#include "core/autostart.h"
#include "core/debug_output.h"
#include "core/text_codec.h"
#include "launch/command_line.h"
#include "launch/home_folder.h"
#include "launch/launch_messages.h"
#include "launch/session_platform.h"
#include "ui/instance_lock.h"
#include "ui/message_box.h"
#include "ui/termination_signals.h"
#include "ui/ticker_app.h"
#include "ui/ui_messages.h"

#include <QApplication>
#include <QIcon>
#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>
#include <zr5_version.h>

namespace {

zr5::ui::TickerApp* g_ticker = nullptr;

// Qt's X11 plugin ends the process with exit() when the display goes away:
// the settings are still saved then.
void saveOnUnexpectedExit()
{
    if (g_ticker) {
        g_ticker->saveSettingsAtExit();
    }
}

// Once the patrol runs, such an exit() would destroy the engine's
// process-wide state under a worker still inside a script or a fetch. This
// handler is registered after that state exists, so it runs first: save, then
// end without running destructors.
void endAtOnceOnUnexpectedExit()
{
    if (g_ticker) {
        g_ticker->saveSettingsAtExit();
        std::_Exit(1);
    }
}

zr5::ui::TickerOptions tickerOptions(
    std::chrono::steady_clock::time_point processStart, const zr5::launch::CommandLine& line)
{
    zr5::ui::TickerOptions options;
    options.processStart = processStart;
    // The current folder is the home folder by now.
    if (line.home) {
        options.autostartArguments = { "--home", std::filesystem::current_path().string() };
    }
    if (const char* url = std::getenv("ZR5_NOTICE_URL")) {
        options.noticeUrl = url;
    }
    return options;
}

// The settings are saved by now. Workers that ignored the cancel are inside
// the engine, whose process-wide state the destructors would pull from under them.
void leave(const zr5::ui::TickerApp& ticker)
{
    if (ticker.patrolRunning()) {
        std::fflush(stderr);
        std::_Exit(0);
    }
    QApplication::exit(0);
}

void print(std::FILE* stream, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
}

// Argument vector for QApplication, which keeps pointers into it.
struct QtArguments {
    explicit QtArguments(std::vector<std::string>& arguments)
    {
        for (std::string& argument : arguments) {
            pointers.push_back(argument.data());
        }
        pointers.push_back(nullptr);
        count = static_cast<int>(arguments.size());
    }
    std::vector<char*> pointers;
    int count = 0;
};

// Why the program cannot start, before its window exists: on standard error,
// and in a box when there is a display to show one on.
int failStart(const std::string& reason, zr5::launch::CommandLine& line)
{
    const auto environment = zr5::launch::processEnvironment();
    if (!zr5::launch::variable(environment, "DISPLAY")
        && !zr5::launch::variable(environment, "WAYLAND_DISPLAY")) {
        print(stderr, std::string(zr5::launch::msg::kProgramPrefix) + reason + "\n");
        return 1;
    }
    QtArguments qt(line.qtArguments);
    QApplication app(qt.count, qt.pointers.data());
    zr5::ui::showMessageBox(nullptr, zr5::ui::msg::kCaptionHelpError, zr5::core::localeToCp932(reason));
    return 1;
}

// Settles where the program works: the home folder, created or completed,
// becomes the current folder, so every relative name (zr5.ini, Scripts,
// Skins, Help, the patrol log, links to help pages) resolves inside it.
std::optional<std::string> enterHomeFolder(const zr5::launch::CommandLine& line)
{
    namespace launch = zr5::launch;
    // Paths are in the locale's encoding from here on.
    std::setlocale(LC_CTYPE, "");
    const auto environment = launch::processEnvironment();
    std::optional<std::filesystem::path> home = launch::chooseHomeFolder(line.home, environment);
    if (!home) {
        return std::string(launch::msg::kNoHome);
    }
    std::optional<std::filesystem::path> data
        = launch::findDataFolder(zr5::core::runningProgram().parent_path(), environment);
    if (!data) {
        print(stderr, launch::msg::kNoDataFolder);
    }
    if (auto failed = launch::prepareHomeFolder(*home, data)) {
        return failed;
    }
    if (::chdir(home->c_str()) != 0) {
        return std::string(launch::msg::kHomeNotEntered) + home->string() + ": " + std::strerror(errno);
    }
    zr5::core::debugOutput("zr5a: home " + home->string() + (data ? ", data " + data->string() : "") + "\n");
    return std::nullopt;
}

void choosePlatform(const zr5::launch::CommandLine& line)
{
    if (auto platform
        = zr5::launch::platformForSession(zr5::launch::processEnvironment(), line.platformChosen)) {
        setenv("QT_QPA_PLATFORM", platform->c_str(), 1);
    }
    // Through X shared memory, Qt waits for the server to let go of the last
    // frame's pixels before each paint: a round trip a frame. The ticker
    // repaints a thin strip a frame, which costs less sent along the
    // connection (measured: about a third of the program's CPU). The user's
    // own setting stays.
    setenv("QT_XCB_NO_MITSHM", "1", 0);
}

void tellPlatform()
{
    const std::string platform = QGuiApplication::platformName().toStdString();
    zr5::core::debugOutput(std::string(zr5::launch::msg::kPlatformPrefix) + platform + "\n");
    if (zr5::launch::isWaylandPlatform(platform)) {
        print(stderr, zr5::launch::msg::kWaylandLimits);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const auto processStart = std::chrono::steady_clock::now();
    zr5::launch::CommandLine line = zr5::launch::parseCommandLine({ argv, static_cast<std::size_t>(argc) });
    switch (line.action) {
    case zr5::launch::LaunchAction::Help:
        print(stdout, std::string(zr5::launch::msg::kUsage) + std::string(zr5::launch::msg::kHelp));
        return 0;
    case zr5::launch::LaunchAction::Version:
        print(stdout, std::string("zr5a ") + zr5::kVersion + "\n");
        return 0;
    case zr5::launch::LaunchAction::UsageError:
        print(stderr, zr5::launch::usageErrorText(line));
        return zr5::launch::kExitUsage;
    case zr5::launch::LaunchAction::Run:
        break;
    }
    // Before anything else: a second copy must end without touching anything.
    zr5::ui::InstanceLock lock;
    std::optional<std::filesystem::path> lockPath = zr5::ui::InstanceLock::defaultPath();
    if (!lockPath) {
        std::fwrite(zr5::ui::msg::kNoLockFolder.data(), 1, zr5::ui::msg::kNoLockFolder.size(), stderr);
        return 1;
    }
    if (!lock.acquire(*lockPath)) {
        return 1;
    }
    if (auto failed = enterHomeFolder(line)) {
        return failStart(*failed, line);
    }
    choosePlatform(line);
    QtArguments qt(line.qtArguments);
    QApplication app(qt.count, qt.pointers.data());
    tellPlatform();
    // File names in the locale's encoding; numbers always with a decimal point.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("zr5a");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(":/zr5a/zr5a.png"));

    zr5::ui::TickerApp ticker(tickerOptions(processStart, line));
    g_ticker = &ticker;
    std::atexit(saveOnUnexpectedExit);
    zr5::ui::TerminationSignals terminations;
    QObject::connect(&ticker, &zr5::ui::TickerApp::finished, &app, [&ticker] { leave(ticker); });
    QObject::connect(&terminations, &zr5::ui::TerminationSignals::received, &ticker,
        [&ticker] { ticker.requestClose(zr5::ui::TickerApp::CloseBy::Signal); });

    if (!ticker.start()) {
        g_ticker = nullptr;
        return 1;
    }
    std::atexit(endAtOnceOnUnexpectedExit);
    ticker.show();
    int status = QApplication::exec();
    g_ticker = nullptr;
    return status;
}
