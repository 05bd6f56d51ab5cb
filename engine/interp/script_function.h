// A function written in a script: its own frame per call, parameters bound
// to the arguments as they evaluated, `this` bound when there is a receiver.
#pragma once

#include "interp/value.h"
#include "lang/syntax_tree.h"

#include <string>

namespace zr5::script {

class ScriptFunction final : public Callable {
public:
    // parameterNames: members "0", "1", ... holding the names; may be empty.
    ScriptFunction(std::string name, ObjectPtr parameterNames, NodePtr body);
    void call(ValuePtr& result, const ObjectPtr& arguments, const ValuePtr& self) override;
    const std::string& name() const { return m_name; }

private:
    void bindParameters(const ObjectPtr& arguments);

    std::string m_name;
    ObjectPtr m_parameterNames;
    NodePtr m_body;
};

} // namespace zr5::script
