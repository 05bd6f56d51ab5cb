// The ticker application: owns the script list, the settings, the display and
// the patrol, and wires the parts that do the rest (tray and menus, frame
// clock, skin switching, patrol scheduling, the close sequence). Runs the
// start-up, the menu commands and the one save.
#pragma once

#include "core/display_holder.h"
#include "core/patrol.h"
#include "core/script_list.h"
#include "core/settings.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/skin.h"
#include "ui/close_sequence.h"
#include "ui/compositor_watch.h"
#include "ui/frame_clock.h"
#include "ui/load_error_boxes.h"
#include "ui/patrol_scheduler.h"
#include "ui/popup_menu.h"
#include "ui/qt_patrol_host.h"
#include "ui/skin_catalog.h"
#include "ui/skin_switcher.h"
#include "ui/ticker_window.h"
#include "ui/tray_menus.h"
#include "ui/window_docking.h"

#include <QMenu>
#include <QObject>
#include <QRect>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zr5::ui {

struct TickerOptions {
    std::filesystem::path scriptsFolder = "Scripts";
    std::filesystem::path skinsFolder = "Skins";
    std::filesystem::path settingsFile = "zr5.ini";
    std::filesystem::path helpFile = "Help/index.html";
    // Limits and notice page are taken from the settings file at start.
    core::PatrolOptions patrol;
    // Replaces the settings file's notice page (the environment's ZR5_NOTICE_URL).
    std::optional<std::string> noticeUrl;
    // What the start-at-login entry passes to the program (a home folder
    // chosen on the command line).
    std::vector<std::string> autostartArguments;
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
    using CloseBy = ui::CloseBy;
    // Open dialogs cancelled, settings saved, the patrol cancelled, fade-out,
    // window and tray icon gone, then finished() once the workers have left or
    // closeGrace has passed (workersRunning() tells which). During start-up
    // the close waits for the start to end.
    void requestClose(CloseBy by = CloseBy::User) { m_close.request(by); }
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
    const std::string& skinName() const { return m_skins.name(); }
    const std::shared_ptr<skin::Skin>& skin() const { return m_skins.skin(); }
    QMenu* popupMenu() const { return m_trayMenus.menu(); }
    const MenuChecks& flags() const { return m_checks; }
    const std::shared_ptr<core::DisplayHolder>& display() const { return m_display; }
    bool isClosing() const { return m_close.isClosing(); }
    // After finished(): true when workers ignored the cancel and are still
    // inside the engine, so the process must end without running destructors.
    bool patrolRunning() const { return m_scheduler.patrolRunning(); }
    // What the patrol runs with, once start() has read the settings.
    const core::PatrolOptions& patrolOptions() const { return m_options.patrol; }
    bool patrolTimerActive() const { return m_scheduler.timerActive(); }
    bool settingsSaved() const { return m_saved; }
    // Loads a skin by name (boxes on failure, the old skin stays).
    bool switchSkin(const std::string& name);
    // Docks the window to a screen edge or frees it (back to its free rectangle).
    void setDock(core::WindowDock dock);
    // Moves the window (docked or free) to the screen of that name, if there is one.
    void moveToScreen(const std::string& name);
    const WindowDocking& docking() const { return m_docking; }

signals:
    // The shutdown has finished: time to leave the event loop.
    void finished();

private:
    // How long the fade-in waits for the window to reach the screen.
    static constexpr std::chrono::milliseconds kExposeWait { 500 };

    CloseSequence::Steps closeSteps();
    void connectWindow();
    std::optional<QRect> loadScriptsAndSettings();
    void skinApplied();
    // True when the frame differs from the one before.
    bool drawFrame(int alpha, TickerWindow::Paint paint = TickerWindow::Paint::Later);
    std::chrono::microseconds sinceLastFrame();
    void startFadeIn();
    void noteFirstFrame();
    void openLinkAt(QPoint windowPos);
    void runKeyCommand(TickerWindow::KeyCommand command);
    // Scrolling stops for the Space key, and while the pointer rests on the
    // window when the settings ask for it.
    void updatePause();
    void applyStacking();
    void followCompositor(bool composited);
    void cancelDialogs();
    void finishClose();
    core::Settings settingsToSave() const;
    // Dialog commands (dialog_commands.cpp).
    void runOptions();
    void runScrollSpeed();
    // What the settings sheet's display page changed, applied to the window.
    void applyDisplayOptions();
    void runAbout();

    TickerOptions m_options;
    core::ScriptList m_scripts;
    core::Settings m_settings;
    std::shared_ptr<core::DisplayHolder> m_display;
    CloseSequence m_close;
    LoadErrorBoxes m_loadErrors;
    QtPatrolHost m_host;
    std::unique_ptr<core::Patrol> m_patrol;
    PatrolScheduler m_scheduler;

    // The pixels the window presents (declared first: they outlive it).
    std::shared_ptr<gfx::Surface32> m_shownSurface;
    std::unique_ptr<TickerWindow> m_window;
    FrameClock m_frames;
    skin::FrameRenderer m_renderer;
    CompositorWatch m_compositor;
    SkinCatalog m_catalog;
    TrayMenus m_trayMenus;
    SkinSwitcher m_skins;
    WindowDocking m_docking;

    QRect m_windowRect; // kept current, so an emergency save needs no window
    MenuChecks m_checks;
    bool m_shown = false;
    bool m_fadeStarted = false;
    bool m_firstFrameNoted = false;
    std::optional<std::chrono::steady_clock::time_point> m_lastFrameAt;
    bool m_pointerInside = false;
    bool m_pausedByKey = false;
    bool m_saved = false;
};

} // namespace zr5::ui
