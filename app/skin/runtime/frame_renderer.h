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
#include <span>
#include <vector>

namespace zr5::skin {

// Tools and tests render frames this far apart, as the ticker once drew them.
inline constexpr std::chrono::milliseconds kFrameStep { 10 };

class FrameRenderer final {
public:
    // Reuse::None draws every frame from nothing, as if each had its own
    // renderer: the reference the kept state must match byte for byte.
    enum class Reuse { Kept, None };

    // Frames a sprite must look the same before it joins the composed
    // background: longer than the steps of the usual animations.
    static constexpr int kSettleFrames = 30;

    explicit FrameRenderer(Reuse reuse = Reuse::Kept, int settleFrames = kSettleFrames);

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

    // Leading sprites drawn once onto a surface of their own, and how they
    // looked then; the id changes whenever they are drawn again.
    struct ComposedLayer {
        gfx::Surface32 surface;
        std::vector<Composed> sprites;
        std::uint64_t id = 0;
    };
    // What a frame's surface was started from, and where the sprites drawn
    // over that touched it.
    static constexpr std::uint64_t kUnknownBase = 0;
    static constexpr std::uint64_t kEmptyBase = 1;
    struct Drawn {
        std::shared_ptr<gfx::Surface32> surface;
        std::uint64_t base = kUnknownBase; // a layer's id, or kEmptyBase
        gfx::Rect touched;
    };

    Drawn drawingSurface(int width, int height);
    std::size_t drawBackground(Skin& skin, const std::vector<SkinSprite*>& order, Drawn& frame);
    bool composeLayer(ComposedLayer& layer, Skin& skin, const std::vector<SkinSprite*>& order,
        std::span<const Composed> looks, const ComposedLayer* below, const gfx::Surface32& frame);
    static std::size_t copyLayer(const ComposedLayer* layer, Drawn& frame);
    void findChanges(const Drawn& frame);

    Reuse m_reuse;
    int m_settleFrames;
    Layout m_layout;
    Drawn m_front; // the frame returned last
    Drawn m_back;
    ComposedLayer m_settled; // sprites that have looked so for m_settleFrames
    ComposedLayer m_lately; // those and the next ones that looked so in the last frame
    std::uint64_t m_lastLayerId = kEmptyBase;
    std::vector<Composed> m_lastLooks; // every sprite with a look, as the last frame drew it
    std::vector<int> m_unchangedFor; // frames each of those has looked so, up to m_settleFrames
    gfx::Rect m_changed;
};

// A frame drawn from nothing, for tools and tests that render one at a time.
std::shared_ptr<gfx::Surface32> renderFrame(Skin& skin, const std::shared_ptr<core::DisplayHolder>& display,
    std::uint32_t now, int width, int height, double scale = 1.0,
    std::chrono::microseconds elapsed = kFrameStep);

} // namespace zr5::skin
