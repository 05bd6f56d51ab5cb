#include "builtins/builtin_args.h"

#include <cmath>
#include <string>

namespace zr5::script {

std::uint32_t toCount(double number)
{
    // x86 converts NaN and out-of-range values to 0x8000000000000000, whose
    // low 32 bits are zero; casting them in C++ would be undefined.
    constexpr double kLimit = 9223372036854775808.0; // 2^63
    if (!(std::fabs(number) < kLimit)) {
        return 0;
    }
    const auto whole = static_cast<std::int64_t>(number);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole));
}

ValuePtr Arguments::at(unsigned index) const
{
    if (!m_arguments) {
        return {};
    }
    const SlotPtr slot = m_arguments->members().find(IndexKey(index).text());
    return slot ? slot->value : ValuePtr();
}

std::string Arguments::text(unsigned index) const
{
    const ValuePtr value = at(index);
    return value ? value->asString() : std::string();
}

std::uint32_t Arguments::count(unsigned index, std::uint32_t fallback) const
{
    const ValuePtr value = at(index);
    return value ? toCount(value->asNumber()) : fallback;
}

TextOf::TextOf(const Value& value)
    : m_borrowed(value.stringRef())
{
    if (!m_borrowed) {
        m_owned = value.asString();
    }
}

} // namespace zr5::script
