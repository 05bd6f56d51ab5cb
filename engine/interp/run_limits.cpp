#include "interp/run_limits.h"

#include "lang/messages.h"

#include <cstdio>
#include <limits>

namespace zr5::script {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::int64_t kUnlimited = std::numeric_limits<std::int64_t>::max();
constexpr std::uint64_t kMebibyte = std::uint64_t { 1 } << 20;

RunBudget g_budget;
ScriptLimits g_limits;

bool g_watching = false;
Clock::time_point g_runStart;
Clock::duration g_paused {};

std::string formatted(const char* format, unsigned long long number)
{
    char text[128];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string memoryLimitText()
{
    if (g_limits.valueBytes % kMebibyte == 0) {
        return formatted(messages::kMemoryLimitMebibytes, g_limits.valueBytes / kMebibyte);
    }
    return formatted(messages::kMemoryLimitBytes, g_limits.valueBytes);
}

bool pastTimeLimit()
{
    if (g_limits.seconds == 0) {
        return false;
    }
    return Clock::now() - g_runStart - g_paused > std::chrono::seconds(g_limits.seconds);
}

} // namespace

namespace detail {
int g_nesting = 0;
int g_callDepth = 0;
std::uint64_t g_checkPointsLeft = 0;
bool g_budgetActive = false;
std::uint64_t g_untilWatch = kCheckPointsPerWatch;
std::atomic<std::int64_t> g_valueBytes { 0 };
std::int64_t g_valueBytesAllowed = kUnlimited;

void nestingTooDeep()
{
    throw std::runtime_error(messages::kNestingTooDeep);
}

void callDepthExceeded()
{
    throw std::runtime_error(messages::kCallDepthExceeded);
}

void budgetExhausted()
{
    throw std::runtime_error(messages::kRunBudgetExhausted);
}

void valueBytesExceeded(std::int64_t amount)
{
    g_valueBytes.fetch_sub(amount, std::memory_order_relaxed);
    throw RunStopped(StopReason::Limit, memoryLimitText());
}
} // namespace detail

void setRunBudget(const RunBudget& budget)
{
    g_budget = budget;
    resetRunBudget();
}

void resetRunBudget()
{
    detail::g_budgetActive = g_budget.checkPoints != 0;
    detail::g_checkPointsLeft = g_budget.checkPoints;
}

void setScriptLimits(const ScriptLimits& limits)
{
    g_limits = limits;
}

RunWatch::RunWatch()
{
    resetRunBudget();
    g_watching = true;
    g_runStart = Clock::now();
    g_paused = {};
    detail::g_untilWatch = kCheckPointsPerWatch;
    const auto allowance = static_cast<std::int64_t>(g_limits.valueBytes);
    const std::int64_t live = liveValueBytes();
    detail::g_valueBytesAllowed = g_limits.valueBytes == 0 || allowance < 0 || allowance > kUnlimited - live
        ? kUnlimited
        : live + allowance;
}

RunWatch::~RunWatch()
{
    g_watching = false;
    detail::g_valueBytesAllowed = kUnlimited;
}

ClockPause::ClockPause()
    : m_start(Clock::now())
{
}

ClockPause::~ClockPause()
{
    g_paused += Clock::now() - m_start;
}

void checkRunNow()
{
    detail::g_untilWatch = kCheckPointsPerWatch;
    if (!g_watching) {
        return;
    }
    if (g_limits.cancel && g_limits.cancel(g_limits.cancelData) != 0) {
        throw RunStopped(StopReason::Cancelled, messages::kRunCancelled);
    }
    if (pastTimeLimit()) {
        throw RunStopped(StopReason::Limit, formatted(messages::kTimeLimitSeconds, g_limits.seconds));
    }
}

void checkTextLength(std::uint64_t length)
{
    if (length > kMaxTextBytes || (g_budget.textLength != 0 && length > g_budget.textLength)) {
        throw std::length_error(messages::kTextTooLong);
    }
}

std::int64_t liveValueBytes()
{
    return detail::g_valueBytes.load(std::memory_order_relaxed);
}

} // namespace zr5::script
