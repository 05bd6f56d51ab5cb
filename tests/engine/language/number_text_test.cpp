// Numbers to text and back, as scripts see them in "+" and conversions.
#include "interp/value.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace zr5::script {
namespace {

TEST(FormatNumber, TenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(formatNumber(3), "3");
    EXPECT_EQ(formatNumber(2.5), "2.5");
    EXPECT_EQ(formatNumber(1.0 / 3), "0.3333333333");
    EXPECT_EQ(formatNumber(-0.0001), "-0.0001");
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatNumber(100), "100");
    EXPECT_EQ(formatNumber(9999999999.0), "9999999999");
}

TEST(FormatNumber, ExponentHasSignAndThreeDigits)
{
    EXPECT_EQ(formatNumber(1e21), "1e+021");
    EXPECT_EQ(formatNumber(1234567890123.0), "1.23456789e+012");
    EXPECT_EQ(formatNumber(0.00001), "1e-005");
    EXPECT_EQ(formatNumber(1e100), "1e+100");
    EXPECT_EQ(formatNumber(-2.5e-300), "-2.5e-300");
    EXPECT_EQ(formatNumber(10000000000.0), "1e+010");
}

TEST(FormatNumber, InfinitiesAndNotANumber)
{
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(formatNumber(std::nan("")), "nan");
    EXPECT_EQ(formatNumber(-std::nan("")), "nan");
}

TEST(ParseNumber, LongestDecimalPrefix)
{
    EXPECT_EQ(parseNumber("12abc"), 12);
    EXPECT_EQ(parseNumber("  42abc"), 42);
    EXPECT_EQ(parseNumber(" 3.5"), 3.5);
    EXPECT_EQ(parseNumber("-.5e1x"), -5);
    EXPECT_EQ(parseNumber("1e"), 1);
    EXPECT_EQ(parseNumber("1e+"), 1);
    EXPECT_EQ(parseNumber("5."), 5);
    EXPECT_EQ(parseNumber("\t\n7"), 7);
}

TEST(ParseNumber, NoPrefixGivesZero)
{
    EXPECT_EQ(parseNumber(""), 0);
    EXPECT_EQ(parseNumber("abc"), 0);
    EXPECT_EQ(parseNumber("true"), 0);
    EXPECT_EQ(parseNumber("0x1A"), 0);
    EXPECT_EQ(parseNumber("inf"), 0);
    EXPECT_EQ(parseNumber("nan"), 0);
    EXPECT_EQ(parseNumber("-"), 0);
    EXPECT_EQ(parseNumber("."), 0);
}

TEST(ParseNumber, ReadsOnlyTheViewItIsGiven)
{
    const std::string text = "123456";
    EXPECT_EQ(parseNumber(std::string_view(text).substr(0, 3)), 123);
}

TEST(VariableReference, FollowsChainsAndStopsAtLoops)
{
    auto first = std::make_shared<VariableSlot>();
    auto second = std::make_shared<VariableSlot>();
    first->value = makeString("x");
    second->value = std::make_shared<VariableReference>(first);
    const VariableReference outer(second);
    EXPECT_TRUE(outer.isString());
    EXPECT_EQ(outer.asString(), "x");

    first->value = std::make_shared<VariableReference>(second);
    EXPECT_FALSE(outer.isString());
    EXPECT_EQ(outer.asString(), "");
    EXPECT_EQ(outer.asNumber(), 0);
    first->value.reset(); // break the loop so both slots are freed
}

TEST(Properties, AppendUsesTheMemberCountAsKey)
{
    Properties members;
    members.append(makeNumber(1));
    members.findOrCreate("missing");
    members.append(makeNumber(2));
    ASSERT_TRUE(members.find("0"));
    ASSERT_TRUE(members.find("2"));
    EXPECT_FALSE(members.find("1"));
    EXPECT_EQ(members.find("2")->value->asNumber(), 2);
    EXPECT_EQ(members.size(), 3u);
}

} // namespace
} // namespace zr5::script
