// Document.open and the diagnostic fetch against a real local server.
#include "builtins/host_state.h"
#include "call_helpers.h"
#include "one_shot_server.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace zr5::script {
namespace {

using testing::callFunction;
using testing::member;
using testing::newDocument;
using testing::num;
using testing::str;
using testing::textOf;

class DocumentFetch : public ::testing::Test {
protected:
    // Straight to the local server whatever proxy the environment names.
    void SetUp() override { hostState().connection.proxyMode = 1; }
    void TearDown() override { hostState() = HostState(); }
};

TEST_F(DocumentFetch, OpenConvertsToShiftJisWithLineFeeds)
{
    // "Nihongo" in UTF-8, CR LF line ends.
    testing::OneShotServer server("<title>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</title>\r\n<p>x</p>\r\n");
    const ObjectPtr document = newDocument();
    assign(document->members().findOrCreate("index"), num(5));
    EXPECT_EQ(textOf(callFunction(member(document, "open"), document, { str(server.url()) })), "true");
    EXPECT_EQ(textOf(member(document, "src")), "<title>\x93\xFA\x96\x7B\x8C\xEA</title>\n<p>x</p>\n");
    EXPECT_EQ(textOf(member(document, "index")), "0");
    EXPECT_EQ(textOf(callFunction(member(document, "get"), document, {})), "<title>");
}

TEST_F(DocumentFetch, ConversionStopsAtAZeroByte)
{
    testing::OneShotServer server(std::string("<a>\0<b>", 7));
    const ObjectPtr document = newDocument();
    EXPECT_EQ(textOf(callFunction(member(document, "open"), document, { str(server.url()) })), "true");
    EXPECT_EQ(textOf(member(document, "src")), "<a>");
}

TEST_F(DocumentFetch, EmptyBodyOrUnknownProxyModeFails)
{
    testing::OneShotServer server("");
    const ObjectPtr document = newDocument();
    assign(document->members().findOrCreate("src"), str("<kept>"));
    EXPECT_EQ(textOf(callFunction(member(document, "open"), document, { str(server.url()) })), "false");
    EXPECT_EQ(textOf(member(document, "src")), "<kept>");
    hostState().connection.proxyMode = 3;
    testing::OneShotServer unused("<a>");
    EXPECT_EQ(textOf(callFunction(member(document, "open"), document, { str(unused.url()) })), "false");
}

class InternetDocTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        m_folder = std::filesystem::temp_directory_path() / ("zr5-doctest-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_folder);
        std::filesystem::current_path(m_folder);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_folder);
    }

    static std::string written()
    {
        std::ifstream file("temp.html", std::ios::binary);
        return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
    }

    std::filesystem::path m_previous;
    std::filesystem::path m_folder;
};

TEST_F(InternetDocTest, WritesTheRawBytes)
{
    const std::string body("\xE6\x97\xA5\r\n\0tail", 10);
    testing::OneShotServer server(body);
    ::setenv("no_proxy", "127.0.0.1", 1);
    internetDocTest(server.url().c_str());
    EXPECT_EQ(written(), body);
}

TEST_F(InternetDocTest, FailureReplacesTheFileWithAnEmptyOne)
{
    std::ofstream("temp.html") << "old contents";
    internetDocTest("http://127.0.0.1:1/refused");
    EXPECT_TRUE(std::filesystem::exists("temp.html"));
    EXPECT_EQ(written(), "");
    internetDocTest(nullptr);
    EXPECT_EQ(written(), "");
}

} // namespace
} // namespace zr5::script
