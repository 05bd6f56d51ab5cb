// Evaluation of skin expressions. Runs on an explicit stack: a chain such as
// `1+1+1+...` parses into a tree as deep as it is long.
#pragma once

#include "skin/lang/cvariant.h"
#include "skin/lang/syntax_tree.h"

#include <string>

namespace zr5::skin {

// What a name in an expression reads: a property of the object being evaluated.
class NameLookup {
public:
    virtual ~NameLookup() = default;
    virtual CVariant nameValue(const std::string& name) const = 0;
};

// The value of an expression tree; a null tree is the empty value.
CVariant evaluateExpression(const Node* expression, const NameLookup& names);

} // namespace zr5::skin
