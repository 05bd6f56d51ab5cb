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
    // parameterNames: pooled texts that outlive the function.
    ScriptFunction(std::string name, std::vector<std::string_view> parameterNames, NodePtr body);
    void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self) override;
    void callWith(ValuePtr& result, std::span<const ValuePtr> arguments, const ValuePtr& self) override;
    const std::string& name() const { return m_name; }

private:
    void bindParameters(std::span<const ValuePtr> arguments) const;

    std::string m_name;
    std::vector<std::string_view> m_parameterNames;
    NodePtr m_body;
};

} // namespace zr5::script
