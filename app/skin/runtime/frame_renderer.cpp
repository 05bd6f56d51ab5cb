#include "skin/runtime/frame_renderer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zr5::skin {
namespace {

const std::uint32_t* rowOf(const gfx::Surface32& surface, int y)
{
    return reinterpret_cast<const std::uint32_t*>(surface.image().constScanLine(y));
}

// Fully transparent at the given size, allocated only when the size changes.
bool clearSurface(gfx::Surface32& surface, int width, int height)
{
    if (surface.width() != width || surface.height() != height) {
        return surface.create(width, height);
    }
    surface.image().fill(0);
    return true;
}

// The headlines move on once a frame has shown where they are.
void scrollOn(const std::shared_ptr<core::DisplayHolder>& display, std::chrono::microseconds elapsed)
{
    if (display) {
        display->advanceBy(elapsed);
    }
}

} // namespace

FrameRenderer::FrameRenderer(Reuse reuse, int settleFrames)
    : m_reuse(reuse)
    , m_settleFrames(std::max(settleFrames, 1))
{
}

std::shared_ptr<gfx::Surface32> FrameRenderer::render(Skin& skin,
    const std::shared_ptr<core::DisplayHolder>& display, std::uint32_t now, int width, int height,
    double scale, std::chrono::microseconds elapsed)
{
    m_changed = {};
    if (!gfx::isValidScale(scale) || width < 1 || height < 1) {
        return nullptr;
    }
    const Layout layout { skin.serial(), width, height, scale };
    if (m_reuse == Reuse::None || !(layout == m_layout)) {
        m_layout = layout;
        m_front = {};
        m_back = {};
        m_settled = {};
        m_lately = {};
        m_lastLooks.clear();
        m_unchangedFor.clear();
    }
    const gfx::Rect device = gfx::toDevice({ 0, 0, width, height }, scale);
    Drawn frame = drawingSurface(device.right, device.bottom);
    if (!frame.surface) {
        return nullptr;
    }
    skin.keepDrawingState(m_reuse == Reuse::Kept);
    skin.setHeadlineSource(display);
    skin.tick(now);
    const std::vector<SkinSprite*> order = skin.drawingOrder();
    const std::size_t composed = drawBackground(skin, order, frame);
    const std::span<SkinSprite* const> above = std::span(order).subspan(composed);
    frame.touched = skin.drawnArea(above, width, height, scale, device);
    skin.drawSprites(*frame.surface, above, width, height, scale);
    scrollOn(display, elapsed);
    findChanges(frame);
    m_back = std::exchange(m_front, frame);
    return frame.surface;
}

FrameRenderer::Drawn FrameRenderer::drawingSurface(int width, int height)
{
    if (m_back.surface && m_back.surface.use_count() == 1 && m_back.surface->width() == width
        && m_back.surface->height() == height) {
        return std::exchange(m_back, {});
    }
    auto surface = std::make_shared<gfx::Surface32>();
    return surface->create(width, height) ? Drawn { surface, kUnknownBase, {} } : Drawn {};
}

// The leading sprites that look as they did in the last frame are composed
// once and copied in while they stay so; an animated layer or the first
// message ends them. Two layers: the sprites settled for a while (the frame,
// mostly), and above them those that changed lately, so that a layer which
// changes every few frames is drawn once a change over the settled ones
// rather than having everything composed again. Returns how many of `order`
// the frame holds afterwards.
std::size_t FrameRenderer::drawBackground(Skin& skin, const std::vector<SkinSprite*>& order, Drawn& frame)
{
    std::vector<Composed> looks;
    std::vector<int> unchangedFor;
    std::size_t settled = 0;
    std::size_t steady = 0;
    for (SkinSprite* sprite : order) {
        const std::optional<SpriteLook> look = sprite->look();
        if (!look) {
            break;
        }
        const std::size_t i = looks.size();
        looks.push_back({ sprite, *look });
        const bool same = i < m_lastLooks.size() && m_lastLooks[i] == looks.back();
        unchangedFor.push_back(same ? std::min(m_unchangedFor[i] + 1, m_settleFrames) : 0);
        settled += settled == i && unchangedFor.back() >= m_settleFrames ? 1 : 0;
        steady += steady == i && same ? 1 : 0;
    }
    m_lastLooks = std::move(looks);
    m_unchangedFor = std::move(unchangedFor);
    if (m_reuse == Reuse::None) {
        return copyLayer(nullptr, frame);
    }
    settled = std::min(settled, steady);
    const std::span<const Composed> looksNow(m_lastLooks);
    if (!composeLayer(m_settled, skin, order, looksNow.first(settled), nullptr, *frame.surface)) {
        return copyLayer(nullptr, frame);
    }
    if (steady == settled) {
        return copyLayer(&m_settled, frame);
    }
    if (!composeLayer(m_lately, skin, order, looksNow.first(steady), &m_settled, *frame.surface)) {
        return copyLayer(nullptr, frame);
    }
    return copyLayer(&m_lately, frame);
}

