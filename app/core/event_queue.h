// A main-thread task queue for programs without a GUI event loop (the
// zr5patrol tool, tests): workers post or send calls, the main thread runs
// them. The Qt program uses queued calls instead.
#pragma once

#include "core/patrol.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace zr5::core {

class EventQueue final {
public:
    using Task = std::function<void()>;

    // Any thread. Dropped once the queue is closed.
    void post(Task task);
    // Any thread but the main one: runs task on the main thread and waits for
    // it. Returns false at once, without running it, when the queue is closed.
    bool send(Task task);
    // Main thread: runs tasks until done() holds, or the time is up, or the
    // queue is closed. Returns done().
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // Main thread: runs the tasks already waiting.
    void runPending();
    // From now on nothing waits for the main thread.
    void close();

private:
    bool runOne(std::unique_lock<std::mutex>& lock);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Task> m_tasks;
    bool m_closed = false;
};

// A PatrolHost on an EventQueue: finishes are posted to the patrol's
// handlers, notifications sent, load errors posted.
class QueuedPatrolHost final : public PatrolHost {
public:
    using ErrorHandler = std::function<void(const std::string&)>;
    using NotificationHandler = std::function<void(const std::string&, const std::string&)>;

    explicit QueuedPatrolHost(EventQueue& queue)
        : m_queue(queue)
    {
    }

    // Main thread, before the first patrol.
    void attach(Patrol& patrol) { m_patrol = &patrol; }
    void onLoadError(ErrorHandler handler) { m_onError = std::move(handler); }
    void onNotification(NotificationHandler handler) { m_onNotification = std::move(handler); }

    void loadError(std::string_view text) override;
    void patrolFinished() override;
    void noticeFinished() override;
    void notification(std::string_view name, std::string_view value) override;

private:
    EventQueue& m_queue;
    Patrol* m_patrol = nullptr;
    ErrorHandler m_onError;
    NotificationHandler m_onNotification;
};

} // namespace zr5::core
