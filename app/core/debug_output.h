// Diagnostics for developers: written to standard error only when the
// environment variable ZR5_DEBUG is set.
#pragma once

#include <string_view>

namespace zr5::core {

void debugOutput(std::string_view text);

} // namespace zr5::core
