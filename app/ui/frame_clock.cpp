#include "ui/frame_clock.h"

#include <utility>

namespace zr5::ui {

FrameClock::FrameClock(Draw draw)
    : m_draw(std::move(draw))
{
    m_frameTimer.setInterval(kFrameInterval);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_fadeTimer.setInterval(kFadeStepInterval);
    m_fadeTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &FrameClock::drawFrame);
    connect(&m_fadeTimer, &QTimer::timeout, this, &FrameClock::fadeTick);
}

void FrameClock::fadeIn()
{
    startFade(Phase::FadingIn, kFadeLow);
}

void FrameClock::fadeOut(std::function<void()> done)
{
    m_fadedOut = std::move(done);
    startFade(Phase::FadingOut, kFadeHigh);
}

void FrameClock::stop()
{
    m_frameTimer.stop();
    m_fadeTimer.stop();
    m_phase = Phase::Idle;
}

void FrameClock::startFade(Phase phase, int from)
{
    stop();
    m_phase = phase;
    m_alpha = from;
    // The first fade frame at once, each further one a step later.
    m_draw(m_alpha, TickerWindow::Paint::Now);
    m_fadeTimer.start();
}

void FrameClock::fadeTick()
{
    if (m_phase == Phase::FadingIn) {
        m_alpha += kFadeStep;
        if (m_alpha <= kFadeHigh) {
            m_draw(m_alpha, TickerWindow::Paint::Now);
            return;
        }
        m_fadeTimer.stop();
        m_phase = Phase::Running;
        m_draw(kOpaque, TickerWindow::Paint::Now);
        m_frameTimer.start();
    } else if (m_phase == Phase::FadingOut) {
        m_alpha -= kFadeStep;
        if (m_alpha >= kFadeLow) {
            m_draw(m_alpha, TickerWindow::Paint::Now);
            return;
        }
        stop();
        if (auto done = std::exchange(m_fadedOut, nullptr)) {
            done();
        }
    }
}

} // namespace zr5::ui
