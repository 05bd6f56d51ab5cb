// Loads real skin folders (tests/skin/skins) and scripts given as text.
#include "skin/lang/skin_parser.h"
#include "skin/runtime/layer_object.h"
#include "skin/runtime/skin.h"
#include "skin/skin_messages.h"

#include <QGuiApplication>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace zr5::skin {
namespace {

const std::filesystem::path kSkins = ZR5_SKIN_TEST_DIR;

class SkinLoadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QGuiApplication::instance()) {
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
            static int argc = 1;
            static char name[] = "skin_tests";
            static char* argv[] = { name, nullptr };
            static QGuiApplication app(argc, argv);
        }
    }

    // A script run against the bitmaps of one of the test folders.
    static SkinLoadResult load(const std::string& script, const char* folder = "values")
    {
        return Skin::loadScript(script, kSkins / folder);
    }
};

TEST_F(SkinLoadTest, MainFrameGeometryComesFromWindowMainAndTheWorkarea)
{
    // values/frame.bmp is 8 x 8.
    SkinLoadResult result = load("window main { file \"frame.bmp\"; xpos 3; ypos 2; grip 1, 2; }\n"
                                 "workarea 40, 30;\n");
    ASSERT_TRUE(result.skin) << result.error.message;
    const WindowGeometry& g = result.skin->geometry();
    EXPECT_EQ(g.x, 3);
    EXPECT_EQ(g.y, 2);
    EXPECT_EQ(g.width, 8); // width below 1: the bitmap's
    EXPECT_EQ(g.height, 8);
    EXPECT_EQ(g.designWidth, 40);
    EXPECT_EQ(g.designHeight, 30);
    EXPECT_EQ(g.rightMargin, 29);
    EXPECT_EQ(g.bottomMargin, 20);
    EXPECT_EQ(g.grips.top, 1);
    EXPECT_EQ(g.grips.right, 2);
    EXPECT_EQ(g.grips.bottom, 1);
    EXPECT_EQ(g.grips.left, 2);
}

TEST_F(SkinLoadTest, GripsDefaultToFourAndExplicitSizesWin)
{
    SkinLoadResult result = load("window main { file \"frame.bmp\"; width 100; height -5; grip2 = 7; }\n");
    ASSERT_TRUE(result.skin) << result.error.message;
    const WindowGeometry& g = result.skin->geometry();
    EXPECT_EQ(g.width, 100);
    EXPECT_EQ(g.height, 8);
    EXPECT_EQ(g.designWidth, 100);
    EXPECT_EQ(g.grips.top, 4);
    EXPECT_EQ(g.grips.bottom, 7);
    EXPECT_EQ(g.grips.left, 4);
}

TEST_F(SkinLoadTest, AbsurdWorkareaSizesLoadWithinLimits)
{
    for (const char* workarea : { "-1, -1", "1e9, 1e9", "1e300, 5" }) {
        SCOPED_TRACE(workarea);
        SkinLoadResult result
            = load(std::string("window main { file \"frame.bmp\"; }\nworkarea ") + workarea + ";\n");
        ASSERT_TRUE(result.skin) << result.error.message;
        EXPECT_GE(result.skin->geometry().designWidth, 1);
        EXPECT_LE(result.skin->geometry().designWidth, gfx::kMaxSurfaceSide);
    }
}

