#include "ui/ticker_app.h"

#include "core/atomic_file.h"
#include "core/debug_output.h"
#include "core/messages.h"
#include "core/profile_file.h"
#include "skin/runtime/frame_renderer.h"
#include "ui/link_opening.h"
#include "ui/message_box.h"
#include "ui/ui_messages.h"
#include "ui/window_choices.h"
#include "ui/x11_window_state.h"

namespace zr5::ui {
namespace {

std::uint32_t tickCount()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

} // namespace

TickerApp::TickerApp(TickerOptions options)
    : m_options(std::move(options))
    , m_display(std::make_shared<core::DisplayHolder>())
    , m_close(closeSteps())
    , m_loadErrors(m_close)
    , m_host([this](const std::string& text) { m_loadErrors.note(text); })
    , m_window(std::make_unique<TickerWindow>())
    , m_frames([this](int alpha, TickerWindow::Paint paint) { drawFrame(alpha, paint); })
    , m_catalog(m_options.skinsFolder)
    , m_trayMenus(m_catalog)
    , m_skins(*m_window, m_options.skinsFolder)
{
    m_windowRect = m_window->geometry();
    connectWindow();
    connect(&m_trayMenus, &TrayMenus::commandChosen, this, &TickerApp::runCommand);
    connect(&m_trayMenus, &TrayMenus::trayClicked, this, &TickerApp::bringToFront);
    connect(&m_trayMenus, &TrayMenus::trayMenuRequested, this,
        [this](QPoint pos) { showPopupMenu(PopupKind::Tray, pos); });
    connect(&m_compositor, &CompositorWatch::changed, this, &TickerApp::followCompositor);
}

TickerApp::~TickerApp()
{
    m_host.close();
    m_host.attach(nullptr);
    m_scheduler.attach(nullptr);
    m_patrol.reset();
}

void TickerApp::connectWindow()
{
    TickerWindow* window = m_window.get();
    connect(window, &TickerWindow::menuRequested, this,
        [this](QPoint pos) { showPopupMenu(PopupKind::Window, pos); });
    connect(window, &TickerWindow::linkRequested, this,
        [this] { openHeadlineLink(m_display->currentHeadline()); });
    connect(window, &TickerWindow::skinEventRequested, this, [this](int index) {
        if (skin()) {
            skin()->fireEvent(index);
        }
    });
    connect(window, &TickerWindow::closeRequested, this, [this] { requestClose(); });
    connect(window, &TickerWindow::placed, this, [this](QRect rect) { m_windowRect = rect; });
}

bool TickerApp::start()
{
    // Boxes shown during start-up run event loops: a close request or a tray
    // click must not act on a half-built application.
    CloseSequence::BusyScope busy(m_close);
    m_trayMenus.showTray();
    core::removeStaleTemporaries(m_options.settingsFile);
    std::optional<QRect> savedRect = loadScriptsAndSettings();
    m_loadErrors.show();
    if (!m_skins.loadAtStart(m_settings.window.skin, savedRect)) {
        m_trayMenus.hideTray();
        saveSettingsOnce();
        return false;
    }
    skinApplied();
    m_checks = checksFromSettings(m_settings.window);
    m_window->setPositionLocked(m_checks.positionLock);
    applyStacking();
    m_display->setMainList(core::makeSingleHeadlineList("", std::string(core::messages::kConnecting), ""));
    m_patrol
        = std::make_unique<core::Patrol>(m_scripts, m_settings.proxy, *m_display, m_host, m_options.patrol);
    m_host.attach(m_patrol.get());
    m_scheduler.attach(m_patrol.get());
    m_scheduler.startNow();
    m_scheduler.restartTimer(m_settings.reloadMinutes);
    m_close.started();
    return true;
}

// The window's place from zr5.ini, when it has one.
std::optional<QRect> TickerApp::loadScriptsAndSettings()
{
    const core::ProfileFile file = core::ProfileFile::load(m_options.settingsFile);
    // Loading runs each script's top-level code: it gets the patrol's bounds,
    // so a script looping there cannot hold up the start.
    core::applySettings(m_options.patrol, core::readSettings(file));
    const RunLimits limits = core::runLimits(m_options.patrol);
    m_scripts = core::enumerateScripts(m_options.scriptsFolder, m_loadErrors, &limits);
    m_settings = core::loadSettings(file, m_scripts);
    if (m_options.noticeUrl) {
        m_options.patrol.noticeUrl = *m_options.noticeUrl;
    }
    const core::WindowSettings& window = m_settings.window;
    if (window.width > 0 && window.height > 0) {
        return QRect(window.x, window.y, window.width, window.height);
    }
    return std::nullopt;
}

void TickerApp::skinApplied()
{
    m_windowRect = m_window->geometry();
    drawFrame(0);
}

bool TickerApp::switchSkin(const std::string& name)
{
    if (!m_skins.switchTo(name)) {
        return false;
    }
    skinApplied();
    return true;
}

void TickerApp::show()
{
    m_compositor.start();
    markSkipTaskbar(*m_window);
    m_window->show();
    followCompositor(m_compositor.composited());
    applyStacking();
    m_shown = true;
    m_frames.fadeIn();
}

void TickerApp::drawFrame(int alpha, TickerWindow::Paint paint)
{
    if (!skin()) {
        return;
    }
    std::shared_ptr<gfx::Surface32> surface
        = skin::renderFrame(*skin(), m_display, tickCount(), m_window->width(), m_window->height());
    if (!surface) {
        return;
    }
    m_window->present(surface->image(), alpha, paint);
    if (m_shown) {
        noteFirstFrame();
    }
}

void TickerApp::noteFirstFrame()
{
    if (m_firstFrameNoted) {
        return;
    }
    m_firstFrameNoted = true;
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - m_options.processStart);
    core::debugOutput(std::string(msg::kFirstFramePrefix) + std::to_string(elapsed.count())
        + std::string(msg::kFirstFrameSuffix));
}

