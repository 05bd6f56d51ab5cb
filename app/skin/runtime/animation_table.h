// Animation tables: an image's cells over time, as records of three integers
// (start ms, cell, alpha) closed by (total ms, end marker, unused). Built once
// at load by the image's animation commands; read by layer sprites every tick.
#pragma once

#include "gfx/surface32.h"
#include "skin/lang/cvariant.h"

#include <cstdint>
#include <memory>

namespace zr5::skin {

// A cell that draws nothing.
inline constexpr std::int32_t kBlankCell = 0x10000;
inline constexpr std::int32_t kEndRepeat = -1;
inline constexpr std::int32_t kEndHold = -2;
// 1000 records including the end record.
inline constexpr std::size_t kMaxTableInts = 3000;

class AnimationTableBuilder final {
public:
    // `draw v;` and `clear;`: sets the cell of the current moment.
    void draw(const CVariant& value);
    // `wait n;`: lets n ms pass (10 when n is missing or no number).
    void wait(const CVariant& value);
    // `stop;`: hold the last cell instead of repeating.
    void stop();

    // Null until the first command.
    const std::shared_ptr<IntTable>& table() const { return m_table; }
    bool tooLarge() const { return m_table && m_table->size() > kMaxTableInts; }

private:
    IntTable& ensureTable();

    std::shared_ptr<IntTable> m_table;
};

struct CellChoice {
    std::int32_t cell = 0;
    std::int32_t alpha = gfx::kOpaque;
    bool holding = false; // the animation stopped on its last cell
};

// The cell shown after `clock` ms of animation.
CellChoice chooseCell(const IntTable& table, std::uint32_t clock);

} // namespace zr5::skin
