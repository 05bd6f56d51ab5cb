#include "interp/value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace zr5::script {

namespace {

// Texts of the values that have no decimal form; scripts see these when a
// computation overflows or has no answer.
constexpr const char* kInfinityText = "inf";
constexpr const char* kNegativeInfinityText = "-inf";
constexpr const char* kNotANumberText = "nan";

// printf writes at least two exponent digits; the engine always writes three.
std::string widenExponent(std::string text)
{
    const auto mark = text.find('e');
    if (mark == std::string::npos || mark + 2 > text.size()) {
        return text;
    }
    const auto digits = text.size() - (mark + 2);
    if (digits < 3) {
        text.insert(mark + 2, 3 - digits, '0');
    }
    return text;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Length of the longest decimal number at the start of text (sign, digits,
// fraction, exponent); 0 when there is none.
std::size_t decimalPrefixLength(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

// Whole numbers below this are made once and shared; loop counters and
// indexes live here.
constexpr int kSharedNumbers = 256;

const std::array<ValuePtr, kSharedNumbers>& sharedNumbers()
{
    static const std::array<ValuePtr, kSharedNumbers> numbers = [] {
        std::array<ValuePtr, kSharedNumbers> made;
        for (int i = 0; i < kSharedNumbers; ++i) {
            made[static_cast<std::size_t>(i)] = std::make_shared<NumberValue>(i);
        }
        return made;
    }();
    return numbers;
}

} // namespace

ValuePtr makeNull()
{
    static const ValuePtr null = std::make_shared<NullValue>();
    return null;
}

ValuePtr makeBoolean(bool flag)
{
    static const ValuePtr yes = std::make_shared<BooleanValue>(true);
    static const ValuePtr no = std::make_shared<BooleanValue>(false);
    return flag ? yes : no;
}

ValuePtr makeNumber(double value)
{
    // -0 is excluded by the sign test: it writes as "-0".
    if (value >= 0.0 && value < kSharedNumbers && !std::signbit(value)) {
        const auto whole = static_cast<int>(value);
        if (whole == value) {
            return sharedNumbers()[static_cast<std::size_t>(whole)];
        }
    }
    return std::make_shared<NumberValue>(value);
}

IndexKey::IndexKey(std::size_t index)
{
    const auto written = std::to_chars(m_digits.data(), m_digits.data() + m_digits.size(), index);
    m_size = static_cast<std::size_t>(written.ptr - m_digits.data());
}

void Callable::callWith(ValuePtr& result, std::span<ValuePtr> arguments, const ValuePtr& self)
{
    const ObjectPtr object = makeObject();
    for (ValuePtr& argument : arguments) {
        object->members().append(std::move(argument));
    }
    call(result, object, self);
}

void ArgumentValues::add(ValuePtr value)
{
    if (m_count < kInline) {
        m_inline[m_count] = std::move(value);
    } else {
        if (m_count == kInline) {
            m_spilled.assign(
                std::make_move_iterator(m_inline.begin()), std::make_move_iterator(m_inline.end()));
        }
        m_spilled.push_back(std::move(value));
    }
    ++m_count;
}

std::span<ValuePtr> ArgumentValues::values()
{
    if (m_count <= kInline) {
        return { m_inline.data(), m_count };
    }
    return m_spilled;
}

std::string formatNumber(double value)
{
    if (std::isnan(value)) {
        return kNotANumberText;
    }
    if (std::isinf(value)) {
        return value > 0 ? kInfinityText : kNegativeInfinityText;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return widenExponent(buffer);
}

double parseNumber(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isSpace(text[start])) {
        ++start;
    }
    const auto rest = text.substr(start);
    const auto length = decimalPrefixLength(rest);
    if (length == 0) {
        return 0.0;
    }
    // strtod needs a terminated copy; hex, "inf" and "nan" were excluded above.
    const std::string number(rest.substr(0, length));
    return std::strtod(number.c_str(), nullptr);
}

std::string NumberValue::asString() const
{
    return formatNumber(m_value);
}

StringValue::StringValue(std::string text)
    : m_text(std::move(text))
{
    checkTextLength(m_text.size());
    chargeValueBytes(m_text.capacity());
    m_charged = m_text.capacity();
}

void StringValue::appendUnshared(const Value& tail)
{
    // The tail may be this very text (s = s + s): it is read only after the
    // storage has grown, through the string rather than a view of the old one.
    const std::string* borrowed = tail.stringRef();
    const std::string converted = borrowed ? std::string() : tail.asString();
    const std::string& text = borrowed ? *borrowed : converted;
    const std::size_t tailSize = text.size();
    const std::size_t length = m_text.size() + tailSize;
    checkTextLength(length);
    if (length > m_text.capacity()) {
        const std::size_t wanted = std::max(length, 2 * m_text.capacity());
        chargeValueBytes(wanted - m_charged);
        m_charged = wanted;
        m_text.reserve(wanted);
        // reserve() may round up; the charge follows what it really took.
        if (m_text.capacity() > m_charged) {
            chargeValueBytes(m_text.capacity() - m_charged);
            m_charged = m_text.capacity();
        }
    }
    m_text.append(text.data(), tailSize);
}

double StringValue::asNumber() const
{
    return parseNumber(m_text);
}

const Value* VariableReference::target() const
{
    // Chains are followed in a loop, and a chain that never ends (a slot that
    // reaches itself again) reads as empty instead of recursing forever.
    const Value* value = m_slot->value.get();
    for (int steps = 0; value && value->isReference(); ++steps) {
        if (steps == kMaxReferenceChain) {
            return nullptr;
        }
        value = static_cast<const VariableReference*>(value)->m_slot->value.get();
    }
    return value;
}

bool VariableReference::isNull() const
{
    const Value* value = target();
    return value && value->isNull();
}
bool VariableReference::isBoolean() const
{
    const Value* value = target();
    return value && value->isBoolean();
}
bool VariableReference::isNumber() const
{
    const Value* value = target();
    return value && value->isNumber();
}
bool VariableReference::isString() const
{
    const Value* value = target();
    return value && value->isString();
}
bool VariableReference::isObject() const
{
    const Value* value = target();
    return value && value->isObject();
}
bool VariableReference::isFunction() const
{
    const Value* value = target();
    return value && value->isFunction();
}
bool VariableReference::asBoolean() const
{
    const Value* value = target();
    return value && value->asBoolean();
}

double VariableReference::asNumber() const
{
    const Value* value = target();
    return value ? value->asNumber() : 0.0;
}

std::string VariableReference::asString() const
{
    const Value* value = target();
    return value ? value->asString() : std::string();
}

const std::string* VariableReference::stringRef() const
{
    const Value* value = target();
    return value ? value->stringRef() : nullptr;
}

Callable* VariableReference::callable()
{
    Value* value = const_cast<Value*>(target());
    return value ? value->callable() : nullptr;
}

Properties* VariableReference::properties()
{
    Value* value = const_cast<Value*>(target());
    return value ? value->properties() : nullptr;
}

SlotPtr Properties::find(std::string_view key) const
{
    const auto it = m_members.find(key);
    return it == m_members.end() ? SlotPtr() : it->second;
}

SlotPtr Properties::findOrCreate(std::string_view key)
{
    auto it = m_members.find(key);
    if (it == m_members.end()) {
        // Charged first: past the limit, nothing is added.
        const std::size_t bytes = key.size() + kMemberBytes;
        chargeValueBytes(bytes);
        m_bytes += bytes;
        it = m_members.emplace(std::string(key), std::make_shared<VariableSlot>()).first;
    }
    return it->second;
}

Properties::Map Properties::takeMembers()
{
    releaseValueBytes(std::exchange(m_bytes, 0));
    return std::exchange(m_members, Map());
}

void Properties::append(ValuePtr value)
{
    assign(findOrCreate(IndexKey(m_members.size()).text()), std::move(value));
}

} // namespace zr5::script
