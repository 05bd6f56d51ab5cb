#include "interp/operators.h"

#include "interp/run_limits.h"

#include <cmath>
#include <limits>

namespace zr5::script {

namespace {

bool eitherIsString(const Value& left, const Value& right)
{
    return left.isString() || right.isString();
}

ValuePtr concatenate(const Value& left, const Value& right)
{
    std::string text = left.asString();
    const std::string tail = right.asString();
    checkTextLength(text.size() + tail.size());
    text += tail;
    return makeString(std::move(text));
}

ValuePtr remainder(const Value& left, const Value& right)
{
    const std::int32_t dividend = integerView(left.asNumber());
    const std::int32_t divisor = integerView(right.asNumber());
    // No defined answer for these; giving no value keeps the run going.
    if (divisor == 0 || (divisor == -1 && dividend == std::numeric_limits<std::int32_t>::min())) {
        return {};
    }
    return makeNumber(dividend % divisor);
}

ValuePtr bitwise(BinaryOperator op, const Value& left, const Value& right)
{
    const std::int32_t a = integerView(left.asNumber());
    const std::int32_t b = integerView(right.asNumber());
    const auto shift = static_cast<unsigned>(b) & 31u;
    switch (op) {
    case BinaryOperator::BitAnd:
        return makeNumber(a & b);
    case BinaryOperator::BitOr:
        return makeNumber(a | b);
    case BinaryOperator::BitXor:
        return makeNumber(a ^ b);
    case BinaryOperator::ShiftLeft:
        return makeNumber(static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << shift));
    case BinaryOperator::ShiftRight:
        return makeNumber(a >> shift);
    default:
        return makeNumber(static_cast<std::uint32_t>(a) >> shift);
    }
}

bool equals(const Value& left, const Value& right)
{
    if (eitherIsString(left, right)) {
        return left.asString() == right.asString();
    }
    return left.asNumber() == right.asNumber();
}

// Negative, zero or positive like a three-way compare; texts compare as
// unsigned bytes. Numbers that do not compare (NaN) make every test false.
bool compare(BinaryOperator op, const Value& left, const Value& right)
{
    if (eitherIsString(left, right)) {
        const int order = left.asString().compare(right.asString());
        switch (op) {
        case BinaryOperator::Less:
            return order < 0;
        case BinaryOperator::LessEqual:
            return order <= 0;
        case BinaryOperator::Greater:
            return order > 0;
        default:
            return order >= 0;
        }
    }
    const double a = left.asNumber();
    const double b = right.asNumber();
    switch (op) {
    case BinaryOperator::Less:
        return a < b;
    case BinaryOperator::LessEqual:
        return a <= b;
    case BinaryOperator::Greater:
        return a > b;
    default:
        return a >= b;
    }
}

} // namespace

std::int32_t integerView(double value)
{
    constexpr double kLimit = 9223372036854775808.0; // 2^63
    if (!(value > -kLimit && value < kLimit)) {
        return 0;
    }
    const auto wide = static_cast<std::int64_t>(value);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(wide)));
}

ValuePtr binaryOperation(BinaryOperator op, const ValuePtr& left, const ValuePtr& right)
{
    if (op == BinaryOperator::Comma) {
        return right;
    }
    if (!left || !right) {
        return {};
    }
    const Value& a = *left;
    const Value& b = *right;
    switch (op) {
    case BinaryOperator::Add:
        return eitherIsString(a, b) ? concatenate(a, b) : makeNumber(a.asNumber() + b.asNumber());
    case BinaryOperator::Subtract:
        return makeNumber(a.asNumber() - b.asNumber());
    case BinaryOperator::Multiply:
        return makeNumber(a.asNumber() * b.asNumber());
    case BinaryOperator::Divide:
        return makeNumber(a.asNumber() / b.asNumber());
    case BinaryOperator::Remainder:
        return remainder(a, b);
    case BinaryOperator::BitAnd:
    case BinaryOperator::BitOr:
    case BinaryOperator::BitXor:
    case BinaryOperator::ShiftLeft:
    case BinaryOperator::ShiftRight:
    case BinaryOperator::ShiftRightUnsigned:
        return bitwise(op, a, b);
    default:
        return isComparison(op) ? makeBoolean(comparisonHolds(op, a, b)) : ValuePtr();
    }
}

bool isComparison(BinaryOperator op)
{
    return op >= BinaryOperator::Equal && op <= BinaryOperator::GreaterEqual;
}

bool comparisonHolds(BinaryOperator op, const Value& left, const Value& right)
{
    switch (op) {
    case BinaryOperator::Equal:
    case BinaryOperator::StrictEqual:
        return equals(left, right);
    case BinaryOperator::NotEqual:
    case BinaryOperator::StrictNotEqual:
        return !equals(left, right);
    default:
        return compare(op, left, right);
    }
}

ValuePtr unaryOperation(UnaryOperator op, const ValuePtr& operand)
{
    if (!operand || !(operand->isNumber() || operand->isBoolean())) {
        return {};
    }
    const double number = operand->asNumber();
    switch (op) {
    case UnaryOperator::Plus:
        return makeNumber(number);
    case UnaryOperator::Minus:
        return makeNumber(-number);
    case UnaryOperator::Not:
        return makeNumber(number == 0.0 ? 1.0 : 0.0);
    case UnaryOperator::Complement:
        return makeNumber(~integerView(number));
    default:
        return {};
    }
}

} // namespace zr5::script
