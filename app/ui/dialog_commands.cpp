// The menu commands, and the settings dialogs some of them open.
#include "dialogs/about_dialog.h"
#include "dialogs/display_page.h"
#include "dialogs/scroll_speed_dialog.h"
#include "dialogs/settings_sheet.h"
#include "ui/link_opening.h"
#include "ui/ticker_app.h"

#include <QDialog>
#include <QGuiApplication>

namespace zr5::ui {
namespace {

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

bool isSkinCommand(int command)
{
    return command >= kFirstSkinCommand && command < kFirstSkinCommand + kSkinCommandCount;
}

bool opensDialog(int command)
{
    return command == CommandOptions || command == CommandScrollSpeed || command == CommandAbout;
}

} // namespace

void TickerApp::runCommand(int command)
{
    if (!m_close.isRunning()) {
        return;
    }
    if (isSkinCommand(command)) {
        if (std::optional<std::string> name = m_catalog.skinForCommand(command)) {
            CloseSequence::BusyScope busy(m_close);
            switchSkin(*name);
        }
        return;
    }
    if (opensDialog(command) && m_close.isBusy()) {
        // The tray menu still works while a dialog is open: a second sheet
        // would edit the same script list.
        return;
    }
    // Help and the skin menu may show boxes too.
    CloseSequence::BusyScope busy(m_close);
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
        m_checks.alwaysInFront = !m_checks.alwaysInFront;
        applyStacking();
        break;
    case CommandAlwaysBehind:
        m_checks.alwaysBehind = !m_checks.alwaysBehind;
        applyStacking();
        break;
    case CommandPositionLock:
        m_checks.positionLock = !m_checks.positionLock;
        m_window->setPositionLocked(m_checks.positionLock);
        break;
    case CommandMoveTopLeft:
        // A docked window keeps to its edge.
        if (!m_docking.docked()) {
            m_window->move(0, 0);
        }
        break;
    case CommandHelp:
        openHelpFile(m_window.get(), m_options.helpFile);
        break;
    default:
        break;
    }
}

// The sheet edits the script list and the scroll dialog the display: the
// patrol is cancelled first, and none may start from the timer meanwhile (a
// modal dialog's loop still fires timers). A cancelled patrol runs again
// afterwards. A close cancels the dialog, which then changes nothing more.
void TickerApp::runOptions()
{
    CloseSequence::BusyScope busy(m_close);
    core::PatrolReport earlier = m_patrol->lastReport();
    const bool interrupted = m_scheduler.pause();
    if (m_close.isClosing()) {
        return;
    }
    core::PatrolReport report
        = interrupted ? withEarlierResults(m_patrol->lastReport(), earlier) : m_patrol->lastReport();
    // The sheet edits the settings themselves: with no patrol running nobody
    // else reads them, and whatever was applied is saved even by a close that
    // cancels the sheet afterwards.
    // The display page shows what the window does now.
    m_settings.window.speed = m_display->speed();
    m_settings.window.dock = m_docking.dock();
    m_settings.window.screen = m_docking.screenName();
    SettingsContext context { m_scripts, m_settings.proxy, m_settings.reloadMinutes, m_settings.window,
        &report, screenNamesOf(QGuiApplication::screens()),
        core::AutostartCommand { core::runningProgram(), m_options.autostartArguments } };
    // The sheet answers QDialog::Accepted when it applied changes.
    const bool applied = runSettingsSheet(m_window.get(), context) == QDialog::Accepted;
    if (m_close.isClosing()) {
        return;
    }
    if (applied) {
        applyDisplayOptions();
    }
    if (applied || interrupted) {
        m_scheduler.startNow();
    }
    m_scheduler.restartTimer(m_settings.reloadMinutes);
}

void TickerApp::applyDisplayOptions()
{
    const core::WindowSettings& window = m_settings.window;
    m_display->setSpeed(window.speed);
    updatePause();
    m_window->setOpacityPercent(window.opacity);
    if (window.screen != m_docking.screenName()) {
        moveToScreen(window.screen);
    }
    if (window.dock != m_docking.dock()) {
        setDock(static_cast<core::WindowDock>(window.dock));
    }
}

void TickerApp::runScrollSpeed()
{
    CloseSequence::BusyScope busy(m_close);
    const bool interrupted = m_scheduler.pause();
    if (m_close.isClosing()) {
        return;
    }
    std::int32_t speed = m_display->speed();
    const bool accepted = runScrollSpeedDialog(m_window.get(), speed) == QDialog::Accepted;
    if (m_close.isClosing()) {
        return;
    }
    if (accepted) {
        m_display->setSpeed(speed);
    }
    if (interrupted) {
        m_scheduler.startNow();
    }
    m_scheduler.restartTimer(m_settings.reloadMinutes);
}

void TickerApp::runAbout()
{
    CloseSequence::BusyScope busy(m_close);
    runAboutDialog(m_window.get());
}

} // namespace zr5::ui
