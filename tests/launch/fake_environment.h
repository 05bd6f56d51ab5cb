#pragma once

#include "launch/environment.h"

#include <map>
#include <string>

namespace zr5::launch {

// An environment of the test's own making, read as the launch code reads the process's.
struct FakeEnvironment {
    std::map<std::string, std::string> values;

    Environment reader() const
    {
        return [this](const char* name) -> const char* {
            auto found = values.find(name);
            return found == values.end() ? nullptr : found->second.c_str();
        };
    }
};

} // namespace zr5::launch
