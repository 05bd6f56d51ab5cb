// What a fetch reports besides its body: the kind of failure, the HTTP status
// and a message; and the host's hold on it (whole-fetch time-out, cancel,
// link-local redirects), against the local test server.
#include "net/internet_session.h"
#include "net_test_support.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace zr5::script::net::test {
namespace {

class FetchReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_server = std::make_unique<TestHttpServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }

    static FetchResult fetch(const std::string& path, const FetchControl& control = {})
    {
        return InternetSession(ConnectionConfig {}, control).fetchDocument(s_server->url(path));
    }

    static std::unique_ptr<TestHttpServer> s_server;
    NoProxyEnvironment m_environment;
};

std::unique_ptr<TestHttpServer> FetchReportTest::s_server;

template <typename Call> double secondsTaken(Call call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::int32_t readFlag(void* data)
{
    return static_cast<std::atomic<bool>*>(data)->load() ? 1 : 0;
}

void expectPrefixOfPattern(const std::string& body)
{
    EXPECT_FALSE(body.empty());
    EXPECT_EQ(body, pattern(body.size()));
}

TEST_F(FetchReportTest, SuccessReportsTheStatusAndNoFailure)
{
    const FetchResult result = fetch("/doc");
    EXPECT_EQ(result.failure, FetchFailure::None);
    EXPECT_EQ(result.httpStatus, 200);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(InternetSession().fetchDocument(s_server->ftpUrl("/doc.txt")).failure, FetchFailure::None);
}

TEST_F(FetchReportTest, ErrorStatusFailsButKeepsTheBody)
{
    const FetchResult result = fetch("/missing");
    EXPECT_EQ(result.failure, FetchFailure::HttpStatus);
    EXPECT_EQ(result.httpStatus, 404);
    EXPECT_EQ(result.message, "HTTP 404");
    EXPECT_EQ(result.body, "<html>the page is gone</html>");
}

TEST_F(FetchReportTest, ConnectionFailuresAreTold)
{
    const FetchResult refused
        = InternetSession().fetchDocument("http://127.0.0.1:" + std::to_string(unusedPort()) + "/");
    EXPECT_EQ(refused.failure, FetchFailure::Refused);
    EXPECT_EQ(refused.message, "connection refused");

    const FetchResult reset = fetch("/reset");
    EXPECT_EQ(reset.failure, FetchFailure::Refused) << reset.message;
    EXPECT_EQ(reset.body, "");

    // The reserved top-level domain never resolves.
    const FetchResult unknown = InternetSession().fetchDocument("http://no-such-host.invalid/");
    EXPECT_EQ(unknown.failure, FetchFailure::HostNotFound);
    EXPECT_EQ(unknown.message, "could not resolve host");
}

TEST_F(FetchReportTest, RefusedUrlsAndRunawayAnswersAreOtherFailures)
{
    const FetchResult scheme = InternetSession().fetchDocument("file:///etc/passwd");
    EXPECT_EQ(scheme.failure, FetchFailure::Other);
    EXPECT_EQ(scheme.message, "not an http, https or ftp URL");
    EXPECT_EQ(fetch("/redirect/11").message, "too many redirects");
    const FetchResult endless = fetch("/endless");
    EXPECT_EQ(endless.failure, FetchFailure::Other);
    EXPECT_EQ(endless.message, "document larger than 64 MiB, cut");
    EXPECT_EQ(endless.body.size(), InternetSession::kMaxDocumentBytes);
    const FetchResult partial = fetch("/partial");
    EXPECT_EQ(partial.failure, FetchFailure::Other);
    EXPECT_NE(partial.message, "");
    EXPECT_EQ(partial.body, pattern(100));
    const FetchResult noProxyMode
        = InternetSession(ConnectionConfig { 7, "", 0, false }).fetchDocument(s_server->url("/doc"));
    EXPECT_EQ(noProxyMode.failure, FetchFailure::Other);
}

TEST_F(FetchReportTest, SilentServerTimesOut)
{
    const ScopedEnv connect("ZR5_NET_CONNECT_SECONDS", "1");
    const ScopedEnv stall("ZR5_NET_STALL_SECONDS", "1");
    const FetchResult result = fetch("/silent");
    EXPECT_EQ(result.failure, FetchFailure::Timeout);
    EXPECT_EQ(result.message, "timed out after 2 s");
}

TEST_F(FetchReportTest, WholeFetchLimitKeepsWhatArrived)
{
    FetchResult result;
    const double seconds = secondsTaken([&] {
        result = fetch("/trickle", FetchControl { 2, nullptr, nullptr });
    });
    EXPECT_EQ(result.failure, FetchFailure::Timeout);
    EXPECT_EQ(result.message, "timed out after 2 s");
    expectPrefixOfPattern(result.body);
    EXPECT_LT(result.body.size(), 10u);
    EXPECT_LT(seconds, 10.0);
}

TEST_F(FetchReportTest, WholeFetchLimitCoversEveryRedirectHop)
{
    const FetchResult result = fetch("/redirect-to?url=/trickle", FetchControl { 1, nullptr, nullptr });
    EXPECT_EQ(result.failure, FetchFailure::Timeout);
    expectPrefixOfPattern(result.body);
}

TEST_F(FetchReportTest, CancelEndsAFetchWithinAboutASecond)
{
    std::atomic<bool> cancelled { false };
    const FetchControl control { 0, readFlag, &cancelled };
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        cancelled = true;
    });
    FetchResult result;
    const auto start = std::chrono::steady_clock::now();
    result = fetch("/trickle", control);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    canceller.join();
    EXPECT_EQ(result.failure, FetchFailure::Cancelled);
    EXPECT_EQ(result.message, "cancelled");
    expectPrefixOfPattern(result.body);
    EXPECT_LT(seconds, 2.5 + 2.0);

    // Already cancelled: a server that never answers is not waited for.
    EXPECT_LT(secondsTaken([&] { result = fetch("/silent", control); }), 5.0);
    EXPECT_EQ(result.failure, FetchFailure::Cancelled);
}

TEST_F(FetchReportTest, RedirectsToLinkLocalAddressesAreRefused)
{
    // Short time-outs, so that a broken check cannot hold the test.
    const ScopedEnv connect("ZR5_NET_CONNECT_SECONDS", "1");
    const ScopedEnv stall("ZR5_NET_STALL_SECONDS", "1");
    for (const char* target : { "http://169.254.1.1/", "http://169.254.169.254/latest/", "http://[fe80::1]/",
             "http://[::ffff:169.254.1.1]/" }) {
        const FetchResult result = fetch(std::string("/redirect-to?url=") + target);
        EXPECT_EQ(result.failure, FetchFailure::Other) << target;
        EXPECT_EQ(result.message, "redirect to a link-local address refused") << target;
        EXPECT_EQ(result.body, "") << target;
    }
    // Loopback targets of a redirect are still followed.
    EXPECT_EQ(fetch("/redirect-to?url=" + s_server->url("/doc")).failure, FetchFailure::None);
}

} // namespace
} // namespace zr5::script::net::test
