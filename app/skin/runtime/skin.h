// Skin: everything one skin folder defines, built by Skin::load. A load builds
// a complete new skin and hands it out only when every step succeeded, so a
// failed load never disturbs the skin in use.
#pragma once

#include "gfx/surface32.h"
#include "skin/lang/skin_parser.h"
#include "skin/runtime/skin_object.h"
#include "skin/runtime/skin_sprite.h"
#include "skin/runtime/window_geometry.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::skin {

class Skin;

// What a failed load shows: a message box caption and its text (Shift_JIS).
struct SkinLoadError {
    std::string_view caption;
    std::string message;
};

struct SkinLoadResult {
    std::shared_ptr<Skin> skin; // null on failure
    SkinLoadError error;
};

class Skin final : public ObjectSink {
public:
    using ObjectTable = std::map<std::string, std::shared_ptr<SkinObject>, std::less<>>;
    using BitmapTable = std::map<std::string, std::shared_ptr<gfx::Surface32>, std::less<>>;

    // Loads folder/zr5.skn and the bitmaps it names.
    static SkinLoadResult load(const std::filesystem::path& folder);
    // The same with the script text given (line feeds only); bitmaps still
    // come from folder.
    static SkinLoadResult loadScript(std::string_view script, const std::filesystem::path& folder);

    explicit Skin(std::filesystem::path folder);
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;
    ~Skin() override;

    const std::filesystem::path& folder() const { return m_folder; }
    // Objects keyed by kind letter and name ("wmain", "ibg", "@workarea"), in key order.
    const ObjectTable& objects() const { return m_objects; }
    std::shared_ptr<SkinObject> object(std::string_view key) const;
    std::shared_ptr<gfx::Surface32> bitmap(std::string_view key) const;
    // Sprites in drawing order.
    const std::vector<std::shared_ptr<SkinSprite>>& sprites() const { return m_sprites; }
    const WindowGeometry& geometry() const { return m_geometry; }

    // One frame's work, in this order: setHeadlineSource, tick, draw.
    void setHeadlineSource(const std::shared_ptr<core::DisplayHolder>& source);
    void tick(std::uint32_t now);
    // Sprites in ascending z (layers may change theirs), anchored to the
    // enlargement of the logical width x height over the design size, onto a
    // surface of `scale` device pixels per logical pixel.
    void draw(gfx::Surface32& surface, int width, int height, double scale);
    // The sprites in the order draw() draws them this frame.
    std::vector<SkinSprite*> drawingOrder() const;
    // Some of them, anchored and scaled as draw() does.
    void drawSprites(gfx::Surface32& surface, std::span<SkinSprite* const> sprites, int width, int height,
        double scale) const;
    // The device pixels drawing them may touch, within a surface of `bounds`.
    gfx::Rect drawnArea(std::span<SkinSprite* const> sprites, int width, int height, double scale,
        const gfx::Rect& bounds) const;
    // Whether sprites keep fonts and scratch surfaces from one frame to the next.
    void keepDrawingState(bool keep);
    // Tells skins apart for as long as the process runs, even one loaded
    // where a freed one lived.
    std::uint64_t serial() const { return m_serial; }
    // Starts the event's handler in every layer.
    void fireEvent(int index);
    // The headline the last frame drew under a point of the window in the
    // `main` message; nothing on a gap or outside it.
    std::optional<core::Headline> headlineAt(int x, int y) const;

    void createObject(char kind, const std::string& name, std::unique_ptr<Node> body) override;
    // Counts numbered properties made from lists; false once a load has made too many.
    bool chargeListElements(std::size_t count);

private:
    void build(std::string_view script);
    void loadBitmaps();
    void loadBitmap(SkinObject& object);
    std::shared_ptr<gfx::Surface32> openBitmap(SkinObject& object, std::string_view property);
    void computeGeometry();
    void createSprites();

    std::filesystem::path m_folder;
    ObjectTable m_objects;
    BitmapTable m_bitmaps;
    std::vector<std::shared_ptr<SkinSprite>> m_sprites;
    WindowGeometry m_geometry;
    std::size_t m_listElements = 0;
    std::uint64_t m_serial;
};

} // namespace zr5::skin
