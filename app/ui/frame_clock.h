// The ticker's frame clock: a fade-in when the window appears, then a frame
// every 10 ms, and a fade-out when it goes. Everything runs from timers, so the
// event loop keeps serving the tray, signals and the patrol's queued calls.
#pragma once

#include "ui/ticker_window.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

namespace zr5::ui {

class FrameClock final : public QObject {
    Q_OBJECT
public:
    using Draw = std::function<void(int alpha, TickerWindow::Paint paint)>;

    static constexpr std::chrono::milliseconds kFrameInterval { 10 };
    static constexpr std::chrono::milliseconds kFadeStepInterval { 20 };
    static constexpr int kOpaque = 255;
    static constexpr int kFadeLow = 32;
    static constexpr int kFadeHigh = 224;
    static constexpr int kFadeStep = 32;

    explicit FrameClock(Draw draw);

    // Fades in from kFadeLow to kFadeHigh, then draws opaque frames.
    void fadeIn();
    // Stops the frames, fades out from kFadeHigh to kFadeLow and calls done one
    // step after the last fade frame.
    void fadeOut(std::function<void()> done);
    void stop();

    enum class Phase { Idle, FadingIn, Running, FadingOut };
    Phase phase() const { return m_phase; }

    // One fade step, as the fade timer runs it.
    void fadeTick();

private:
    void startFade(Phase phase, int from);
    void drawFrame() { m_draw(kOpaque, TickerWindow::Paint::Later); }

    Draw m_draw;
    QTimer m_frameTimer;
    QTimer m_fadeTimer;
    Phase m_phase = Phase::Idle;
    int m_alpha = 0;
    std::function<void()> m_fadedOut;
};

} // namespace zr5::ui
