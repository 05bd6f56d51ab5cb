// The operators of the news-script language on values (operands may be
// references; no value in gives no value out).
#pragma once

#include "interp/value.h"

#include <cstdint>

namespace zr5::script {

enum class BinaryOperator {
    Comma,
    Add,
    Subtract,
    Multiply,
    Divide,
    Remainder,
    BitAnd,
    BitOr,
    BitXor,
    ShiftLeft,
    ShiftRight,
    ShiftRightUnsigned,
    Equal,
    NotEqual,
    StrictEqual,
    StrictNotEqual,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
};

// Plus, minus, '!', '~' work on the value; the increments need its slot.
enum class UnaryOperator {
    Plus,
    Minus,
    Not,
    Complement,
    PreIncrement,
    PreDecrement,
    PostIncrement,
    PostDecrement,
};

enum class LogicalOperator { And, Or };

// Truncation toward zero to 64 bits, low 32 bits as signed; values beyond
// 64 bits and NaN give 0.
std::int32_t integerView(double value);

ValuePtr binaryOperation(BinaryOperator op, const ValuePtr& left, const ValuePtr& right);
// The equality and order tests: what binaryOperation makes a boolean of.
bool isComparison(BinaryOperator op);
bool comparisonHolds(BinaryOperator op, const Value& left, const Value& right);
// The increments give no value here (they need a slot).
ValuePtr unaryOperation(UnaryOperator op, const ValuePtr& operand);

} // namespace zr5::script
