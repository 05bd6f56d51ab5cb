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

FrameRenderer::FrameRenderer(Reuse reuse)
    : m_reuse(reuse)
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
        m_front.reset();
        m_back.reset();
        m_composed.clear();
        m_lastLooks.clear();
    }
    const gfx::Rect device = gfx::toDevice({ 0, 0, width, height }, scale);
    std::shared_ptr<gfx::Surface32> frame = drawingSurface(device.right, device.bottom);
    if (!frame) {
        return nullptr;
    }
    skin.keepDrawingState(m_reuse == Reuse::Kept);
    skin.setHeadlineSource(display);
    skin.tick(now);
    const std::vector<SkinSprite*> order = skin.drawingOrder();
    const std::size_t composed = drawBackground(skin, order, *frame);
    skin.drawSprites(*frame, std::span(order).subspan(composed), width, height, scale);
    scrollOn(display, elapsed);
    findChanges(*frame);
    m_back = std::exchange(m_front, frame);
    return frame;
}

std::shared_ptr<gfx::Surface32> FrameRenderer::drawingSurface(int width, int height)
{
    if (m_back && m_back.use_count() == 1 && m_back->width() == width && m_back->height() == height) {
        return std::exchange(m_back, nullptr);
    }
    auto surface = std::make_shared<gfx::Surface32>();
    return surface->create(width, height) ? surface : nullptr;
}

// The leading sprites that look as they did in the last frame are composed
// once and copied in while they stay so; an animated layer or the first
// message ends them. Returns how many of `order` the frame holds afterwards.
std::size_t FrameRenderer::drawBackground(
    Skin& skin, const std::vector<SkinSprite*>& order, gfx::Surface32& frame)
{
    std::vector<Composed> looks;
    std::size_t steady = 0;
    for (SkinSprite* sprite : order) {
        const std::optional<SpriteLook> look = sprite->look();
        if (!look) {
            break;
        }
        looks.push_back({ sprite, *look });
        if (steady == looks.size() - 1 && steady < m_lastLooks.size()
            && m_lastLooks[steady] == looks.back()) {
            ++steady;
        }
    }
    m_lastLooks = std::move(looks);
    if (m_reuse == Reuse::None) {
        steady = 0;
    }
    const std::span<const Composed> background(m_lastLooks.data(), steady);
    if (steady > 0
        && !std::equal(background.begin(), background.end(), m_composed.begin(), m_composed.end())) {
        m_composed.clear();
        if (!clearSurface(m_background, frame.width(), frame.height())) {
            steady = 0;
        } else {
            skin.drawSprites(m_background, std::span(order).first(steady), m_layout.width, m_layout.height,
                m_layout.scale);
            m_composed.assign(background.begin(), background.end());
        }
    }
    if (steady == 0) {
        frame.image().fill(0);
    } else {
        std::memcpy(frame.image().bits(), m_background.image().constBits(),
            static_cast<std::size_t>(frame.image().sizeInBytes()));
    }
    return steady;
}

// Rows are compared whole first: most of a ticker's rows change somewhere,
// but the search for the changed columns stops at the first difference.
void FrameRenderer::findChanges(const gfx::Surface32& frame)
{
    const int width = frame.width();
    if (!m_front || m_front->width() != width || m_front->height() != frame.height()) {
        m_changed = { 0, 0, width, frame.height() };
        return;
    }
    gfx::Rect changed { width, frame.height(), 0, 0 };
    for (int y = 0; y < frame.height(); ++y) {
        const std::uint32_t* now = rowOf(frame, y);
        const std::uint32_t* before = rowOf(*m_front, y);
        if (std::memcmp(now, before, static_cast<std::size_t>(width) * sizeof(std::uint32_t)) == 0) {
            continue;
        }
        int left = 0;
        while (now[left] == before[left]) {
            ++left;
        }
        int right = width;
        while (now[right - 1] == before[right - 1]) {
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
