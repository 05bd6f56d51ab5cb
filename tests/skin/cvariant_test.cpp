#include "skin/lang/cvariant.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace zr5::skin {
namespace {

TEST(CVariantTest, KindTestsAndNumberConversion)
{
    struct Row {
        const char* scenario;
        CVariant value;
        bool isNumber;
        double number;
    };
    const Row rows[] = {
        { "empty", CVariant(), false, 0.0 },
        { "true", CVariant(true), true, 1.0 },
        { "false", CVariant(false), true, 0.0 },
        { "integer", CVariant(std::int32_t { -7 }), true, -7.0 },
        { "double", CVariant(2.5), true, 2.5 },
        { "numeric string", CVariant(std::string("3")), false, 0.0 },
        { "list", CVariant::newList(), false, 0.0 },
        { "table", CVariant(std::make_shared<IntTable>(IntTable { 1, 2 })), false, 0.0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.scenario);
        EXPECT_EQ(row.value.isNumber(), row.isNumber);
        EXPECT_EQ(row.value.toNumber(), row.number);
    }
    EXPECT_TRUE(CVariant().isEmpty());
    EXPECT_TRUE(CVariant(1.0).isDouble());
    EXPECT_FALSE(CVariant(1.0).isInteger());
    EXPECT_TRUE(CVariant(std::int32_t { 1 }).isInteger());
    EXPECT_TRUE(CVariant::newList().isList());
    EXPECT_FALSE(CVariant::newList().isTable());
}

TEST(CVariantTest, OnlyStringsHaveText)
{
    EXPECT_EQ(CVariant(std::string("abc")).toString(), "abc");
    EXPECT_EQ(CVariant(12.0).toString(), "");
    EXPECT_EQ(CVariant(true).toString(), "");
}

TEST(CVariantTest, IntegerConversionTruncatesAndSaturates)
{
    EXPECT_EQ(CVariant(2.9).toInt(), 2);
    EXPECT_EQ(CVariant(-2.9).toInt(), -2);
    EXPECT_EQ(CVariant(1e12).toInt(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CVariant(-1e12).toInt(), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(CVariant(INFINITY).toInt(), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CVariant(std::nan("")).toInt(), 0);
    EXPECT_EQ(CVariant(true).toInt(), 1);
}

TEST(CVariantTest, CopiesShareListsAndTablesButNotStrings)
{
    CVariant list = CVariant::newList();
    CVariant copy = list;
    copy.asList()->items().push_back(CVariant(1.0));
    ASSERT_EQ(list.asList()->items().size(), 1u);

    CVariant table(std::make_shared<IntTable>());
    CVariant tableCopy = table;
    tableCopy.asTable()->push_back(5);
    EXPECT_EQ(table.asTable()->size(), 1u);

    CVariant text(std::string("a"));
    CVariant textCopy = text;
    text = CVariant(std::string("b"));
    EXPECT_EQ(textCopy.asString(), "a");
}

TEST(CVariantTest, TypedReadOfAnotherKindThrowsBadCast)
{
    CVariant number(1.0);
    EXPECT_EQ(number.asDouble(), 1.0);
    try {
        (void)number.asString();
        FAIL() << "no exception";
    } catch (const std::bad_cast& error) {
        EXPECT_STREQ(error.what(), "boost::bad_any_cast: failed conversion using boost::any_cast");
    }
    EXPECT_THROW((void)CVariant().asList(), std::bad_cast);
    EXPECT_THROW((void)CVariant(std::int32_t { 1 }).asDouble(), std::bad_cast);
    EXPECT_THROW((void)CVariant(1.0).asBoolean(), std::bad_cast);
}

TEST(CVariantTest, DeeplyNestedListsAreFreedWithoutRecursion)
{
    CVariant outer = CVariant::newList();
    CVariant current = outer;
    for (int i = 0; i < 1'000'000; ++i) {
        CVariant inner = CVariant::newList();
        current.asList()->items().push_back(inner);
        current = inner;
    }
    current = CVariant();
    outer = CVariant(); // would overflow the stack if freed recursively
    SUCCEED();
}

TEST(CVariantTest, ListSharedElsewhereSurvivesItsHolder)
{
    CVariant inner = CVariant::newList();
    inner.asList()->items().push_back(CVariant(7.0));
    {
        CVariant outer = CVariant::newList();
        outer.asList()->items().push_back(inner);
    }
    ASSERT_EQ(inner.asList()->items().size(), 1u);
    EXPECT_EQ(inner.asList()->items()[0].toNumber(), 7.0);
}

} // namespace
} // namespace zr5::skin
