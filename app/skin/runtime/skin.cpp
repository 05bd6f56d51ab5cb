#include "skin/runtime/skin.h"

#include "core/text_codec.h"
#include "sjis_bytes.h"
#include "skin/lang/skin_script_error.h"
#include "skin/runtime/image_object.h"
#include "skin/runtime/layer_object.h"
#include "skin/runtime/message_object.h"
#include "skin/runtime/window_object.h"
#include "skin/runtime/workarea_object.h"
#include "skin/skin_messages.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>

namespace zr5::skin {
namespace {

std::uint64_t nextSerial()
{
    static std::atomic<std::uint64_t> last { 0 };
    return ++last;
}

constexpr std::string_view kScriptFile = "zr5.skn";
constexpr std::uint32_t kDefaultColorKey = 0xFF00FF;
// Far beyond any real skin; stops `a = 1, 1, ...` repeated from filling memory.
constexpr std::size_t kMaxListElements = 1'000'000;

// The script as a text-mode read sees it: CR LF becomes LF.
bool readScript(const std::filesystem::path& file, std::string& text)
{
    // A folder or a pipe of that name is no script (and a pipe would block).
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.clear();
    text.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
            continue;
        }
        text += raw[i];
    }
    return true;
}

// A skin draws from its own folder only: a bitmap name that is absolute or
// climbs out with ".." is refused like a file that cannot be opened.
bool staysInFolder(std::string_view slashed)
{
    if (slashed.empty() || slashed.front() == '/') {
        return false;
    }
    while (!slashed.empty()) {
        const std::size_t slash = slashed.find('/');
        if (slashed.substr(0, slash) == "..") {
            return false;
        }
        slashed.remove_prefix(slash == std::string_view::npos ? slashed.size() : slash + 1);
    }
    return true;
}

std::unique_ptr<SkinObject> makeObject(
    Skin& skin, char kind, const std::string& name, std::unique_ptr<Node> body)
{
    switch (kind) {
    case kKindWindow:
        return std::make_unique<WindowObject>(skin, name, std::move(body));
    case kKindImage:
        return std::make_unique<ImageObject>(skin, name, std::move(body));
    case kKindLayer:
        return std::make_unique<LayerObject>(skin, name, std::move(body));
    case kKindMessage:
        return std::make_unique<MessageObject>(skin, name, std::move(body));
    case kKindWorkarea:
        return std::make_unique<WorkareaObject>(skin, name, std::move(body));
    default:
        return nullptr;
    }
}

int gripWidth(const SkinObject& window, std::string_view name)
{
    CVariant value = window.get(name);
    return value.isEmpty() ? 4 : value.toInt();
}

} // namespace

SkinLoadResult Skin::load(const std::filesystem::path& folder)
{
    std::string script;
    if (!readScript(folder / kScriptFile, script)) {
        return { nullptr, { msg::kCaptionScriptError, std::string(msg::kScriptNotFound) } };
    }
    return loadScript(script, folder);
}

SkinLoadResult Skin::loadScript(std::string_view script, const std::filesystem::path& folder)
{
    try {
        auto skin = std::make_shared<Skin>(folder);
        skin->build(script);
        return { std::move(skin), {} };
    } catch (const ESkinScript& error) {
        return { nullptr, { msg::kCaptionScriptError, error.what() } };
    } catch (const std::exception& error) {
        return { nullptr, { msg::kCaptionException, error.what() } };
    }
}

Skin::Skin(std::filesystem::path folder)
    : m_folder(std::move(folder))
    , m_serial(nextSerial())
{
}

// Sprites go first: they share the objects.
Skin::~Skin()
{
    m_sprites.clear();
}

std::shared_ptr<SkinObject> Skin::object(std::string_view key) const
{
    auto it = m_objects.find(key);
    return it == m_objects.end() ? nullptr : it->second;
}

std::shared_ptr<gfx::Surface32> Skin::bitmap(std::string_view key) const
{
    auto it = m_bitmaps.find(key);
    return it == m_bitmaps.end() ? nullptr : it->second;
}

void Skin::setHeadlineSource(const std::shared_ptr<core::DisplayHolder>& source)
{
    for (const auto& sprite : m_sprites) {
        sprite->setHeadlineSource(source);
    }
}

std::optional<core::Headline> Skin::headlineAt(int x, int y) const
{
    // Later sprites are drawn on top: the last one under the point wins.
    for (auto it = m_sprites.rbegin(); it != m_sprites.rend(); ++it) {
        const auto* message = dynamic_cast<const MessageSprite*>(it->get());
        if (message && message->role() == MessageRole::Headlines) {
            if (std::optional<core::Headline> headline = message->headlineAt(x, y)) {
                return headline;
            }
        }
    }
    return std::nullopt;
}

void Skin::tick(std::uint32_t now)
{
    for (const auto& sprite : m_sprites) {
        sprite->tick(now);
    }
}

void Skin::draw(gfx::Surface32& surface, int width, int height, double scale)
{
    drawSprites(surface, drawingOrder(), width, height, scale);
}

std::vector<SkinSprite*> Skin::drawingOrder() const
{
    std::vector<SkinSprite*> order;
    order.reserve(m_sprites.size());
    for (const auto& sprite : m_sprites) {
        order.push_back(sprite.get());
    }
    std::sort(order.begin(), order.end(), [](const SkinSprite* a, const SkinSprite* b) {
        return a->state().z != b->state().z ? a->state().z < b->state().z : a->key() < b->key();
    });
    return order;
}

void Skin::drawSprites(
    gfx::Surface32& surface, std::span<SkinSprite* const> sprites, int width, int height, double scale) const
{
    const int dw = width - m_geometry.designWidth;
    const int dh = height - m_geometry.designHeight;
    for (SkinSprite* sprite : sprites) {
        sprite->draw(surface, dw, dh, scale);
    }
}

