// The display holder: joins the patrol's headlines and the notice headlines
// into the one endless sequence the ticker scrolls, and keeps its cursor.
// Main thread only.
#pragma once

#include "core/headline_list.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zr5::core {

class DisplayHolder final {
public:
    // After this many main headlines one notice headline is shown.
    static constexpr std::size_t kNoticePeriod = 6;
    static constexpr std::int32_t kDefaultSpeed = 2;

    DisplayHolder();

    // Replaces the main list and starts again at its first headline. A front
    // headline that has started scrolling is held until it has left: it is
    // being read, and the new list follows it.
    void setMainList(HeadlineListPtr list);
    // Replaces the notice list (null: none); the cursor stays where it is.
    void setNoticeList(HeadlineListPtr list);
    void rewind();

    const HeadlineListPtr& mainList() const { return m_main; }
    const HeadlineListPtr& noticeList() const { return m_notice; }

    // Null when there is nothing to show (see isValid()).
    const Headline* currentHeadline() const;
    bool isValid() const;
    void next();
    // The headline next() came from (wrapping, with the notices where they
    // were interleaved); a held headline is let go first.
    void previous();

    double position() const { return m_position; }
    void setPosition(double position) { m_position = position; }
    // Scrolls on by the time since the last frame, unless paused. A frame late
    // by more than kMaxStep (a suspend, a stall) moves no further than
    // kMaxStep would, and time going backwards moves nothing.
    void advanceBy(std::chrono::microseconds elapsed);
    // The scrolling speed: 50 pixels a second at speed 0, 300 at speed 10.
    std::int64_t pixelsPerSecond() const { return m_speed * 25 + 50; }
    static constexpr std::chrono::milliseconds kMaxStep { 250 };
    std::int32_t speed() const { return m_speed; }
    // Clamped to kMinSpeed..kMaxSpeed.
    void setSpeed(std::int32_t speed);
    bool paused() const { return m_paused; }
    void setPaused(bool paused) { m_paused = paused; }

    static constexpr std::int32_t kMinSpeed = 0;
    static constexpr std::int32_t kMaxSpeed = 10;

private:
    struct Cursor {
        std::size_t mainIndex = 0;
        std::size_t noticeIndex = 0;
        std::size_t sinceNotice = 0;
    };

    bool noticeDue() const;
    void clampIndices();

    HeadlineListPtr m_main;
    HeadlineListPtr m_notice;
    // The front headline of a replaced list, shown until it has scrolled out.
    std::shared_ptr<const Headline> m_heldFront;
    double m_position = 0.0;
    std::int32_t m_speed = kDefaultSpeed;
    bool m_paused = false;
    Cursor m_cursor;
};

} // namespace zr5::core
