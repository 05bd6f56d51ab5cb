#include "skin/runtime/skin_sprite.h"

#include "skin/runtime/sprite_properties.h"

#include <algorithm>

namespace zr5::skin {
namespace {

constexpr std::size_t kMaxFontName = 31;
constexpr std::uint32_t kDebugRed = 0x0000FF;

// Font face: text up to a zero byte, at most 31 bytes.
std::string readFont(const SkinObject& object, const std::string& fallback)
{
    CVariant value = object.get("font");
    if (!value.isString()) {
        return fallback;
    }
    std::string face = value.asString().c_str();
    if (face.size() > kMaxFontName) {
        face.resize(kMaxFontName);
    }
    return face;
}

void readBox(const SkinObject& object, SpriteState& state)
{
    state.x = readInt(object, "xpos", state.x);
    state.y = readInt(object, "ypos", state.y);
    state.width = readInt(object, "width", state.width);
    state.height = readInt(object, "height", state.height);
    state.xchange = readDouble(object, "xchange", state.xchange);
    state.ychange = readDouble(object, "ychange", state.ychange);
    state.wchange = readDouble(object, "wchange", state.wchange);
    state.hchange = readDouble(object, "hchange", state.hchange);
}

// Sums in 64 bits, clamped, so that no skin value can overflow a coordinate.
int clampedSum(std::int64_t a, double factor, int change)
{
    std::int64_t sum = a + truncateToInt(change * factor);
    return static_cast<int>(std::clamp<std::int64_t>(sum, -(1 << 30), 1 << 30));
}

MessageRole roleOf(const std::string& name)
{
    if (name == "main") {
        return MessageRole::Headlines;
    }
    return name == "sub" ? MessageRole::Label : MessageRole::Fixed;
}

} // namespace

gfx::Rect anchoredBox(const SpriteState& state, int dw, int dh)
{
    int x = clampedSum(state.x, state.xchange, dw);
    int y = clampedSum(state.y, state.ychange, dh);
    int w = clampedSum(state.width, state.wchange, dw);
    int h = clampedSum(state.height, state.hchange, dh);
    return { x, y, clampedSum(x, 1.0, w), clampedSum(y, 1.0, h) };
}

SkinSprite::SkinSprite(std::shared_ptr<SkinObject> object)
    : m_object(std::move(object))
    , m_key(m_object->key())
{
    m_state.z = readInt(*m_object, "zpos", m_state.z);
    m_state.debug = readBool(*m_object, "debug", m_state.debug);
}

WindowSprite::WindowSprite(std::shared_ptr<SkinObject> object, std::shared_ptr<gfx::Surface32> bitmap,
    const WindowGeometry& geometry)
    : SkinSprite(std::move(object))
    , m_geometry(geometry)
{
    m_state.bitmap = std::move(bitmap);
    const SkinObject& window = this->object();
    m_frame.left = readInt(window, "xborder0", 0);
    m_frame.right = readInt(window, "xborder1", 0);
    m_frame.top = readInt(window, "yborder0", 0);
    m_frame.bottom = readInt(window, "yborder1", 0);
    m_frame.mode = readInt(window, "mode", 0);
}

void WindowSprite::draw(gfx::Surface32& surface, int dw, int dh, double scale)
{
    if (m_state.bitmap && !m_state.bitmap->isNull()) {
        int width = m_geometry.designWidth + dw - m_geometry.x - m_geometry.rightMargin;
        int height = m_geometry.designHeight + dh - m_geometry.y - m_geometry.bottomMargin;
        gfx::drawFrame(surface, m_geometry.x, m_geometry.y, width, height, *m_state.bitmap, m_frame.left,
            m_frame.right, m_frame.top, m_frame.bottom, gfx::kOpaque, m_frame.mode, scale);
    }
    if (m_state.debug) {
        gfx::drawOutline(surface, { 0, 0, surface.width(), surface.height() }, kDebugRed);
    }
}

MessageSprite::MessageSprite(std::shared_ptr<SkinObject> object)
    : SkinSprite(std::move(object))
{
    const SkinObject& message = this->object();
    m_state.width = 0;
    m_state.height = 0;
    readBox(message, m_state);
    m_text.style = readInt(message, "style", 0);
    m_text.font = readFont(message, m_text.font);
    m_text.color = static_cast<std::uint32_t>(readInt(message, "color", static_cast<int>(m_text.color)));
    m_text.edge = static_cast<std::uint32_t>(readInt(message, "edge", 0));
    m_text.shadow = static_cast<std::uint32_t>(readInt(message, "shadow", 0));
    m_role = roleOf(message.name());
}

void MessageSprite::setHeadlineSource(std::shared_ptr<core::DisplayHolder> source)
{
    m_source = std::move(source);
}

LayerSprite::LayerSprite(std::shared_ptr<SkinObject> object)
    : SkinSprite(std::move(object))
{
    readFields();
}

} // namespace zr5::skin
