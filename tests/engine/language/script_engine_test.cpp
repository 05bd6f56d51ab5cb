// The engine instance below the export layer: what it writes through to the
// process-wide host state, and how it reads script files.
#include "api/script_engine.h"
#include "builtins/host_state.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zr5::script {
namespace {

namespace fs = std::filesystem;

void ignore(const DisplayRecord*, void*)
{
}

TEST(ScriptEngine, ConnectionSettingsAreCopiedAndNullResetsThem)
{
    ScriptEngine engine;
    std::string address = "proxy.local";
    const ConnectionSettings named { ZR5S_PROXY_NAMED, address.c_str(), 8080, 1 };
    EXPECT_EQ(engine.SetConnection(&named), 0);
    address = "changed";
    EXPECT_EQ(hostState().connection.proxyMode, ZR5S_PROXY_NAMED);
    EXPECT_EQ(hostState().connection.proxyAddress, "proxy.local");
    EXPECT_EQ(hostState().connection.proxyPort, 8080);
    EXPECT_TRUE(hostState().connection.bypassLocal);

    ScriptEngine other;
    EXPECT_EQ(other.SetConnection(nullptr), 0);
    EXPECT_EQ(hostState().connection.proxyMode, ZR5S_PROXY_SYSTEM);
    EXPECT_EQ(hostState().connection.proxyAddress, "");
    EXPECT_EQ(hostState().connection.proxyPort, 0);
    EXPECT_FALSE(hostState().connection.bypassLocal);
}

TEST(ScriptEngine, DisplayCallbackIsProcessWide)
{
    int tag = 0;
    {
        ScriptEngine engine;
        engine.SetDisplayCallback(ignore, &tag);
    }
    EXPECT_EQ(hostState().callback, &ignore);
    EXPECT_EQ(hostState().userData, &tag);
    ScriptEngine().SetDisplayCallback(nullptr, nullptr);
    EXPECT_EQ(hostState().callback, nullptr);
}

TEST(ScriptEngine, FilesReadInTextMode)
{
    const fs::path path = fs::temp_directory_path() / "zr5-text-mode.zrs";
    std::ofstream(path, std::ios::binary) << std::string("a\r\nb\rc\r\n\r\x1a"
                                                         "after",
        15);
    std::string text;
    ASSERT_TRUE(readScriptFile(path.c_str(), text));
    EXPECT_EQ(text, "a\nb\rc\n\r");
    fs::remove(path);
    EXPECT_FALSE(readScriptFile(path.c_str(), text));
    EXPECT_FALSE(readScriptFile(nullptr, text));
}

TEST(ScriptEngine, CategoryNameOutOfRangeIsEmpty)
{
    ScriptEngine engine;
    EXPECT_STREQ(engine.GetCategoryName(3), "");
    EXPECT_EQ(engine.RunCategory(0), -1);
    EXPECT_STREQ(engine.GetErrorText(), "invalid vector<T> subscript");
}

} // namespace
} // namespace zr5::script
