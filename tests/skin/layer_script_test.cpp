// Layer scripts and layer sprite ticks, driven by a clock the tests choose.
#include "skin/runtime/layer_object.h"
#include "skin/runtime/skin.h"
#include "skin/runtime/skin_sprite.h"
#include "skin_test_support.h"

#include <gtest/gtest.h>

namespace zr5::skin {
namespace {

constexpr int kNewsOn = 6;
constexpr int kNewsOff = 7;

class LayerScriptTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::ensureGuiApplication(); }

    void SetUp() override
    {
        m_folder.writeCells("frame.bmp", 8, 8, 1, 1, { 0x808080 });
        // Four 4 x 4 cells in two rows: red, green, blue, white.
        m_folder.writeCells("cells.bmp", 4, 4, 2, 2, { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF });
    }

    // A skin with one layer `l` whose body is given, and an image `anim`
    // showing cell 0 for 100 ms, then cell 1 for 100 ms.
    void load(const std::string& layerBody, const std::string& extra = {})
    {
        std::string script
            = "window main { file \"frame.bmp\"; }\n"
              "image anim { file \"cells.bmp\"; cell 4; draw 0; wait 100; draw 1; wait 100; }\n"
              "image still { file \"cells.bmp\"; cell 4; draw 3; }\n"
            + extra + "layer l { " + layerBody + " }\n";
        SkinLoadResult result = Skin::loadScript(script, m_folder.path());
        ASSERT_TRUE(result.skin) << result.error.message;
        m_skin = result.skin;
        m_sprite = test::spriteOf<LayerSprite>(*m_skin, "ll");
        ASSERT_TRUE(m_sprite);
    }

    // Frames 10 ms apart from `from` to `to`, as the window's timer gives them.
    void runFrames(std::uint32_t from, std::uint32_t to)
    {
        for (std::uint32_t now = from; now <= to; now += 10) {
            m_sprite->tick(now);
        }
    }

    int xpos() const { return m_sprite->state().x; }
    int ypos() const { return m_sprite->state().y; }
    LayerObject& layer() const { return static_cast<LayerObject&>(m_sprite->object()); }

    test::TempSkinFolder m_folder;
    std::shared_ptr<Skin> m_skin;
    LayerSprite* m_sprite = nullptr;
};

TEST_F(LayerScriptTest, WaitSuspendsTheScriptUntilItsTimeHasCome)
{
    load("xpos = 0; wait 1000; xpos = 100;");
    m_sprite->tick(5000);
    EXPECT_EQ(xpos(), 0);
    m_sprite->tick(5999);
    EXPECT_EQ(xpos(), 0);
    m_sprite->tick(6000);
    EXPECT_EQ(xpos(), 100);
    EXPECT_TRUE(layer().ended());
}

TEST_F(LayerScriptTest, WithoutWaitEverythingRunsInTheFirstTick)
{
    load("xpos = 0; xpos = 100; ypos = xpos + 1;");
    m_sprite->tick(0);
    EXPECT_EQ(xpos(), 100);
    EXPECT_EQ(ypos(), 101);
}

TEST_F(LayerScriptTest, WaitsAreScheduledFromTheScriptClockNotTheFrameTime)
{
    // A late frame does not push the later steps back.
    load("xpos = 1; wait 100; xpos = 2; wait 100; xpos = 3;");
    m_sprite->tick(0);
    m_sprite->tick(150);
    EXPECT_EQ(xpos(), 2);
    m_sprite->tick(200);
    EXPECT_EQ(xpos(), 3);
}

TEST_F(LayerScriptTest, EventDuringAWaitRunsWhenTheWaitHasElapsedAndTheScriptGoesOn)
{
    load("xpos = 1; wait 1000; xpos = 2; event onNewsOn { ypos = 5; }");
    m_sprite->tick(0);
    m_skin->fireEvent(kNewsOn);
    m_sprite->tick(500);
    EXPECT_EQ(ypos(), 0);
    EXPECT_EQ(xpos(), 1);
    m_sprite->tick(1000);
    EXPECT_EQ(ypos(), 5);
    EXPECT_EQ(xpos(), 2);
}

