#include "ui/ticker_app.h"

#include "core/atomic_file.h"
#include "core/debug_output.h"
#include "core/messages.h"
#include "core/profile_file.h"
#include "dialogs/qt_text.h"
#include "skin/runtime/frame_renderer.h"
#include "ui/link_target.h"
#include "ui/message_box.h"
#include "ui/skin_loader.h"
#include "ui/ui_messages.h"
#include "ui/window_rules.h"
#include "ui/x11_window_state.h"

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <limits>

namespace zr5::ui {
namespace {

constexpr int kFrameMs = 10;
constexpr int kFadeStepMs = 20;
constexpr int kWaitPollMs = 20;
constexpr std::int64_t kMsPerMinute = 60000;

// Script load errors at start-up are gathered for one box.
class CollectingErrorSink final : public core::LoadErrorSink {
public:
    explicit CollectingErrorSink(std::vector<std::string>& errors)
        : m_errors(errors)
    {
    }
    void loadError(std::string_view text) override { m_errors.emplace_back(text); }

private:
    std::vector<std::string>& m_errors;
};

std::string joinLines(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty()) {
            joined += '\n';
        }
        joined += text;
    }
    return joined;
}

std::uint32_t tickCount()
{
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void writeStderr(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace

TickerApp::BusyScope::BusyScope(TickerApp& app)
    : m_app(app)
{
    ++m_app.m_busy;
}

TickerApp::BusyScope::~BusyScope()
{
    if (--m_app.m_busy > 0) {
        return;
    }
    if (m_app.m_closePending) {
        m_app.m_closePending = false;
        QMetaObject::invokeMethod(
            &m_app, [app = &m_app, by = m_app.m_pendingCloseBy] { app->requestClose(by); },
            Qt::QueuedConnection);
    }
    if (m_app.m_finishPending) {
        m_app.m_finishPending = false;
        QMetaObject::invokeMethod(&m_app, &TickerApp::finishClose, Qt::QueuedConnection);
    }
}

TickerApp::TickerApp(TickerOptions options)
    : m_options(std::move(options))
    , m_display(std::make_shared<core::DisplayHolder>())
    , m_host([this](const std::string& text) { noteLoadError(text); })
    , m_window(std::make_unique<TickerWindow>())
    , m_catalog(m_options.skinsFolder)
{
    m_windowRect = m_window->geometry();
    m_frameTimer.setInterval(kFrameMs);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &TickerApp::onFrameTimer);
    connect(&m_patrolTimer, &QTimer::timeout, this, &TickerApp::startPatrol);
    connect(m_window.get(), &TickerWindow::menuRequested, this,
        [this](QPoint pos) { showPopupMenu(PopupKind::Window, pos); });
    connect(m_window.get(), &TickerWindow::linkRequested, this, &TickerApp::openCurrentLink);
    connect(m_window.get(), &TickerWindow::skinEventRequested, this, [this](int index) {
        if (m_skin) {
            m_skin->fireEvent(index);
        }
    });
    connect(m_window.get(), &TickerWindow::closeRequested, this, [this] { requestClose(); });
    connect(m_window.get(), &TickerWindow::placed, this, [this](QRect rect) { m_windowRect = rect; });
    connect(&m_compositor, &CompositorWatch::changed, this, &TickerApp::followCompositor);
}

TickerApp::~TickerApp()
{
    m_host.close();
    m_host.attach(nullptr);
    m_patrol.reset();
    m_menu.reset();
}

bool TickerApp::start()
{
    // Boxes shown during start-up run event loops: a close request or a tray
    // click must not act on a half-built application.
    BusyScope busy(*this);
    createTray();
    core::removeStaleTemporaries(m_options.settingsFile);
    loadScriptsAndSettings();
    showLoadErrors();
    std::optional<NamedSkin> loaded = loadStartupSkin(nullptr, m_options.skinsFolder, m_settings.window.skin);
    if (!loaded) {
        m_tray.hide();
        saveSettingsOnce();
        return false;
    }
    applySkin(std::move(*loaded));
    applySavedWindowFlags();
    m_display->setMainList(core::makeSingleHeadlineList("", std::string(core::messages::kConnecting), ""));
    m_patrol
        = std::make_unique<core::Patrol>(m_scripts, m_settings.proxy, *m_display, m_host, m_options.patrol);
    m_host.attach(m_patrol.get());
    startPatrol();
    restartPatrolTimer();
    m_started = true;
    return true;
}

void TickerApp::createTray()
{
    m_tray.setIcon(QApplication::windowIcon());
    m_tray.setToolTip(toQString(msg::kTrayTip));
    connect(&m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) {
            bringToFront();
        } else if (reason == QSystemTrayIcon::Context) {
            showPopupMenu(PopupKind::Tray, QCursor::pos());
        }
    });
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        writeStderr(msg::kTrayUnavailable);
    }
    // Shown even without a tray host: one that starts later still takes the icon.
    m_tray.show();
}

