// Bounds on a running script: nesting of evaluation (so deep expressions and
// endless recursion end with an error instead of overflowing the thread's
// stack), and an optional run budget counted at check points (loop
// iterations and calls), off unless a host turns it on.
#pragma once

#include <cstdint>

namespace zr5::script {

inline constexpr int kMaxEvaluationNesting = 3000;
inline constexpr int kMaxCallDepth = 400;
inline constexpr int kMaxTreeDepth = 1000;

// Holds one level of evaluation nesting; throws std::runtime_error past the limit.
class NestingGuard final {
public:
    NestingGuard();
    ~NestingGuard();
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};

// Holds one script call; throws std::runtime_error past kMaxCallDepth.
class CallDepthGuard final {
public:
    CallDepthGuard();
    ~CallDepthGuard();
    CallDepthGuard(const CallDepthGuard&) = delete;
    CallDepthGuard& operator=(const CallDepthGuard&) = delete;
};

struct RunBudget {
    std::uint64_t checkPoints = 0; // 0: unlimited
    std::uint64_t textLength = 0;  // longest text "+" may build; 0: unlimited
};

// Process-wide, like the rest of the engine's state.
void setRunBudget(const RunBudget& budget);
// Restarts the count of check points (each load and category run).
void resetRunBudget();

namespace detail {
extern std::uint64_t g_checkPointsLeft;
extern bool g_budgetActive;
[[noreturn]] void budgetExhausted();
} // namespace detail

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
}

// Text bytes a built-in may walk for one check point.
inline constexpr std::uint64_t kTextBytesPerCheckPoint = 64;

// Throws when a text of that length exceeds the budget.
void checkTextLength(std::uint64_t length);

} // namespace zr5::script
