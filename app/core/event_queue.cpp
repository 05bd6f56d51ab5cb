#include "core/event_queue.h"

#include <memory>

namespace zr5::core {

void EventQueue::post(Task task)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_closed) {
            return;
        }
        m_tasks.push_back(std::move(task));
    }
    m_changed.notify_all();
}

bool EventQueue::send(Task task)
{
    auto done = std::make_shared<bool>(false);
    std::unique_lock lock(m_mutex);
    if (m_closed) {
        return false;
    }
    // done is written under m_mutex by runOne's notify below.
    m_tasks.push_back([this, done, task = std::move(task)] {
        task();
        std::lock_guard inner(m_mutex);
        *done = true;
    });
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return *done || m_closed; });
    return *done;
}

bool EventQueue::runOne(std::unique_lock<std::mutex>& lock)
{
    if (m_tasks.empty()) {
        return false;
    }
    Task task = std::move(m_tasks.front());
    m_tasks.pop_front();
    lock.unlock();
    task();
    lock.lock();
    m_changed.notify_all();
    return true;
}

bool EventQueue::runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(m_mutex);
    while (true) {
        lock.unlock();
        bool finished = done();
        lock.lock();
        if (finished || m_closed) {
            return finished;
        }
        if (!runOne(lock)
            && !m_changed.wait_until(lock, deadline, [&] { return !m_tasks.empty() || m_closed; })) {
            lock.unlock();
            return done();
        }
    }
}

void EventQueue::runPending()
{
    std::unique_lock lock(m_mutex);
    while (runOne(lock)) { }
}

void EventQueue::close()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_tasks.clear();
    }
    m_changed.notify_all();
}

void QueuedPatrolHost::loadError(std::string_view text)
{
    m_queue.post([this, message = std::string(text)] {
        if (m_onError) {
            m_onError(message);
        }
    });
}

void QueuedPatrolHost::patrolFinished()
{
    m_queue.post([this] { m_patrol->onPatrolFinished(); });
}

void QueuedPatrolHost::noticeFinished()
{
    m_queue.post([this] { m_patrol->onNoticeFinished(); });
}

void QueuedPatrolHost::notification(std::string_view name, std::string_view value)
{
    m_queue.send([this, n = std::string(name), v = std::string(value)] {
        if (m_onNotification) {
            m_onNotification(n, v);
        }
    });
}

} // namespace zr5::core
