// The parts the application is wired from, each on its own: the fades, the
// close's order, the patrol's schedule around dialogs and closes, and how the
// window choices are kept in zr5.ini.
#include "core/profile_file.h"
#include "ui/close_sequence.h"
#include "ui/frame_clock.h"
#include "ui/patrol_scheduler.h"
#include "ui/qt_patrol_host.h"
#include "ui/window_choices.h"
#include "ui_test_support.h"

#include <QCoreApplication>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace zr5::ui::test {
namespace {

using Paint = TickerWindow::Paint;
using Frame = std::pair<int, Paint>;

class FrameClockTest : public ::testing::Test {
protected:
    FrameClock m_clock { [this](int alpha, Paint paint) {
                            m_frames.emplace_back(alpha, paint);
                            return m_changing;
                        },
        [this] { ++m_requests; } };
    std::vector<Frame> m_frames;
    int m_requests = 0;
    bool m_changing = true;
};

std::vector<Frame> fadeFrames(int from, int to, int step)
{
    std::vector<Frame> frames;
    for (int alpha = from; step > 0 ? alpha <= to : alpha >= to; alpha += step) {
        frames.emplace_back(alpha, Paint::Now);
    }
    return frames;
}

TEST_F(FrameClockTest, FadesInStepByStepThenDrawsOpaqueFrames)
{
    m_clock.fadeIn();
    EXPECT_EQ(m_frames, (std::vector<Frame> { { 32, Paint::Now } })) << "the first step at once";
    for (int tick = 0; tick < 7; ++tick) {
        m_clock.fadeTick();
    }
    std::vector<Frame> expected = fadeFrames(32, 224, 32);
    expected.emplace_back(255, Paint::Now);
    EXPECT_EQ(m_frames, expected);
    EXPECT_EQ(m_clock.phase(), FrameClock::Phase::Running);

    EXPECT_EQ(m_requests, 1) << "the display is asked for the first frame after the fade";

    m_frames.clear();
    m_clock.fadeTick();
    EXPECT_TRUE(m_frames.empty()) << "a stray fade tick after the fade draws nothing";
    // Each frame the display takes is drawn and asks for the next one.
    for (int frame = 0; frame < 3; ++frame) {
        m_clock.frameDue();
    }
    EXPECT_EQ(m_frames, std::vector<Frame>(3, Frame(255, Paint::Now)));
    EXPECT_EQ(m_requests, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_frames.size(), 3u) << "no frame without the display's answer";
}

TEST_F(FrameClockTest, FramesThatStopChangingSlowDownUntilSomethingMovesAgain)
{
    m_clock.frameDue();
    EXPECT_TRUE(m_frames.empty()) << "an answer before the fade has run draws nothing";
    m_clock.fadeIn();
    for (int tick = 0; tick < 7; ++tick) {
        m_clock.fadeTick();
    }
    ASSERT_EQ(m_clock.phase(), FrameClock::Phase::Running);
    m_changing = false;
    // Still at the display's pace for a while: a slow text may stand still
    // for a frame or two between pixels.
    m_clock.frameDue();
    m_clock.frameDue();
    EXPECT_EQ(m_requests, 3);
    EXPECT_FALSE(m_clock.resting());
    QTest::qWait(static_cast<int>(FrameClock::kIdleAfter.count()) + 20);
    m_clock.frameDue();
    EXPECT_EQ(m_requests, 3) << "the display is no longer asked";
    EXPECT_TRUE(m_clock.resting());
    // The slow tick keeps drawing (skin animations keep their pace) ...
    const std::size_t drawn = m_frames.size();
    ASSERT_TRUE(waitFor([&] { return m_frames.size() >= drawn + 2; }));
    EXPECT_EQ(m_requests, 3);
    // ... and the first frame that changes brings back the display's pace.
    m_changing = true;
    ASSERT_TRUE(waitFor([&] { return m_requests == 4; }));
    EXPECT_FALSE(m_clock.resting());
    // A stop ends the slow tick too.
    m_changing = false;
    QTest::qWait(static_cast<int>(FrameClock::kIdleAfter.count()) + 20);
    m_clock.frameDue();
    ASSERT_TRUE(m_clock.resting());
    m_clock.stop();
    m_frames.clear();
    QTest::qWait(static_cast<int>(FrameClock::kIdleInterval.count()) * 3);
    EXPECT_TRUE(m_frames.empty());
}

TEST_F(FrameClockTest, FadesOutFromAnyPhaseAndReportsTheEndOnceAStepAfterTheLastFrame)
{
    m_clock.fadeIn();
    m_clock.fadeTick();
    m_frames.clear();
    int done = 0;
    m_clock.fadeOut([&] { ++done; });
    for (int tick = 0; tick < 6; ++tick) {
        m_clock.fadeTick();
    }
    EXPECT_EQ(m_frames, fadeFrames(224, 32, -32));
    EXPECT_EQ(done, 0) << "the last frame stays up for one step";
    m_clock.fadeTick();
    m_clock.fadeTick();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(m_clock.phase(), FrameClock::Phase::Idle);
    EXPECT_EQ(m_frames.size(), 7u);
}

TEST_F(FrameClockTest, TheTimersRunTheFadesWithoutHelp)
{
    m_clock.fadeIn();
    ASSERT_TRUE(waitFor([&] { return m_clock.phase() == FrameClock::Phase::Running; }));
    bool done = false;
    m_clock.fadeOut([&] { done = true; });
    ASSERT_TRUE(waitFor([&] { return done; }));
    m_frames.clear();
    QCoreApplication::processEvents();
    EXPECT_TRUE(m_frames.empty()) << "nothing drawn after the fade-out";
}

class CloseSequenceTest : public ::testing::Test {
protected:
    CloseSequence::Steps steps()
    {
        return {
            .stopActivity = [this] { m_log.push_back("stop"); },
            .cancelDialogs = [this] { m_log.push_back("dialogs"); },
            .save
            = [this](CloseBy by) { m_log.push_back(by == CloseBy::User ? "save:user" : "save:signal"); },
            .cancelWork = [this] { m_log.push_back("cancel"); },
            .fadeOut =
                [this](std::function<void()> done) {
                    m_log.push_back("fade");
                    m_fadeDone = std::move(done);
                },
            .finish = [this] { m_log.push_back("finish"); },
        };
    }

