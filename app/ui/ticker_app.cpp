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

#include <QTimer>
#include <QWindow>
#include <utility>

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
    , m_frames([this](int alpha, TickerWindow::Paint paint) { return drawFrame(alpha, paint); },
          [this] { m_window->requestFrame(); })
    , m_catalog(m_options.skinsFolder)
    , m_trayMenus(m_catalog)
    , m_skins(*m_window, m_options.skinsFolder)
    , m_docking(*m_window)
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
    connect(window, &TickerWindow::linkRequested, this, &TickerApp::openLinkAt);
    connect(window, &TickerWindow::keyCommand, this, &TickerApp::runKeyCommand);
    connect(window, &TickerWindow::hovered, this, [this](bool inside) {
        m_pointerInside = inside;
        updatePause();
    });
    connect(window, &TickerWindow::wheelTurned, this,
        [this](int steps) { m_display->setSpeed(m_display->speed() + steps); });
    connect(window, &TickerWindow::skinEventRequested, this, [this](int index) {
        if (skin()) {
            skin()->fireEvent(index);
        }
    });
    connect(window, &TickerWindow::closeRequested, this, [this] { requestClose(); });
    connect(window, &TickerWindow::placed, this, [this](QRect rect) { m_windowRect = rect; });
    connect(window, &TickerWindow::frameDue, &m_frames, &FrameClock::frameDue);
    // Queued: the fade's first frame is painted after the exposure's own paint.
    connect(window, &TickerWindow::exposed, this, &TickerApp::startFadeIn, Qt::QueuedConnection);
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
    m_display->setSpeed(m_settings.window.speed);
    m_window->setOpacityPercent(m_settings.window.opacity);
    m_window->setPositionLocked(m_checks.positionLock);
    applyStacking();
    m_docking.restore(m_settings.window.screen, static_cast<core::WindowDock>(m_settings.window.dock));
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
    m_docking.skinApplied();
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

void TickerApp::setDock(core::WindowDock dock)
{
    m_docking.setDock(dock);
}

void TickerApp::moveToScreen(const std::string& name)
{
    m_docking.moveToScreen(name);
}

void TickerApp::show()
{
    m_compositor.start();
    markSkipTaskbar(*m_window);
    m_window->show();
    followCompositor(m_compositor.composited());
    applyStacking();
    m_shown = true;
    // A fade painted before the window is on the screen is never seen. A
    // window that is never exposed (another workspace, no window manager)
    // starts anyway, a little later.
    if (m_window->windowHandle() && m_window->windowHandle()->isExposed()) {
        startFadeIn();
    } else {
        QTimer::singleShot(kExposeWait, this, &TickerApp::startFadeIn);
    }
}

void TickerApp::startFadeIn()
{
    if (m_fadeStarted || !m_shown || m_close.isClosing()) {
        return;
    }
    m_fadeStarted = true;
    m_frames.fadeIn();
}

bool TickerApp::drawFrame(int alpha, TickerWindow::Paint paint)
{
    if (!skin()) {
        return false;
    }
    // Drawn at the screen's own resolution: text stays sharp on HiDPI screens.
    const double ratio = m_window->devicePixelRatioF();
    std::shared_ptr<gfx::Surface32> surface = m_renderer.render(
        *skin(), m_display, tickCount(), m_window->width(), m_window->height(), ratio, sinceLastFrame());
    if (!surface) {
        return false;
    }
    // The window shows the renderer's pixels in place: a view of them carries
    // the device pixel ratio (set on the surface itself it would scale the
    // renderer's own drawing), and holding the surface keeps the renderer
    // from drawing over the frame on screen until the next one replaces it.
    const QImage& pixels = surface->image();
    QImage frame(pixels.constBits(), pixels.width(), pixels.height(), pixels.bytesPerLine(), pixels.format());
    frame.setDevicePixelRatio(ratio);
    const gfx::Rect change = m_renderer.changedRect();
    const QRect knownChange = change.right > change.left && change.bottom > change.top
        ? QRect(change.left, change.top, change.right - change.left, change.bottom - change.top)
        : QRect();
    const bool changed = !m_window->present(std::move(frame), alpha, paint, knownChange).isEmpty();
    m_shownSurface = std::move(surface);
    if (m_fadeStarted) {
        noteFirstFrame();
    }
    return changed;
}

// The steady clock never runs backwards; a long gap (a suspend, a stall) is
// cut short by the display holder.
std::chrono::microseconds TickerApp::sinceLastFrame()
{
    const auto now = std::chrono::steady_clock::now();
    const auto last = std::exchange(m_lastFrameAt, now);
    return last ? std::chrono::duration_cast<std::chrono::microseconds>(now - *last)
                : std::chrono::microseconds::zero();
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

// The headline under the pointer in `main`; elsewhere the one at the front.
void TickerApp::openLinkAt(QPoint windowPos)
{
    std::optional<core::Headline> underPointer
        = skin() ? skin()->headlineAt(windowPos.x(), windowPos.y()) : std::nullopt;
    openHeadlineLink(underPointer ? &*underPointer : m_display->currentHeadline());
}

void TickerApp::runKeyCommand(TickerWindow::KeyCommand command)
{
    switch (command) {
    case TickerWindow::KeyCommand::PreviousHeadline:
        m_display->previous();
        m_display->setPosition(0.0);
        break;
    case TickerWindow::KeyCommand::NextHeadline:
        m_display->next();
        m_display->setPosition(0.0);
        break;
    case TickerWindow::KeyCommand::OpenFrontLink:
        openHeadlineLink(m_display->currentHeadline());
        break;
    case TickerWindow::KeyCommand::TogglePause:
        m_pausedByKey = !m_pausedByKey;
        updatePause();
        break;
    }
}

void TickerApp::updatePause()
{
    m_display->setPaused(m_pausedByKey || (m_pointerInside && m_settings.window.hoverPause != 0));
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
    m_docking.refreshHints();
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
    const QRect rect = m_docking.docked() ? m_docking.freeRect() : m_windowRect;
    settings.window.x = rect.x();
    settings.window.y = rect.y();
    settings.window.width = rect.width();
    settings.window.height = rect.height();
    settings.window.dock = m_docking.dock();
    settings.window.screen = m_docking.screenName();
    storeChecks(m_checks, settings.window);
    settings.window.speed = m_display->speed();
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