TEST_F(LayerScriptTest, EventAfterTheEndRunsAtTheNextTickAndEndsAgain)
{
    load("xpos = 1; event onNewsOff { xpos = xpos + 10; }");
    m_sprite->tick(0);
    ASSERT_TRUE(layer().ended());
    m_skin->fireEvent(kNewsOn); // no handler: nothing happens
    m_sprite->tick(10);
    EXPECT_EQ(xpos(), 1);
    EXPECT_TRUE(layer().ended());
    m_skin->fireEvent(kNewsOff);
    EXPECT_FALSE(layer().ended());
    m_sprite->tick(20);
    EXPECT_EQ(xpos(), 11);
    EXPECT_TRUE(layer().ended());
    m_skin->fireEvent(kNewsOff);
    m_sprite->tick(30);
    EXPECT_EQ(xpos(), 21);
}

TEST_F(LayerScriptTest, EventHandlersMayWaitToo)
{
    load("event onNewsOn { xpos = 1; wait 50; xpos = 2; }");
    m_sprite->tick(0);
    m_skin->fireEvent(kNewsOn);
    m_sprite->tick(10);
    EXPECT_EQ(xpos(), 1);
    m_sprite->tick(59);
    EXPECT_EQ(xpos(), 1);
    m_sprite->tick(60);
    EXPECT_EQ(xpos(), 2);
}

TEST_F(LayerScriptTest, TheImageAnimatesOnTheLayerClock)
{
    load("image = anim;");
    m_sprite->tick(1000);
    EXPECT_EQ(m_sprite->cell(), 0);
    m_sprite->tick(1099);
    EXPECT_EQ(m_sprite->cell(), 0);
    m_sprite->tick(1100);
    EXPECT_EQ(m_sprite->cell(), 1);
    m_sprite->tick(1200); // repeats
    EXPECT_EQ(m_sprite->cell(), 0);
    m_sprite->tick(1350);
    EXPECT_EQ(m_sprite->cell(), 1);
}

TEST_F(LayerScriptTest, PauseHoldsTheClockAtTheScriptTimeAndPlayResumesFromThere)
{
    load("image = anim; wait 150; pause; wait 1000; play;");
    m_sprite->tick(0);
    m_sprite->tick(170); // paused by the step scheduled at 150
    EXPECT_TRUE(m_sprite->paused());
    EXPECT_EQ(m_sprite->animationClock(), 150u);
    EXPECT_EQ(m_sprite->cell(), 1);
    m_sprite->tick(900);
    EXPECT_EQ(m_sprite->animationClock(), 150u);
    m_sprite->tick(1160); // resumed at 1150
    EXPECT_FALSE(m_sprite->paused());
    EXPECT_EQ(m_sprite->animationClock(), 160u);
    m_sprite->tick(1200);
    EXPECT_EQ(m_sprite->cell(), 0);
}

TEST_F(LayerScriptTest, StopRewindsAndPauses)
{
    load("image = anim; wait 150; stop; wait 100; play;");
    runFrames(0, 140);
    EXPECT_EQ(m_sprite->cell(), 1);
    // Rewound at 150; the 10 ms since the frame before still count.
    runFrames(150, 160);
    EXPECT_TRUE(m_sprite->paused());
    EXPECT_EQ(m_sprite->animationClock(), 10u);
    EXPECT_EQ(m_sprite->cell(), 0);
    runFrames(170, 300); // play at 250
    EXPECT_EQ(m_sprite->animationClock(), 60u);
}

TEST_F(LayerScriptTest, ATableThatStopsHoldsItsLastCell)
{
    load("image = hold;",
        "image hold { file \"cells.bmp\"; cell 4; draw 2; wait 100; draw 3; wait 100; stop; }\n");
    runFrames(0, 150);
    EXPECT_EQ(m_sprite->cell(), 3);
    EXPECT_FALSE(m_sprite->paused());
    runFrames(160, 250);
    EXPECT_EQ(m_sprite->cell(), 3);
    EXPECT_TRUE(m_sprite->paused());
    runFrames(260, 1000);
    EXPECT_EQ(m_sprite->cell(), 3);
}

TEST_F(LayerScriptTest, SwitchingImagesRestartsTheAnimation)
{
    load("image = anim; wait 150; image = still; wait 100; image = anim;");
    runFrames(0, 120);
    EXPECT_EQ(m_sprite->cell(), 1);
    runFrames(130, 160);
    EXPECT_EQ(m_sprite->cell(), 3);
    runFrames(170, 260);
    EXPECT_EQ(m_sprite->cell(), 0);
    EXPECT_EQ(m_sprite->animationClock(), 20u);
}

