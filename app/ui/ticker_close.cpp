// The steps of the application's close, run in order by CloseSequence.
#include "ui/ticker_app.h"
#include "ui/ui_messages.h"

#include <QApplication>
#include <QDialog>
#include <cstdio>

namespace zr5::ui {

CloseSequence::Steps TickerApp::closeSteps()
{
    return {
        .stopActivity =
            [this] {
                m_frames.stop();
                m_scheduler.stop();
            },
        .cancelDialogs = [this] { cancelDialogs(); },
        .save =
            [this](CloseBy by) {
                m_windowRect = m_window->geometry();
                saveSettingsOnce(by == CloseBy::User ? SaveFailure::Box : SaveFailure::StandardErrorOnly);
            },
        // Workers blocked in a notification are released; the cancel makes
        // the rest leave at their next check point.
        .cancelWork =
            [this] {
                m_host.close();
                m_scheduler.cancelRunning();
            },
        .fadeOut =
            [this](std::function<void()> done) {
                if (m_shown) {
                    m_frames.fadeOut(std::move(done));
                } else {
                    done();
                }
            },
        .finish = [this] { finishClose(); },
    };
}

void TickerApp::cancelDialogs()
{
    m_trayMenus.closeMenu();
    // Cancelled, as if the user had pressed Escape; their loops unwind once
    // control returns to them.
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(widget); dialog && dialog->isVisible()) {
            dialog->reject();
        }
    }
}

void TickerApp::finishClose()
{
    m_window->hide();
    m_trayMenus.hideTray();
    const auto deadline = m_scheduler.cancelledAt() + m_options.closeGrace;
    m_scheduler.waitForWorkers([deadline] { return std::chrono::steady_clock::now() >= deadline; });
    if (patrolRunning()) {
        std::fwrite(msg::kWorkersAbandoned.data(), 1, msg::kWorkersAbandoned.size(), stderr);
        std::fflush(stderr);
    } else {
        m_host.attach(nullptr);
        m_scheduler.attach(nullptr);
        m_patrol.reset();
    }
    emit finished();
}

} // namespace zr5::ui
