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
#include <memory>
#include <optional>
#include <string>

namespace zr5::ui {

struct NamedSkin;

struct TickerOptions {
    std::filesystem::path scriptsFolder = "Scripts";
    std::filesystem::path skinsFolder = "Skins";
    std::filesystem::path settingsFile = "zr5.ini";
    std::filesystem::path helpFile = "Help/index.html";
    core::PatrolOptions patrol;
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
    // Fade-out, window and tray icon gone, settings saved, workers joined,
    // then finished(). Deferred while a dialog or a wait for the patrol is
    // in progress.
    void requestClose();
    // Menu commands (ids of popup_menu.h and the skin menu's).
    void runCommand(int command);
    // Writes zr5.ini unless that was done already; true when this call wrote it.
    bool saveSettingsOnce();
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
    bool patrolRunning() const { return m_patrol && m_patrol->isRunning(); }
    bool patrolTimerActive() const { return m_patrolTimer.isActive(); }
    bool settingsSaved() const { return m_saved; }
    // Loads a skin by name (boxes on failure, the old skin stays).
    bool switchSkin(const std::string& name);

signals:
    // The shutdown has finished: time to leave the event loop.
    void finished();

private:
    // Dialogs and waits run nested event loops: a close request arriving
    // then is carried out once they are over.
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
    void waitForPatrol();
    void finishClose();
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
    bool m_closePending = false;
    bool m_saved = false;
    int m_busy = 0;
};

} // namespace zr5::ui
