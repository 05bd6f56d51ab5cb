#include "net/internet_session.h"
#include "net_test_support.h"

#include <gtest/gtest.h>
#include <memory>

namespace zr5::script::net::test {
namespace {

// Names under .invalid never resolve, so only a proxy can answer for them
// (tinyproxy with its own error page).
constexpr const char* kRemoteUrl = "http://zr5-test.invalid/";

class ProxyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_server = std::make_unique<TestHttpServer>();
        s_proxy = std::make_unique<TinyProxy>();
    }
    static void TearDownTestSuite()
    {
        s_proxy.reset();
        s_server.reset();
    }

    static ConnectionConfig named(int port, bool bypassLocal)
    {
        return ConnectionConfig { 2, "127.0.0.1", port, bypassLocal };
    }
    static std::string proxyUrl(int port) { return "http://127.0.0.1:" + std::to_string(port); }
    static bool viaProxy(const std::string& echoedHeaders)
    {
        return echoedHeaders.find("Via: ") != std::string::npos
            && echoedHeaders.find("tinyproxy") != std::string::npos;
    }

    static std::unique_ptr<TestHttpServer> s_server;
    static std::unique_ptr<TinyProxy> s_proxy;
    NoProxyEnvironment m_environment;
};

std::unique_ptr<TestHttpServer> ProxyTest::s_server;
std::unique_ptr<TinyProxy> ProxyTest::s_proxy;

TEST_F(ProxyTest, NamedProxyCarriesEveryRequest)
{
    const std::string headers
        = InternetSession(named(s_proxy->port(), false)).fetch(s_server->url("/headers"));
    EXPECT_TRUE(viaProxy(headers)) << headers;
    // Loopback too, and an environment no_proxy does not open a side door.
    const ScopedEnv noProxy("no_proxy", "127.0.0.1,localhost");
    EXPECT_EQ(InternetSession(named(unusedPort(), false)).fetch(s_server->url("/doc")), "");
}

TEST_F(ProxyTest, BypassLocalGoesDirectToLoopbackAndDotlessHosts)
{
    const InternetSession session(named(unusedPort(), true));
    const std::string headers = session.fetch(s_server->url("/headers"));
    EXPECT_NE(headers.find("User-Agent: Zephyrant/2.00"), std::string::npos);
    EXPECT_FALSE(viaProxy(headers));
    const std::string localhost = "http://localhost:" + std::to_string(s_server->port()) + "/doc";
    EXPECT_EQ(session.fetch(localhost), "<html><title>Top News</title></html>\n");
}

TEST_F(ProxyTest, BypassLocalStillProxiesOtherHostsAtEveryHop)
{
    const InternetSession session(named(s_proxy->port(), true));
    const std::string direct = session.fetch(kRemoteUrl);
    EXPECT_NE(direct.find("tinyproxy"), std::string::npos) << direct;
    // The first hop is local and direct, the hop it redirects to is not.
    const std::string redirected = session.fetch(s_server->url("/redirect-to?url=") + kRemoteUrl);
    EXPECT_NE(redirected.find("tinyproxy"), std::string::npos) << redirected;
}

TEST_F(ProxyTest, WithoutBypassARemoteNameFailsDirect)
{
    EXPECT_EQ(InternetSession(ConnectionConfig { 1, "", 0, false }).fetch(kRemoteUrl), "");
}

TEST_F(ProxyTest, DirectModeIgnoresTheEnvironmentProxy)
{
    const ScopedEnv deadProxy("http_proxy", proxyUrl(unusedPort()));
    const ConnectionConfig direct { 1, "127.0.0.1", unusedPort(), false };
    EXPECT_EQ(InternetSession(direct).fetch(s_server->url("/doc")), "<html><title>Top News</title></html>\n");
}

TEST_F(ProxyTest, SystemModeFollowsTheEnvironmentProxy)
{
    {
        const ScopedEnv deadProxy("http_proxy", proxyUrl(unusedPort()));
        EXPECT_EQ(InternetSession().fetch(s_server->url("/doc")), "");
        EXPECT_EQ(InternetSession(ConnectionConfig {}).fetch(s_server->url("/doc")), "");
    }
    const ScopedEnv liveProxy("http_proxy", proxyUrl(s_proxy->port()));
    EXPECT_TRUE(viaProxy(InternetSession().fetch(s_server->url("/headers"))));
}

TEST_F(ProxyTest, UnknownProxyModeFailsEveryFetch)
{
    for (const int mode : { 3, -1, 100 }) {
        const ConnectionConfig config { mode, "127.0.0.1", s_proxy->port(), true };
        EXPECT_EQ(InternetSession(config).fetch(s_server->url("/doc")), "") << mode;
    }
}

TEST_F(ProxyTest, MalformedNamedProxyFails)
{
    for (const ConnectionConfig& config :
        { ConnectionConfig { 2, "", s_proxy->port(), false }, ConnectionConfig { 2, "127.0.0.1", -1, false },
            ConnectionConfig { 2, "127.0.0.1", 70000, false } })
        EXPECT_EQ(InternetSession(config).fetch(s_server->url("/doc")), "")
            << config.proxyAddress << ":" << config.proxyPort;
}

} // namespace
} // namespace zr5::script::net::test
