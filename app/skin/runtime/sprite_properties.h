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

} // namespace zr5::skin
