#include "core/display_holder.h"

#include <chrono>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr5::core {
namespace {

constexpr std::chrono::microseconds kTenMs { 10000 };

HeadlineListPtr makeList(const std::string& prefix, int count)
{
    auto list = std::make_shared<HeadlineList>(prefix == "N" ? "PR" : "main");
    for (int i = 0; i < count; ++i) {
        list->append(prefix + std::to_string(i), "http://example.com/" + prefix + std::to_string(i));
    }
    return list;
}

// The titles shown in steps steps, starting at the current headline.
std::vector<std::string> sequence(DisplayHolder& display, int steps)
{
    std::vector<std::string> shown;
    for (int i = 0; i < steps; ++i) {
        const Headline* headline = display.currentHeadline();
        shown.push_back(headline ? headline->title : "-");
        display.next();
    }
    return shown;
}

std::vector<std::string> titles(std::initializer_list<const char*> names)
{
    return { names.begin(), names.end() };
}

TEST(DisplayHolder, InterleavesOneNoticeAfterSixMainHeadlines)
{
    DisplayHolder display;
    display.setMainList(makeList("M", 13));
    display.setNoticeList(makeList("N", 2));
    EXPECT_EQ(sequence(display, 22),
        titles({ "M0", "M1", "M2", "M3", "M4", "M5", "N0", "M6", "M7", "M8", "M9", "M10", "M11", "N1", "M12",
            "M0", "M1", "M2", "M3", "M4", "N0", "M5" }));
}

TEST(DisplayHolder, WithoutNoticeListRepeatsTheMainList)
{
    DisplayHolder display;
    display.setMainList(makeList("M", 3));
    EXPECT_EQ(sequence(display, 8), titles({ "M0", "M1", "M2", "M0", "M1", "M2", "M0", "M1" }));
}

TEST(DisplayHolder, EmptyNoticeListShowsTheDueMainHeadlineTwice)
{
    DisplayHolder display;
    display.setMainList(makeList("M", 14));
    display.setNoticeList(std::make_shared<HeadlineList>("PR"));
    EXPECT_EQ(sequence(display, 17),
        titles({ "M0", "M1", "M2", "M3", "M4", "M5", "M6", "M6", "M7", "M8", "M9", "M10", "M11", "M12", "M12",
            "M13", "M0" }));
}

TEST(DisplayHolder, EmptyMainListShowsEachNoticeForSevenSteps)
{
    DisplayHolder display;
    display.setMainList(std::make_shared<HeadlineList>());
    display.setNoticeList(makeList("N", 2));
    std::vector<std::string> expected(7, "N0");
    expected.insert(expected.end(), 7, "N1");
    expected.insert(expected.end(), 2, "N0");
    EXPECT_TRUE(display.isValid());
    EXPECT_EQ(sequence(display, 16), expected);
}

TEST(DisplayHolder, NothingToShowIsInvalid)
{
    DisplayHolder display;
    EXPECT_FALSE(display.isValid());
    EXPECT_EQ(display.currentHeadline(), nullptr);
    display.setNoticeList(std::make_shared<HeadlineList>("PR"));
    display.next();
    EXPECT_FALSE(display.isValid());
    EXPECT_EQ(display.currentHeadline(), nullptr);
}

TEST(DisplayHolder, SettingTheMainListRewindsAndTheNoticeListKeepsTheCursor)
{
    DisplayHolder display;
    display.setMainList(makeList("M", 10));
    display.setNoticeList(makeList("N", 3));
    sequence(display, 9); // M0..M5, N0, M6, M7 shown; M8 is next
    display.setPosition(42.0);
    display.setNoticeList(makeList("N", 3));
    EXPECT_EQ(display.currentHeadline()->title, "M8");
    EXPECT_EQ(display.position(), 42.0);

    display.setPosition(0.0);
    display.setMainList(makeList("M", 10));
    EXPECT_EQ(display.currentHeadline()->title, "M0");
    EXPECT_EQ(display.position(), 0.0);
}

TEST(DisplayHolder, ANewListWaitsUntilTheFrontHeadlineBeingReadHasLeft)
{
    DisplayHolder display;
    display.setMainList(makeList("M", 10));
    display.setNoticeList(makeList("N", 3));
    sequence(display, 3);
    display.setPosition(42.5);
    display.setMainList(makeList("X", 4));
    EXPECT_EQ(display.currentHeadline()->title, "M3");
    EXPECT_EQ(display.currentHeadline()->link, "http://example.com/M3");
    EXPECT_EQ(display.position(), 42.5);
    EXPECT_EQ(display.mainList()->size(), 4u);
    // What follows the held headline is the new list from its start, with the
    // notices counted afresh.
    DisplayHolder following = display;
    EXPECT_EQ(
        sequence(following, 10), titles({ "M3", "X0", "X1", "X2", "X3", "X0", "X1", "N0", "X2", "X3" }));
    // A second list before the first one showed replaces it behind the same front.
    display.setMainList(makeList("Y", 2));
    EXPECT_EQ(sequence(display, 3), titles({ "M3", "Y0", "Y1" }));
    // The start-up place-holder is read like any headline: it scrolls out first.
    DisplayHolder starting;
    starting.setMainList(makeSingleHeadlineList("", "Now Connecting...", ""));
    starting.setPosition(5.0);
    starting.setMainList(makeList("W", 2));
    EXPECT_EQ(sequence(starting, 2), titles({ "Now Connecting...", "W0" }));
    // A rewind lets go of it.
    display.setPosition(1.0);
    display.setMainList(makeList("Z", 2));
    display.rewind();
    EXPECT_EQ(display.currentHeadline()->title, "Z0");
}

TEST(DisplayHolder, PreviousUndoesNextThroughNoticesAndWraps)
{
    for (const int noticeCount : { -1, 0, 1, 3 }) {
        for (const int mainCount : { 0, 1, 7, 13 }) {
            DisplayHolder display;
            display.setMainList(makeList("M", mainCount));
            if (noticeCount >= 0) {
                display.setNoticeList(makeList("N", noticeCount));
            }
            std::vector<std::string> forward;
            for (int i = 0; i < 40; ++i) {
                forward.push_back(display.currentHeadline() ? display.currentHeadline()->title : "-");
                display.next();
            }
            for (int i = 39; i >= 0; --i) {
                display.previous();
                ASSERT_EQ(display.currentHeadline() ? display.currentHeadline()->title : "-", forward[i])
                    << "main " << mainCount << ", notices " << noticeCount << ", step " << i;
            }
        }
    }
    DisplayHolder display;
    display.setMainList(makeList("M", 3));
    display.previous();
    EXPECT_EQ(display.currentHeadline()->title, "M2");
}

TEST(DisplayHolder, PausedHoldsThePositionAndSpeedStaysInRange)
{
    DisplayHolder display;
    display.setPaused(true);
    display.advanceBy(std::chrono::seconds(3));
    EXPECT_DOUBLE_EQ(display.position(), 0.0);
    display.setPaused(false);
    display.advanceBy(kTenMs);
    EXPECT_DOUBLE_EQ(display.position(), 1.0);
    for (const std::int32_t speed : { -1, 11, 1000000, -2147483647 - 1 }) {
        display.setSpeed(speed);
        EXPECT_GE(display.speed(), DisplayHolder::kMinSpeed);
        EXPECT_LE(display.speed(), DisplayHolder::kMaxSpeed);
    }
    display.setSpeed(11);
    EXPECT_EQ(display.speed(), 10);
    display.setSpeed(-3);
    EXPECT_EQ(display.speed(), 0);
}

TEST(DisplayHolder, IndicesRestartWhenAListIsReplacedByAShorterOne)
{
    DisplayHolder display;
    display.setMainList(makeList("M", 6));
    display.setNoticeList(makeList("N", 3));
    sequence(display, 14 + 5); // two notices shown: the notice index is 2
    display.setNoticeList(makeList("X", 2));
    EXPECT_TRUE(display.isValid());
    sequence(display, 1); // up to the notice slot
    EXPECT_EQ(display.currentHeadline()->title, "X0");
}

TEST(DisplayHolder, AdvancesByAQuarterOfTheSpeedPlusAHalfEveryTenMilliseconds)
{
    DisplayHolder display;
    EXPECT_EQ(display.speed(), 2);
    display.advanceBy(kTenMs);
    EXPECT_DOUBLE_EQ(display.position(), 1.0);
    display.setSpeed(10);
    display.advanceBy(kTenMs);
    EXPECT_DOUBLE_EQ(display.position(), 4.0);
    display.rewind();
    EXPECT_DOUBLE_EQ(display.position(), 0.0);

    // Frames 10 ms apart land on exactly the places the old per-frame steps
    // gave, so rendered frames stay byte for byte the same.
    for (std::int32_t speed = DisplayHolder::kMinSpeed; speed <= DisplayHolder::kMaxSpeed; ++speed) {
        display.rewind();
        display.setSpeed(speed);
        double stepped = 0.0;
        for (int frame = 0; frame < 5000; ++frame) {
            display.advanceBy(kTenMs);
            stepped += speed * 0.25 + 0.5;
            ASSERT_EQ(display.position(), stepped) << "speed " << speed << ", frame " << frame;
        }
    }
}

TEST(DisplayHolder, ThePixelsPerSecondDoNotDependOnTheFrameRate)
{
    for (const int fps : { 30, 60, 100, 144, 240 }) {
        for (std::int32_t speed = DisplayHolder::kMinSpeed; speed <= DisplayHolder::kMaxSpeed; ++speed) {
            DisplayHolder display;
            display.setSpeed(speed);
            // Frame times as a steady clock in microseconds gives them: uneven
            // gaps where a second does not divide evenly.
            std::int64_t last = 0;
            for (int frame = 1; frame <= 3 * fps; ++frame) {
                const std::int64_t at = frame * 1000000LL / fps;
                display.advanceBy(std::chrono::microseconds(at - last));
                last = at;
            }
            EXPECT_NEAR(display.position(), 3.0 * (speed * 25 + 50), 1e-9) << fps << " fps, speed " << speed;
        }
    }
}

TEST(DisplayHolder, AJumpInTimeMovesAtMostOneShortStepAndNeverBackwards)
{
    DisplayHolder display;
    display.setSpeed(DisplayHolder::kMaxSpeed);
    const double maxStep = 300.0 * std::chrono::duration<double>(DisplayHolder::kMaxStep).count();
    // Far less than any screen is wide, even at the highest speed.
    EXPECT_LE(maxStep, 100.0);
    for (const auto gap : { std::chrono::microseconds(std::chrono::seconds(5)),
             std::chrono::microseconds(std::chrono::hours(24 * 365)), std::chrono::microseconds::max() }) {
        display.rewind();
        display.advanceBy(gap);
        EXPECT_DOUBLE_EQ(display.position(), maxStep) << gap.count();
    }
    for (const auto gap : { std::chrono::microseconds(-1), std::chrono::microseconds(-2000000),
             std::chrono::microseconds::min(), std::chrono::microseconds::zero() }) {
        display.setPosition(7.5);
        display.advanceBy(gap);
        EXPECT_EQ(display.position(), 7.5) << gap.count();
    }
}

TEST(HeadlineList, AppendUsesTheCurrentLabelUnlessGivenOne)
{
    HeadlineList list("first");
    list.append("a", "http://a/");
    list.setCurrentLabel("second");
    list.append("b", "");
    list.append("c", "", "own");
    list.append("", "");
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list.at(0).label, "first");
    EXPECT_EQ(list.at(1).label, "second");
    EXPECT_EQ(list.at(2).label, "own");
    EXPECT_EQ(list.at(3).title, "");
}

} // namespace
} // namespace zr5::core