void TickerApp::loadScriptsAndSettings()
{
    CollectingErrorSink errors(m_loadErrors);
    const core::ProfileFile file = core::ProfileFile::load(m_options.settingsFile);
    // Loading runs each script's top-level code: it gets the patrol's bounds,
    // so a script looping there cannot hold up the start.
    core::applySettings(m_options.patrol, core::readSettings(file));
    const RunLimits limits = core::runLimits(m_options.patrol);
    m_scripts = core::enumerateScripts(m_options.scriptsFolder, errors, &limits);
    m_settings = core::loadSettings(file, m_scripts);
    if (m_options.noticeUrl) {
        m_options.patrol.noticeUrl = *m_options.noticeUrl;
    }
    const core::WindowSettings& window = m_settings.window;
    if (window.width > 0 && window.height > 0) {
        m_savedRect = QRect(window.x, window.y, window.width, window.height);
    }
}

void TickerApp::applySavedWindowFlags()
{
    m_flags.alwaysInFront = m_settings.window.z == 1;
    m_flags.alwaysBehind = m_settings.window.z == -1;
    m_flags.positionLock = m_settings.window.sticking != 0;
    m_window->setPositionLocked(m_flags.positionLock);
    applyStacking();
}

void TickerApp::applySkin(NamedSkin loaded)
{
    m_skin = std::move(loaded.skin);
    m_skinName = std::move(loaded.name);
    const skin::WindowGeometry& geometry = m_skin->geometry();
    QSize size(std::max(1, geometry.designWidth), std::max(1, geometry.designHeight));
    m_window->setSkinRules(geometry, sizeLimits(*m_skin), sizeSteps(*m_skin));
    if (m_savedRect) {
        m_window->setGeometry(placeOnScreens(*m_savedRect, size));
        m_savedRect.reset();
    } else {
        m_window->resize(size);
    }
    m_windowRect = m_window->geometry();
    drawFrame(0);
}

bool TickerApp::switchSkin(const std::string& name)
{
    std::shared_ptr<skin::Skin> loaded = loadSkinNamed(m_window.get(), m_options.skinsFolder, name);
    if (!loaded) {
        return false;
    }
    applySkin(NamedSkin { name, std::move(loaded) });
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
    fade(32, 224, 32);
    drawFrame(255, TickerWindow::Paint::Now);
    m_frameTimer.start();
}

void TickerApp::fade(int from, int to, int step)
{
    for (int alpha = from; step > 0 ? alpha <= to : alpha >= to; alpha += step) {
        drawFrame(alpha, TickerWindow::Paint::Now);
        QThread::msleep(kFadeStepMs);
    }
}

