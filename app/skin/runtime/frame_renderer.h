// One frame of the ticker, as the window shows it: the skin ticked and drawn
// onto a fresh surface of the window's size, then the headlines scrolled on.
// Needs no window, so tools and tests render the same frames.
#pragma once

#include "core/display_holder.h"
#include "gfx/surface32.h"
#include "skin/runtime/skin.h"

#include <cstdint>
#include <memory>

namespace zr5::skin {

// now: the millisecond clock (wrapping at 2^32). Null when the size is refused.
std::shared_ptr<gfx::Surface32> renderFrame(Skin& skin, const std::shared_ptr<core::DisplayHolder>& display,
    std::uint32_t now, int width, int height);

} // namespace zr5::skin
