// The operators of the news-script language on values (operands may be
// references; no value in gives no value out).
#pragma once

#include "interp/value.h"

#include <cstdint>

namespace zr5::script {

// Truncation toward zero to 64 bits, low 32 bits as signed; values beyond
// 64 bits and NaN give 0.
std::int32_t integerView(double value);

// op: a character code or a token code of the grammar.
ValuePtr binaryOperation(int op, const ValuePtr& left, const ValuePtr& right);
// Plus, minus, '!', '~'; not the increments (they need a slot).
ValuePtr unaryOperation(int op, const ValuePtr& operand);

} // namespace zr5::script
