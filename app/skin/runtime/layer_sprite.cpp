// The layer sprite's tick: the script runs up to the current time, then the
// sprite takes the image, pause and box the script left in the properties and
// advances the animation clock.
#include "skin/runtime/image_object.h"
#include "skin/runtime/skin.h"
#include "skin/runtime/skin_sprite.h"
#include "skin/runtime/sprite_properties.h"

#include <algorithm>

namespace zr5::skin {
namespace {

constexpr std::uint32_t kBlackOutline = 0x000000;

// Whether `now` has reached `then` on a clock that wraps at 2^32.
bool reached(std::uint32_t now, std::uint32_t then)
{
    return static_cast<std::int32_t>(now - then) >= 0;
}

} // namespace

void LayerSprite::tick(std::uint32_t now)
{
    if (!m_started) {
        m_started = true;
        m_nextScript = now;
        m_lastTick = now;
    }
    // An event that restarts an ended script starts its clock now: left where
    // the script ended, the handler's own waits would pass unseen.
    const bool ended = object().get("@end").toNumber() != 0.0;
    if (m_scriptEnded && !ended) {
        m_nextScript = now;
    }
    const std::uint32_t scriptTime = runScript(now);
    switchImage();
    const bool pausedNow = readPause();
    SkinObject& layer = object();
    if (layer.get("stop").toNumber() != 0.0) {
        m_clock = 0;
        layer.set("stop", CVariant());
    }
    // Fourteen lookups a frame for fields that mostly stand still.
    if (m_fieldsRead != layer.revision()) {
        readFields();
        m_fieldsRead = layer.revision();
    }
    advanceClock(now, scriptTime, pausedNow);
    chooseCurrentCell();
    m_scriptEnded = object().get("@end").toNumber() != 0.0;
}

std::optional<SpriteLook> LayerSprite::look() const
{
    return SpriteLook { m_state, m_cell, m_cellAlpha, m_cellWidth, m_cellHeight, m_table.get() };
}

// The picture and the debug outline stay within the box.
std::optional<gfx::Rect> LayerSprite::drawnArea(int dw, int dh, double scale) const
{
    return showsNothing() ? gfx::Rect {} : gfx::toDevice(anchoredBox(m_state, dw, dh), scale);
}

void LayerSprite::fireEvent(int index)
{
    object().startEvent(index);
}

// Returns the scheduled time of the last step run, or the next script time.
std::uint32_t LayerSprite::runScript(std::uint32_t now)
{
    SkinObject& layer = object();
    std::uint32_t scriptTime = m_nextScript;
    for (int steps = 0; steps < kMaxStepsPerTick; ++steps) {
        if (layer.get("@end").toNumber() != 0.0 || !reached(now, m_nextScript)) {
            break;
        }
        scriptTime = m_nextScript;
        layer.step();
        CVariant wait = layer.get("wait");
        if (wait.isNumber() && wait.toInt() != 0) {
            m_nextScript += static_cast<std::uint32_t>(wait.toInt());
            layer.set("wait", CVariant());
        }
    }
    return scriptTime;
}

void LayerSprite::switchImage()
{
    SkinObject& layer = object();
    CVariant image = layer.get("image");
    if (!image.isString()) {
        return;
    }
    std::shared_ptr<SkinObject> target = layer.owner().object(image.asString());
    if (target && target->kind() == 'i') {
        m_cellWidth = target->get("cell0").toInt();
        m_cellHeight = target->get("cell1").toInt();
        CVariant code = target->get("@code");
        m_table = code.isTable() ? code.asTable() : nullptr;
        m_state.bitmap = layer.owner().bitmap(image.asString());
        m_cell = 0;
        m_cellAlpha = gfx::kOpaque;
    }
    m_clock = 0;
    layer.set("image", CVariant());
}

// An empty `pause` leaves the layer as it was; `pause`, `play` and `stop` set it.
bool LayerSprite::readPause()
{
    SkinObject& layer = object();
    CVariant pause = layer.get("pause");
    if (pause.isEmpty()) {
        return m_paused;
    }
    layer.set("pause", CVariant());
    return pause.toNumber() != 0.0;
}

void LayerSprite::readFields()
{
    const SpriteState defaults;
    for (const LayerField& field : kLayerFields) {
        std::visit(
            [&](auto member) { m_state.*member = readProperty(object(), field.property, defaults.*member); },
            field.member);
    }
    m_state.alpha = std::clamp(m_state.alpha, 0, gfx::kOpaque);
}

// A pause stops the clock at the moment the script paused it, and a resume
// restarts it from the moment the script resumed, not from the frame time.
void LayerSprite::advanceClock(std::uint32_t now, std::uint32_t scriptTime, bool pausedNow)
{
    std::uint32_t t = now;
    if (!m_paused && pausedNow) {
        t = scriptTime;
    } else if (m_paused && !pausedNow) {
        m_lastTick = scriptTime;
    }
    if (!(m_paused && pausedNow)) {
        m_clock += t - m_lastTick;
    }
    m_lastTick = t;
    m_paused = pausedNow;
}

void LayerSprite::chooseCurrentCell()
{
    if (!m_table || m_cellWidth == 0 || m_cellHeight == 0) {
        return;
    }
    CellChoice choice = chooseCell(*m_table, m_clock);
    m_cell = choice.cell;
    m_cellAlpha = choice.alpha;
    if (choice.holding) {
        m_paused = true;
    }
}

// The bitmap's part for the current cell; false when there is none.
bool LayerSprite::sourceRect(gfx::Rect& source) const
{
    const gfx::Surface32& bitmap = *m_state.bitmap;
    if (!m_table || m_cellWidth == 0 || m_cellHeight == 0) {
        source = { 0, 0, bitmap.width(), bitmap.height() };
        return true;
    }
    const int columns = bitmap.width() / m_cellWidth;
    if (columns <= 0 || m_cell < 0) {
        return false;
    }
    const std::int64_t x = std::int64_t { m_cellWidth } * (m_cell % columns);
    const std::int64_t y = std::int64_t { m_cellHeight } * (m_cell / columns);
    if (m_cellHeight < 0 || y >= bitmap.height()) {
        return false;
    }
    source = { static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + m_cellWidth),
        static_cast<int>(y + m_cellHeight) };
    return true;
}

