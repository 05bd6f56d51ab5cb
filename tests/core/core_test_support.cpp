#include "core_test_support.h"

#include "core/text_codec.h"
#include "stop_child.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace zr5::core::test {

ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zr5core-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = name.data();
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    std::filesystem::permissions(
        m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(m_path, error);
}

std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void writeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string sjis(std::string_view utf8)
{
    return utf8ToCp932(utf8);
}

} // namespace zr5::core::test

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace zr5::core::test {

TestServer::TestServer(const std::filesystem::path& folder)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    // A server left behind by a crashed test must not hold the test's output open.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::string script = ZR5_CORE_TEST_SERVER;
    std::string root = folder.string();
    char python[] = "python3";
    char* argv[] = { python, script.data(), root.data(), nullptr };
    pid_t pid = -1;
    int rc = ::posix_spawnp(&pid, "python3", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        throw std::runtime_error("cannot start python3");
    }
    m_pid = pid;
    std::string line;
    char c = 0;
    while (::read(pipeFds[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    ::close(pipeFds[0]);
    m_port = std::atoi(line.c_str());
    if (m_port <= 0) {
        throw std::runtime_error("test server did not start");
    }
}

TestServer::~TestServer()
{
    zr5::test::stopChild(m_pid);
}

std::string TestServer::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + std::string(path);
}

std::string TestServer::get(std::string_view path) const
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(m_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string request = "GET " + std::string(path) + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        ::send(fd, request.data(), request.size(), 0);
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
            response.append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    std::size_t body = response.find("\r\n\r\n");
    return body == std::string::npos ? "" : response.substr(body + 4);
}

} // namespace zr5::core::test
