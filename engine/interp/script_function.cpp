#include "interp/script_function.h"

#include "interp/evaluator.h"
#include "interp/run_limits.h"
#include "interp/scope.h"

#include <algorithm>

namespace zr5::script {

namespace {

constexpr std::string_view kThisName = "this";

// Pops the call's frame however the body ends, exceptions included.
class CallFrame final {
public:
    CallFrame() { currentScope().pushCallFrame(); }
    ~CallFrame() { currentScope().popCallFrame(); }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;
};

} // namespace

ScriptFunction::ScriptFunction(std::string name, std::vector<std::string_view> parameterNames, NodePtr body)
    : m_name(std::move(name))
    , m_parameterNames(std::move(parameterNames))
    , m_body(std::move(body))
{
}

// A parameter without an argument stays undeclared, so it reads the global of
// that name; an argument that evaluated to no value still declares it, empty.
void ScriptFunction::bindParameters(std::span<const ValuePtr> arguments) const
{
    const std::size_t count = std::min(m_parameterNames.size(), arguments.size());
    Scope& scope = currentScope();
    for (std::size_t i = 0; i < count; ++i) {
        assignVariable(scope.declare(m_parameterNames[i]), arguments[i]);
    }
}

void ScriptFunction::call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self)
{
    ArgumentValues values;
    if (arguments) {
        const Properties& members = arguments->members();
        const std::size_t count = std::min(m_parameterNames.size(), members.size());
        for (std::size_t i = 0; i < count; ++i) {
            const SlotPtr slot = members.find(IndexKey(i).text());
            values.add(slot ? slot->value : ValuePtr());
        }
    }
    callWith(result, values.values(), self);
}

void ScriptFunction::callWith(ValuePtr& result, std::span<const ValuePtr> arguments, const ValuePtr& self)
{
    checkPoint();
    const CallDepthGuard depth;
    const CallFrame frame;
    bindParameters(arguments);
    if (self) {
        assign(currentScope().declare(kThisName), self);
    }
    const ValuePtr completion = evaluateChild(m_body);
    result = completion && completion->isReturn() ? currentScope().takeReturned() : ValuePtr();
}

} // namespace zr5::script
