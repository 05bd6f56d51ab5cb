#include "interp/script_function.h"

#include "interp/evaluator.h"
#include "interp/run_limits.h"
#include "interp/scope.h"

#include <algorithm>

namespace zr5::script {

namespace {

// Pops the call's frame however the body ends, exceptions included.
class CallFrame final {
public:
    explicit CallFrame(const std::vector<std::string_view>& names) { currentScope().pushCallFrame(names); }
    ~CallFrame() { currentScope().popCallFrame(); }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;
};

} // namespace

ScriptFunction::ScriptFunction(std::string name, const NameResolver& names, NodePtr body)
    : m_name(std::move(name))
    , m_slotNames(names.names())
    , m_parameterSlots(names.parameterSlots())
    , m_thisSlot(names.thisSlot())
    , m_body(std::move(body))
{
}

// A parameter without an argument stays undeclared, so it reads the global of
// that name; an argument that evaluated to no value still declares it, empty.
// The frame's slots are new to this call, so no argument can refer to one and
// the check for a slot reaching itself is not needed.
void ScriptFunction::bindParameters(std::span<ValuePtr> arguments) const
{
    const std::size_t count = std::min(m_parameterSlots.size(), arguments.size());
    Scope& scope = currentScope();
    for (std::size_t i = 0; i < count; ++i) {
        assign(scope.declareAt(m_parameterSlots[i]), std::move(arguments[i]));
    }
}

void ScriptFunction::call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self)
{
    ArgumentValues values;
    if (arguments) {
        const Properties& members = arguments->members();
        const std::size_t count = std::min(m_parameterSlots.size(), members.size());
        for (std::size_t i = 0; i < count; ++i) {
            const SlotPtr slot = members.find(IndexKey(i).text());
            values.add(slot ? slot->value : ValuePtr());
        }
    }
    callWith(result, values.values(), self);
}

void ScriptFunction::callWith(ValuePtr& result, std::span<ValuePtr> arguments, const ValuePtr& self)
{
    checkPoint();
    const CallDepthGuard depth;
    const CallFrame frame(m_slotNames);
    bindParameters(arguments);
    if (self) {
        assign(currentScope().declareAt(m_thisSlot), self);
    }
    const ValuePtr completion = evaluateChild(m_body);
    result = completion && completion->isReturn() ? currentScope().takeReturned() : ValuePtr();
}

} // namespace zr5::script
