#include "fake_environment.h"
#include "launch/command_line.h"
#include "launch/session_platform.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr5::launch {
namespace {

CommandLine parse(std::vector<const char*> arguments)
{
    arguments.insert(arguments.begin(), "zr5a");
    return parseCommandLine(arguments);
}

TEST(CommandLineTest, HelpAndVersionWinWhereverTheyStand)
{
    EXPECT_EQ(parse({ "--help" }).action, LaunchAction::Help);
    EXPECT_EQ(parse({ "-h" }).action, LaunchAction::Help);
    EXPECT_EQ(parse({ "--version" }).action, LaunchAction::Version);
    EXPECT_EQ(parse({ "--home", "/x", "--version" }).action, LaunchAction::Version);
    EXPECT_EQ(parse({}).action, LaunchAction::Run);
}

TEST(CommandLineTest, HomeTakesItsValueEitherWay)
{
    EXPECT_EQ(parse({ "--home", "/tmp/a b" }).home, std::filesystem::path("/tmp/a b"));
    EXPECT_EQ(parse({ "--home=rel/dir" }).home, std::filesystem::path("rel/dir"));
    // Only the long spelling is ours; Qt has no -home either.
    EXPECT_EQ(parse({ "-home", "/x" }).action, LaunchAction::UsageError);
}

TEST(CommandLineTest, MistakesAreUsageErrorsNamingTheArgument)
{
    for (auto arguments : std::vector<std::vector<const char*>> { { "--frobnicate" }, { "-x" }, { "stray" },
             { "--home" }, { "--home=" }, { "-platform" }, { "-reverse=1" }, { "--" }, { "-" } }) {
        CommandLine line = parse(arguments);
        EXPECT_EQ(line.action, LaunchAction::UsageError) << arguments.front();
        EXPECT_NE(line.error.find(arguments.front()), std::string::npos) << line.error;
        std::string text = usageErrorText(line);
        EXPECT_EQ(text.rfind("zr5a: ", 0), 0u) << text;
        EXPECT_NE(text.find("usage: zr5a"), std::string::npos) << text;
    }
    EXPECT_EQ(kExitUsage, 64);
}

TEST(CommandLineTest, QtOptionsReachQtInOrderInOneSpelling)
{
    CommandLine line = parse(
        { "-display", ":3", "--home", "/h", "--style=fusion", "-reverse", "--platform", "offscreen" });
    ASSERT_EQ(line.action, LaunchAction::Run);
    EXPECT_EQ(line.qtArguments,
        (std::vector<std::string> {
            "zr5a", "-display", ":3", "-style", "fusion", "-reverse", "-platform", "offscreen" }));
    EXPECT_TRUE(line.platformChosen);
    EXPECT_EQ(line.home, std::filesystem::path("/h"));
    EXPECT_FALSE(parse({ "-display", ":0" }).platformChosen);
}

TEST(SessionPlatformTest, XWaylandUnlessTheUserChose)
{
    FakeEnvironment both { { { "WAYLAND_DISPLAY", "wayland-0" }, { "DISPLAY", ":0" } } };
    EXPECT_EQ(platformForSession(both.reader(), false), std::optional<std::string>("xcb"));
    EXPECT_EQ(platformForSession(both.reader(), true), std::nullopt);

    FakeEnvironment chosen = both;
    chosen.values["QT_QPA_PLATFORM"] = "wayland";
    EXPECT_EQ(platformForSession(chosen.reader(), false), std::nullopt);
    // An empty variable is no choice.
    chosen.values["QT_QPA_PLATFORM"] = "";
    EXPECT_EQ(platformForSession(chosen.reader(), false), std::optional<std::string>("xcb"));

    FakeEnvironment waylandOnly { { { "WAYLAND_DISPLAY", "wayland-0" }, { "DISPLAY", "" } } };
    EXPECT_EQ(platformForSession(waylandOnly.reader(), false), std::nullopt);
    FakeEnvironment x11Only { { { "DISPLAY", ":0" } } };
    EXPECT_EQ(platformForSession(x11Only.reader(), false), std::nullopt);

    EXPECT_TRUE(isWaylandPlatform("wayland"));
    EXPECT_TRUE(isWaylandPlatform("wayland-egl"));
    EXPECT_FALSE(isWaylandPlatform("xcb"));
}

} // namespace
} // namespace zr5::launch
