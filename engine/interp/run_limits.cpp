#include "interp/run_limits.h"

#include "lang/messages.h"

#include <stdexcept>

namespace zr5::script {

namespace {

int g_nesting = 0;
int g_callDepth = 0;
RunBudget g_budget;

} // namespace

namespace detail {
std::uint64_t g_checkPointsLeft = 0;
bool g_budgetActive = false;

void budgetExhausted()
{
    throw std::runtime_error(messages::kRunBudgetExhausted);
}
} // namespace detail

NestingGuard::NestingGuard()
{
    if (g_nesting >= kMaxEvaluationNesting) {
        throw std::runtime_error(messages::kNestingTooDeep);
    }
    ++g_nesting;
}

NestingGuard::~NestingGuard() { --g_nesting; }

CallDepthGuard::CallDepthGuard()
{
    if (g_callDepth >= kMaxCallDepth) {
        throw std::runtime_error(messages::kCallDepthExceeded);
    }
    ++g_callDepth;
}

CallDepthGuard::~CallDepthGuard() { --g_callDepth; }

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

void checkTextLength(std::uint64_t length)
{
    if (g_budget.textLength != 0 && length > g_budget.textLength) {
        throw std::length_error(messages::kTextTooLong);
    }
}

} // namespace zr5::script
