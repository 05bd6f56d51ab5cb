// The patrol's way onto the main thread: queued calls. Notifications block the
// worker until the main thread has run them, unless the host is closed, which
// releases every waiting worker at once (shutdown must be able to join them).
#pragma once

#include "core/patrol.h"

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace zr5::ui {

class QtPatrolHost final : public QObject, public core::PatrolHost {
    Q_OBJECT
public:
    using ErrorHandler = std::function<void(const std::string&)>;

    // Lives on (and is served by) the thread that creates it.
    explicit QtPatrolHost(ErrorHandler onLoadError);
    ~QtPatrolHost() override;

    // Main thread. The patrol whose finishes are delivered; null detaches.
    void attach(core::Patrol* patrol) { m_patrol = patrol; }
    // Any thread: from now on notifications return at once.
    void close();
    bool isClosed() const;

    void loadError(std::string_view text) override;
    void patrolFinished() override;
    void noticeFinished() override;
    void notification(std::string_view name, std::string_view value) override;

private:
    void handled(std::uint64_t ticket);

    ErrorHandler m_onLoadError;
    core::Patrol* m_patrol = nullptr; // main thread only

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::uint64_t m_nextTicket = 0;
    std::uint64_t m_handledUpTo = 0; // queued calls run in order
    bool m_closed = false;
};

} // namespace zr5::ui
