#include "skin/runtime/frame_renderer.h"

namespace zr5::skin {

std::shared_ptr<gfx::Surface32> renderFrame(
    Skin& skin, const std::shared_ptr<core::DisplayHolder>& display, std::uint32_t now, int width, int height)
{
    auto surface = std::make_shared<gfx::Surface32>();
    if (!surface->create(width, height)) {
        return nullptr;
    }
    skin.setHeadlineSource(display);
    skin.tick(now);
    skin.draw(*surface);
    if (display) {
        display->advancePosition();
    }
    return surface;
}

} // namespace zr5::skin
