// One frame of the ticker, as the window shows it: the skin ticked and drawn
// onto a surface of the window's size, then the headlines scrolled on.
// Needs no window, so tools and tests render the same frames.
//
// On a high-density screen the frame is drawn at the screen's pixel ratio: the
// skin is laid out and animated in logical pixels, and only the final places
// are scaled, so bitmaps come out as crisp blocks and text is drawn at the
// device's own resolution.
//
// A ticker draws the same window a hundred times a second and most of it never
// changes, so a FrameRenderer keeps what it can between frames: two surfaces
// drawn in turn, the sprites below the first message composed once while they
// stay as they were, and the rectangle where the new frame differs from the
// one before, so that the window presents only that.
#pragma once

#include "core/display_holder.h"
#include "gfx/surface32.h"
#include "skin/runtime/skin.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace zr5::skin {

// Tools and tests render frames this far apart, as the ticker once drew them.
inline constexpr std::chrono::milliseconds kFrameStep { 10 };

class FrameRenderer final {
public:
    // Reuse::None draws every frame from nothing, as if each had its own
    // renderer: the reference the kept state must match byte for byte.
    enum class Reuse { Kept, None };

    explicit FrameRenderer(Reuse reuse = Reuse::Kept);

    // now: the millisecond clock (wrapping at 2^32). width and height are
    // logical; the surface has round(width * scale) x round(height * scale)
    // device pixels. Null when the size is refused or the scale is not above 0.
    // A frame the caller still holds is never drawn over; one it has let go
    // is drawn into again two frames later.
    // elapsed: the time since the frame before, which the headlines scroll by.
    std::shared_ptr<gfx::Surface32> render(Skin& skin, const std::shared_ptr<core::DisplayHolder>& display,
        std::uint32_t now, int width, int height, double scale = 1.0,
        std::chrono::microseconds elapsed = kFrameStep);

    // Device pixels of the last frame render returned that differ from the
    // frame it returned before: the whole surface for the first frame and
    // after a change of skin, size or scale; empty (right <= left) when no
    // pixel changed, and after a refused frame.
    gfx::Rect changedRect() const { return m_changed; }

private:
    struct Layout {
        std::uint64_t skin = 0;
        int width = 0;
        int height = 0;
        double scale = 0.0;
        bool operator==(const Layout&) const = default;
    };
    // One sprite of the composed background and how it looked when composed.
    struct Composed {
        const SkinSprite* sprite;
        SpriteLook look;
        bool operator==(const Composed&) const = default;
    };

    std::shared_ptr<gfx::Surface32> drawingSurface(int width, int height);
    std::size_t drawBackground(Skin& skin, const std::vector<SkinSprite*>& order, gfx::Surface32& frame);
    void findChanges(const gfx::Surface32& frame);

    Reuse m_reuse;
    Layout m_layout;
    std::shared_ptr<gfx::Surface32> m_front; // the frame returned last
    std::shared_ptr<gfx::Surface32> m_back;
    gfx::Surface32 m_background;
    std::vector<Composed> m_composed;
    std::vector<Composed> m_lastLooks; // every sprite with a look, as the last frame drew it
    gfx::Rect m_changed;
};

// A frame drawn from nothing, for tools and tests that render one at a time.
std::shared_ptr<gfx::Surface32> renderFrame(Skin& skin, const std::shared_ptr<core::DisplayHolder>& display,
    std::uint32_t now, int width, int height, double scale = 1.0,
    std::chrono::microseconds elapsed = kFrameStep);

} // namespace zr5::skin
