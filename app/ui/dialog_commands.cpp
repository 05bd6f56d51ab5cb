// The menu commands that open the settings dialogs.
#include "dialogs/about_dialog.h"
#include "dialogs/scroll_speed_dialog.h"
#include "dialogs/settings_sheet.h"
#include "ui/ticker_app.h"

namespace zr5::ui {
namespace {

constexpr int kDialogOk = 1;

} // namespace

// The sheet edits the script list and the scroll dialog the display: no
// patrol may run meanwhile, and none may start from the timer (a modal
// dialog's loop still fires timers).
void TickerApp::runOptions()
{
    BusyScope busy(*this);
    waitForPatrol();
    if (m_closePending) {
        return;
    }
    m_patrolTimer.stop();
    core::ProxySettings proxy = m_settings.proxy;
    SettingsContext context { m_scripts, proxy, m_settings.reloadMinutes };
    if (runSettingsSheet(m_window.get(), context) == kDialogOk) {
        m_settings.proxy = proxy;
        if (!m_closePending) {
            startPatrol();
        }
    }
    restartPatrolTimer();
}

void TickerApp::runScrollSpeed()
{
    BusyScope busy(*this);
    waitForPatrol();
    if (m_closePending) {
        return;
    }
    m_patrolTimer.stop();
    std::int32_t speed = m_display->speed();
    if (runScrollSpeedDialog(m_window.get(), speed) == kDialogOk) {
        m_display->setSpeed(speed);
    }
    restartPatrolTimer();
}

void TickerApp::runAbout()
{
    BusyScope busy(*this);
    runAboutDialog(m_window.get());
}

} // namespace zr5::ui
