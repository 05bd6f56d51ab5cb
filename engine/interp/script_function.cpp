#include "interp/script_function.h"

#include "interp/evaluator.h"
#include "interp/run_limits.h"
#include "interp/scope.h"

#include <cstdio>

namespace zr5::script {

namespace {

std::string indexKey(std::size_t index)
{
    char key[32];
    std::snprintf(key, sizeof key, "%u", static_cast<unsigned>(index));
    return key;
}

// Pops the call's frame however the body ends, exceptions included.
class CallFrame final {
public:
    CallFrame() { currentScope().pushCallFrame(); }
    ~CallFrame() { currentScope().popCallFrame(); }
    CallFrame(const CallFrame&) = delete;
    CallFrame& operator=(const CallFrame&) = delete;
};

} // namespace

ScriptFunction::ScriptFunction(std::string name, ObjectPtr parameterNames, NodePtr body)
    : m_name(std::move(name))
    , m_parameterNames(std::move(parameterNames))
    , m_body(std::move(body))
{
}

void ScriptFunction::bindParameters(const ObjectPtr& arguments)
{
    if (!m_parameterNames || !arguments) {
        return;
    }
    const Properties& names = m_parameterNames->members();
    const Properties& values = arguments->members();
    const std::size_t count = std::min(names.size(), values.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string key = indexKey(i);
        const SlotPtr name = names.find(key);
        if (!name || !name->value || name->value->asString().empty()) {
            return;
        }
        const SlotPtr value = values.find(key);
        assignVariable(currentScope().declare(name->value->asString()), value ? value->value : ValuePtr());
    }
}

void ScriptFunction::call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self)
{
    checkPoint();
    const CallDepthGuard depth;
    const CallFrame frame;
    bindParameters(arguments);
    if (self) {
        assign(currentScope().declare("this"), self);
    }
    const ValuePtr completion = evaluateChild(m_body);
    result = completion && completion->isReturn() ? completion->heldValue() : ValuePtr();
}

} // namespace zr5::script
