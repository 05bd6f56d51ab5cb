#include "core/profile_file.h"
#include "core/settings.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using namespace zr5::core;

// A settings file of count site entries plus the usual sections.
std::string settingsFile(int count)
{
    std::string text = "[Script]\r\nCount=" + std::to_string(count) + "\r\n";
    char key[16];
    for (int i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, "%04d", i);
        text += std::string(key) + "=R,*,Site " + std::to_string(i) + ",http://example.com/feeds/"
            + std::to_string(i) + "/rss.xml\r\n";
    }
    text += "[Timer]\r\nReload=30\r\n[Window]\r\nSkin=Blue\r\nX=10\r\nY=10\r\n[Proxy]\r\nType=0\r\n";
    return text;
}

void parseAndRead(benchmark::State& state)
{
    const std::string text = settingsFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ProfileFile file = ProfileFile::parse(text);
        std::size_t total = 0;
        for (std::int64_t i : file.numberedKeys("Script")) {
            char key[16];
            std::snprintf(key, sizeof key, "%04d", static_cast<int>(i));
            total += file.readString("Script", key, "").size();
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(parseAndRead)->Arg(1000)->Arg(10000);

// Engine instances are made once, outside the timing: one per site.
void loadAndStoreSettings(benchmark::State& state)
{
    const std::string text = settingsFile(static_cast<int>(state.range(0)));
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "zr5_settings_bench.ini";
    ScriptList scripts;
    Settings settings = loadSettings(ProfileFile::parse(text), scripts);
    for (auto _ : state) {
        ProfileFile file = ProfileFile::parse(text);
        storeSettings(file, scripts, settings);
        benchmark::DoNotOptimize(file.save(path));
    }
    std::filesystem::remove(path);
}
BENCHMARK(loadAndStoreSettings)->Arg(1000);

} // namespace

BENCHMARK_MAIN();
