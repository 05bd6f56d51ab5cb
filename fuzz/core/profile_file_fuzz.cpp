// libFuzzer target: any bytes as zr5.ini. Reading must not crash or hang, the
// run limits must come out in range, and whatever is written through the
// class must read back after a save.
#include "core/profile_file.h"
#include "core/settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zr5::core;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ProfileFile file = ProfileFile::parse(bytes);
    file.numberedKeys("Script");
    for (const char* key : { "Count", "0000", "Reload", "Skin", "Port" }) {
        file.readInt("Script", key, 0);
        file.readString("Window", key, "");
    }
    // Settings without scripts: only N entries are looked up, no engine needed.
    ScriptList scripts;
    Settings settings = loadSettings(file, scripts);
    // Whatever the file says, a run stays bounded.
    for (std::int32_t seconds : { settings.scriptLimitSeconds, settings.fetchLimitSeconds }) {
        if (seconds < 1 || seconds > 86400) {
            std::abort();
        }
    }
    std::string value = bytes.substr(0, 64);
    file.writeString("Fuzz", "Key", value);
    storeSettings(file, scripts, settings);
    ProfileFile again = ProfileFile::parse(file.serialize());
    std::string skin = settings.window.skin;
    for (char& c : skin) {
        c = c == '\r' ? ' ' : c; // line breaks are written as spaces
    }
    if (again.readInt("Proxy", "Port", -1) != settings.proxy.port
        || again.readString("Window", "Skin", "") != skin) {
        std::abort();
    }
    return 0;
}