// Makes the layer hold the given sprites as they look now, drawn over the
// layer below (or nothing). False when no surface could be had.
bool FrameRenderer::composeLayer(ComposedLayer& layer, Skin& skin, const std::vector<SkinSprite*>& order,
    std::span<const Composed> looks, const ComposedLayer* below, const gfx::Surface32& frame)
{
    if (std::equal(looks.begin(), looks.end(), layer.sprites.begin(), layer.sprites.end())) {
        return true;
    }
    layer.sprites.clear();
    if (looks.empty()) {
        return true;
    }
    if (!clearSurface(layer.surface, frame.width(), frame.height())) {
        return false;
    }
    const std::size_t first = below ? below->sprites.size() : 0;
    if (first > 0) {
        std::memcpy(layer.surface.image().bits(), below->surface.image().constBits(),
            static_cast<std::size_t>(layer.surface.image().sizeInBytes()));
    }
    skin.drawSprites(layer.surface, std::span(order).subspan(first, looks.size() - first), m_layout.width,
        m_layout.height, m_layout.scale);
    layer.sprites.assign(looks.begin(), looks.end());
    layer.id = ++m_lastLayerId;
    return true;
}

// The frame starts as the layer's copy, or empty; returns the sprites it
// holds. A surface that started from the same layer before needs only the
// pixels its sprites touched put back.
std::size_t FrameRenderer::copyLayer(const ComposedLayer* layer, Drawn& frame)
{
    const bool empty = !layer || layer->sprites.empty();
    const std::uint64_t base = empty ? kEmptyBase : layer->id;
    QImage& pixels = frame.surface->image();
    const gfx::Rect area
        = frame.base == base ? frame.touched : gfx::Rect { 0, 0, pixels.width(), pixels.height() };
    frame.base = base;
    const auto bytes = static_cast<std::size_t>(area.right - area.left) * sizeof(std::uint32_t);
    for (int y = area.top; y < area.bottom; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(pixels.scanLine(y)) + area.left;
        if (empty) {
            std::memset(row, 0, bytes);
        } else {
            std::memcpy(row, rowOf(layer->surface, y) + area.left, bytes);
        }
    }
    return empty ? 0 : layer->sprites.size();
}

// Two frames started from the same layer can differ only where the sprites
// drawn over it touched in either. Rows are compared whole first: most of a
// ticker's rows change somewhere, but the search for the changed columns
// stops at the first difference.
void FrameRenderer::findChanges(const Drawn& frame)
{
    const gfx::Surface32& now = *frame.surface;
    const int width = now.width();
    const gfx::Surface32* before = m_front.surface.get();
    if (!before || before->width() != width || before->height() != now.height()) {
        m_changed = { 0, 0, width, now.height() };
        return;
    }
    gfx::Rect area { 0, 0, width, now.height() };
    if (frame.base == m_front.base && frame.base != kUnknownBase) {
        area = gfx::unite(frame.touched, m_front.touched);
    }
    gfx::Rect changed { width, now.height(), 0, 0 };
    const auto bytes = static_cast<std::size_t>(std::max(area.right - area.left, 0)) * sizeof(std::uint32_t);
    for (int y = area.top; y < area.bottom; ++y) {
        const std::uint32_t* a = rowOf(now, y);
        const std::uint32_t* b = rowOf(*before, y);
        if (std::memcmp(a + area.left, b + area.left, bytes) == 0) {
            continue;
        }
        int left = area.left;
        while (a[left] == b[left]) {
            ++left;
        }
        int right = area.right;
        while (a[right - 1] == b[right - 1]) {
            --right;
        }
        changed = { std::min(changed.left, left), std::min(changed.top, y), std::max(changed.right, right),
            y + 1 };
    }
    m_changed = changed.bottom > changed.top ? changed : gfx::Rect {};
}

std::shared_ptr<gfx::Surface32> renderFrame(Skin& skin, const std::shared_ptr<core::DisplayHolder>& display,
    std::uint32_t now, int width, int height, double scale, std::chrono::microseconds elapsed)
{
    return FrameRenderer(FrameRenderer::Reuse::None)
        .render(skin, display, now, width, height, scale, elapsed);
}

} // namespace zr5::skin
