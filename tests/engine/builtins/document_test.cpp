#include "builtins/markup_tokenizer.h"
#include "call_helpers.h"

#include <gtest/gtest.h>
#include <vector>

namespace zr5::script {
namespace {

using testing::callFunction;
using testing::member;
using testing::newDocument;
using testing::num;
using testing::str;
using testing::textOf;

void setMember(const ObjectPtr& object, std::string_view name, ValuePtr value)
{
    assign(object->members().findOrCreate(name), std::move(value));
}

ValuePtr callGet(const ObjectPtr& document)
{
    return callFunction(member(document, "get"), document, {});
}

// Every piece until (and including) the first empty one or no value.
std::vector<std::string> walk(const std::string& source)
{
    const ObjectPtr document = newDocument();
    setMember(document, "src", str(source));
    setMember(document, "index", num(0));
    std::vector<std::string> pieces;
    for (;;) {
        const ValuePtr piece = callGet(document);
        pieces.push_back(textOf(piece));
        if (!piece || !piece->asBoolean()) {
            return pieces;
        }
    }
}

using Pieces = std::vector<std::string>;

TEST(DocumentGet, TagsAndTextRuns)
{
    EXPECT_EQ(walk("<html>\n<head><title>Top  News</title></head>"),
        (Pieces { "<html>", "<head>", "<title>", "Top News", "</title>", "</head>", "" }));
    EXPECT_EQ(walk("a &amp; b"), (Pieces { "a &amp; b", "" }));
    EXPECT_EQ(walk(" \t\r\n\v\f"), (Pieces { "" }));
    EXPECT_EQ(walk("<p>abc  \n"), (Pieces { "<p>", "abc ", "" }));
    EXPECT_EQ(walk("Top  News\n<b>"), (Pieces { "Top News ", "<b>", "" }));
    EXPECT_EQ(walk(""), (Pieces { "" }));
}

TEST(DocumentGet, TagsKeepQuotedValuesWhole)
{
    EXPECT_EQ(walk("<img alt='a > b'>"), (Pieces { "<img alt='a > b'>", "" }));
    EXPECT_EQ(
        walk("<a  href = 'x y.html'\n target=_top >"), (Pieces { "<a href = 'x y.html' target=_top >", "" }));
    EXPECT_EQ(walk("<a title=\"say 'hi' <now>\">x"), (Pieces { "<a title=\"say 'hi' <now>\">", "x", "" }));
    // A quote that does not follow "=" is an ordinary byte.
    EXPECT_EQ(walk("<a 'b>c"), (Pieces { "<a 'b>", "c", "" }));
    // An unclosed quote or tag runs to the end of the document.
    EXPECT_EQ(walk("<a href='x>y"), (Pieces { "<a href='x>y", "" }));
    EXPECT_EQ(walk("<a <b>"), (Pieces { "<a <b>", "" }));
    EXPECT_EQ(walk("<!-- a > b -->"), (Pieces { "<!-- a >", "b -->", "" }));
}

TEST(DocumentGet, DoubleByteCharactersComeBackWhole)
{
    // Trail bytes 0x5C and 0x7C look like ASCII but are never split off.
    const std::string title = "\x83\x5C\x83\x74\x83\x67 \x95\x7C";
    EXPECT_EQ(walk("<title>" + title + "</title>"), (Pieces { "<title>", title, "</title>", "" }));
}

TEST(DocumentGet, IndexFollowsThePieces)
{
    const ObjectPtr document = newDocument();
    setMember(document, "src", str("<a> text <b>"));
    setMember(document, "index", num(3));
    EXPECT_EQ(textOf(callGet(document)), "text ");
    EXPECT_EQ(textOf(member(document, "index")), "9");
    EXPECT_TRUE(member(document, "index")->isNumber());
    setMember(document, "index", num(1.7));
    EXPECT_EQ(textOf(callGet(document)), "a> text ");
    setMember(document, "index", num(100));
    EXPECT_EQ(textOf(callGet(document)), "");
    EXPECT_EQ(textOf(member(document, "index")), "100");
    setMember(document, "index", num(-1)); // beyond the end as an unsigned position
    EXPECT_EQ(textOf(callGet(document)), "");
    EXPECT_EQ(textOf(callGet(document)), "");
}

TEST(DocumentGet, NoValueWithoutStringSourceOrNumberIndex)
{
    const ObjectPtr document = newDocument();
    EXPECT_EQ(callGet(document), nullptr);
    setMember(document, "src", str("<a>"));
    EXPECT_EQ(callGet(document), nullptr);
    setMember(document, "index", str("0"));
    EXPECT_EQ(callGet(document), nullptr);
    setMember(document, "index", num(0));
    setMember(document, "src", num(5));
    EXPECT_EQ(callGet(document), nullptr);
    // A source held through a reference is read through it.
    const SlotPtr slot = std::make_shared<VariableSlot>();
    slot->value = str("<x>");
    setMember(document, "src", std::make_shared<VariableReference>(slot));
    EXPECT_EQ(textOf(callGet(document)), "<x>");
}

TEST(DocumentClose, EmptiesTheSourceAndKeepsTheIndex)
{
    const ObjectPtr document = newDocument();
    setMember(document, "src", str("<a><b>"));
    setMember(document, "index", num(0));
    callGet(document);
    EXPECT_EQ(callFunction(member(document, "close"), document, {}), nullptr);
    EXPECT_EQ(member(document, "src"), nullptr);
    EXPECT_EQ(textOf(member(document, "index")), "3");
    EXPECT_EQ(callGet(document), nullptr);
}

TEST(DocumentOpen, FailedFetchKeepsThePreviousDocument)
{
    const ObjectPtr document = newDocument();
    setMember(document, "src", str("<a><b>"));
    setMember(document, "index", num(3));
    const ValuePtr open = member(document, "open");
    EXPECT_EQ(textOf(callFunction(open, document, {})), "false");
    // Port 1 on the loopback refuses at once.
    EXPECT_EQ(textOf(callFunction(open, document, { str("http://127.0.0.1:1/feed.xml") })), "false");
    EXPECT_EQ(textOf(callGet(document)), "<b>");
}

TEST(DocumentConstructor, EachObjectGetsItsOwnMethods)
{
    const ObjectPtr first = newDocument();
    const ObjectPtr second = newDocument();
    for (const char* name : { "open", "close", "get" }) {
        ASSERT_TRUE(member(first, name) && member(first, name)->isFunction()) << name;
        EXPECT_NE(member(first, name), member(second, name)) << name;
    }
    EXPECT_EQ(first->members().size(), 3u);
}

TEST(DocumentConstructor, CallsWithoutAnObjectDoNothing)
{
    const ValuePtr constructor = testing::builtinGlobals().at("Document");
    EXPECT_EQ(callFunction(constructor, nullptr, {}), nullptr);
    EXPECT_EQ(callFunction(constructor, str("text"), {}), nullptr);
    const ObjectPtr document = newDocument();
    for (const char* name : { "open", "close", "get" }) {
        EXPECT_EQ(callFunction(member(document, name), nullptr, { str("http://127.0.0.1:1/") }), nullptr)
            << name;
        EXPECT_EQ(callFunction(member(document, name), num(1), {}), nullptr) << name;
    }
}

// getAttr reads tags as the tokenizer delivers them.
TEST(GetAttr, TagNamesWithAnEmptyName)
{
    EXPECT_EQ(tagAttribute("<item>", ""), "item");
    EXPECT_EQ(tagAttribute("</title>", ""), "/title");
    EXPECT_EQ(tagAttribute("<a href=x>", ""), "a");
    EXPECT_EQ(tagAttribute("<br/>", ""), "br/");
    EXPECT_EQ(tagAttribute("<dc:date>", ""), "dc:date");
    EXPECT_EQ(tagAttribute("< item >", ""), "item");
    EXPECT_EQ(tagAttribute("<>", ""), "");
    EXPECT_EQ(tagAttribute("", ""), "");
    // Not a tag: the first byte is skipped all the same.
    EXPECT_EQ(tagAttribute("title", ""), "itle");
}

TEST(GetAttr, AttributeValues)
{
    EXPECT_EQ(tagAttribute("<a href='x.html'>", "HREF"), "x.html");
    EXPECT_EQ(tagAttribute("<a href = \"x y.html\" target=_top >", "target"), "_top");
    EXPECT_EQ(tagAttribute("<a href=x.html>", "href"), "x.html");
    EXPECT_EQ(tagAttribute("<td nowrap width=3>", "nowrap"), "3");
    EXPECT_EQ(tagAttribute("<a href=x>", "target"), "");
    EXPECT_EQ(tagAttribute("<a hreflang=en href=x>", "href"), "x");
    EXPECT_EQ(tagAttribute("<a title='it''s' href=x>", "href"), "x");
    EXPECT_EQ(tagAttribute("<a title=\"a>b\" href=x>", "title"), "a>b");
    // Without a closing quote the value ends one byte before the end.
    EXPECT_EQ(tagAttribute("<a href='x.html>", "href"), "x.html");
    EXPECT_EQ(tagAttribute("<a href='>", "href"), "");
    EXPECT_EQ(tagAttribute("<a href='", "href"), "");
    EXPECT_EQ(tagAttribute("<a href=", "href"), "");
}

TEST(GetAttr, NamesCompareOnTheirFirst64Bytes)
{
    const std::string longName(70, 'n');
    const std::string otherTail = longName.substr(0, 64) + "xyz";
    EXPECT_EQ(tagAttribute("<a " + longName + "=v>", otherTail), "v");
    EXPECT_EQ(tagAttribute("<a " + longName.substr(0, 63) + "=v>", longName), "");
    EXPECT_EQ(tagAttribute("<a Content-Type=v>", "content-TYPE"), "v");
}

TEST(GetAttrMethod, UsesTheWholeReceiver)
{
    EXPECT_EQ(textOf(testing::callMethod("getAttr", str("<a href='x.html'>"), { str("href") })), "x.html");
    EXPECT_EQ(textOf(testing::callMethod("getAttr", str("<item>"), { str("") })), "item");
    EXPECT_EQ(textOf(testing::callMethod("getAttr", str("<a b=1>"), { num(0) })), "");
}

} // namespace
} // namespace zr5::script
