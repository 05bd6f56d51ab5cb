// A function written in a script: its own frame per call, parameters bound
// to the arguments as they evaluated, `this` bound when there is a receiver.
#pragma once

#include "interp/value.h"
#include "lang/syntax_tree.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::script {

class ScriptFunction final : public Callable {
public:
    // names: the body's names, already resolved to their frame slots.
    ScriptFunction(std::string name, const NameResolver& names, NodePtr body);
    void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self) override;
    void callWith(ValuePtr& result, std::span<ValuePtr> arguments, const ValuePtr& self) override;
    const std::string& name() const { return m_name; }

private:
    void bindParameters(std::span<ValuePtr> arguments) const;

    std::string m_name;
    std::vector<std::string_view> m_slotNames;
    std::vector<std::size_t> m_parameterSlots;
    std::size_t m_thisSlot;
    NodePtr m_body;
};

} // namespace zr5::script
