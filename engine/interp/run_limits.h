// Bounds on a running script: nesting of evaluation (so deep expressions and
// endless recursion end with an error instead of overflowing the thread's
// stack), the longest text, an optional run budget counted at check points
// (loop iterations and calls), and the host's run limits: the run's own time,
// the memory its values take, and the cancel callback.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace zr5::script {

inline constexpr int kMaxEvaluationNesting = 3000;
inline constexpr int kMaxCallDepth = 400;
inline constexpr int kMaxTreeDepth = 1000;
// The same cap as a fetched document: no text a script builds gets longer.
inline constexpr std::uint64_t kMaxTextBytes = std::uint64_t { 64 } << 20;

namespace detail {
extern int g_nesting;
extern int g_callDepth;
[[noreturn]] void nestingTooDeep();
[[noreturn]] void callDepthExceeded();
} // namespace detail

// Holds one level of evaluation nesting; throws std::runtime_error past the
// limit. Inline: every node's evaluation passes one.
class NestingGuard final {
public:
    NestingGuard()
    {
        if (detail::g_nesting >= kMaxEvaluationNesting) {
            detail::nestingTooDeep();
        }
        ++detail::g_nesting;
    }
    ~NestingGuard() { --detail::g_nesting; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};

// Holds one script call; throws std::runtime_error past kMaxCallDepth.
class CallDepthGuard final {
public:
    CallDepthGuard()
    {
        if (detail::g_callDepth >= kMaxCallDepth) {
            detail::callDepthExceeded();
        }
        ++detail::g_callDepth;
    }
    ~CallDepthGuard() { --detail::g_callDepth; }
    CallDepthGuard(const CallDepthGuard&) = delete;
    CallDepthGuard& operator=(const CallDepthGuard&) = delete;
};

struct RunBudget {
    std::uint64_t checkPoints = 0; // 0: unlimited
    std::uint64_t textLength = 0; // longest text "+" may build, below kMaxTextBytes; 0: that cap alone
};

// Process-wide, like the rest of the engine's state.
void setRunBudget(const RunBudget& budget);
// Restarts the count of check points (each load and category run).
void resetRunBudget();

// The host's bounds on every run; zero means no bound.
struct ScriptLimits {
    std::uint32_t seconds = 0;
    std::uint64_t valueBytes = 0;
    std::int32_t (*cancel)(void*) = nullptr;
    void* cancelData = nullptr;
};

void setScriptLimits(const ScriptLimits& limits);

// Why a run was stopped from outside the script: the host's answer differs
// from a run-time error's.
enum class StopReason { Limit, Cancelled };

class RunStopped final : public std::runtime_error {
public:
    RunStopped(StopReason reason, const std::string& text)
        : std::runtime_error(text)
        , m_reason(reason)
    {
    }
    StopReason reason() const { return m_reason; }

private:
    StopReason m_reason;
};

// One load's top-level run or one category run, for the host's limits: its
// clock starts and the memory its values take is measured from here.
class RunWatch final {
public:
    RunWatch();
    ~RunWatch();
    RunWatch(const RunWatch&) = delete;
    RunWatch& operator=(const RunWatch&) = delete;
};

// Held around a document fetch: the fetch has a limit of its own, so its
// time is not the script's.
class ClockPause final {
public:
    ClockPause();
    ~ClockPause();
    ClockPause(const ClockPause&) = delete;
    ClockPause& operator=(const ClockPause&) = delete;

private:
    std::chrono::steady_clock::time_point m_start;
};

// Asks the clock and the cancel callback at once; throws RunStopped.
void checkRunNow();

namespace detail {
extern std::uint64_t g_checkPointsLeft;
extern bool g_budgetActive;
extern std::uint64_t g_untilWatch;
extern std::atomic<std::int64_t> g_valueBytes;
extern std::int64_t g_valueBytesAllowed;
[[noreturn]] void budgetExhausted();
[[noreturn]] void valueBytesExceeded(std::int64_t amount);
} // namespace detail

// Check points between two looks at the clock and the cancel callback: even
// the tightest loop passes this many in well under a millisecond, and the
// look costs about as much as a few hundred of them.
inline constexpr std::uint64_t kCheckPointsPerWatch = 1024;

// Called once per loop iteration and per script call; a built-in call costs
// more the longer the text it works on, so a loop over a long text cannot
// outrun the budget through one call per iteration.
inline void checkPoint(std::uint64_t cost = 1)
{
    if (detail::g_budgetActive) {
        if (detail::g_checkPointsLeft < cost) {
            detail::budgetExhausted();
        }
        detail::g_checkPointsLeft -= cost;
    }
    if (detail::g_untilWatch <= cost) {
        checkRunNow();
    } else {
        detail::g_untilWatch -= cost;
    }
}

// Text bytes a built-in may walk for one check point.
inline constexpr std::uint64_t kTextBytesPerCheckPoint = 64;

// Throws std::length_error when a text of that length exceeds kMaxTextBytes
// or the budget.
void checkTextLength(std::uint64_t length);

// The memory the live values take, as counted here: a string its capacity,
// an object member its key plus kMemberBytes. Charging past a running
// RunWatch's allowance throws RunStopped and charges nothing.
inline constexpr std::size_t kMemberBytes = 160;

inline void chargeValueBytes(std::size_t bytes)
{
    const auto amount = static_cast<std::int64_t>(bytes);
    if (detail::g_valueBytes.fetch_add(amount, std::memory_order_relaxed) + amount
        > detail::g_valueBytesAllowed) {
        detail::valueBytesExceeded(amount);
    }
}

inline void releaseValueBytes(std::size_t bytes)
{
    detail::g_valueBytes.fetch_sub(static_cast<std::int64_t>(bytes), std::memory_order_relaxed);
}

// What chargeValueBytes has counted and not released.
std::int64_t liveValueBytes();

} // namespace zr5::script
