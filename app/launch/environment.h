// The process environment as the launch code reads it, so that tests can
// hand in their own.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zr5::launch {

// Reads one variable: null when unset.
using Environment = std::function<const char*(const char*)>;

// std::getenv.
Environment processEnvironment();

// The variable's value; nothing when it is unset or empty.
std::optional<std::string> variable(const Environment& environment, const char* name);

} // namespace zr5::launch
