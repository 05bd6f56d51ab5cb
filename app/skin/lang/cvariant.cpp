#include "skin/lang/cvariant.h"

#include "skin/skin_messages.h"

#include <cmath>
#include <limits>

namespace zr5::skin {

CVariantList::~CVariantList()
{
    // Lists held only by this one are emptied into a work list before they die,
    // which turns the recursive release of nested lists into a loop.
    std::vector<std::shared_ptr<CVariantList>> pending;
    auto collect = [&pending](std::vector<CVariant>& items) {
        for (CVariant& item : items) {
            if (item.isList() && item.asList().use_count() == 1) {
                pending.push_back(item.asList());
                item = CVariant();
            }
        }
        items.clear();
    };
    collect(m_items);
    while (!pending.empty()) {
        std::shared_ptr<CVariantList> list = std::move(pending.back());
        pending.pop_back();
        collect(list->m_items);
    }
}

CVariant::CVariant(const CVariant& other) = default;
CVariant::CVariant(CVariant&& other) noexcept = default;
CVariant& CVariant::operator=(const CVariant& other) = default;
CVariant& CVariant::operator=(CVariant&& other) noexcept = default;
CVariant::~CVariant() = default;

const char* BadVariantCast::what() const noexcept
{
    return msg::kBadCast.data();
}

CVariant CVariant::newList()
{
    return CVariant(std::make_shared<CVariantList>());
}

double CVariant::toNumber() const
{
    if (const double* d = std::get_if<double>(&m_value)) {
        return *d;
    }
    if (const std::int32_t* i = std::get_if<std::int32_t>(&m_value)) {
        return *i;
    }
    if (const bool* b = std::get_if<bool>(&m_value)) {
        return *b ? 1.0 : 0.0;
    }
    return 0.0;
}

std::int32_t CVariant::toInt() const
{
    if (const std::int32_t* i = std::get_if<std::int32_t>(&m_value)) {
        return *i;
    }
    return truncateToInt(toNumber());
}

std::string CVariant::toString() const
{
    const std::string* s = std::get_if<std::string>(&m_value);
    return s ? *s : std::string();
}

template <typename T> const T& CVariant::typed() const
{
    const T* value = std::get_if<T>(&m_value);
    if (!value) {
        throw BadVariantCast();
    }
    return *value;
}

bool CVariant::asBoolean() const
{
    return typed<bool>();
}
std::int32_t CVariant::asInteger() const
{
    return typed<std::int32_t>();
}
double CVariant::asDouble() const
{
    return typed<double>();
}
const std::string& CVariant::asString() const
{
    return typed<std::string>();
}
const std::shared_ptr<CVariantList>& CVariant::asList() const
{
    return typed<std::shared_ptr<CVariantList>>();
}
const std::shared_ptr<IntTable>& CVariant::asTable() const
{
    return typed<std::shared_ptr<IntTable>>();
}

std::int32_t truncateToInt(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

} // namespace zr5::skin
