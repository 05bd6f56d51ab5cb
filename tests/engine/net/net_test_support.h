// Real helper processes for the fetch tests: the local HTTP server and
// tinyproxy, started per test suite and always stopped.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zr5::script::net::test {

// A child process, sent SIGTERM and reaped when the object goes.
class ChildProcess final {
public:
    // stdout of the child becomes readable through readLine().
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // One line of the child's output, without the line feed; empty after
    // 10 s of silence or at the end.
    std::string readLine();

private:
    int m_pid = -1;
    int m_stdout = -1;
};

// Sets or unsets an environment variable and restores it afterwards.
class ScopedEnv final {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_saved;
};

// Clears every proxy variable curl reads, so that the machine's own proxy
// settings never leak into a test; restores them afterwards.
class NoProxyEnvironment final {
public:
    NoProxyEnvironment();

private:
    std::vector<std::unique_ptr<ScopedEnv>> m_cleared;
};

// A loopback port nothing listens on (bound once, then released).
int unusedPort();

// Waits up to 10 s for 127.0.0.1:port to accept; false if it never does.
bool waitUntilAccepting(int port);

// The local HTTP and FTP servers of http_test_server.py.
class TestHttpServer final {
public:
    TestHttpServer();
    int port() const { return m_port; }
    std::string url(const std::string& path) const;
    std::string ftpUrl(const std::string& path) const;

private:
    std::unique_ptr<ChildProcess> m_process;
    int m_port = 0;
    int m_ftpPort = 0;
};

// tinyproxy in the foreground on a free loopback port, configured in a
// temporary folder that is removed afterwards.
class TinyProxy final {
public:
    TinyProxy();
    ~TinyProxy();
    TinyProxy(const TinyProxy&) = delete;
    TinyProxy& operator=(const TinyProxy&) = delete;
    int port() const { return m_port; }

private:
    std::string m_folder;
    std::unique_ptr<ChildProcess> m_process;
    int m_port = 0;
};

// The bytes the server's pattern routes send: 0, 1, ... 250, 0, 1, ...
std::string pattern(std::size_t size);

} // namespace zr5::script::net::test