TEST_F(SkinLoadTest, SpritesCarryTheirObjectsSettings)
{
    SkinLoadResult result
        = load("window main { file \"frame.bmp\"; xborder 2; yborder 3, 1; xtiling; zpos 4; }\n"
               "message main { xpos 5; width 90; height 14; bold; edge #0000ff; }\n"
               "message sub { font \"a-very-long-font-name-that-goes-on-and-on\"; color 7; }\n"
               "layer l { xpos 99; }\n");
    ASSERT_TRUE(result.skin) << result.error.message;
    const auto& sprites = result.skin->sprites();
    ASSERT_EQ(sprites.size(), 4u);
    EXPECT_EQ(sprites[3]->key(), "wmain");

    auto window = std::dynamic_pointer_cast<WindowSprite>(sprites[3]);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->frame().left, 2);
    EXPECT_EQ(window->frame().right, 2);
    EXPECT_EQ(window->frame().top, 3);
    EXPECT_EQ(window->frame().bottom, 1);
    EXPECT_EQ(window->frame().mode, 1);
    EXPECT_EQ(window->state().bitmap, result.skin->bitmap("wmain"));

    auto main = std::dynamic_pointer_cast<MessageSprite>(sprites[1]);
    ASSERT_TRUE(main);
    EXPECT_EQ(main->state().x, 5);
    EXPECT_EQ(main->state().width, 90);
    EXPECT_EQ(main->text().style, 5);
    EXPECT_EQ(main->text().edge, 0xFF0000u);
    EXPECT_EQ(main->text().color, 0xFF0000u);
    EXPECT_EQ(main->text().font, "MS UI Gothic");

    auto sub = std::dynamic_pointer_cast<MessageSprite>(sprites[2]);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->state().width, 0); // messages have no default box
    EXPECT_EQ(sub->text().font.size(), 31u);
    EXPECT_EQ(sub->text().color, 7u);

    // A layer's body runs later; at load its sprite has the defaults.
    EXPECT_EQ(sprites[0]->key(), "ll");
    EXPECT_EQ(sprites[0]->state().x, 0);
    EXPECT_EQ(sprites[0]->state().width, 1024);
}

TEST_F(SkinLoadTest, LayerEventsAreStoredByName)
{
    SkinLoadResult result = load("window main { file \"frame.bmp\"; }\n"
                                 "layer l { event onClick { a 1; } { event onMailOff { b 2; } }\n"
                                 "          event onClick { c 3; } event unknown { d 4; }\n"
                                 "          for (i = 0 to 1) { event onNewsOn { e 5; } } }\n");
    ASSERT_TRUE(result.skin) << result.error.message;
    auto layer = std::dynamic_pointer_cast<LayerObject>(result.skin->object("ll"));
    ASSERT_TRUE(layer);
    ASSERT_TRUE(layer->eventHandler(0));
    // A one-statement body is the sequence (nothing, statement).
    ASSERT_TRUE(layer->eventHandler(0)->second());
    EXPECT_EQ(layer->eventHandler(0)->second()->name(), "c"); // the later handler replaces the earlier
    ASSERT_TRUE(layer->eventHandler(9));
    ASSERT_TRUE(layer->eventHandler(9)->second());
    EXPECT_EQ(layer->eventHandler(9)->second()->name(), "b");
    EXPECT_FALSE(layer->eventHandler(6)); // inside a loop, not reached at load
    EXPECT_FALSE(layer->eventHandler(10));
}

TEST_F(SkinLoadTest, FailuresHandOutNoSkin)
{
    struct Row {
        const char* scenario;
        std::string script;
        std::string_view caption;
    };
    const Row rows[] = {
        { "syntax", "window main { file \"frame.bmp\" }", msg::kCaptionScriptError },
        { "no main", "image a { file \"frame.bmp\"; }", msg::kCaptionScriptError },
        { "no file", "window main { file 1; }", msg::kCaptionScriptError },
        { "missing bitmap", "window main { file \"nosuch.bmp\"; }", msg::kCaptionScriptError },
        // Bitmaps that exist, but outside the skin's own folder.
        { "climbing out", "window main { file \"..\\\\values\\\\frame.bmp\"; }", msg::kCaptionScriptError },
        { "climbing out of a mask", "window main { file \"frame.bmp\"; mask \"../values/frame.bmp\"; }",
            msg::kCaptionScriptError },
        { "absolute", "window main { file \"" + (kSkins / "values" / "frame.bmp").string() + "\"; }",
            msg::kCaptionScriptError },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.scenario);
        SkinLoadResult result = load(row.script);
        EXPECT_FALSE(result.skin);
        EXPECT_EQ(result.error.caption, row.caption);
        EXPECT_FALSE(result.error.message.empty());
    }
}

