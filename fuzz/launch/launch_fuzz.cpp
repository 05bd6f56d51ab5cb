// libFuzzer target: any bytes as zr5a's command line (arguments split at NUL
// bytes) and as a start-at-login desktop entry. Parsing must not crash or
// hang, a usage error must come with its message, and the entry must read as
// one of its three states.
#include "core/autostart.h"
#include "launch/command_line.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

void parseArguments(const std::string& bytes)
{
    std::vector<std::string> words { "zr5a" };
    std::string::size_type start = 0;
    while (start <= bytes.size()) {
        const std::string::size_type end = std::min(bytes.find('\0', start), bytes.size());
        words.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char*> argv;
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    const zr5::launch::CommandLine line = zr5::launch::parseCommandLine(argv);
    if (line.action == zr5::launch::LaunchAction::UsageError && zr5::launch::usageErrorText(line).empty()) {
        std::abort();
    }
}

// The entry is read from a file: one per process, removed when it ends.
struct EntryFile {
    std::filesystem::path path = std::filesystem::temp_directory_path()
        / ("zr5-launch-fuzz-" + std::to_string(::getpid()) + ".desktop");
    ~EntryFile()
    {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

void readEntry(const std::string& bytes)
{
    static const EntryFile file;
    std::ofstream(file.path, std::ios::binary | std::ios::trunc) << bytes;
    const zr5::core::AutostartState state = zr5::core::readAutostart(file.path);
    if (state != zr5::core::AutostartState::Off && state != zr5::core::AutostartState::On
        && state != zr5::core::AutostartState::Stale) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    parseArguments(bytes);
    readEntry(bytes);
    return 0;
}
