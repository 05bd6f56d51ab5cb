// SkinSprite: the runtime drawable of a window, layer or message object,
// built once the skin has loaded. Sprites are drawn in ascending z; equal z
// keeps the order of the object keys.
#pragma once

#include "gfx/surface32.h"
#include "skin/runtime/skin_object.h"

#include <memory>
#include <string>

namespace zr5::skin {

// The fields every sprite has, with their defaults.
struct SpriteState {
    bool visible = true;
    int width = 1024;
    int height = 1024;
    int x = 0;
    int y = 0;
    int z = 0;
    int alpha = 255;
    double xchange = 0.0;
    double ychange = 0.0;
    double wchange = 0.0;
    double hchange = 0.0;
    bool debug = false;
    std::shared_ptr<gfx::Surface32> bitmap;
};

class SkinSprite {
public:
    explicit SkinSprite(std::shared_ptr<SkinObject> object);
    SkinSprite(const SkinSprite&) = delete;
    SkinSprite& operator=(const SkinSprite&) = delete;
    virtual ~SkinSprite() = default;

    const std::string& key() const { return m_key; }
    SkinObject& object() const { return *m_object; }
    const SpriteState& state() const { return m_state; }

protected:
    SpriteState m_state;

private:
    std::shared_ptr<SkinObject> m_object;
    std::string m_key;
};

// A window's nine-part frame.
struct FrameStyle {
    int left = 0;
    int right = 0;
    int top = 0;
    int bottom = 0;
    int mode = 0;
};

class WindowSprite final : public SkinSprite {
public:
    WindowSprite(std::shared_ptr<SkinObject> object, std::shared_ptr<gfx::Surface32> bitmap);
    const FrameStyle& frame() const { return m_frame; }

private:
    FrameStyle m_frame;
};

// How a message draws its text.
struct TextStyle {
    int style = 0; // MessageStyle bits
    std::string font = "MS UI Gothic";
    std::uint32_t color = 0xFF0000;
    std::uint32_t edge = 0;
    std::uint32_t shadow = 0;
};

class MessageSprite final : public SkinSprite {
public:
    explicit MessageSprite(std::shared_ptr<SkinObject> object);
    const TextStyle& text() const { return m_text; }

private:
    TextStyle m_text;
};

// Reads its fields from the layer's properties as the layer's script runs.
class LayerSprite final : public SkinSprite {
public:
    explicit LayerSprite(std::shared_ptr<SkinObject> object);
};

} // namespace zr5::skin
