// zr5a: the Zephyrant2 desktop ticker. Works in the current folder
// (./Scripts, ./Skins, ./Help, ./zr5.ini). Exit status 1 when another copy
// runs or no skin loads.
//
// Environment: ZR5_NOTICE_URL replaces the address of the notice page
// ([Notice] URL in zr5.ini); ZR5_DEBUG turns on diagnostics on standard error.
#include "ui/instance_lock.h"
#include "ui/termination_signals.h"
#include "ui/ticker_app.h"
#include "ui/ui_messages.h"

#include <QApplication>
#include <QIcon>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>

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

zr5::ui::TickerOptions tickerOptions(std::chrono::steady_clock::time_point processStart)
{
    zr5::ui::TickerOptions options;
    options.processStart = processStart;
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

} // namespace

int main(int argc, char** argv)
{
    const auto processStart = std::chrono::steady_clock::now();
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
    QApplication app(argc, argv);
    // File names in the locale's encoding; numbers always with a decimal point.
    std::setlocale(LC_CTYPE, "");
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName("zr5a");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(":/zr5a/zr5a.png"));

    zr5::ui::TickerApp ticker(tickerOptions(processStart));
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