bool LayerSprite::showsNothing() const
{
    return !m_state.bitmap || m_state.bitmap->isNull() || !m_state.visible || m_cell == kBlankCell;
}

void LayerSprite::draw(gfx::Surface32& surface, int dw, int dh, double scale)
{
    if (showsNothing()) {
        return;
    }
    const gfx::Rect box = anchoredBox(m_state, dw, dh);
    if (m_state.debug) {
        gfx::drawOutline(surface, gfx::toDevice(box, scale), kBlackOutline);
    }
    gfx::Rect source;
    if (!sourceRect(source)) {
        return;
    }
    // The picture at the box plus the offset, cut to the box.
    std::int64_t left = std::int64_t { box.left } + m_state.ximage;
    std::int64_t top = std::int64_t { box.top } + m_state.yimage;
    std::int64_t clipLeft = std::max<std::int64_t>(left, box.left);
    std::int64_t clipTop = std::max<std::int64_t>(top, box.top);
    std::int64_t clipRight = std::min<std::int64_t>(left + (source.right - source.left), box.right);
    std::int64_t clipBottom = std::min<std::int64_t>(top + (source.bottom - source.top), box.bottom);
    if (clipRight <= clipLeft || clipBottom <= clipTop) {
        return;
    }
    const int width = static_cast<int>(clipRight - clipLeft);
    const int height = static_cast<int>(clipBottom - clipTop);
    const int sx = source.left + static_cast<int>(clipLeft - left);
    const int sy = source.top + static_cast<int>(clipTop - top);
    const int alpha = std::clamp(m_cellAlpha, 0, gfx::kOpaque) * m_state.alpha / gfx::kOpaque;
    gfx::blit(surface, static_cast<int>(clipLeft), static_cast<int>(clipTop), width, height, *m_state.bitmap,
        sx, sy, width, height, alpha, gfx::BlitStretch, scale);
}

} // namespace zr5::skin
