// The developer's trace: text written as given to standard error, but only
// when the environment variable ZR5_DEBUG is set.
// The app keeps a twin in app/core: exporting this one would widen the library's three-function API.
#pragma once

#include <string_view>

namespace zr5::script::net {

void debugOutput(std::string_view text);

} // namespace zr5::script::net
