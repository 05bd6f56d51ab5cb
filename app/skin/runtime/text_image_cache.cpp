#include "skin/runtime/text_image_cache.h"

#include "skin/runtime/text_painter.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace zr5::skin {
namespace {

constexpr std::uint32_t kKeyMagenta = 0xFF00FF;
constexpr std::uint32_t kOpaqueMagenta = 0xFFFF00FF;

} // namespace

const TextImage* TextImageCache::image(TextPainter& painter, const std::string& text, const QRect& visible)
{
    if (auto found = m_kept.find(text); found != m_kept.end()) {
        found->second.used = true;
        return &found->second.image;
    }
    const QRect reach = painter.reach(text);
    if (reach.width() > kMaxKeptWidth) {
        return drawInto(m_unkept, painter, text, reach & visible) ? &m_unkept : nullptr;
    }
    TextImage image;
    if (!drawInto(image, painter, text, reach)) {
        return nullptr;
    }
    return &m_kept.insert_or_assign(text, Kept { std::move(image) }).first->second.image;
}

bool TextImageCache::drawInto(
    TextImage& image, TextPainter& painter, const std::string& text, const QRect& area)
{
    if (area.isEmpty()) {
        return false;
    }
    if (image.surface.width() != area.width() || image.surface.height() != area.height()) {
        if (!image.surface.create(area.width(), area.height())) {
            return false;
        }
    }
    image.surface.image().fill(kOpaqueMagenta);
    image.origin = -area.topLeft();
    painter.draw(image.surface.image(), text, image.origin);
    image.surface.applyColorKey(kKeyMagenta);
    return true;
}

void TextImageCache::sweep()
{
    std::erase_if(m_kept, [](const auto& entry) { return !entry.second.used; });
    for (auto& entry : m_kept) {
        entry.second.used = false;
    }
}

void TextImageCache::clear()
{
    m_kept.clear();
    m_unkept = {};
}

} // namespace zr5::skin
