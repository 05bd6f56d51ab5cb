#include "ui/frame_clock.h"

#include <utility>

namespace zr5::ui {

FrameClock::FrameClock(Draw draw, RequestFrame requestFrame)
    : m_draw(std::move(draw))
    , m_requestFrame(std::move(requestFrame))
{
    m_fadeTimer.setInterval(kFadeStepInterval);
    m_fadeTimer.setTimerType(Qt::PreciseTimer);
    m_restTimer.setInterval(kIdleInterval);
    m_restTimer.setSingleShot(true);
    connect(&m_fadeTimer, &QTimer::timeout, this, &FrameClock::fadeTick);
    connect(&m_restTimer, &QTimer::timeout, this, &FrameClock::frameDue);
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
    m_fadeTimer.stop();
    m_restTimer.stop();
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
        nextFrame(true);
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

void FrameClock::frameDue()
{
    // An answer to a request made before a stop or a fade-out.
    if (m_phase != Phase::Running) {
        return;
    }
    m_restTimer.stop();
    nextFrame(m_draw(kOpaque, TickerWindow::Paint::Now));
}

void FrameClock::nextFrame(bool changed)
{
    if (changed || !m_sinceChange.isValid()) {
        m_sinceChange.start();
    }
    if (m_sinceChange.elapsed() < kIdleAfter.count()) {
        m_requestFrame();
    } else {
        m_restTimer.start();
    }
}

} // namespace zr5::ui
