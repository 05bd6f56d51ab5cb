// SkinSprite: the runtime drawable of a window, layer or message object,
// built once the skin has loaded. Every frame the skin ticks each sprite with
// the millisecond clock and then draws it; sprites are drawn in ascending z,
// equal z keeping the order of the object keys.
#pragma once

#include "core/display_holder.h"
#include "gfx/surface32.h"
#include "skin/runtime/animation_table.h"
#include "skin/runtime/shaped_text_cache.h"
#include "skin/runtime/skin_object.h"
#include "skin/runtime/text_image_cache.h"
#include "skin/runtime/window_geometry.h"

#include <QFont>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace zr5::skin {

// The fields every sprite has, with their defaults.
struct SpriteState {
    bool visible = true;
    int width = 1024;
    int height = 1024;
    int x = 0;
    int y = 0;
    int z = 0;
    int alpha = gfx::kOpaque;
    double xchange = 0.0;
    double ychange = 0.0;
    double wchange = 0.0;
    double hchange = 0.0;
    bool debug = false;
    int ximage = 0; // where a layer's image starts inside its box
    int yimage = 0;
    std::shared_ptr<gfx::Surface32> bitmap;
    bool operator==(const SpriteState&) const = default;
};

// Everything a sprite's next draw depends on besides the frame's size and
// scale: two draws with equal looks put down equal pixels.
struct SpriteLook {
    SpriteState state;
    std::int32_t cell = 0;
    std::int32_t cellAlpha = gfx::kOpaque;
    int cellWidth = 0;
    int cellHeight = 0;
    const void* cells = nullptr; // the animation table, by identity
    bool operator==(const SpriteLook&) const = default;
};

// A layer's sprite properties, in the order the layer writes them. The layer
// writes the fields' defaults at load so that its script reads them; the
// sprite reads them back every tick, an emptied property taking the default.
struct LayerField {
    std::string_view property;
    std::variant<bool SpriteState::*, int SpriteState::*, double SpriteState::*> member;
};
inline constexpr std::array<LayerField, 14> kLayerFields { {
    { "visibility", &SpriteState::visible },
    { "xpos", &SpriteState::x },
    { "ypos", &SpriteState::y },
    { "zpos", &SpriteState::z },
    { "ximage", &SpriteState::ximage },
    { "yimage", &SpriteState::yimage },
    { "width", &SpriteState::width },
    { "height", &SpriteState::height },
    { "alpha", &SpriteState::alpha },
    { "xchange", &SpriteState::xchange },
    { "ychange", &SpriteState::ychange },
    { "wchange", &SpriteState::wchange },
    { "hchange", &SpriteState::hchange },
    { "debug", &SpriteState::debug },
} };

// The sprite's box once anchored to a window dw, dh pixels larger than designed.
gfx::Rect anchoredBox(const SpriteState& state, int dw, int dh);

class SkinSprite {
public:
    explicit SkinSprite(std::shared_ptr<SkinObject> object);
    SkinSprite(const SkinSprite&) = delete;
    SkinSprite& operator=(const SkinSprite&) = delete;
    virtual ~SkinSprite() = default;

    const std::string& key() const { return m_key; }
    SkinObject& object() const { return *m_object; }
    const SpriteState& state() const { return m_state; }

