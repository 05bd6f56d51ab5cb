// Arbitrary bytes as a news script: loaded from a file like the host does,
// then every category run. Scripts may loop forever legally, so the fuzzer
// turns on the engine's run budget (check points in every loop iteration and
// call, and a cap on texts built with "+"); a run that exceeds it ends with
// an error like any other failed run. Fetches are made to fail at once.
#include "api/script_engine.h"
#include "interp/run_limits.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr std::uint64_t kCheckPoints = 20000;
constexpr std::uint64_t kLongestText = 1 << 16;
// Any mode beyond the three known ones makes every document fetch fail.
constexpr std::int32_t kNoNetwork = 99;

std::string g_path;

void prepare()
{
    char pattern[] = "/tmp/zr5-script-fuzz-XXXXXX";
    const int descriptor = mkstemp(pattern);
    if (descriptor < 0) {
        std::abort();
    }
    close(descriptor);
    g_path = pattern;
    // Scripts print with "@"; keep that out of the fuzzer's own output.
    if (!std::freopen("/dev/null", "w", stdout)) {
        std::abort();
    }
    zr5::script::setRunBudget({ kCheckPoints, kLongestText });
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream file(g_path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    zr5::script::ScriptEngine engine;
    const ConnectionSettings offline { kNoNetwork, nullptr, 0, 0 };
    engine.SetConnection(&offline);
    engine.SetDisplayCallback(nullptr, nullptr);
    if (engine.Load(g_path.c_str()) == ZR5S_LOAD_OK) {
        for (std::int32_t i = 0; i < engine.GetCategoryCount(); ++i) {
            engine.RunCategory(i);
        }
    }
    return 0;
}
