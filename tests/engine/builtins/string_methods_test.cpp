#include "call_helpers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace zr5::script {
namespace {

using testing::callMethod;
using testing::num;
using testing::str;
using testing::textOf;

// Hiragana A, I, U in Shift_JIS, then ASCII.
const std::string kAiu = "\x82\xA0\x82\xA2\x82\xA4";
const std::string kAiuAbc = kAiu + "abc";

TEST(StringMethods, CountCharactersNotBytes)
{
    EXPECT_EQ(textOf(callMethod("getLength", str(kAiuAbc))), "6");
    EXPECT_EQ(textOf(callMethod("charAt", str(kAiuAbc), { num(1) })), "\x82\xA2");
    EXPECT_EQ(textOf(callMethod("substr", str(kAiuAbc), { num(2), num(2) })),
        "\x82\xA4"
        "a");
    EXPECT_EQ(textOf(callMethod("indexOf", str(kAiuAbc), { str("a") })), "3");
    // A lead byte at the very end is one character of its own.
    EXPECT_EQ(textOf(callMethod("getLength", str("ab\x82"))), "3");
    EXPECT_EQ(textOf(callMethod("charAt", str("ab\x82"), { num(2) })), "\x82");
}

TEST(StringMethods, CountingStopsAtTheFirstZeroByte)
{
    const std::string text("ab\0cd", 5);
    EXPECT_EQ(textOf(callMethod("getLength", str(text))), "2");
    EXPECT_EQ(textOf(callMethod("indexOf", str(text), { str("c") })), "-1");
    EXPECT_EQ(textOf(callMethod("substr", str(text), { num(0) })), "ab");
    EXPECT_EQ(textOf(callMethod("toUpper", str(text))), "AB");
    // replace searches the counted part but keeps the whole text around it.
    EXPECT_EQ(callMethod("replace", str(text), { str("b"), str("X") })->asString(), std::string("aX\0cd", 5));
    // isTag looks at every byte.
    EXPECT_TRUE(callMethod("isTag", str(std::string("<a\0>", 4)))->asBoolean());
}

TEST(StringMethods, SearchesNeverMatchInsideADoubleByteCharacter)
{
    // 0x82 0xA0 0x82 0xA2: the pair 0xA0 0x82 straddles two characters.
    EXPECT_EQ(textOf(callMethod("indexOf", str(kAiu), { str("\xA0\x82") })), "-1");
    EXPECT_EQ(textOf(callMethod("replace", str(kAiu), { str("\xA0\x82"), str("x") })), kAiu);
    EXPECT_EQ(
        textOf(callMethod("split", str(kAiu), { str("\xA0\x82") })->properties()->find("length")->value),
        "1");
    // A trail byte that looks like ASCII "\\" (0x5C) inside "ソ" is not found.
    EXPECT_EQ(textOf(callMethod("indexOf",
                  str("\x83\x5C"
                      "\\"),
                  { str("\\") })),
        "1");
}

TEST(StringMethods, PositionsAreUnsignedCounts)
{
    EXPECT_EQ(textOf(callMethod("charAt", str("abc"), { num(-1) })), "");
    EXPECT_EQ(textOf(callMethod("charAt", str("abc"), { num(3) })), "");
    EXPECT_EQ(textOf(callMethod("substr", str("abc"), { num(-1) })), "");
    EXPECT_EQ(textOf(callMethod("substr", str("abc"), { num(1), num(-1) })), "bc");
    EXPECT_EQ(textOf(callMethod("substr", str("abcdef"), { num(1.9), num(2.9) })), "bc");
    EXPECT_EQ(textOf(callMethod("substr", str("abc"), { num(1), num(10) })), "bc");
    // 2^32 + 1 keeps only its low 32 bits: position 1.
    EXPECT_EQ(textOf(callMethod("charAt", str("abc"), { num(4294967297.0) })), "b");
    // NaN and huge numbers count as 0.
    EXPECT_EQ(textOf(callMethod("charAt", str("abc"), { num(0.0 / 0.0) })), "a");
    EXPECT_EQ(textOf(callMethod("charAt", str("abc"), { num(1e300) })), "a");
    EXPECT_EQ(textOf(callMethod("charAt", str("abc"), { str("2") })), "c");
}

TEST(StringMethods, IndexOfStartAndEmptySearch)
{
    EXPECT_EQ(textOf(callMethod("indexOf", str("abc"), { str("x"), num(5) })), "-1");
    EXPECT_EQ(textOf(callMethod("indexOf", str("abc"), { str(""), num(5) })), "3");
    EXPECT_EQ(textOf(callMethod("indexOf", str("abc"), { str(""), num(1) })), "1");
    EXPECT_EQ(textOf(callMethod("indexOf", str("abab"), { str("ab"), num(1) })), "2");
    EXPECT_EQ(textOf(callMethod("indexOf", str(kAiuAbc), { str("b"), num(2) })), "4");
    EXPECT_EQ(textOf(callMethod("indexOf", str("aBc"), { str("b") })), "-1");
}

std::vector<std::string> piecesOf(const ValuePtr& result)
{
    std::vector<std::string> pieces;
    Properties* members = result ? result->properties() : nullptr;
    if (!members) {
        return { "<none>" };
    }
    const std::size_t count = static_cast<std::size_t>(members->find("length")->value->asNumber());
    EXPECT_EQ(members->size(), count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        pieces.push_back(members->find(std::to_string(i))->value->asString());
    }
    return pieces;
}

using Pieces = std::vector<std::string>;

TEST(StringMethods, SplitKeepsEmptyPiecesAndHonoursTheLimit)
{
    EXPECT_EQ(piecesOf(callMethod("split", str("a,b,c"), { str(",") })), (Pieces { "a", "b", "c" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("abc"), { str(",") })), (Pieces { "abc" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("a,b,c"), { str(","), num(2) })), (Pieces { "a", "b" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("a,b,c"), { str(","), num(1) })), (Pieces { "a" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("a,b,c"), { str(","), num(-1) })), (Pieces { "a", "b", "c" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("a,,b"), { str(",") })), (Pieces { "a", "", "b" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("a,b,"), { str(",") })), (Pieces { "a", "b", "" }));
    EXPECT_EQ(piecesOf(callMethod("split", str(""), { str(",") })), (Pieces { "" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("a::b"), { str("::") })), (Pieces { "a", "b" }));
}

TEST(StringMethods, SplitByEmptySeparatorGivesCharacters)
{
    EXPECT_EQ(piecesOf(callMethod("split", str("a" + kAiu.substr(0, 2) + "b"), { str("") })),
        (Pieces { "a", "\x82\xA0", "b" }));
    EXPECT_EQ(piecesOf(callMethod("split", str("abc"), { str(""), num(2) })), (Pieces { "a", "b" }));
    EXPECT_EQ(piecesOf(callMethod("split", str(""), { str("") })), (Pieces { "" }));
}

TEST(StringMethods, ReplaceChangesTheFirstOccurrenceOnly)
{
    EXPECT_EQ(textOf(callMethod("replace", str("aXbXc"), { str("X"), str("-") })), "a-bXc");
    EXPECT_EQ(textOf(callMethod("replace", str("abc"), { str(""), str(">") })), ">abc");
    EXPECT_EQ(textOf(callMethod("replace", str("abc"), { str("z"), str("-") })), "abc");
    EXPECT_EQ(textOf(callMethod("replace", str("a1"), { num(1), num(2.5) })), "a2.5");
}

TEST(StringMethods, IsTagLooksAtTheEndsOnly)
{
    EXPECT_TRUE(callMethod("isTag", str("<a>"))->asBoolean());
    EXPECT_TRUE(callMethod("isTag", str("<>"))->asBoolean());
    EXPECT_FALSE(callMethod("isTag", str("a>"))->asBoolean());
    EXPECT_FALSE(callMethod("isTag", str("< b"))->asBoolean());
    EXPECT_FALSE(callMethod("isTag", str(""))->asBoolean());
    EXPECT_FALSE(callMethod("isTag", str("<"))->asBoolean());
    EXPECT_TRUE(callMethod("isTag", str("<a>"))->isBoolean());
}

TEST(StringMethods, ToNumberReadsTheLeadingDecimal)
{
    EXPECT_EQ(callMethod("toNumber", str(" 3.5e2"))->asNumber(), 350.0);
    EXPECT_EQ(callMethod("toNumber", str("12abc"))->asNumber(), 12.0);
    EXPECT_EQ(callMethod("toNumber", str("abc"))->asNumber(), 0.0);
    EXPECT_EQ(callMethod("toNumber", str("0x1A"))->asNumber(), 0.0);
    EXPECT_TRUE(std::isinf(callMethod("toNumber", str("-1e999"))->asNumber()));
    EXPECT_TRUE(callMethod("toNumber", str("1"))->isNumber());
}

TEST(StringMethods, MissingArgumentsGiveNoValue)
{
    for (const char* name : { "charAt", "substr", "indexOf", "split", "replace", "getAttr" }) {
        EXPECT_EQ(callMethod(name, str("abc")), nullptr) << name;
    }
    EXPECT_EQ(callMethod("replace", str("abc"), { str("a") }), nullptr);
    // An argument slot that holds nothing counts as missing.
    ObjectPtr arguments = makeObject();
    arguments->members().findOrCreate("0");
    ValuePtr result;
    stringMethods().find("charAt")->value->callable()->call(result, arguments, str("abc"));
    EXPECT_EQ(result, nullptr);
    // A reference to an empty variable is a value: its text is "".
    const ValuePtr emptyVariable = std::make_shared<VariableReference>(std::make_shared<VariableSlot>());
    EXPECT_EQ(textOf(callMethod("indexOf", str("abc"), { emptyVariable })), "0");
}

TEST(StringMethods, WithoutReceiverEveryMethodGivesNoValue)
{
    testing::builtinGlobals();
    for (const char* name : { "getLength", "charAt", "substr", "indexOf", "split", "replace", "isTag",
             "getAttr", "toNumber", "toUpper", "toLower", "decodeEntities" }) {
        const SlotPtr slot = stringMethods().find(name);
        ASSERT_TRUE(slot) << name;
        EXPECT_EQ(testing::callFunction(slot->value, nullptr, { str("a"), str("b") }), nullptr) << name;
    }
}

TEST(StringMethods, ReceiversAreReadThroughReferencesAndConversions)
{
    const SlotPtr slot = std::make_shared<VariableSlot>();
    slot->value = str(kAiuAbc);
    const ValuePtr reference = std::make_shared<VariableReference>(slot);
    EXPECT_EQ(textOf(callMethod("getLength", reference)), "6");
    EXPECT_EQ(textOf(callMethod("getLength", makeObject())), "8"); // "[object]"
    EXPECT_EQ(textOf(callMethod("toNumber", makeBoolean(true))), "1");
}

TEST(StringMethods, CaseChangesAsciiAndFullWidthLetters)
{
    // "aZ" full-width a and Z, then ASCII and hiragana.
    const std::string mixed = "aB1\x82\x81\x82\x79" + kAiu;
    EXPECT_EQ(textOf(callMethod("toUpper", str(mixed))), "AB1\x82\x60\x82\x79" + kAiu);
    EXPECT_EQ(textOf(callMethod("toLower", str(mixed))), "ab1\x82\x81\x82\x9A" + kAiu);
}

TEST(StringMethods, RegistrationFillsTheTableWithFreshEntries)
{
    testing::builtinGlobals();
    const ValuePtr first = stringMethods().find("getLength")->value;
    testing::builtinGlobals();
    const ValuePtr second = stringMethods().find("getLength")->value;
    EXPECT_TRUE(first->isFunction());
    EXPECT_NE(first, second);
    EXPECT_EQ(stringMethods().find("length"), nullptr);
}

} // namespace
} // namespace zr5::script
