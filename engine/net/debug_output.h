// The developer's trace: text written as given to standard error, but only
// when the environment variable ZR5_DEBUG is set.
#pragma once

#include <string_view>

namespace zr5::script::net {

void debugOutput(std::string_view text);

} // namespace zr5::script::net
