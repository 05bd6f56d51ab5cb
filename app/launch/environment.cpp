#include "launch/environment.h"

#include <cstdlib>

namespace zr5::launch {

Environment processEnvironment()
{
    return [](const char* name) { return static_cast<const char*>(std::getenv(name)); };
}

std::optional<std::string> variable(const Environment& environment, const char* name)
{
    const char* value = environment(name);
    if (!value || !*value) {
        return std::nullopt;
    }
    return std::string(value);
}

} // namespace zr5::launch
