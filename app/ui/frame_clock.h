// The ticker's frame clock: a fade-in when the window appears, then frames as
// fast as the display takes them, and a fade-out when it goes. Everything runs
// from timers and the window's update requests, so the event loop keeps
// serving the tray, signals and the patrol's queued calls.
#pragma once

#include "ui/ticker_window.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace zr5::ui {

class FrameClock final : public QObject {
    Q_OBJECT
public:
    // Draws a frame; true when its pixels differ from the frame before.
    using Draw = std::function<bool(int alpha, TickerWindow::Paint paint)>;
    // Asks the display for the next frame; it answers with frameDue().
    using RequestFrame = std::function<void()>;

    static constexpr std::chrono::milliseconds kFadeStepInterval { 20 };
    // A ticker that stands still (paused, nothing animating) needs no frame
    // for every refresh of the screen: after this long without a change it
    // looks again only every kIdleInterval, until something moves.
    static constexpr std::chrono::milliseconds kIdleAfter { 100 };
    static constexpr std::chrono::milliseconds kIdleInterval { 40 };
    static constexpr int kOpaque = 255;
    static constexpr int kFadeLow = 32;
    static constexpr int kFadeHigh = 224;
    static constexpr int kFadeStep = 32;

    FrameClock(Draw draw, RequestFrame requestFrame);

    // Fades in from kFadeLow to kFadeHigh, then draws opaque frames.
    void fadeIn();
    // Stops the frames, fades out from kFadeHigh to kFadeLow and calls done one
    // step after the last fade frame.
    void fadeOut(std::function<void()> done);
    void stop();

    enum class Phase { Idle, FadingIn, Running, FadingOut };
    Phase phase() const { return m_phase; }
    // Running, but drawing at kIdleInterval since nothing changes.
    bool resting() const { return m_restTimer.isActive(); }

    // One fade step, as the fade timer runs it.
    void fadeTick();
    // The display is ready for the frame asked for.
    void frameDue();

private:
    void startFade(Phase phase, int from);
    void nextFrame(bool changed);

    Draw m_draw;
    RequestFrame m_requestFrame;
    QTimer m_fadeTimer;
    QTimer m_restTimer;
    QElapsedTimer m_sinceChange;
    Phase m_phase = Phase::Idle;
    int m_alpha = 0;
    std::function<void()> m_fadedOut;
};

} // namespace zr5::ui