    void endFade() { std::exchange(m_fadeDone, nullptr)(); }

    std::vector<std::string> m_log;
    std::function<void()> m_fadeDone;
    CloseSequence m_close { steps() };
};

const std::vector<std::string> kUpToFade { "stop", "dialogs", "save:user", "cancel", "fade" };

TEST_F(CloseSequenceTest, SavesBeforeCancellingAndFinishesOnceAfterTheFade)
{
    m_close.started();
    m_close.request(CloseBy::User);
    EXPECT_EQ(m_log, kUpToFade);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_log.size(), kUpToFade.size()) << "the fade has not ended";
    endFade();
    EXPECT_EQ(m_log.size(), kUpToFade.size()) << "the finish is deferred";
    ASSERT_TRUE(waitFor([&] { return m_log.back() == "finish"; }));
    EXPECT_EQ(m_close.phase(), CloseSequence::Phase::Finished);

    m_close.request(CloseBy::User);
    m_close.request(CloseBy::Signal);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_log.back(), "dialogs") << "a signal still cancels dialogs; nothing runs twice";
    EXPECT_EQ(m_log.size(), kUpToFade.size() + 2);
}

TEST_F(CloseSequenceTest, ARequestDuringStartUpWaitsForTheStartThenCloses)
{
    {
        CloseSequence::BusyScope starting(m_close);
        m_close.request(CloseBy::Signal);
        EXPECT_EQ(m_log, std::vector<std::string> { "dialogs" });
        m_close.started();
    }
    ASSERT_TRUE(waitFor([&] { return m_fadeDone != nullptr; }));
    EXPECT_EQ(
        m_log, (std::vector<std::string> { "dialogs", "stop", "dialogs", "save:signal", "cancel", "fade" }));
}

TEST_F(CloseSequenceTest, TheFinishWaitsForNestedLoopsToUnwind)
{
    m_close.started();
    auto dialog = std::make_unique<CloseSequence::BusyScope>(m_close);
    EXPECT_TRUE(m_close.isBusy());
    m_close.request(CloseBy::User);
    endFade();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_close.phase(), CloseSequence::Phase::AwaitingLoops);
    EXPECT_EQ(m_log.back(), "fade");
    dialog.reset();
    ASSERT_TRUE(waitFor([&] { return m_log.back() == "finish"; }));
    // Further scopes must not finish a second time.
    {
        CloseSequence::BusyScope again(m_close);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "finish"), 1);
}