void TickerApp::followCompositor(bool composited)
{
    m_window->setShape(composited ? Shape::Translucent : Shape::Masked);
}

void TickerApp::showPopupMenu(PopupKind kind, QPoint globalPos)
{
    if (m_close.isRunning()) {
        m_trayMenus.popup(kind, globalPos, m_checks, skinName());
    }
}

void TickerApp::applyStacking()
{
    m_window->setStacking(stackingFor(m_checks));
}

void TickerApp::bringToFront()
{
    if (!m_close.isRunning()) {
        return;
    }
    if (m_checks.alwaysBehind) {
        m_window->lower();
    } else {
        m_window->raise();
    }
}

core::Settings TickerApp::settingsToSave() const
{
    core::Settings settings = m_settings;
    // Without a skin there is no window worth remembering: keep the user's.
    if (!skin()) {
        return settings;
    }
    settings.window.skin = skinName();
    settings.window.x = m_windowRect.x();
    settings.window.y = m_windowRect.y();
    settings.window.width = m_windowRect.width();
    settings.window.height = m_windowRect.height();
    storeChecks(m_checks, settings.window);
    return settings;
}

bool TickerApp::saveSettingsOnce(SaveFailure tell)
{
    if (m_saved) {
        return false;
    }
    m_saved = true;
    std::optional<std::string> error
        = core::saveSettingsFile(m_options.settingsFile, m_scripts, settingsToSave());
    if (error) {
        std::string text = std::string(msg::kSaveFailed) + "\n" + *error;
        if (tell == SaveFailure::Box) {
            CloseSequence::BusyScope busy(m_close);
            showMessageBox(nullptr, msg::kCaptionSaveError, text);
        } else {
            writeMessageLine(msg::kCaptionSaveError, text);
        }
    }
    return true;
}

void TickerApp::saveSettingsAtExit()
{
    saveSettingsOnce(SaveFailure::StandardErrorOnly);
}

} // namespace zr5::ui
