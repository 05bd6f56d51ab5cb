#include "skin/runtime/skin_sprite.h"

namespace zr5::skin {
namespace {

constexpr std::size_t kMaxFontName = 31;

// Missing properties keep the default; a property of the wrong kind reads as 0.
int readInt(const SkinObject& object, std::string_view name, int fallback)
{
    CVariant value = object.get(name);
    return value.isEmpty() ? fallback : value.toInt();
}

double readDouble(const SkinObject& object, std::string_view name, double fallback)
{
    CVariant value = object.get(name);
    return value.isEmpty() ? fallback : value.toNumber();
}

bool readBool(const SkinObject& object, std::string_view name, bool fallback)
{
    CVariant value = object.get(name);
    return value.isEmpty() ? fallback : value.toNumber() != 0.0;
}

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

} // namespace

SkinSprite::SkinSprite(std::shared_ptr<SkinObject> object)
    : m_object(std::move(object))
    , m_key(m_object->key())
{
    m_state.z = readInt(*m_object, "zpos", m_state.z);
    m_state.debug = readBool(*m_object, "debug", m_state.debug);
}

WindowSprite::WindowSprite(std::shared_ptr<SkinObject> object, std::shared_ptr<gfx::Surface32> bitmap)
    : SkinSprite(std::move(object))
{
    m_state.bitmap = std::move(bitmap);
    const SkinObject& window = this->object();
    m_frame.left = readInt(window, "xborder0", 0);
    m_frame.right = readInt(window, "xborder1", 0);
    m_frame.top = readInt(window, "yborder0", 0);
    m_frame.bottom = readInt(window, "yborder1", 0);
    m_frame.mode = readInt(window, "mode", 0);
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
}

LayerSprite::LayerSprite(std::shared_ptr<SkinObject> object)
    : SkinSprite(std::move(object))
{
    readBox(this->object(), m_state);
    m_state.visible = readBool(this->object(), "visibility", m_state.visible);
    m_state.alpha = readInt(this->object(), "alpha", m_state.alpha);
}

} // namespace zr5::skin
