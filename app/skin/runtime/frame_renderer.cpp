#include "skin/runtime/frame_renderer.h"

namespace zr5::skin {

std::shared_ptr<gfx::Surface32> renderFrame(Skin& skin, const std::shared_ptr<core::DisplayHolder>& display,
    std::uint32_t now, int width, int height, double scale)
{
    if (!gfx::isValidScale(scale) || width < 1 || height < 1) {
        return nullptr;
    }
    auto surface = std::make_shared<gfx::Surface32>();
    const gfx::Rect device = gfx::toDevice({ 0, 0, width, height }, scale);
    if (!surface->create(device.right, device.bottom)) {
        return nullptr;
    }
    skin.setHeadlineSource(display);
    skin.tick(now);
    skin.draw(*surface, width, height, scale);
    if (display) {
        display->advancePosition();
    }
    return surface;
}

} // namespace zr5::skin
