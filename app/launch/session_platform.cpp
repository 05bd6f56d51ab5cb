#include "launch/session_platform.h"

namespace zr5::launch {

std::optional<std::string> platformForSession(const Environment& environment, bool platformChosen)
{
    if (platformChosen || variable(environment, "QT_QPA_PLATFORM")) {
        return std::nullopt;
    }
    if (variable(environment, "WAYLAND_DISPLAY") && variable(environment, "DISPLAY")) {
        return std::string("xcb");
    }
    return std::nullopt;
}

bool isWaylandPlatform(std::string_view platformName)
{
    return platformName.starts_with("wayland");
}

} // namespace zr5::launch
