// Helpers shared by the core tests: scratch folders and file contents.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace zr5::core::test {

// A fresh folder removed with everything in it when the object goes.
class ScratchFolder final {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view bytes);
// Shift_JIS bytes of UTF-8 text, for readable test data.
std::string sjis(std::string_view utf8);

} // namespace zr5::core::test

namespace zr5::core::test {

// patrol_server.py serving folder on 127.0.0.1, stopped with the object.
class TestServer final {
public:
    explicit TestServer(const std::filesystem::path& folder);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    int port() const { return m_port; }
    std::string url(std::string_view path) const; // path starts with '/'
    // A request made with a plain socket (no engine involved).
    std::string get(std::string_view path) const;

private:
    int m_pid = -1;
    int m_port = 0;
};

} // namespace zr5::core::test
