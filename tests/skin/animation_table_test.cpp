// Choosing the cell of an animation table at a given animation time.
#include "skin/runtime/animation_table.h"

#include <gtest/gtest.h>

namespace zr5::skin {
namespace {

struct CellCase {
    const char* name;
    IntTable table;
    std::uint32_t clock;
    std::int32_t cell;
    std::int32_t alpha;
    bool holding;
};

class ChooseCellTest : public ::testing::TestWithParam<CellCase> { };

TEST_P(ChooseCellTest, PicksTheRecordInForceAtTheClock)
{
    const CellCase& c = GetParam();
    CellChoice choice = chooseCell(c.table, c.clock);
    EXPECT_EQ(choice.cell, c.cell);
    EXPECT_EQ(choice.alpha, c.alpha);
    EXPECT_EQ(choice.holding, c.holding);
}

const IntTable kTwoCells { 0, 0, 255, 100, 1, 128, 200, kEndRepeat, 0 };
const IntTable kHeld { 0, 0, 255, 100, 1, 128, 200, kEndHold, 0 };

INSTANTIATE_TEST_SUITE_P(Tables, ChooseCellTest,
    ::testing::Values(CellCase { "Start", kTwoCells, 0, 0, 255, false },
        CellCase { "JustBeforeTheSecond", kTwoCells, 99, 0, 255, false },
        CellCase { "Second", kTwoCells, 100, 1, 128, false },
        CellCase { "RepeatsModuloTheTotal", kTwoCells, 1234, 0, 255, false },
        CellCase { "LargestClock", kTwoCells, 0xFFFFFFFFu, 0, 255, false }, // 4294967295 % 200 = 95,
        CellCase { "HoldBeforeTheEnd", kHeld, 150, 1, 128, false },
        CellCase { "HoldsTheLastCell", kHeld, 200, 1, 128, true },
        CellCase { "HoldsLongAfter", kHeld, 90000, 1, 128, true },
        CellCase { "NoTimeShowsTheFirstRecord", IntTable { 0, 7, 9, 0, kEndRepeat, 0 }, 500, 7, 9, false },
        CellCase { "NegativeTotalShowsTheFirstRecord", IntTable { 0, 3, 255, 10, 4, 255, -5, kEndRepeat, 0 },
            500, 3, 255, false },
        CellCase { "MalformedTableIsBlank", IntTable { 0, 1, 2, 3 }, 0, kBlankCell, 255, false }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AnimationTableBuilderTest, BuildsRecordsAsTimePasses)
{
    AnimationTableBuilder builder;
    EXPECT_FALSE(builder.table());
    builder.wait(CVariant());
    ASSERT_TRUE(builder.table());
    EXPECT_EQ(*builder.table(), (IntTable { 0, kBlankCell, 255, 10, kEndRepeat, 0 }));
    builder.draw(CVariant(std::int32_t { 2 }));
    builder.stop();
    builder.wait(CVariant(2147483647.0)); // saturates instead of wrapping
    EXPECT_EQ(*builder.table(), (IntTable { 0, kBlankCell, 255, 10, 2, 255, 2147483647, kEndHold, 0 }));
    builder.draw(CVariant(std::string("not a cell")));
    EXPECT_EQ(builder.table()->size(), 12u);
    EXPECT_EQ((*builder.table())[10], kEndRepeat); // a draw repeats again
    EXPECT_EQ((*builder.table())[7], kBlankCell);
}

} // namespace
} // namespace zr5::skin
