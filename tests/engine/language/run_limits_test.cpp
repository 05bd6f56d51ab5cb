// The host's run limits on real scripts: the run's own time, cancelling from
// another thread, the memory of its values, the longest text, what fetches
// report, and the parser's lines as the error text of a failed load.
#include "api/script_engine.h"
#include "interp/run_limits.h"
#include "net_test_support.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace zr5::script {
namespace {

namespace fs = std::filesystem;
using net::test::TestHttpServer;

constexpr std::uint64_t kMebibyte = std::uint64_t { 1 } << 20;

std::vector<std::string> g_headlines;

void collect(const DisplayRecord* record, void*)
{
    g_headlines.emplace_back(record->text1);
}

std::int32_t readFlag(void* data)
{
    return static_cast<std::atomic<bool>*>(data)->load() ? 1 : 0;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class RunLimitsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_server = std::make_unique<TestHttpServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override
    {
        m_path = fs::temp_directory_path() / ("zr5-limits-" + std::to_string(::getpid()) + ".zrs");
        g_headlines.clear();
        const ConnectionSettings direct { ZR5S_PROXY_DIRECT, nullptr, 0, 0 };
        m_engine->SetConnection(&direct);
        m_engine->SetDisplayCallback(collect, nullptr);
    }

    void TearDown() override
    {
        // A test may have destroyed its engine to see what that releases.
        if (m_engine) {
            m_engine->SetRunLimits(nullptr);
            m_engine->SetConnection(nullptr);
            m_engine->SetDisplayCallback(nullptr, nullptr);
        }
        fs::remove(m_path);
    }

    std::int32_t load(const std::string& script)
    {
        std::ofstream(m_path, std::ios::binary) << script;
        return m_engine->Load(m_path.c_str());
    }

    // Loads a script of one category and runs it (loads add to the
    // categories of earlier ones).
    std::int32_t run(const std::string& body)
    {
        EXPECT_EQ(load("category \"c\" { " + body + " }\n"), ZR5S_LOAD_OK);
        return runLast();
    }

    std::int32_t runLast() { return m_engine->RunCategory(m_engine->GetCategoryCount() - 1); }

    void limit(std::uint32_t scriptSeconds, std::uint32_t fetchSeconds, std::uint64_t valueBytes,
        std::atomic<bool>* cancel = nullptr)
    {
        const RunLimits limits { scriptSeconds, fetchSeconds, valueBytes, cancel ? readFlag : nullptr,
            cancel };
        m_engine->SetRunLimits(&limits);
    }

    std::string errorText() { return m_engine->GetErrorText(); }

    static std::unique_ptr<TestHttpServer> s_server;
    net::test::NoProxyEnvironment m_environment;
    std::unique_ptr<ScriptEngine> m_engine = std::make_unique<ScriptEngine>();
    fs::path m_path;
};

std::unique_ptr<TestHttpServer> RunLimitsTest::s_server;

TEST_F(RunLimitsTest, TimeLimitStopsEndlessLoopsAndKeepsEarlierHeadlines)
{
    limit(1, 0, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(run("Display('before', ''); while (1) {}"), ZR5S_RUN_LIMIT);
    EXPECT_LT(secondsSince(start), 10.0);
    EXPECT_EQ(errorText(), "run-time limit of 1 s reached");
    EXPECT_EQ(g_headlines, std::vector<std::string> { "before" });

    // A load's own top-level run.
    EXPECT_EQ(load("while (1) {}"), ZR5S_LOAD_EXCEPTION);
    EXPECT_EQ(errorText(), "run-time limit of 1 s reached");
}

TEST_F(RunLimitsTest, EachRunGetsTheWholeTimeAgain)
{
    // The spin uses up its whole time whatever the machine's speed; the
    // quick run passes enough check points for a look at the clock, which
    // would stop it at once if its time went on from the spin's.
    limit(2, 0, 0);
    ASSERT_EQ(load("category \"spin\" { while (1) { } }\n"
                   "category \"quick\" { i = 0; while (i < 5000) i++; }\n"),
        ZR5S_LOAD_OK);
    const std::int32_t spin = m_engine->GetCategoryCount() - 2;
    EXPECT_EQ(m_engine->RunCategory(spin), ZR5S_RUN_LIMIT);
    EXPECT_EQ(m_engine->RunCategory(spin + 1), ZR5S_RUN_OK);
}

TEST_F(RunLimitsTest, FetchTimeIsNotTheScriptsTime)
{
    // The fetch takes its whole limit of 3 s, more than the script's 2 s;
    // the loop after it passes enough check points for a look at the clock.
    limit(2, 3, 0);
    EXPECT_EQ(run("d = new Document(); Display(d.open('" + s_server->url("/trickle")
                  + "'), ''); i = 0; while (i < 5000) i++;"),
        ZR5S_RUN_OK)
        << errorText();
    // What arrived was kept: the open succeeded.
    EXPECT_EQ(g_headlines, std::vector<std::string> { "true" });
    const FetchReport* report = m_engine->GetFetchReport();
    EXPECT_EQ(report->fetches, 1);
    EXPECT_EQ(report->failures, 1);
    EXPECT_EQ(report->lastFailure, ZR5S_FETCH_TIMEOUT);
    EXPECT_STREQ(report->message, "timed out after 3 s");
}

TEST_F(RunLimitsTest, CancelFromAnotherThreadStopsLoopsAndFetches)
{
    std::atomic<bool> cancel { false };
    limit(0, 0, 0, &cancel);
    for (const std::string& body : { std::string("Display('before', ''); while (1) {}"),
             "Display('before', ''); d = new Document(); d.open('" + s_server->url("/trickle")
                 + "'); Display('after', '');" }) {
        cancel = false;
        g_headlines.clear();
        std::thread canceller([&cancel] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            cancel = true;
        });
        const auto start = std::chrono::steady_clock::now();
        const std::int32_t result = run(body);
        const double seconds = secondsSince(start);
        canceller.join();
        EXPECT_EQ(result, ZR5S_RUN_CANCELLED) << body;
        EXPECT_EQ(errorText(), "run cancelled");
        EXPECT_LT(seconds, 1.5 + 1.5) << body;
        EXPECT_EQ(g_headlines, std::vector<std::string> { "before" });
    }
    EXPECT_EQ(m_engine->GetFetchReport()->lastFailure, ZR5S_FETCH_CANCELLED);
}

TEST_F(RunLimitsTest, MemoryLimitStopsGrowingArraysAndCountsBackToZero)
{
    const std::int64_t before = liveValueBytes();
    limit(0, 0, 32 * kMebibyte);
    EXPECT_EQ(run("var a = new Array(); var i = 0; while (1) { a[i] = 'abc' + i; i++; }"), ZR5S_RUN_LIMIT);
    EXPECT_EQ(errorText(), "memory limit of 32 MiB reached");
    EXPECT_LE(liveValueBytes() - before, static_cast<std::int64_t>(32 * kMebibyte));
    EXPECT_GT(liveValueBytes() - before, static_cast<std::int64_t>(31 * kMebibyte));

    // The limit is over what the run found: the array kept from the last
    // run does not count against the next one.
    limit(0, 0, 1000000 + 1);
    EXPECT_EQ(runLast(), ZR5S_RUN_LIMIT);
    EXPECT_EQ(errorText(), "memory limit of 1000001 bytes reached");

    // Strings count by what they hold; one past the allowance fails at once.
    limit(0, 0, 4 * kMebibyte);
    EXPECT_EQ(run("var s = 'x'; var i = 0; while (i < 23) { s = s + s; i++; } @'fits'; s = s + s;"),
        ZR5S_RUN_LIMIT);

    m_engine.reset();
    EXPECT_EQ(liveValueBytes(), before);
}

TEST_F(RunLimitsTest, NoTextGrowsPast64MiB)
{
    limit(0, 0, 256 * kMebibyte);
    EXPECT_EQ(run("var s = 'x'; while (1) s = s + s;"), ZR5S_RUN_ERROR);
    EXPECT_EQ(errorText(), "script text too long");

    // Exactly 64 MiB is allowed; a replacement that would pass it is not.
    limit(0, 0, 0);
    EXPECT_EQ(run("var s = 'x'; var i = 0; while (i < 26) { s = s + s; i++; } Display(s.getLength(), '');"
                  "s.replace('x', 'yy');"),
        ZR5S_RUN_ERROR);
    EXPECT_EQ(g_headlines, std::vector<std::string> { "67108864" });
    EXPECT_EQ(errorText(), "script text too long");
}

TEST_F(RunLimitsTest, FetchReportCountsEachRunsFetches)
{
    const std::string missing = s_server->url("/missing");
    EXPECT_EQ(run("d = new Document(); d.open('" + s_server->url("/doc") + "'); if (d.open('" + missing
                  + "')) Display(d.src, '');"),
        ZR5S_RUN_OK);
    EXPECT_EQ(g_headlines, std::vector<std::string> { "<html>the page is gone</html>" });
    const FetchReport* report = m_engine->GetFetchReport();
    EXPECT_EQ(report->fetches, 2);
    EXPECT_EQ(report->failures, 1);
    EXPECT_EQ(report->lastFailure, ZR5S_FETCH_HTTP_STATUS);
    EXPECT_EQ(report->httpStatus, 404);
    EXPECT_EQ(report->url, missing);
    EXPECT_STREQ(report->message, "HTTP 404");

    // A load's top-level fetches are its own report.
    const std::string refused = "http://127.0.0.1:" + std::to_string(net::test::unusedPort()) + "/";
    ASSERT_EQ(load("d = new Document(); d.open('" + refused + "');"), ZR5S_LOAD_OK);
    report = m_engine->GetFetchReport();
    EXPECT_EQ(report->fetches, 1);
    EXPECT_EQ(report->lastFailure, ZR5S_FETCH_REFUSED);
    EXPECT_EQ(report->url, refused);
}

TEST_F(RunLimitsTest, ParseErrorsAreAlsoTheErrorTextOfTheLoad)
{
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(load("x = \"open\n@1;\nif (1) {\n"), ZR5S_LOAD_FAILED);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    const std::string lines = "(1) : error : Unterminated string\n(2) : error : parse error, unexpected '@'\n"
                              "(4) : error : parse error, unexpected $";
    EXPECT_EQ(printed, lines + "\n");
    EXPECT_EQ(errorText(), lines);
}

} // namespace
} // namespace zr5::script