    // now: the millisecond clock, wrapping at 2^32.
    virtual void tick(std::uint32_t /*now*/) { }
    // dw, dh: how much larger the window is than the skin's design size, in
    // logical pixels; scale: the surface's device pixels per logical pixel.
    virtual void draw(gfx::Surface32& /*surface*/, int /*dw*/, int /*dh*/, double /*scale*/) { }
    virtual void fireEvent(int /*index*/) { }
    virtual void setHeadlineSource(std::shared_ptr<core::DisplayHolder> /*source*/) { }
    // How the next draw will look, or nothing when it depends on more than
    // the look (text that scrolls on every draw).
    virtual std::optional<SpriteLook> look() const { return std::nullopt; }
    // Device pixels a draw may touch; nothing when it may touch any.
    virtual std::optional<gfx::Rect> drawnArea(int /*dw*/, int /*dh*/, double /*scale*/) const
    {
        return std::nullopt;
    }
    // Whether fonts and scratch surfaces are kept from one draw to the next;
    // without them every draw starts from nothing.
    virtual void keepDrawingState(bool /*keep*/) { }

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

// Drawn over the main frame's rectangle, which follows the window's size.
class WindowSprite final : public SkinSprite {
public:
    WindowSprite(std::shared_ptr<SkinObject> object, std::shared_ptr<gfx::Surface32> bitmap,
        const WindowGeometry& geometry);
    const FrameStyle& frame() const { return m_frame; }
    void draw(gfx::Surface32& surface, int dw, int dh, double scale) override;
    std::optional<SpriteLook> look() const override { return SpriteLook { m_state }; }

private:
    FrameStyle m_frame;
    WindowGeometry m_geometry;
};

// How a message draws its text.
struct TextStyle {
    int style = 0; // MessageStyle bits
    std::string font = "MS UI Gothic";
    std::uint32_t color = 0xFF0000;
    std::uint32_t edge = 0;
    std::uint32_t shadow = 0;
};

enum class MessageRole {
    Fixed, // any other name: a fixed text
    Headlines, // `main`
    Label, // `sub`
};

// A message's fonts for one box height and scale: the text's at the device's
// resolution and the one that measures titles in logical pixels.
struct TextFonts {
    int height = -1;
    int deviceHeight = -1;
    double scale = 0.0;
    QFont font;
    QFont logicalFont;
    int ascent = 0;
};

// Where the last frame of `main` put its titles, to find the one under the
// pointer later: the cursor at the front title and each title's left and
// right edge in box coordinates, front first.
struct DrawnTitles {
    gfx::Rect box {};
    std::optional<core::DisplayHolder> front;
    std::vector<std::pair<int, int>> spans;
};

class TextPainter;

class MessageSprite final : public SkinSprite {
public:
    explicit MessageSprite(std::shared_ptr<SkinObject> object);
    const TextStyle& text() const { return m_text; }
    MessageRole role() const { return m_role; }
    void draw(gfx::Surface32& surface, int dw, int dh, double scale) override;
    std::optional<gfx::Rect> drawnArea(int dw, int dh, double scale) const override;
    void setHeadlineSource(std::shared_ptr<core::DisplayHolder> source) override;
    void keepDrawingState(bool keep) override;
    // The headline the last frame drew under a point of the surface, if any.
    std::optional<core::Headline> headlineAt(int x, int y) const;

    // Puts a text with its pen at a place of the box, in logical pixels.
    using PlaceText = std::function<void(const std::string& text, int x, int y)>;

private:
    const TextFonts& fontsFor(int height, int deviceHeight, double scale);
    // The texts this message shows, in drawing order.
    void placeTexts(TextPainter& painter, int width, const PlaceText& place);

    TextStyle m_text;
    MessageRole m_role = MessageRole::Fixed;
    std::shared_ptr<core::DisplayHolder> m_source;
    ShapedTextCache m_shapes;
    ShapedTextCache m_logicalShapes; // the titles' widths at scale 1, when drawn at another
    DrawnTitles m_drawn;
    bool m_keepState = true;
    QString m_face; // the installed face for the skin's font name; empty until the first draw
    TextFonts m_fonts;
    TextImageCache m_images;
};

// Reads its fields from the layer's properties as the layer's script runs.
class LayerSprite final : public SkinSprite {
public:
    // Script steps one tick may run: a script that never waits still gives
    // the frame back.
    static constexpr int kMaxStepsPerTick = 10000;

    explicit LayerSprite(std::shared_ptr<SkinObject> object);
    void tick(std::uint32_t now) override;
    void draw(gfx::Surface32& surface, int dw, int dh, double scale) override;
    std::optional<gfx::Rect> drawnArea(int dw, int dh, double scale) const override;
    void fireEvent(int index) override;
    std::optional<SpriteLook> look() const override;

    std::int32_t cell() const { return m_cell; }
    std::int32_t cellAlpha() const { return m_cellAlpha; }
    std::uint32_t animationClock() const { return m_clock; }
    bool paused() const { return m_paused; }
    int ximage() const { return m_state.ximage; }
    int yimage() const { return m_state.yimage; }

private:
    std::uint32_t runScript(std::uint32_t now);
    void switchImage();
    bool readPause();
    void readFields();
    void advanceClock(std::uint32_t now, std::uint32_t scriptTime, bool pausedNow);
    void chooseCurrentCell();
    bool sourceRect(gfx::Rect& source) const;
    // No picture, hidden, or the blank cell: the layer draws nothing.
    bool showsNothing() const;

    bool m_started = false;
    bool m_scriptEnded = false;
    std::optional<std::uint64_t> m_fieldsRead; // the layer's revision when its fields were last read
    std::uint32_t m_nextScript = 0;
    std::uint32_t m_lastTick = 0;
    std::uint32_t m_clock = 0;
    bool m_paused = false;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    std::shared_ptr<IntTable> m_table;
    std::int32_t m_cell = 0;
    std::int32_t m_cellAlpha = gfx::kOpaque;
};

} // namespace zr5::skin