void TickerApp::drawFrame(int alpha, TickerWindow::Paint paint)
{
    if (!m_skin) {
        return;
    }
    std::shared_ptr<gfx::Surface32> surface
        = skin::renderFrame(*m_skin, m_display, tickCount(), m_window->width(), m_window->height());
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

void TickerApp::onFrameTimer()
{
    drawFrame(255);
}

void TickerApp::followCompositor(bool composited)
{
    if (!m_window) {
        return;
    }
    m_window->setShape(composited ? Shape::Translucent : Shape::Masked);
}

void TickerApp::startPatrol()
{
    if (m_patrol && !m_closing) {
        m_patrol->startPatrol();
    }
}

void TickerApp::restartPatrolTimer()
{
    // Below a minute a patrol would start again the moment one ends; beyond
    // the timer's range the interval is cut to it.
    std::int64_t minutes = std::max<std::int64_t>(1, m_settings.reloadMinutes);
    std::int64_t ms = std::min<std::int64_t>(minutes * kMsPerMinute, std::numeric_limits<int>::max());
    m_patrolTimer.start(static_cast<int>(ms));
}

void TickerApp::showPopupMenu(PopupKind kind, QPoint globalPos)
{
    if (!m_started || m_closing) {
        return;
    }
    if (m_menu) {
        m_menu->close();
    }
    m_menu = buildPopupMenu(kind, m_flags, m_catalog, m_skinName);
    connect(m_menu.get(), &QMenu::triggered, this, [this](QAction* action) {
        int command = action->data().toInt();
        // After the menu has closed, so that dialogs do not open under it.
        QMetaObject::invokeMethod(
            this, [this, command] { runCommand(command); }, Qt::QueuedConnection);
    });
    m_menu->popup(globalPos);
}

void TickerApp::runCommand(int command)
{
    if (!m_started || m_closing) {
        return;
    }
    if (command >= kFirstSkinCommand && command < kFirstSkinCommand + kSkinCommandCount) {
        if (std::optional<std::string> name = m_catalog.skinForCommand(command)) {
            BusyScope busy(*this);
            switchSkin(*name);
        }
        return;
    }
    const bool opensDialog
        = command == CommandOptions || command == CommandScrollSpeed || command == CommandAbout;
    if (opensDialog && m_busy > 0) {
        // The tray menu still works while a dialog is open: a second sheet
        // would edit the same script list.
        return;
    }
    // Help and the skin menu may show boxes too.
    BusyScope busy(*this);
    switch (command) {
    case CommandExit:
        requestClose();
        break;
    case CommandScrollSpeed:
        runScrollSpeed();
        break;
    case CommandOptions:
        runOptions();
        break;
    case CommandAbout:
        runAbout();
        break;
    case CommandAlwaysInFront:
        toggle(m_flags.alwaysInFront);
        break;
    case CommandAlwaysBehind:
        toggle(m_flags.alwaysBehind);
        break;
    case CommandPositionLock:
        m_flags.positionLock = !m_flags.positionLock;
        m_window->setPositionLocked(m_flags.positionLock);
        break;
    case CommandMoveTopLeft:
        m_window->move(0, 0);
        break;
    case CommandHelp:
        openHelp();
        break;
    default:
        break;
    }
}

void TickerApp::toggle(bool& flag)
{
    flag = !flag;
    applyStacking();
}

void TickerApp::applyStacking()
{
    // Always behind wins: every restacking sends the window back to the bottom.
    Stacking stacking = m_flags.alwaysBehind ? Stacking::AlwaysBehind
        : m_flags.alwaysInFront              ? Stacking::AlwaysInFront
                                             : Stacking::Normal;
    m_window->setStacking(stacking);
}

void TickerApp::bringToFront()
{
    if (!m_started || m_closing) {
        return;
    }
    if (m_flags.alwaysBehind) {
        m_window->lower();
    } else {
        m_window->raise();
    }
}

void TickerApp::openCurrentLink()
{
    const core::Headline* headline = m_display->currentHeadline();
    if (!headline || headline->link.empty()) {
        return;
    }
    QUrl url = linkTarget(toQString(headline->link));
    if (!url.isValid()) {
        return;
    }
    core::debugOutput(std::string(msg::kOpenUrlPrefix) + url.toString().toStdString() + "\n");
    QDesktopServices::openUrl(url);
}

void TickerApp::openHelp()
{
    QFileInfo help(QString::fromStdString(m_options.helpFile.string()));
    if (!help.isFile()) {
        showMessageBox(m_window.get(), msg::kCaptionHelpError, msg::kHelpMissing);
        return;
    }
    QUrl url = QUrl::fromLocalFile(help.absoluteFilePath());
    core::debugOutput(std::string(msg::kOpenUrlPrefix) + url.toString().toStdString() + "\n");
    QDesktopServices::openUrl(url);
}

void TickerApp::waitForWorkers(const std::function<bool()>& giveUp)
{
    if (!patrolRunning() || giveUp()) {
        return;
    }
    // Keeps serving queued calls: a worker blocked in a notification, and the
    // finishes that end the patrol, need the main thread.
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!patrolRunning() || giveUp()) {
            loop.quit();
        }
    });
    poll.start(kWaitPollMs);
    loop.exec();
}

