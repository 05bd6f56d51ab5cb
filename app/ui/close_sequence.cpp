#include "ui/close_sequence.h"

#include <utility>

namespace zr5::ui {

CloseSequence::BusyScope::BusyScope(CloseSequence& sequence)
    : m_sequence(sequence)
{
    ++m_sequence.m_busy;
}

CloseSequence::BusyScope::~BusyScope()
{
    if (--m_sequence.m_busy == 0) {
        m_sequence.loopsUnwound();
    }
}

CloseSequence::CloseSequence(Steps steps)
    : m_steps(std::move(steps))
{
}

void CloseSequence::started()
{
    if (m_phase == Phase::Starting) {
        m_phase = Phase::Running;
    }
}

void CloseSequence::request(CloseBy by)
{
    if (isClosing()) {
        // A signal during the box of a failed save must not wait for the user.
        if (by == CloseBy::Signal) {
            m_steps.cancelDialogs();
        }
        return;
    }
    if (m_phase == Phase::Starting) {
        // The settings may not be read yet: the start ends first.
        m_requestedDuringStart = by;
        m_steps.cancelDialogs();
        return;
    }
    m_phase = Phase::FadingOut;
    m_steps.stopActivity();
    m_steps.cancelDialogs();
    m_steps.save(by);
    m_steps.cancelWork();
    // Deferred: the request may come from inside one of the window's own handlers.
    m_steps.fadeOut(
        [this] { QMetaObject::invokeMethod(this, &CloseSequence::finish, Qt::QueuedConnection); });
}

void CloseSequence::finish()
{
    if (m_phase != Phase::FadingOut && m_phase != Phase::AwaitingLoops) {
        return;
    }
    if (m_busy > 0) {
        // A cancelled dialog's loop is still on the stack, under its owner the window.
        m_phase = Phase::AwaitingLoops;
        return;
    }
    m_phase = Phase::Finished;
    m_steps.finish();
}

void CloseSequence::loopsUnwound()
{
    if (std::optional<CloseBy> by = std::exchange(m_requestedDuringStart, std::nullopt)) {
        QMetaObject::invokeMethod(
            this, [this, by = *by] { request(by); }, Qt::QueuedConnection);
    }
    if (m_phase == Phase::AwaitingLoops) {
        QMetaObject::invokeMethod(this, &CloseSequence::finish, Qt::QueuedConnection);
    }
}

} // namespace zr5::ui
