// Typed reads of object properties for the sprites: missing properties keep
// the default, a property of the wrong kind reads as 0.
#pragma once

#include "skin/runtime/skin_object.h"

#include <string_view>

namespace zr5::skin {

inline int readInt(const SkinObject& object, std::string_view name, int fallback)
{
    CVariant value = object.get(name);
    return value.isEmpty() ? fallback : value.toInt();
}

inline double readDouble(const SkinObject& object, std::string_view name, double fallback)
{
    CVariant value = object.get(name);
    return value.isEmpty() ? fallback : value.toNumber();
}

inline bool readBool(const SkinObject& object, std::string_view name, bool fallback)
{
    CVariant value = object.get(name);
    return value.isEmpty() ? fallback : value.toNumber() != 0.0;
}

// The same, chosen by the fallback's type, for tables of fields.
inline int readProperty(const SkinObject& object, std::string_view name, int fallback)
{
    return readInt(object, name, fallback);
}

inline double readProperty(const SkinObject& object, std::string_view name, double fallback)
{
    return readDouble(object, name, fallback);
}

inline bool readProperty(const SkinObject& object, std::string_view name, bool fallback)
{
    return readBool(object, name, fallback);
}

} // namespace zr5::skin
