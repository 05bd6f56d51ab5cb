// Evaluation of the syntax tree. The node kinds declare evaluate() in
// lang/syntax_tree.h; their definitions live with the interpreter in
// evaluator.cpp, next to the scopes, values and run limits they work on.
#pragma once

#include "lang/syntax_tree.h"

namespace zr5::script {

// Evaluates a child (none gives no value) under the run-time nesting guard.
ValuePtr evaluateChild(const NodePtr& node);

} // namespace zr5::script
