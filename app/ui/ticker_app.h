// The ticker application: owns the script list, the settings, the display,
// the patrol, the skin, the window and the tray icon, and runs the start-up
// sequence, the frame clock, the menu commands and the shutdown.
#pragma once

#include "core/display_holder.h"
#include "core/patrol.h"
#include "core/script_list.h"
#include "core/settings.h"
#include "skin/runtime/skin.h"
#include "ui/compositor_watch.h"
#include "ui/popup_menu.h"
#include "ui/qt_patrol_host.h"
#include "ui/skin_catalog.h"
#include "ui/ticker_window.h"

#include <QMenu>
#include <QObject>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zr5::ui {

struct NamedSkin;

struct TickerOptions {
    std::filesystem::path scriptsFolder = "Scripts";
    std::filesystem::path skinsFolder = "Skins";
    std::filesystem::path settingsFile = "zr5.ini";
    std::filesystem::path helpFile = "Help/index.html";
    // Limits and notice page are taken from the settings file at start.
    core::PatrolOptions patrol;
    // Replaces the settings file's notice page (the environment's ZR5_NOTICE_URL).
    std::optional<std::string> noticeUrl;
    // How long a close waits for cancelled workers before it gives up on them.
    std::chrono::milliseconds closeGrace { 1500 };
    std::chrono::steady_clock::time_point processStart = std::chrono::steady_clock::now();
};

class TickerApp final : public QObject {
    Q_OBJECT
public:
    explicit TickerApp(TickerOptions options);
    ~TickerApp() override;

    // The start-up sequence: tray icon, scripts, settings, skin, first patrol,
    // patrol timer. False when no skin loads; the tray icon is gone and the
    // settings are saved by then.
    bool start();
    // Shows the window, fades it in and starts the frame clock.
    void show();
    // Who asked for the close: a failed save is told in a box only to a user.
    enum class CloseBy { User, Signal };
    // Open dialogs cancelled, settings saved, the patrol cancelled, fade-out,
    // window and tray icon gone, then finished() once the workers have left or
    // closeGrace has passed (workersRunning() tells which). During start-up
    // the close waits for the start to end.
    void requestClose(CloseBy by = CloseBy::User);
    // Menu commands (ids of popup_menu.h and the skin menu's).
    void runCommand(int command);
    enum class SaveFailure { Box, StandardErrorOnly };
    // Writes zr5.ini unless that was done already; true when this call wrote
    // it. A failure is told on standard error and, unless asked not to, in a box.
    bool saveSettingsOnce(SaveFailure tell = SaveFailure::Box);
    // Whatever the program is doing, a last chance to keep the settings
    // (the process is about to end without its normal shutdown).
    void saveSettingsAtExit();

    // Opens popup menu 0 (window) or 1 (tray) at a screen point.
    void showPopupMenu(PopupKind kind, QPoint globalPos);
    void bringToFront();

    // State, for the shell and for tests.
    TickerWindow& window() { return *m_window; }
    const std::string& skinName() const { return m_skinName; }
    const std::shared_ptr<skin::Skin>& skin() const { return m_skin; }
    QMenu* popupMenu() const { return m_menu.get(); }
    const MenuChecks& flags() const { return m_flags; }
    const std::shared_ptr<core::DisplayHolder>& display() const { return m_display; }
    bool isClosing() const { return m_closing; }
    // After finished(): true when workers ignored the cancel and are still
    // inside the engine, so the process must end without running destructors.
    bool patrolRunning() const { return m_patrol && m_patrol->isRunning(); }
    // What the patrol runs with, once start() has read the settings.
    const core::PatrolOptions& patrolOptions() const { return m_options.patrol; }
    bool patrolTimerActive() const { return m_patrolTimer.isActive(); }
    bool settingsSaved() const { return m_saved; }
    // Loads a skin by name (boxes on failure, the old skin stays).
    bool switchSkin(const std::string& name);

signals:
    // The shutdown has finished: time to leave the event loop.
    void finished();

private:
    // Dialogs, boxes and waits run nested event loops: the end of a close,
    // which takes the window away, waits until they have unwound.
    class BusyScope final {
    public:
        explicit BusyScope(TickerApp& app);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        TickerApp& m_app;
    };

    void createTray();
    void loadScriptsAndSettings();
    void applySkin(NamedSkin loaded);
    void applySavedWindowFlags();
    void startPatrol();
    void restartPatrolTimer();
    void drawFrame(int alpha, TickerWindow::Paint paint = TickerWindow::Paint::Later);
    void onFrameTimer();
    void fade(int from, int to, int step);
    void toggle(bool& flag);
    void applyStacking();
    void openCurrentLink();
    void openHelp();
    void followCompositor(bool composited);
    void noteFirstFrame();
    // Serves queued calls (finishes, notifications) until the workers have
    // left or giveUp() holds.
    void waitForWorkers(const std::function<bool()>& giveUp);
    // Cancels a running patrol and waits for its workers; true when the
    // patrol did not complete, so that it runs again after the dialog.
    bool pausePatrol();
    void closeDialogs();
    void finishClose();
    void noteLoadError(std::string text);
    void showLoadErrors();
    core::Settings settingsToSave() const;
    // Dialog commands (dialog_commands.cpp).
    void runOptions();
    void runScrollSpeed();
    void runAbout();

    TickerOptions m_options;
    core::ScriptList m_scripts;
    core::Settings m_settings;
    std::shared_ptr<core::DisplayHolder> m_display;
    QtPatrolHost m_host;
    std::unique_ptr<core::Patrol> m_patrol;

    std::unique_ptr<TickerWindow> m_window;
    QSystemTrayIcon m_tray;
    CompositorWatch m_compositor;
    std::unique_ptr<QMenu> m_menu;
    SkinCatalog m_catalog;

    std::shared_ptr<skin::Skin> m_skin;
    std::string m_skinName;
    std::optional<QRect> m_savedRect; // from zr5.ini, serves the first skin load only
    QRect m_windowRect; // kept current, so an emergency save needs no window
    MenuChecks m_flags;

    QTimer m_frameTimer;
    QTimer m_patrolTimer;
    bool m_started = false; // start() has succeeded
    bool m_firstFrameNoted = false;
    bool m_shown = false;
    bool m_closing = false;
    bool m_closePending = false; // asked for during start-up
    CloseBy m_pendingCloseBy = CloseBy::User;
    bool m_finishPending = false; // waits for nested loops to unwind
    std::chrono::steady_clock::time_point m_cancelledAt;
    bool m_saved = false;
    int m_busy = 0;
    // Gathered so that several arrive in one box, not a box each.
    std::vector<std::string> m_loadErrors;
    bool m_loadErrorsQueued = false;
};

} // namespace zr5::ui