bool TickerApp::pausePatrol()
{
    m_patrolTimer.stop();
    if (!patrolRunning()) {
        return false;
    }
    m_patrol->cancel();
    waitForWorkers([this] { return m_closing; });
    return m_patrol->wasCancelled();
}

void TickerApp::closeDialogs()
{
    if (m_menu) {
        m_menu->close();
    }
    // Cancelled, as if the user had pressed Escape; their loops unwind once
    // control returns to them.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
            dialog->reject();
        }
    }
}

void TickerApp::requestClose(CloseBy by)
{
    if (m_closing) {
        // A signal during the box of a failed save must not wait for the user.
        if (by == CloseBy::Signal) {
            closeDialogs();
        }
        return;
    }
    if (!m_started) {
        // The settings may not be read yet: the start ends first.
        m_closePending = true;
        m_pendingCloseBy = by;
        closeDialogs();
        return;
    }
    m_closing = true;
    m_frameTimer.stop();
    m_patrolTimer.stop();
    closeDialogs();
    m_windowRect = m_window->geometry();
    saveSettingsOnce(by == CloseBy::User ? SaveFailure::Box : SaveFailure::StandardErrorOnly);
    // Workers blocked in a notification are released; the cancel makes the
    // rest leave at their next check point.
    m_host.close();
    m_patrol->cancel();
    m_cancelledAt = std::chrono::steady_clock::now();
    if (m_shown) {
        fade(224, 32, -32);
    }
    // Deferred: the request may come from inside one of the window's own handlers.
    QMetaObject::invokeMethod(this, &TickerApp::finishClose, Qt::QueuedConnection);
}

void TickerApp::finishClose()
{
    if (m_busy > 0) {
        // A cancelled dialog's loop is still on the stack, under its owner the window.
        m_finishPending = true;
        return;
    }
    m_window->hide();
    m_tray.hide();
    const auto deadline = m_cancelledAt + m_options.closeGrace;
    waitForWorkers([deadline] { return std::chrono::steady_clock::now() >= deadline; });
    if (patrolRunning()) {
        writeStderr(msg::kWorkersAbandoned);
    } else {
        m_host.attach(nullptr);
        m_patrol.reset();
    }
    emit finished();
}

void TickerApp::noteLoadError(std::string text)
{
    m_loadErrors.push_back(std::move(text));
    if (!m_loadErrorsQueued) {
        m_loadErrorsQueued = true;
        QMetaObject::invokeMethod(this, &TickerApp::showLoadErrors, Qt::QueuedConnection);
    }
}

void TickerApp::showLoadErrors()
{
    m_loadErrorsQueued = false;
    if (m_loadErrors.empty()) {
        return;
    }
    std::string text = joinLines(m_loadErrors);
    m_loadErrors.clear();
    if (m_closing) {
        writeMessageLine(core::messages::kLoadErrorCaption, text);
        return;
    }
    // Errors arriving while the box is open gather for the next one.
    BusyScope busy(*this);
    showMessageBox(nullptr, core::messages::kLoadErrorCaption, text);
}

core::Settings TickerApp::settingsToSave() const
{
    core::Settings settings = m_settings;
    // Without a skin there is no window worth remembering: keep the user's.
    if (!m_skin) {
        return settings;
    }
    settings.window.skin = m_skinName;
    settings.window.x = m_windowRect.x();
    settings.window.y = m_windowRect.y();
    settings.window.width = m_windowRect.width();
    settings.window.height = m_windowRect.height();
    settings.window.z = m_flags.alwaysInFront ? 1 : m_flags.alwaysBehind ? -1 : 0;
    settings.window.sticking = m_flags.positionLock ? 1 : 0;
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
            BusyScope busy(*this);
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