TEST_F(LayerScriptTest, UnknownImageNamesChangeNothingButAStringResetsTheClock)
{
    load("image = anim; wait 120; image = \"inosuch\"; wait 10; image = nosuch;");
    runFrames(0, 110);
    EXPECT_EQ(m_sprite->cell(), 1);
    runFrames(120, 120); // same image, clock restarted
    EXPECT_EQ(m_sprite->animationClock(), 10u);
    EXPECT_EQ(m_sprite->cell(), 0);
    runFrames(130, 140);
    EXPECT_TRUE(layer().get("image").isEmpty());
    EXPECT_EQ(m_sprite->animationClock(), 30u);
    EXPECT_TRUE(m_sprite->state().bitmap);
}

TEST_F(LayerScriptTest, LoopsCountWithTheirBoundAndStepAsProperties)
{
    load("for (i = 3 to 1) { xpos = xpos + i; wait 10; }");
    m_sprite->tick(0);
    EXPECT_EQ(xpos(), 3);
    EXPECT_DOUBLE_EQ(layer().get("@i").toNumber(), 1.0);
    EXPECT_DOUBLE_EQ(layer().get("@@i").toNumber(), -1.0);
    m_sprite->tick(10);
    EXPECT_EQ(xpos(), 5);
    m_sprite->tick(20);
    EXPECT_EQ(xpos(), 6);
    m_sprite->tick(30);
    EXPECT_TRUE(layer().ended());
}

TEST_F(LayerScriptTest, NestedLoopsResumeWhereTheyWaitedAndGoOnAfterTheirEnd)
{
    load("for (i = 1 to 2) { for (j = 1 to 2) { xpos = xpos * 10 + i * j; wait 10; } ypos = ypos + 1; }"
         " xpos = xpos * 10;");
    m_sprite->tick(0);
    EXPECT_EQ(xpos(), 1);
    m_sprite->tick(10);
    EXPECT_EQ(xpos(), 12);
    EXPECT_EQ(ypos(), 0);
    m_sprite->tick(20);
    EXPECT_EQ(ypos(), 1);
    EXPECT_EQ(xpos(), 122);
    m_sprite->tick(30);
    EXPECT_EQ(xpos(), 1224);
    EXPECT_FALSE(layer().ended());
    m_sprite->tick(40);
    EXPECT_EQ(ypos(), 2);
    EXPECT_EQ(xpos(), 12240);
    EXPECT_TRUE(layer().ended());
}

TEST_F(LayerScriptTest, AScriptThatNeverWaitsGivesEachTickBack)
{
    load("for (i = 0 to 1 step 0) { xpos = xpos + 1; }");
    m_sprite->tick(0);
    const int first = xpos();
    EXPECT_GT(first, 0);
    EXPECT_LT(first, LayerSprite::kMaxStepsPerTick);
    m_sprite->tick(10);
    EXPECT_GT(xpos(), first);
    EXPECT_FALSE(layer().ended());
}

TEST_F(LayerScriptTest, CommandsAndDefaultsOfTheLayerBox)
{
    load("clear; alpha = 999; width = 40; ximage = -2;");
    m_sprite->tick(0);
    EXPECT_FALSE(m_sprite->state().visible);
    EXPECT_EQ(m_sprite->state().alpha, 255);
    EXPECT_EQ(m_sprite->state().width, 40);
    EXPECT_EQ(m_sprite->state().height, 1024);
    EXPECT_EQ(m_sprite->ximage(), -2);
}

TEST_F(LayerScriptTest, TheScriptReadsTheDefaultsAndAnEmptiedPropertyFallsBackToThem)
{
    load("xpos = width + alpha; ypos = zpos + ximage + 7; height = nosuchname; alpha = nosuchname;");
    m_sprite->tick(0);
    EXPECT_EQ(xpos(), 1024 + 255);
    EXPECT_EQ(ypos(), 7);
    EXPECT_EQ(m_sprite->state().height, 1024);
    EXPECT_EQ(m_sprite->state().alpha, 255);
    EXPECT_TRUE(m_sprite->state().visible);
}

TEST_F(LayerScriptTest, TheClockWrapsAroundTwoToTheThirtySecond)
{
    load("image = anim; xpos = 1; wait 1000; xpos = 2;");
    const std::uint32_t start = 0xFFFFFF00u;
    m_sprite->tick(start);
    m_sprite->tick(start + 150); // past the wrap
    EXPECT_EQ(m_sprite->animationClock(), 150u);
    EXPECT_EQ(m_sprite->cell(), 1);
    EXPECT_EQ(xpos(), 1);
    m_sprite->tick(start + 1000);
    EXPECT_EQ(xpos(), 2);
}

} // namespace
} // namespace zr5::skin
