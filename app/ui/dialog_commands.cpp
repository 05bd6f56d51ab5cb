// The menu commands that open the settings dialogs.
#include "dialogs/about_dialog.h"
#include "dialogs/scroll_speed_dialog.h"
#include "dialogs/settings_sheet.h"
#include "ui/ticker_app.h"

namespace zr5::ui {
namespace {

constexpr int kDialogOk = 1;

// A patrol cancelled for the sheet reports its unfinished entries as
// cancelled: the earlier patrol's word on them is more use to the user.
core::PatrolReport withEarlierResults(const core::PatrolReport& latest, const core::PatrolReport& earlier)
{
    core::PatrolReport merged;
    for (const core::EntryResult& entry : latest.entries()) {
        const core::EntryResult* before = entry.outcome == core::Outcome::Cancelled
            ? earlier.find(entry.scriptName, entry.category)
            : nullptr;
        merged.add(before ? *before : entry);
    }
    return merged;
}

} // namespace

// The sheet edits the script list and the scroll dialog the display: the
// patrol is cancelled first, and none may start from the timer meanwhile (a
// modal dialog's loop still fires timers). A cancelled patrol runs again
// afterwards. A close cancels the dialog, which then changes nothing more.
void TickerApp::runOptions()
{
    BusyScope busy(*this);
    core::PatrolReport earlier = m_patrol->lastReport();
    const bool interrupted = pausePatrol();
    if (m_closing) {
        return;
    }
    core::PatrolReport report
        = interrupted ? withEarlierResults(m_patrol->lastReport(), earlier) : m_patrol->lastReport();
    // The sheet edits the settings themselves: with no patrol running nobody
    // else reads them, and whatever was applied is saved even by a close that
    // cancels the sheet afterwards.
    SettingsContext context { m_scripts, m_settings.proxy, m_settings.reloadMinutes, &report };
    const int outcome = runSettingsSheet(m_window.get(), context);
    if (m_closing) {
        return;
    }
    if (outcome == kDialogOk || interrupted) {
        startPatrol();
    }
    restartPatrolTimer();
}

void TickerApp::runScrollSpeed()
{
    BusyScope busy(*this);
    const bool interrupted = pausePatrol();
    if (m_closing) {
        return;
    }
    std::int32_t speed = m_display->speed();
    const bool accepted = runScrollSpeedDialog(m_window.get(), speed) == kDialogOk;
    if (m_closing) {
        return;
    }
    if (accepted) {
        m_display->setSpeed(speed);
    }
    if (interrupted) {
        startPatrol();
    }
    restartPatrolTimer();
}

void TickerApp::runAbout()
{
    BusyScope busy(*this);
    runAboutDialog(m_window.get());
}

} // namespace zr5::ui
