#include "skin/runtime/animation_table.h"

#include <algorithm>
#include <limits>

namespace zr5::skin {
namespace {

constexpr std::int32_t kDefaultWait = 10;

// Offsets from the end of the table.
constexpr std::size_t kEndTime = 3;
constexpr std::size_t kEndMarker = 2;
constexpr std::size_t kLastStart = 6;
constexpr std::size_t kLastCell = 5;
constexpr std::size_t kLastAlpha = 4;

std::int32_t& fromEnd(IntTable& table, std::size_t offset)
{
    return table[table.size() - offset];
}

std::int32_t fromEnd(const IntTable& table, std::size_t offset)
{
    return table[table.size() - offset];
}

CellChoice cellOf(const CVariant& value)
{
    if (value.isNumber()) {
        return { value.toInt(), gfx::kOpaque, false };
    }
    if (!value.isList() || value.asList()->items().empty()) {
        return { kBlankCell, gfx::kOpaque, false };
    }
    const std::vector<CVariant>& items = value.asList()->items();
    CellChoice choice { items[0].toInt(), gfx::kOpaque, false };
    if (items.size() > 1) {
        choice.alpha = std::clamp(truncateToInt(items[1].toNumber() * gfx::kOpaque), 0, gfx::kOpaque);
    }
    return choice;
}

CellChoice recordAt(const IntTable& table, std::size_t record)
{
    return { table[record * 3 + 1], table[record * 3 + 2], false };
}

} // namespace

IntTable& AnimationTableBuilder::ensureTable()
{
    if (!m_table) {
        m_table = std::make_shared<IntTable>(IntTable { 0, kBlankCell, gfx::kOpaque, 0, kEndRepeat, 0 });
    }
    return *m_table;
}

void AnimationTableBuilder::draw(const CVariant& value)
{
    IntTable& table = ensureTable();
    const std::int32_t endTime = fromEnd(table, kEndTime);
    if (fromEnd(table, kLastStart) != endTime) {
        // The end record becomes the record of this moment.
        table.insert(table.end(), { endTime, kEndRepeat, 0 });
    }
    CellChoice choice = cellOf(value);
    fromEnd(table, kLastCell) = choice.cell;
    fromEnd(table, kLastAlpha) = choice.alpha;
    fromEnd(table, kEndTime) = fromEnd(table, kLastStart);
    fromEnd(table, kEndMarker) = kEndRepeat;
}

void AnimationTableBuilder::wait(const CVariant& value)
{
    IntTable& table = ensureTable();
    const std::int64_t step = value.isNumber() ? value.toInt() : kDefaultWait;
    const std::int64_t sum = std::int64_t { fromEnd(table, kEndTime) } + step;
    fromEnd(table, kEndTime) = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void AnimationTableBuilder::stop()
{
    fromEnd(ensureTable(), kEndMarker) = kEndHold;
}

CellChoice chooseCell(const IntTable& table, std::uint32_t clock)
{
    if (table.size() < 6 || table.size() % 3 != 0) {
        return { kBlankCell, gfx::kOpaque, false };
    }
    const std::size_t records = table.size() / 3 - 1;
    const std::int32_t total = fromEnd(table, kEndTime);
    // A negative total (waits that went backwards) is treated as no time at all.
    if (total <= 0) {
        return recordAt(table, 0);
    }
    if (clock >= static_cast<std::uint32_t>(total) && fromEnd(table, kEndMarker) == kEndHold) {
        CellChoice last = recordAt(table, records - 1);
        last.holding = true;
        return last;
    }
    const std::int64_t at = clock % static_cast<std::uint32_t>(total);
    std::size_t chosen = 0;
    for (std::size_t i = 0; i < records; ++i) {
        if (table[i * 3] <= at) {
            chosen = i;
        }
    }
    return recordAt(table, chosen);
}

} // namespace zr5::skin
