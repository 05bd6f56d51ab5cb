#include "core/debug_output.h"

#include <cstdio>
#include <cstdlib>

namespace zr5::core {

void debugOutput(std::string_view text)
{
    static const bool enabled = std::getenv("ZR5_DEBUG") != nullptr;
    if (enabled) {
        std::fwrite(text.data(), 1, text.size(), stderr);
    }
}

} // namespace zr5::core
