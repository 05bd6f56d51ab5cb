// CVariant: the value type of the skin language. Scalars and strings are
// copied; lists and integer tables are shared between copies, so appending to
// a list through one property changes every property holding it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <typeinfo>
#include <variant>
#include <vector>

namespace zr5::skin {

class CVariant;

// A list owns its elements; nested lists are released without recursion, so a
// script that nests lists a million deep cannot exhaust the stack.
class CVariantList final {
public:
    CVariantList() = default;
    CVariantList(const CVariantList&) = delete;
    CVariantList& operator=(const CVariantList&) = delete;
    ~CVariantList();

    std::vector<CVariant>& items() { return m_items; }
    const std::vector<CVariant>& items() const { return m_items; }

private:
    std::vector<CVariant> m_items;
};

using IntTable = std::vector<std::int32_t>;

// What a typed read of the wrong kind throws.
class BadVariantCast final : public std::bad_cast {
public:
    const char* what() const noexcept override;
};

class CVariant final {
public:
    CVariant() = default;
    // Out of line: inlined variant copies trip GCC 12's maybe-uninitialized check.
    CVariant(const CVariant& other);
    CVariant(CVariant&& other) noexcept;
    CVariant& operator=(const CVariant& other);
    CVariant& operator=(CVariant&& other) noexcept;
    ~CVariant();
    explicit CVariant(bool value)
        : m_value(value)
    {
    }
    explicit CVariant(std::int32_t value)
        : m_value(value)
    {
    }
    explicit CVariant(double value)
        : m_value(value)
    {
    }
    explicit CVariant(std::string value)
        : m_value(std::move(value))
    {
    }
    explicit CVariant(std::shared_ptr<CVariantList> list)
        : m_value(std::move(list))
    {
    }
    explicit CVariant(std::shared_ptr<IntTable> table)
        : m_value(std::move(table))
    {
    }

    static CVariant newList();

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isBoolean() const { return std::holds_alternative<bool>(m_value); }
    bool isInteger() const { return std::holds_alternative<std::int32_t>(m_value); }
    bool isDouble() const { return std::holds_alternative<double>(m_value); }
    bool isString() const { return std::holds_alternative<std::string>(m_value); }
    bool isList() const { return std::holds_alternative<std::shared_ptr<CVariantList>>(m_value); }
    bool isTable() const { return std::holds_alternative<std::shared_ptr<IntTable>>(m_value); }
    bool isNumber() const { return isDouble() || isInteger() || isBoolean(); }

    // Numbers as themselves, booleans as 0 or 1, every other kind as 0.
    double toNumber() const;
    // toNumber() truncated towards zero and saturated to 32 bits (NaN gives 0).
    std::int32_t toInt() const;
    // The text of a string value; empty for every other kind.
    std::string toString() const;

    // Typed reads; BadVariantCast for a value of another kind.
    bool asBoolean() const;
    std::int32_t asInteger() const;
    double asDouble() const;
    const std::string& asString() const;
    const std::shared_ptr<CVariantList>& asList() const;
    const std::shared_ptr<IntTable>& asTable() const;

private:
    template <typename T> const T& typed() const;

    std::variant<std::monostate, bool, std::int32_t, double, std::string, std::shared_ptr<CVariantList>,
        std::shared_ptr<IntTable>>
        m_value;
};

// Saturating conversion used wherever a skin number becomes a pixel or a count.
std::int32_t truncateToInt(double value);

} // namespace zr5::skin
