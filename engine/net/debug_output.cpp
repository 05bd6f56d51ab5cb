#include "net/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace zr5::script::net {

void debugOutput(std::string_view text)
{
    if (std::getenv("ZR5_DEBUG") == nullptr)
        return;
    // Fetches run on several threads; keep each piece whole.
    static std::mutex mutex;
    const std::scoped_lock lock(mutex);
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace zr5::script::net
