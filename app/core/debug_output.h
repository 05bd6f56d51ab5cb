// Diagnostics for developers: written to standard error only when the
// environment variable ZR5_DEBUG is set.
// The engine keeps a twin in engine/net: the app reaches the engine only through zr5script.h.
#pragma once

#include <string_view>

namespace zr5::core {

void debugOutput(std::string_view text);

} // namespace zr5::core
