// When the patrol runs: now, then every reload interval; held while a dialog
// edits what it reads; cancelled for good at a close.
#pragma once

#include "core/patrol.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>

namespace zr5::ui {

class PatrolScheduler final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kWorkerPoll { 20 };

    PatrolScheduler();

    // The patrol scheduled from now on; null until start-up has built it.
    void attach(core::Patrol* patrol) { m_patrol = patrol; }
    // Starts a patrol unless one runs or the scheduler was cancelled.
    void startNow();
    // (Re)starts the timer. Below a minute a patrol would start again the
    // moment one ends; beyond the timer's range the interval is cut to it.
    void restartTimer(std::int64_t reloadMinutes);
    // Stops the timer, cancels a running patrol and waits for its workers;
    // true when the patrol did not complete, so that it should run again.
    bool pause();
    // For good: no patrol starts any more and a waiting pause() gives up.
    void stop();
    // Cancels the running patrol and notes when, for the close's grace period.
    void cancelRunning();

    enum class State { Scheduling, Stopped };
    State state() const { return m_state; }
    std::chrono::steady_clock::time_point cancelledAt() const { return m_cancelledAt; }
    bool patrolRunning() const { return m_patrol && m_patrol->isRunning(); }
    bool timerActive() const { return m_timer.isActive(); }

    // Serves queued calls (finishes, notifications) until the workers have
    // left or giveUp() holds.
    void waitForWorkers(const std::function<bool()>& giveUp) const;

private:
    core::Patrol* m_patrol = nullptr;
    QTimer m_timer;
    State m_state = State::Scheduling;
    std::chrono::steady_clock::time_point m_cancelledAt;
};

} // namespace zr5::ui
