// Text forms of a loaded skin for skin authors and tests.
#pragma once

#include "skin/lang/cvariant.h"
#include "skin/runtime/skin.h"

#include <string>

namespace zr5::skin {

// empty, true/false, integers, doubles (%.17g), "strings" (raw bytes),
// lists (a, b) and integer tables [a, b]. A list met again inside itself, or
// nested too deep to print, shows as (...).
std::string formatValue(const CVariant& value);

// One line `KEY.PROP = VALUE` per property (objects and properties in key
// order), then one line `sprite KEY z=Z` per sprite in drawing order.
std::string dumpSkin(const Skin& skin);

} // namespace zr5::skin
