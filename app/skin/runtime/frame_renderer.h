// One frame of the ticker, as the window shows it: the skin ticked and drawn
// onto a fresh surface of the window's size, then the headlines scrolled on.
// Needs no window, so tools and tests render the same frames.
//
// On a high-density screen the frame is drawn at the screen's pixel ratio: the
// skin is laid out and animated in logical pixels, and only the final places
// are scaled, so bitmaps come out as crisp blocks and text is drawn at the
// device's own resolution.
#pragma once

#include "core/display_holder.h"
#include "gfx/surface32.h"
#include "skin/runtime/skin.h"

#include <cstdint>
#include <memory>

namespace zr5::skin {

// now: the millisecond clock (wrapping at 2^32). width and height are logical;
// the surface has round(width * scale) x round(height * scale) device pixels.
// Null when the size is refused or the scale is not above 0.
std::shared_ptr<gfx::Surface32> renderFrame(Skin& skin, const std::shared_ptr<core::DisplayHolder>& display,
    std::uint32_t now, int width, int height, double scale = 1.0);

} // namespace zr5::skin