gfx::Rect Skin::drawnArea(
    std::span<SkinSprite* const> sprites, int width, int height, double scale, const gfx::Rect& bounds) const
{
    const int dw = width - m_geometry.designWidth;
    const int dh = height - m_geometry.designHeight;
    gfx::Rect area;
    for (const SkinSprite* sprite : sprites) {
        const std::optional<gfx::Rect> drawn = sprite->drawnArea(dw, dh, scale);
        if (!drawn) {
            return bounds;
        }
        area = gfx::unite(area, *drawn);
    }
    return gfx::intersect(area, bounds);
}

void Skin::keepDrawingState(bool keep)
{
    for (const auto& sprite : m_sprites) {
        sprite->keepDrawingState(keep);
    }
}

void Skin::fireEvent(int index)
{
    for (const auto& sprite : m_sprites) {
        sprite->fireEvent(index);
    }
}

void Skin::createObject(char kind, const std::string& name, std::unique_ptr<Node> body)
{
    std::unique_ptr<SkinObject> object = makeObject(*this, kind, name, std::move(body));
    if (object) {
        std::string key = object->key();
        m_objects[key] = std::move(object);
    }
}

bool Skin::chargeListElements(std::size_t count)
{
    m_listElements += count;
    return m_listElements <= kMaxListElements;
}

void Skin::build(std::string_view script)
{
    SkinParser parser(*this);
    if (!parser.parse(script)) {
        throw ESkinScript(parser.errorText());
    }
    for (auto& [key, object] : m_objects) {
        object->evaluate();
    }
    loadBitmaps();
    for (auto& [key, object] : m_objects) {
        object->compile();
    }
    computeGeometry();
    createSprites();
}

void Skin::loadBitmaps()
{
    for (auto& [key, object] : m_objects) {
        if (object->kind() == kKindWindow || object->kind() == kKindImage) {
            loadBitmap(*object);
        }
    }
}

void Skin::loadBitmap(SkinObject& object)
{
    if (!object.get("file").isString()) {
        throw ESkinScript(msg::fileNotGiven(object.typeName(), object.name()));
    }
    std::shared_ptr<gfx::Surface32> bitmap = openBitmap(object, "file");
    const std::int64_t cellWidth = object.get("cell0").toInt();
    const std::int64_t cellHeight = object.get("cell1").toInt();
    // Cells of zero or negative size cut nothing out of the bitmap.
    if (cellWidth > 0 && cellHeight > 0) {
        std::int64_t last = (bitmap->height() / cellHeight) * (bitmap->width() / cellWidth) - 1;
        if (last >= 0) {
            object.set("END", CVariant(static_cast<std::int32_t>(last)));
        }
    }
    CVariant key = object.get("colorkey");
    bitmap->applyColorKey(key.isNumber() ? static_cast<std::uint32_t>(key.toInt()) : kDefaultColorKey);
    if (object.get("mask").isString()) {
        std::shared_ptr<gfx::Surface32> mask = openBitmap(object, "mask");
        bitmap->applyMask(*mask);
    }
    m_bitmaps[object.key()] = std::move(bitmap);
}

std::shared_ptr<gfx::Surface32> Skin::openBitmap(SkinObject& object, std::string_view property)
{
    // A zero byte ends the name, as it would for a file name anywhere.
    std::string file = object.get(property).asString().c_str();
    std::string folder = m_folder.string();
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    // Skin files name subfolders with `\`.
    const std::string slashed = sjis::backslashesToSlashes(file);
    auto bitmap = std::make_shared<gfx::Surface32>();
    if (!staysInFolder(slashed)
        || !bitmap->loadBitmap(std::filesystem::path(folder + core::cp932ToLocale(slashed)))) {
        int line = object.get("#" + std::string(property)).toInt();
        std::string shown = core::localeToCp932(folder) + file;
        throw ESkinScript(msg::cannotOpen(line, object.typeName(), object.name(), property, shown));
    }
    return bitmap;
}

void Skin::computeGeometry()
{
    std::shared_ptr<SkinObject> main = object("wmain");
    if (!main) {
        throw ESkinScript(std::string(msg::kNoMainWindow));
    }
    std::shared_ptr<gfx::Surface32> frame = bitmap("wmain");
    int width = main->get("width").toInt();
    int height = main->get("height").toInt();
    width = width < 1 ? frame->width() : width;
    height = height < 1 ? frame->height() : height;
    int workWidth = 0;
    int workHeight = 0;
    if (std::shared_ptr<SkinObject> workarea = object("@workarea")) {
        workWidth = workarea->get("0").toInt();
        workHeight = workarea->get("1").toInt();
    }
    GripWidths grips { gripWidth(*main, "grip0"), gripWidth(*main, "grip1"), gripWidth(*main, "grip2"),
        gripWidth(*main, "grip3") };
    m_geometry = computeWindowGeometry(
        main->get("xpos").toInt(), main->get("ypos").toInt(), width, height, workWidth, workHeight, grips);
}

void Skin::createSprites()
{
    for (auto& [key, object] : m_objects) {
        switch (object->kind()) {
        case kKindWindow:
            m_sprites.push_back(std::make_shared<WindowSprite>(object, bitmap(key), m_geometry));
            break;
        case kKindLayer:
            m_sprites.push_back(std::make_shared<LayerSprite>(object));
            break;
        case kKindMessage:
            m_sprites.push_back(std::make_shared<MessageSprite>(object));
            break;
        default:
            break;
        }
    }
    std::stable_sort(m_sprites.begin(), m_sprites.end(),
        [](const auto& a, const auto& b) { return a->state().z < b->state().z; });
}

} // namespace zr5::skin
