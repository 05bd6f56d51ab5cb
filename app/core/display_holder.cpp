#include "core/display_holder.h"

#include <algorithm>

namespace zr5::core {
namespace {

std::size_t sizeOf(const HeadlineListPtr& list)
{
    return list ? list->size() : 0;
}

} // namespace

DisplayHolder::DisplayHolder()
    : m_main(std::make_shared<HeadlineList>())
{
}

void DisplayHolder::setMainList(HeadlineListPtr list)
{
    const Headline* front = m_position > 0.0 ? currentHeadline() : nullptr;
    std::shared_ptr<const Headline> held = front ? std::make_shared<const Headline>(*front) : nullptr;
    const double position = m_position;
    m_main = list ? std::move(list) : std::make_shared<HeadlineList>();
    rewind();
    if (held) {
        m_heldFront = std::move(held);
        m_position = position;
    }
}

void DisplayHolder::setSpeed(std::int32_t speed)
{
    m_speed = std::clamp(speed, kMinSpeed, kMaxSpeed);
}

void DisplayHolder::advanceBy(std::chrono::microseconds elapsed)
{
    if (m_paused || elapsed.count() <= 0) {
        return;
    }
    const std::int64_t micros = std::min<std::int64_t>(
        elapsed.count(), std::chrono::duration_cast<std::chrono::microseconds>(kMaxStep).count());
    // One rounding only: frames 10 ms apart land exactly where the per-frame
    // steps of a quarter of the speed plus a half did.
    m_position += static_cast<double>(pixelsPerSecond() * micros) / 1e6;
}

void DisplayHolder::setNoticeList(HeadlineListPtr list)
{
    m_notice = std::move(list);
    clampIndices();
}

void DisplayHolder::rewind()
{
    m_position = 0.0;
    m_cursor = Cursor {};
    m_heldFront.reset();
}

void DisplayHolder::clampIndices()
{
    if (m_cursor.mainIndex >= sizeOf(m_main)) {
        m_cursor.mainIndex = 0;
    }
    if (m_cursor.noticeIndex >= sizeOf(m_notice)) {
        m_cursor.noticeIndex = 0;
    }
}

bool DisplayHolder::noticeDue() const
{
    return m_cursor.sinceNotice == kNoticePeriod || m_main->empty();
}

const Headline* DisplayHolder::currentHeadline() const
{
    if (m_heldFront) {
        return m_heldFront.get();
    }
    if (noticeDue() && m_cursor.noticeIndex < sizeOf(m_notice)) {
        return &m_notice->at(m_cursor.noticeIndex);
    }
    if (m_cursor.mainIndex < m_main->size()) {
        return &m_main->at(m_cursor.mainIndex);
    }
    return nullptr;
}

bool DisplayHolder::isValid() const
{
    return m_heldFront || m_cursor.mainIndex < m_main->size() || m_cursor.noticeIndex < sizeOf(m_notice);
}

void DisplayHolder::next()
{
    // The replaced list's front headline has left: the new list begins.
    if (m_heldFront) {
        m_heldFront.reset();
        return;
    }
    if (++m_cursor.sinceNotice > kNoticePeriod) {
        m_cursor.sinceNotice = 0;
        if (m_notice) {
            if (++m_cursor.noticeIndex >= m_notice->size()) {
                m_cursor.noticeIndex = 0;
            }
            return;
        }
    }
    if (++m_cursor.mainIndex >= m_main->size()) {
        m_cursor.mainIndex = 0;
    }
}

// next() undone step by step: a main step counted sinceNotice up and moved the
// main index on; the step after a notice reset sinceNotice and moved the
// notice index on (or, with no notice list, the main index).
void DisplayHolder::previous()
{
    if (m_heldFront) {
        m_heldFront.reset();
    }
    auto stepBack = [](std::size_t& index, std::size_t size) {
        index = index == 0 ? (size == 0 ? 0 : size - 1) : index - 1;
    };
    if (m_cursor.sinceNotice > 0) {
        --m_cursor.sinceNotice;
        stepBack(m_cursor.mainIndex, m_main->size());
        return;
    }
    m_cursor.sinceNotice = kNoticePeriod;
    if (m_notice) {
        stepBack(m_cursor.noticeIndex, m_notice->size());
        return;
    }
    stepBack(m_cursor.mainIndex, m_main->size());
}

} // namespace zr5::core