TEST_F(SkinLoadTest, StringEscapesKeepZeroBytesAndDoubleByteCharacters)
{
    // 0x83 0x5C is one character whose second byte looks like a backslash.
    SkinLoadResult result = load("window main { file \"frame.bmp\"; z \"\\400\"; k \"\x83\\\"; "
                                 "h \"\\x4g\\xg\"; }\n");
    ASSERT_TRUE(result.skin) << result.error.message;
    const SkinObject& main = *result.skin->object("wmain");
    EXPECT_EQ(main.get("z").asString(), std::string(1, '\0'));
    EXPECT_EQ(main.get("k").asString(), "\x83\\");
    EXPECT_EQ(main.get("h").asString(), "\x04gxg");
}

TEST_F(SkinLoadTest, OctalLiteralsStopAtTheFirstNonOctalDigit)
{
    SkinLoadResult result = load("window main { file \"frame.bmp\"; a 08; }\n");
    EXPECT_FALSE(result.skin);
    EXPECT_NE(result.error.message.find("unexpected NUMBER"), std::string::npos);
}

TEST_F(SkinLoadTest, SelfContainingListsLoadAndAreFreed)
{
    SkinLoadResult result = load("window main { file \"frame.bmp\"; x = 1, 2; x = x, x; y = 3, 4; z = y, x; "
                                 "x = x, z; }\n");
    ASSERT_TRUE(result.skin) << result.error.message;
    const CVariant x = result.skin->object("wmain")->get("x");
    ASSERT_TRUE(x.isList());
    EXPECT_EQ(x.asList()->items().size(), 4u);
    // The leak checker of the sanitizer build sees it if the ring survives.
}

TEST_F(SkinLoadTest, LongChainsEvaluateWithoutRecursion)
{
    std::string sum = "window main { file \"frame.bmp\"; s ";
    for (int i = 0; i < 300'000; ++i) {
        sum += "1+";
    }
    sum += "1; l 0";
    for (int i = 0; i < 100'000; ++i) {
        sum += ",1";
    }
    sum += "; }\n";
    std::string statements = "window main { file \"frame.bmp\";\n";
    for (int i = 0; i < 300'000; ++i) {
        statements += "a = a + 1;\n";
    }
    statements += "}\n";
    SkinLoadResult result = load(sum);
    ASSERT_TRUE(result.skin) << result.error.message;
    EXPECT_EQ(result.skin->object("wmain")->get("s").toNumber(), 300'001.0);
    EXPECT_EQ(result.skin->object("wmain")->get("l").asList()->items().size(), 100'001u);
    result = load(statements);
    ASSERT_TRUE(result.skin) << result.error.message;
    EXPECT_EQ(result.skin->object("wmain")->get("a").toNumber(), 300'000.0);
}

TEST_F(SkinLoadTest, ManyMegabytesOfScriptLoad)
{
    std::string script = "window main { file \"frame.bmp\";\n";
    const std::string line = "// padding padding padding padding padding padding padding padding padding\n"
                             "xpos = [0, 100, 0.5] * 2 - 1;\n";
    while (script.size() < 10'000'000) {
        script += line;
    }
    script += "}\n";
    SkinLoadResult result = load(script);
    ASSERT_TRUE(result.skin) << result.error.message;
    EXPECT_EQ(result.skin->object("wmain")->get("xpos").toNumber(), 99.0);
}

TEST_F(SkinLoadTest, CrLfLineEndsAreReadAsLineFeeds)
{
    std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "zr5skin-crlf";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(kSkins / "values" / "frame.bmp", folder / "frame.bmp",
        std::filesystem::copy_options::overwrite_existing);
    {
        std::ofstream out(folder / "zr5.skn", std::ios::binary);
        out << "window main {\r\n  file \"frame.bmp\";\r\n  a = 1;\r\n}\r\n";
    }
    SkinLoadResult result = Skin::load(folder);
    ASSERT_TRUE(result.skin) << result.error.message;
    EXPECT_EQ(result.skin->object("wmain")->get("#a").toInt(), 3);
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace zr5::skin
