#include "ui/qt_patrol_host.h"

#include <QMetaObject>
#include <algorithm>

namespace zr5::ui {

QtPatrolHost::QtPatrolHost(ErrorHandler onLoadError)
    : m_onLoadError(std::move(onLoadError))
{
}

QtPatrolHost::~QtPatrolHost()
{
    close();
}

void QtPatrolHost::close()
{
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
}

bool QtPatrolHost::isClosed() const
{
    std::lock_guard lock(m_mutex);
    return m_closed;
}

void QtPatrolHost::loadError(std::string_view text)
{
    QMetaObject::invokeMethod(
        this,
        [this, message = std::string(text)] {
            if (m_onLoadError) {
                m_onLoadError(message);
            }
        },
        Qt::QueuedConnection);
}

void QtPatrolHost::patrolFinished()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_patrol) {
                m_patrol->onPatrolFinished();
            }
        },
        Qt::QueuedConnection);
}

void QtPatrolHost::noticeFinished()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_patrol) {
                m_patrol->onNoticeFinished();
            }
        },
        Qt::QueuedConnection);
}

// The main window takes no action on a notification: handling it only
// releases the worker.
void QtPatrolHost::notification(std::string_view, std::string_view)
{
    std::unique_lock lock(m_mutex);
    if (m_closed) {
        return;
    }
    std::uint64_t ticket = ++m_nextTicket;
    QMetaObject::invokeMethod(
        this, [this, ticket] { handled(ticket); }, Qt::QueuedConnection);
    m_changed.wait(lock, [&] { return m_closed || m_handledUpTo >= ticket; });
}

void QtPatrolHost::handled(std::uint64_t ticket)
{
    {
        std::lock_guard lock(m_mutex);
        m_handledUpTo = std::max(m_handledUpTo, ticket);
    }
    m_changed.notify_all();
}

} // namespace zr5::ui
