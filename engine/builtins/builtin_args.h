// Argument helpers shared by every built-in: positional access to the
// arguments object, text and count conversions, and a receiver's text read
// without copying when it is a string.
#pragma once

#include "interp/value.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zr5::script {

// Positions and counts: truncated toward zero to 64 bits, of which the low 32
// bits count unsigned, so a negative number acts as "beyond any end".
// NaN and numbers outside the 64-bit range count as 0.
std::uint32_t toCount(double number);

class Arguments final {
public:
    explicit Arguments(const ObjectPtr& arguments)
        : m_arguments(arguments)
    {
    }

    // The value passed at position index; no value when none was passed.
    ValuePtr at(unsigned index) const;
    bool has(unsigned index) const { return static_cast<bool>(at(index)); }
    // asString of the argument; empty when it was not passed.
    std::string text(unsigned index) const;
    // toCount of the argument; fallback when it was not passed.
    std::uint32_t count(unsigned index, std::uint32_t fallback) const;

private:
    const ObjectPtr& m_arguments;
};

// The text of a value: borrowed from a string value, converted otherwise.
class TextOf final {
public:
    explicit TextOf(const Value& value);
    TextOf(const TextOf&) = delete;
    TextOf& operator=(const TextOf&) = delete;

    const std::string& text() const { return m_borrowed ? *m_borrowed : m_owned; }

private:
    const std::string* m_borrowed = nullptr;
    std::string m_owned;
};

} // namespace zr5::script