class PatrolSchedulerTest : public ::testing::Test {
protected:
    // A category that never ends unless cancelled.
    PatrolSchedulerTest()
    {
        writeFile(m_folder / "Scripts" / "loop.zrs", "category \"Loop\"\n{\n\twhile (1) { }\n}\n");
        core::ProfileFile file = core::ProfileFile::parse("[Script]\nCount=1\n0000=N,*,loop.zrs,Loop\n");
        core::PatrolOptions options;
        options.logPath = m_folder / "debug_display.txt";
        options.noticeUrl = "http://127.0.0.1:9/notice.html";
        core::applySettings(options, core::readSettings(file));
        const RunLimits limits = core::runLimits(options);
        m_scripts = core::enumerateScripts(m_folder / "Scripts", m_host, &limits);
        m_settings = core::loadSettings(file, m_scripts);
        m_patrol = std::make_unique<core::Patrol>(m_scripts, m_settings.proxy, m_display, m_host, options);
        m_host.attach(m_patrol.get());
        m_scheduler.attach(m_patrol.get());
    }

    ~PatrolSchedulerTest() override
    {
        m_host.close();
        m_patrol->cancel();
        m_scheduler.attach(nullptr);
        m_host.attach(nullptr);
    }

    ScratchFolder m_folder;
    QtPatrolHost m_host { [](const std::string&) {} };
    core::ScriptList m_scripts;
    core::Settings m_settings;
    core::DisplayHolder m_display;
    std::unique_ptr<core::Patrol> m_patrol;
    PatrolScheduler m_scheduler;
};

TEST_F(PatrolSchedulerTest, APauseCancelsTheRunningPatrolAndHoldsTheTimerUntilRestarted)
{
    m_scheduler.startNow();
    m_scheduler.restartTimer(30);
    ASSERT_TRUE(m_scheduler.patrolRunning());
    EXPECT_TRUE(m_scheduler.pause()) << "interrupted: it should run again";
    EXPECT_FALSE(m_scheduler.patrolRunning());
    EXPECT_FALSE(m_scheduler.timerActive());
    EXPECT_FALSE(m_scheduler.pause()) << "nothing ran to interrupt";

    m_scheduler.startNow();
    EXPECT_TRUE(m_scheduler.patrolRunning());
    m_scheduler.restartTimer(0);
    EXPECT_TRUE(m_scheduler.timerActive());
}

TEST_F(PatrolSchedulerTest, AfterAStopNothingStartsAndTheCancelledWorkersLeave)
{
    m_scheduler.startNow();
    m_scheduler.restartTimer(30);
    ASSERT_TRUE(m_scheduler.patrolRunning());
    m_scheduler.stop();
    EXPECT_EQ(m_scheduler.state(), PatrolScheduler::State::Stopped);
    EXPECT_FALSE(m_scheduler.timerActive());
    EXPECT_FALSE(m_scheduler.pause()) << "a close under way: the pause does not wait";
    EXPECT_TRUE(m_scheduler.patrolRunning());

    const auto before = std::chrono::steady_clock::now();
    m_scheduler.cancelRunning();
    EXPECT_GE(m_scheduler.cancelledAt(), before);
    m_scheduler.waitForWorkers([] { return false; });
    EXPECT_FALSE(m_scheduler.patrolRunning());
    m_scheduler.startNow();
    m_scheduler.restartTimer(1);
    EXPECT_FALSE(m_scheduler.patrolRunning()) << "stopped for good";
}

TEST(WindowChoicesTest, StackingAndLockAreKeptAsTheSettingsFileWritesThem)
{
    core::WindowSettings window;
    window.z = -1;
    window.sticking = 5;
    MenuChecks checks = checksFromSettings(window);
    EXPECT_TRUE(checks.alwaysBehind && !checks.alwaysInFront && checks.positionLock);
    EXPECT_EQ(stackingFor(checks), Stacking::AlwaysBehind);

    checks.alwaysInFront = true;
    EXPECT_EQ(stackingFor(checks), Stacking::AlwaysBehind) << "behind wins on screen";
    storeChecks(checks, window);
    EXPECT_EQ(window.z, 1) << "both on store in front";
    EXPECT_EQ(window.sticking, 1);

    storeChecks(MenuChecks {}, window);
    EXPECT_EQ(window.z, 0);
    EXPECT_EQ(window.sticking, 0);
    EXPECT_EQ(stackingFor(checksFromSettings(window)), Stacking::Normal);
    window.z = 7;
    EXPECT_EQ(stackingFor(checksFromSettings(window)), Stacking::Normal) << "an unknown value";
}

} // namespace
} // namespace zr5::ui::test
