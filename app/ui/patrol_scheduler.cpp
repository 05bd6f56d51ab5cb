#include "ui/patrol_scheduler.h"

#include <QEventLoop>
#include <algorithm>
#include <limits>

namespace zr5::ui {
namespace {

constexpr std::int64_t kMsPerMinute = 60000;

} // namespace

PatrolScheduler::PatrolScheduler()
{
    connect(&m_timer, &QTimer::timeout, this, &PatrolScheduler::startNow);
}

void PatrolScheduler::startNow()
{
    if (m_patrol && m_state == State::Scheduling) {
        m_patrol->startPatrol();
    }
}

void PatrolScheduler::restartTimer(std::int64_t reloadMinutes)
{
    std::int64_t minutes = std::max<std::int64_t>(1, reloadMinutes);
    std::int64_t ms = std::min<std::int64_t>(minutes * kMsPerMinute, std::numeric_limits<int>::max());
    m_timer.start(static_cast<int>(ms));
}

bool PatrolScheduler::pause()
{
    m_timer.stop();
    if (!patrolRunning()) {
        return false;
    }
    m_patrol->cancel();
    waitForWorkers([this] { return m_state == State::Stopped; });
    return m_patrol->wasCancelled();
}

void PatrolScheduler::stop()
{
    m_timer.stop();
    m_state = State::Stopped;
}

void PatrolScheduler::cancelRunning()
{
    if (m_patrol) {
        m_patrol->cancel();
    }
    m_cancelledAt = std::chrono::steady_clock::now();
}

void PatrolScheduler::waitForWorkers(const std::function<bool()>& giveUp) const
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
    poll.start(kWorkerPoll);
    loop.exec();
}

} // namespace zr5::ui
