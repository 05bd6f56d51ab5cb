// The interpreter below the engine boundary: limits, budgets and lifetimes
// that scripts cannot show through their output alone.
#include "builtins/builtins.h"
#include "interp/interpreter.h"
#include "interp/run_limits.h"
#include "interp/scope.h"
#include "interp/script_function.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

namespace zr5::script {
namespace {

std::string globalText(Interpreter& interpreter, const char* name)
{
    const SlotPtr slot = interpreter.scope().global(name);
    return slot->value ? slot->value->asString() : "<none>";
}

ParseResult load(Interpreter& interpreter, const std::string& source)
{
    const ParseResult result = interpreter.parse(source);
    if (result == ParseResult::Accepted) {
        interpreter.runTopLevel();
    }
    return result;
}

TEST(Evaluation, LongStatementListsAndLeftNestedExpressionsStayShallow)
{
    std::string source;
    for (int i = 0; i < 200000; ++i) {
        source += "x = x + 1;";
    }
    Interpreter interpreter;
    ASSERT_EQ(load(interpreter, source), ParseResult::Accepted);
    EXPECT_EQ(globalText(interpreter, "x"), "200000");
}

TEST(Evaluation, TreesDeeperThanTheLimitAreRejected)
{
    std::string source = "x = 1";
    for (int i = 0; i < 50000; ++i) {
        source += " + 1";
    }
    source += ";";
    Interpreter interpreter;
    EXPECT_THROW(interpreter.parse(source), std::runtime_error);
}

TEST(Evaluation, EndlessRecursionEndsWithAnErrorAndUnwindsFrames)
{
    Interpreter interpreter;
    ASSERT_EQ(interpreter.parse("function f(n) { var local = n; return f(n + 1); } category 'c' { f(0); }"),
        ParseResult::Accepted);
    try {
        interpreter.runCategory(0);
        FAIL() << "recursion was not bounded";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("recursion"), std::string::npos);
    }
    EXPECT_EQ(interpreter.scope().frameCount(), 0u);
    // The limits were released: a later run works normally.
    ASSERT_EQ(load(interpreter, "function g(n) { if (n == 0) return 'done'; return g(n - 1); } y = g(100);"),
        ParseResult::Accepted);
    EXPECT_EQ(globalText(interpreter, "y"), "done");
}

TEST(Evaluation, RunBudgetStopsEndlessLoops)
{
    setRunBudget({ 1000, 0 });
    Interpreter interpreter;
    EXPECT_THROW(load(interpreter, "while (1) ;"), std::runtime_error);
    EXPECT_THROW(load(interpreter, "for (i = 0; 1; i++) { }"), std::runtime_error);
    EXPECT_THROW(load(interpreter, "do ; while (1);"), std::runtime_error);
    // Each run starts with the full budget.
    EXPECT_EQ(load(interpreter, "n = 0; while (n < 500) n++;"), ParseResult::Accepted);
    EXPECT_EQ(load(interpreter, "m = 0; while (m < 500) m++;"), ParseResult::Accepted);
    setRunBudget({});
    EXPECT_EQ(load(interpreter, "k = 0; while (k < 5000) k++;"), ParseResult::Accepted);
    EXPECT_EQ(globalText(interpreter, "k"), "5000");
}

TEST(Evaluation, RunBudgetChargesBuiltInsByTheLengthOfTheirReceiver)
{
    registerBuiltins([](std::string_view, ValuePtr) {});
    setRunBudget({ 1000, 0 });
    Interpreter interpreter;
    // One search through 64 KB costs a thousand check points ...
    EXPECT_THROW(load(interpreter,
                     "s = 'a'; for (i = 0; i < 16; i++) s = s + s;"
                     "n = 0; while (n < 100) { s.indexOf('b'); n++; }"),
        std::runtime_error);
    // ... one through a short text costs one.
    EXPECT_EQ(load(interpreter, "t = 'ab'; m = 0; while (m < 300) { t.indexOf('b'); m++; }"),
        ParseResult::Accepted);
    EXPECT_EQ(globalText(interpreter, "m"), "300");
    setRunBudget({});
}

TEST(Evaluation, TextBudgetStopsRunawayConcatenation)
{
    setRunBudget({ 0, 1 << 20 });
    Interpreter interpreter;
    EXPECT_THROW(load(interpreter, "s = 'ab'; while (1) s = s + s;"), std::length_error);
    setRunBudget({});
}

// Operands for which every binary operator gives a different answer, so an
// operator standing in for another shows.
TEST(Evaluation, EachCompoundAssignmentAppliesItsOwnOperator)
{
    const struct {
        const char* op;
        const char* result;
    } cases[] = {
        { "+", "-15" },
        { "-", "-27" },
        { "*", "-126" },
        { "/", "-3.5" },
        { "%", "-3" },
        { "<<", "-1344" },
        { ">>", "-1" },
        { ">>>", "67108863" },
        { "&", "2" },
        { "|", "-17" },
        { "^", "-19" },
    };
    for (const auto& c : cases) {
        Interpreter interpreter;
        const std::string op = c.op;
        ASSERT_EQ(
            load(interpreter, "x = -21; x " + op + "= 6; y = -21 " + op + " 6;"), ParseResult::Accepted);
        EXPECT_EQ(globalText(interpreter, "x"), c.result) << op << "=";
        EXPECT_EQ(globalText(interpreter, "y"), c.result) << op;
    }
}

TEST(Evaluation, IncrementsAndDecrementsKeepTheirPositionAndDirection)
{
    Interpreter interpreter;
    ASSERT_EQ(load(interpreter, "i = 5; a = i++; b = ++i; c = i--; d = --i; e = -i; f = ~i; g = !i;"),
        ParseResult::Accepted);
    EXPECT_EQ(globalText(interpreter, "a"), "5");
    EXPECT_EQ(globalText(interpreter, "b"), "7");
    EXPECT_EQ(globalText(interpreter, "c"), "7");
    EXPECT_EQ(globalText(interpreter, "d"), "5");
    EXPECT_EQ(globalText(interpreter, "e"), "-5");
    EXPECT_EQ(globalText(interpreter, "f"), "-6");
    EXPECT_EQ(globalText(interpreter, "g"), "0");
}

TEST(Evaluation, SelfReferencesNeitherLoopNorLeak)
{
    Interpreter interpreter;
    ASSERT_EQ(load(interpreter, "var a = a; var b = c; var c = b; a = a; t = a + ''; u = b + 1;"),
        ParseResult::Accepted);
    EXPECT_EQ(globalText(interpreter, "t"), "");
    EXPECT_EQ(globalText(interpreter, "u"), "1");
}

TEST(Evaluation, CategoriesPersistGlobalsAndRejectBadIndexes)
{
    Interpreter interpreter;
    ASSERT_EQ(
        load(interpreter, "category 'A' { var n; if (n) n = n + 1; else n = 1; }"), ParseResult::Accepted);
    interpreter.runCategory(0);
    interpreter.runCategory(0);
    EXPECT_EQ(globalText(interpreter, "n"), "2");
    try {
        interpreter.runCategory(1);
        FAIL();
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid vector<T> subscript");
    }
}

TEST(Evaluation, TextsGrownInPlaceAreChargedAndReleasedInFull)
{
    // The first interpreter fills the process-wide method table, which stays.
    registerBuiltins([](std::string_view, ValuePtr) {});
    const std::int64_t before = liveValueBytes();
    {
        Interpreter interpreter;
        ASSERT_EQ(
            load(interpreter, "s = ''; i = 0; while (i < 20000) { s = s + 'xyz'; i++; } t = s; s += '!';"),
            ParseResult::Accepted);
        EXPECT_EQ(globalText(interpreter, "t").size(), 60000u);
        EXPECT_EQ(globalText(interpreter, "s").size(), 60001u);
        EXPECT_GE(liveValueBytes() - before, 2 * 60000);
    }
    EXPECT_EQ(liveValueBytes(), before);
}

TEST(Evaluation, TextBudgetStopsGrowthInPlaceAndKeepsTheText)
{
    setRunBudget({ 0, 1000 });
    Interpreter interpreter;
    EXPECT_THROW(load(interpreter, "s = ''; while (1) s += 'x';"), std::length_error);
    EXPECT_EQ(globalText(interpreter, "s"), std::string(1000, 'x'));
    EXPECT_THROW(load(interpreter, "u = 'ab'; while (1) u = u + u;"), std::length_error);
    EXPECT_EQ(globalText(interpreter, "u").size(), 512u);
    setRunBudget({});
}

// The arguments object that built-ins get and the list a script's call
// passes bind parameters alike: by position, missing ones left undeclared.
TEST(Evaluation, ScriptFunctionsTakeArgumentsObjects)
{
    Interpreter interpreter;
    ASSERT_EQ(load(interpreter, "function f(a, b, c) { return a + '|' + b + '|' + c; } b = 'B'; c = 'C';"),
        ParseResult::Accepted);
    Callable* function = interpreter.scope().global("f")->value->callable();
    ASSERT_NE(function, nullptr);
    const ObjectPtr arguments = makeObject();
    assign(arguments->members().findOrCreate("0"), makeString("x"));
    assign(arguments->members().findOrCreate("2"), makeString("z"));
    ValuePtr result;
    function->call(result, arguments, {});
    ASSERT_TRUE(result);
    // "1" is missing, so b is declared empty; only two members, so c is not.
    EXPECT_EQ(result->asString(), "x||C");
    function->call(result, {}, {});
    EXPECT_EQ(result->asString(), "|B|C");
    EXPECT_EQ(interpreter.scope().frameCount(), 0u);
}

TEST(Evaluation, ParameterlessCallSeesGlobalOfTheParameterName)
{
    Interpreter interpreter;
    ASSERT_EQ(
        load(interpreter, "function f(a, b) { b = 'set'; return a; } x = f(1);"), ParseResult::Accepted);
    EXPECT_EQ(globalText(interpreter, "x"), "1");
    EXPECT_EQ(globalText(interpreter, "b"), "set");
}

} // namespace
} // namespace zr5::script
