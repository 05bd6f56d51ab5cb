// Settings that need no script: windows, proxy, timer, and what a save keeps.
#include "core/settings.h"
#include "core_test_support.h"

#include <gtest/gtest.h>

namespace zr5::core {
namespace {

TEST(Settings, MissingFileGivesEveryDefault)
{
    ScriptList scripts;
    Settings settings = loadSettings(ProfileFile::parse(""), scripts);
    EXPECT_EQ(settings.reloadMinutes, 30);
    EXPECT_EQ(settings.window.skin, "");
    EXPECT_EQ(settings.window.x, 0);
    EXPECT_EQ(settings.window.height, 0);
    EXPECT_EQ(settings.window.z, 0);
    EXPECT_EQ(settings.window.sticking, 0);
    EXPECT_EQ(settings.proxy.type, 0);
    EXPECT_EQ(settings.proxy.address, "");
    EXPECT_EQ(settings.proxy.port, 8080);
    EXPECT_EQ(settings.proxy.bypassLocal, 0);
    EXPECT_EQ(settings.scriptLimitSeconds, 30);
    EXPECT_EQ(settings.fetchLimitSeconds, 120);
    EXPECT_EQ(settings.noticeUrl, "");
    EXPECT_TRUE(scripts.entries.empty());
}

TEST(Settings, LimitsOutOfRangeTakeTheirDefaults)
{
    auto limits = [](const std::string& timer) {
        Settings settings = readSettings(ProfileFile::parse("[Timer]\n" + timer));
        return std::to_string(settings.scriptLimitSeconds) + "/" + std::to_string(settings.fetchLimitSeconds);
    };
    EXPECT_EQ(limits("ScriptLimit=1\nFetchLimit=86400\n"), "1/86400");
    EXPECT_EQ(limits("ScriptLimit=0\nFetchLimit=86401\n"), "30/120");
    EXPECT_EQ(limits("ScriptLimit=-5\nFetchLimit=99999999999\n"), "30/120");
    EXPECT_EQ(limits("ScriptLimit=abc\nFetchLimit=5s\n"), "30/5");
}

TEST(Settings, DisplayOptionsOutOfRangeOrGarbageTakeTheirDefaults)
{
    auto display = [](const std::string& window) {
        const WindowSettings w = readSettings(ProfileFile::parse("[Window]\n" + window)).window;
        return std::to_string(w.speed) + "/" + std::to_string(w.hoverPause) + "/" + std::to_string(w.dock)
            + "/" + std::to_string(w.opacity);
    };
    EXPECT_EQ(display(""), "2/1/0/100");
    EXPECT_EQ(display("Speed=0\nHoverPause=0\nDock=2\nOpacity=20\n"), "0/0/2/20");
    EXPECT_EQ(display("Speed=10\nHoverPause=1\nDock=1\nOpacity=100\n"), "10/1/1/100");
    EXPECT_EQ(display("Speed=11\nHoverPause=2\nDock=3\nOpacity=19\n"), "2/1/0/100");
    EXPECT_EQ(display("Speed=-1\nHoverPause=-1\nDock=-1\nOpacity=101\n"), "2/1/0/100");
    EXPECT_EQ(display("Speed=abc\nHoverPause=on\nDock=top\nOpacity=\n"), "2/1/0/100");
    EXPECT_EQ(display("Speed=99999999999\nDock=-99999999999\nOpacity=2147483648\n"), "2/1/0/100");
}

TEST(Settings, SavesTheSectionsInOrderAndReadsThemBack)
{
    ScriptList scripts;
    Settings settings;
    settings.reloadMinutes = 12;
    settings.window = { "Group\\Blue", -10, 20, 300, 40, -1, 1, 7, 0, DockBottom, 60, "HDMI-1" };
    settings.proxy = { 2, "proxy.example", 3128, 1 };
    ProfileFile file;
    settings.scriptLimitSeconds = 5;
    settings.noticeUrl = "http://127.0.0.1/notice.html";
    storeSettings(file, scripts, settings);
    EXPECT_EQ(file.serialize(),
        "[Script]\nCount=0\n[Timer]\nReload=12\nScriptLimit=5\nFetchLimit=120\n[Window]\n"
        "Skin=Group\\Blue\nX=-10\nY=20\nWidth=300\nHeight=40\nZ=-1\nSticking=1\nSpeed=7\nHoverPause=0\n"
        "Dock=2\nOpacity=60\nScreen=HDMI-1\n[Proxy]\nType=2\n"
        "Address=proxy.example\nPort=3128\nLocal=1\n[Notice]\nURL=http://127.0.0.1/notice.html\n");
    Settings back = loadSettings(ProfileFile::parse(file.serialize()), scripts);
    EXPECT_EQ(back.window.skin, "Group\\Blue");
    EXPECT_EQ(back.window.x, -10);
    EXPECT_EQ(back.window.z, -1);
    EXPECT_EQ(back.window.speed, 7);
    EXPECT_EQ(back.window.hoverPause, 0);
    EXPECT_EQ(back.window.dock, DockBottom);
    EXPECT_EQ(back.window.opacity, 60);
    EXPECT_EQ(back.window.screen, "HDMI-1");
    EXPECT_EQ(back.proxy.address, "proxy.example");
    EXPECT_EQ(back.proxy.port, 3128);
    EXPECT_EQ(back.reloadMinutes, 12);
    EXPECT_EQ(back.scriptLimitSeconds, 5);
    EXPECT_EQ(back.noticeUrl, "http://127.0.0.1/notice.html");
}

TEST(Settings, ForeignFileKeepsItsOtherSectionsAndCommentsOnSave)
{
    std::string foreign
        = "; " + test::sjis("設定") + "\r\n[window]\r\nskin=Old\r\nColor=red\r\n\r\n[Mine]\r\na=1\r\n";
    ProfileFile file = ProfileFile::parse(foreign);
    ScriptList scripts;
    Settings settings = loadSettings(file, scripts);
    EXPECT_EQ(settings.window.skin, "Old");
    settings.window.skin = "New";
    storeSettings(file, scripts, settings);
    std::string saved = file.serialize();
    EXPECT_EQ(saved.substr(0, foreign.find("[window]")), "; " + test::sjis("設定") + "\r\n");
    EXPECT_NE(saved.find("[window]\r\nskin=New\r\nColor=red\r\nX=0\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[Mine]\r\na=1\r\n"), std::string::npos);
    EXPECT_NE(saved.find("[Script]\r\nCount=0\r\n"), std::string::npos);
}

TEST(Settings, BadNumbersAndAHugeCountReadQuickly)
{
    ScriptList scripts;
    // Only the keys present are visited: the site at the far end is read
    // without counting up to it, the one past Count is not.
    ProfileFile file = ProfileFile::parse("[Script]\nCount=2147483000\n0000=N,*,missing.zrs\n"
                                          "2147482999=R,*,Far,http://far/\n2147483000=R,*,Past,http://past/\n"
                                          "[Timer]\nReload=-5\n[Proxy]\nPort=abc\nType=\n");
    Settings settings = loadSettings(file, scripts);
    // Only the limits have a range: other numbers stay as the file has them.
    EXPECT_EQ(settings.reloadMinutes, -5);
    EXPECT_EQ(settings.proxy.port, 0);
    EXPECT_EQ(settings.proxy.type, 0);
    ASSERT_EQ(scripts.entries.size(), 1u);
    EXPECT_EQ(scripts.entries[0]->name, "Far");
    EXPECT_EQ(scripts.entries[0]->url, "http://far/");
}

} // namespace
} // namespace zr5::core
