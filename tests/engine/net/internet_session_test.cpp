#include "net/internet_session.h"
#include "net_test_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <netinet/in.h>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace zr5::script::net::test {
namespace {

using namespace std::chrono_literals;

class InternetSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_server = std::make_unique<TestHttpServer>(); }
    static void TearDownTestSuite() { s_server.reset(); }

    static std::string fetch(const std::string& path) { return InternetSession().fetch(s_server->url(path)); }

    static std::unique_ptr<TestHttpServer> s_server;
    NoProxyEnvironment m_environment;
};

std::unique_ptr<TestHttpServer> InternetSessionTest::s_server;

// Seconds a call took, to prove a time-out fired instead of the 60 s default.
template <typename Call> double secondsTaken(Call call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(InternetSessionTest, ReturnsTheBodyWhateverTheStatus)
{
    EXPECT_EQ(fetch("/doc"), "<html><title>Top News</title></html>\n");
    EXPECT_EQ(fetch("/missing"), "<html>the page is gone</html>");
    EXPECT_EQ(fetch("/sized/0"), "");
    // Zero bytes are document bytes too.
    EXPECT_EQ(fetch("/sized/1000"), pattern(1000));
}

TEST_F(InternetSessionTest, SessionsOnSeveralThreadsFetchIndependently)
{
    const ScopedEnv debug("ZR5_DEBUG", "1");
    std::vector<std::string> bodies(4);
    std::vector<std::thread> threads;
    ::testing::internal::CaptureStderr();
    for (std::size_t i = 0; i < bodies.size(); ++i)
        threads.emplace_back([&bodies, i] { bodies[i] = fetch("/sized/" + std::to_string(300000 + i)); });
    for (std::thread& thread : threads)
        thread.join();
    const std::string trace = ::testing::internal::GetCapturedStderr();
    for (std::size_t i = 0; i < bodies.size(); ++i)
        EXPECT_EQ(bodies[i], pattern(300000 + i));
    // Lines from different threads never run into each other.
    std::multiset<std::string> lines;
    std::istringstream stream(trace);
    for (std::string line; std::getline(stream, line);)
        lines.insert(line);
    const std::multiset<std::string> expected { "262144", "262144", "262144", "262144", "37856", "37857",
        "37858", "37859" };
    EXPECT_EQ(lines, expected) << trace;
}

TEST_F(InternetSessionTest, SendsTheProductUserAgent)
{
    EXPECT_NE(fetch("/headers").find("User-Agent: Zephyrant/2.00\n"), std::string::npos);
}

TEST_F(InternetSessionTest, FollowsAtMostTenRedirects)
{
    EXPECT_EQ(fetch("/redirect/1"), "arrived");
    EXPECT_EQ(fetch("/redirect/10"), "arrived");
    EXPECT_EQ(fetch("/redirect/11"), "");
    EXPECT_EQ(fetch("/loop"), "");
}

TEST_F(InternetSessionTest, TellsWhereTheLastHopWasAndItsCharset)
{
    const FetchResult moved = InternetSession().fetchDocument(s_server->url("/redirect/2"));
    EXPECT_EQ(moved.body, "arrived");
    EXPECT_EQ(moved.finalUrl, s_server->url("/redirect/0"));
    EXPECT_EQ(moved.charset, ""); // "text/html" names none
    EXPECT_EQ(InternetSession().fetchDocument(s_server->url("/doc")).finalUrl, s_server->url("/doc"));
}

TEST(ContentTypeCharset, ReadsTheParameterAsSitesWriteIt)
{
    EXPECT_EQ(charsetOf("text/xml; charset=UTF-8"), "UTF-8");
    EXPECT_EQ(charsetOf("text/xml;CHARSET=\"Shift_JIS\""), "Shift_JIS");
    EXPECT_EQ(charsetOf("application/rss+xml; q=1 ;  charset = euc-jp  ; x=y"), "euc-jp");
    EXPECT_EQ(charsetOf("text/xml"), "");
    EXPECT_EQ(charsetOf("text/xml; charsets=x; notcharset=y"), "");
    EXPECT_EQ(charsetOf(""), "");
}

TEST_F(InternetSessionTest, FetchesOnlyHttpHttpsAndFtpUrls)
{
    const std::string port = std::to_string(s_server->port());
    EXPECT_EQ(InternetSession().fetch("file:///etc/passwd"), "");
    EXPECT_EQ(InternetSession().fetch("FILE:///etc/hostname"), "");
    EXPECT_EQ(fetch("/redirect-to?url=file:///etc/passwd"), "");
    EXPECT_EQ(InternetSession().fetch("dict://127.0.0.1:" + port + "/doc"), "");
    EXPECT_EQ(InternetSession().fetch("127.0.0.1:" + port + "/doc"), "");
    EXPECT_EQ(InternetSession().fetch(""), "");
    EXPECT_EQ(InternetSession().fetch("HTTP://127.0.0.1:" + port + "/doc"), fetch("/doc"));
}

TEST_F(InternetSessionTest, FetchesFtpDocuments)
{
    EXPECT_EQ(InternetSession().fetch(s_server->ftpUrl("/doc.txt")), "ftp document\r\n");
    EXPECT_EQ(InternetSession().fetch(s_server->ftpUrl("/absent.txt")), "");
}

TEST_F(InternetSessionTest, EncodesSpacesAndHighBytesInTheUrl)
{
    EXPECT_EQ(fetch("/path/a b?q=x y"), "/path/a%20b?q=x%20y");
    EXPECT_EQ(fetch("/path/\x83\x6a\x83\x85"), "/path/%83j%83%85");
}

TEST_F(InternetSessionTest, UnreachableServerYieldsNothing)
{
    EXPECT_EQ(InternetSession().fetch("http://127.0.0.1:" + std::to_string(unusedPort()) + "/"), "");
}

TEST_F(InternetSessionTest, ReportsEachReadChunkOnlyWhenDebugging)
{
    {
        const ScopedEnv debug("ZR5_DEBUG", "1");
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(fetch("/sized/262144"), pattern(262144));
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "262144\n");
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(fetch("/sized/600000").size(), 600000u);
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "262144\n262144\n75712\n");
    }
    const ScopedEnv quiet("ZR5_DEBUG", std::nullopt);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(fetch("/sized/300000").size(), 300000u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(InternetSessionTest, KeepsWhatArrivedBeforeTheConnectionBroke)
{
    EXPECT_EQ(fetch("/partial"), pattern(100));
}

TEST_F(InternetSessionTest, StalledServerYieldsThePartReadAfterTheStallTimeOut)
{
    const ScopedEnv stall("ZR5_NET_STALL_SECONDS", "1");
    std::string body;
    EXPECT_LT(secondsTaken([&] { body = fetch("/stall"); }), 30.0);
    EXPECT_EQ(body, pattern(10));
}

TEST_F(InternetSessionTest, ServerThatNeverAnswersIsGivenUp)
{
    const ScopedEnv connect("ZR5_NET_CONNECT_SECONDS", "1");
    const ScopedEnv stall("ZR5_NET_STALL_SECONDS", "1");
    std::string body = "unchanged";
    EXPECT_LT(secondsTaken([&] { body = fetch("/silent"); }), 30.0);
    EXPECT_EQ(body, "");
}

// A listener whose accept queue is full drops further SYNs, so a connect to
// it hangs until the client gives up.
class FullListener final {
public:
    FullListener()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        listen(m_listener, 0);
        socklen_t length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        for (int& filler : m_fillers) {
            filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(filler, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        }
    }
    ~FullListener()
    {
        for (const int filler : m_fillers)
            close(filler);
        close(m_listener);
    }
    FullListener(const FullListener&) = delete;
    FullListener& operator=(const FullListener&) = delete;
    int port() const { return m_port; }

private:
    int m_listener = -1;
    int m_fillers[3] = { -1, -1, -1 };
    int m_port = 0;
};

TEST_F(InternetSessionTest, ConnectTimeOutEndsAHangingConnect)
{
    const FullListener listener;
    const ScopedEnv connect("ZR5_NET_CONNECT_SECONDS", "1");
    const ScopedEnv stall("ZR5_NET_STALL_SECONDS", "1");
    std::string body = "unchanged";
    const double seconds = secondsTaken(
        [&] { body = InternetSession().fetch("http://127.0.0.1:" + std::to_string(listener.port()) + "/"); });
    EXPECT_EQ(body, "");
    EXPECT_LT(seconds, 30.0);
}

TEST_F(InternetSessionTest, EndlessBodyIsCutAtTheSizeCap)
{
    const std::string body = fetch("/endless");
    ASSERT_EQ(body.size(), InternetSession::kMaxDocumentBytes);
    EXPECT_TRUE(body == pattern(InternetSession::kMaxDocumentBytes));
}

TEST_F(InternetSessionTest, BodyOfExactlyTheCapIsWhole)
{
    const std::string body = fetch("/sized/" + std::to_string(InternetSession::kMaxDocumentBytes));
    EXPECT_EQ(body.size(), InternetSession::kMaxDocumentBytes);
}

} // namespace
} // namespace zr5::script::net::test
