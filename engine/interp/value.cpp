#include "interp/value.h"

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

} // namespace

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
    char key[32];
    std::snprintf(key, sizeof key, "%u", static_cast<unsigned>(m_members.size()));
    assign(findOrCreate(key), std::move(value));
}

} // namespace zr5::script
