// ESkinScript: a run-time error of a skin script. Raised while a skin is
// loaded; the loader shows what() under the caption "ZR5 skin script error".
#pragma once

#include <stdexcept>
#include <string>

namespace zr5::skin {

class ESkinScript final : public std::runtime_error {
public:
    explicit ESkinScript(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

} // namespace zr5::skin
