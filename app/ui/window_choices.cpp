#include "ui/window_choices.h"

namespace zr5::ui {
namespace {

constexpr std::int32_t kUnlocked = 0;
constexpr std::int32_t kLocked = 1;

SavedStacking savedStacking(const MenuChecks& checks)
{
    if (checks.alwaysInFront) {
        return SavedStacking::AlwaysInFront;
    }
    return checks.alwaysBehind ? SavedStacking::AlwaysBehind : SavedStacking::Normal;
}

} // namespace

MenuChecks checksFromSettings(const core::WindowSettings& window)
{
    MenuChecks checks;
    checks.alwaysInFront = window.z == static_cast<std::int32_t>(SavedStacking::AlwaysInFront);
    checks.alwaysBehind = window.z == static_cast<std::int32_t>(SavedStacking::AlwaysBehind);
    checks.positionLock = window.sticking != kUnlocked;
    return checks;
}

void storeChecks(const MenuChecks& checks, core::WindowSettings& window)
{
    window.z = static_cast<std::int32_t>(savedStacking(checks));
    window.sticking = checks.positionLock ? kLocked : kUnlocked;
}

Stacking stackingFor(const MenuChecks& checks)
{
    if (checks.alwaysBehind) {
        return Stacking::AlwaysBehind;
    }
    return checks.alwaysInFront ? Stacking::AlwaysInFront : Stacking::Normal;
}

} // namespace zr5::ui
