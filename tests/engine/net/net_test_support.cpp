#include "net_test_support.h"

#include "stop_child.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace zr5::script::net::test {

namespace {

sockaddr_in loopback(int port)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

bool acceptsNow(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = loopback(port);
    const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
{
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    m_pid = fork();
    if (m_pid == 0) {
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(pipeFds[1]);
    m_stdout = pipeFds[0];
    if (m_pid < 0)
        throw std::runtime_error("fork failed");
}

ChildProcess::~ChildProcess()
{
    zr5::test::stopChild(m_pid);
    close(m_stdout);
}

std::string ChildProcess::readLine()
{
    std::string line;
    pollfd entry { m_stdout, POLLIN, 0 };
    char byte = 0;
    while (poll(&entry, 1, 10000) == 1 && read(m_stdout, &byte, 1) == 1 && byte != '\n')
        line.push_back(byte);
    return line;
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name))
{
    if (const char* old = std::getenv(m_name.c_str()))
        m_saved = old;
    if (value)
        setenv(m_name.c_str(), value->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

ScopedEnv::~ScopedEnv()
{
    if (m_saved)
        setenv(m_name.c_str(), m_saved->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

NoProxyEnvironment::NoProxyEnvironment()
{
    for (const char* name : { "http_proxy", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "FTP_PROXY",
             "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY" })
        m_cleared.push_back(std::make_unique<ScopedEnv>(name, std::nullopt));
}

int unusedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(0);
    bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

bool waitUntilAccepting(int port)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!acceptsNow(port)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

TestHttpServer::TestHttpServer()
    : m_process(std::make_unique<ChildProcess>(
        std::vector<std::string> { ZR5_NET_PYTHON, "-u", ZR5_NET_TEST_SERVER }))
{
    const std::string httpLine = m_process->readLine();
    const std::string ftpLine = m_process->readLine();
    m_port = httpLine.empty() ? 0 : std::stoi(httpLine);
    m_ftpPort = ftpLine.empty() ? 0 : std::stoi(ftpLine);
    if (m_port == 0 || m_ftpPort == 0 || !waitUntilAccepting(m_port) || !waitUntilAccepting(m_ftpPort))
        throw std::runtime_error("the test servers did not start");
}

std::string TestHttpServer::ftpUrl(const std::string& path) const
{
    return "ftp://127.0.0.1:" + std::to_string(m_ftpPort) + path;
}

std::string TestHttpServer::url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

TinyProxy::TinyProxy()
    : m_port(unusedPort())
{
    std::string folderTemplate = (std::filesystem::temp_directory_path() / "zr5-proxy-XXXXXX").string();
    if (mkdtemp(folderTemplate.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_folder = folderTemplate;
    const std::string config = m_folder + "/tinyproxy.conf";
    std::ofstream(config) << "Port " << m_port << "\nListen 127.0.0.1\nAllow 127.0.0.1\n"
                          << "Timeout 30\nMaxClients 8\nLogLevel Info\n"
                          << "LogFile \"" << m_folder << "/tinyproxy.log\"\n";
    m_process = std::make_unique<ChildProcess>(std::vector<std::string> { "tinyproxy", "-d", "-c", config });
    if (!waitUntilAccepting(m_port))
        throw std::runtime_error("tinyproxy did not start");
}

TinyProxy::~TinyProxy()
{
    m_process.reset();
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

std::string pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

} // namespace zr5::script::net::test
