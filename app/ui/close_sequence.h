// The application's life from start-up to the end of a close, and the order a
// close goes in: nothing new starts and dialogs are cancelled, the settings
// are saved, running work is cancelled, the window fades out, then the
// finish. Dialogs, boxes and waits run nested event loops: a close asked for
// during start-up waits for the start, and the finish, which takes the
// window away, waits until those loops have unwound.
#pragma once

#include <QObject>
#include <functional>
#include <optional>

namespace zr5::ui {

// Who asked for the close: a failed save is told in a box only to a user.
enum class CloseBy { User, Signal };

class CloseSequence final : public QObject {
    Q_OBJECT
public:
    struct Steps {
        std::function<void()> stopActivity;
        std::function<void()> cancelDialogs;
        std::function<void(CloseBy)> save;
        std::function<void()> cancelWork;
        std::function<void(std::function<void()> done)> fadeOut;
        std::function<void()> finish;
    };

    explicit CloseSequence(Steps steps);

    enum class Phase { Starting, Running, FadingOut, AwaitingLoops, Finished };
    Phase phase() const { return m_phase; }
    bool isRunning() const { return m_phase == Phase::Running; }
    bool isClosing() const { return m_phase > Phase::Running; }
    bool isBusy() const { return m_busy > 0; }

    // Start-up has succeeded.
    void started();
    void request(CloseBy by);

    // Held while a nested event loop may run.
    class BusyScope final {
    public:
        explicit BusyScope(CloseSequence& sequence);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CloseSequence& m_sequence;
    };

private:
    void finish();
    void loopsUnwound();

    Steps m_steps;
    Phase m_phase = Phase::Starting;
    std::optional<CloseBy> m_requestedDuringStart;
    int m_busy = 0;
};

} // namespace zr5::ui
