// libFuzzer target: any bytes as an OPML file. Reading must not crash or hang,
// every site must have a URL and a name, and once written out and read back
// the sites must stay as they are through every further round.
#include "core/opml.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace zr5::core;
    std::optional<std::vector<OpmlSite>> sites
        = readOpml(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!sites) {
        return 0;
    }
    for (const OpmlSite& site : *sites) {
        if (site.url.empty() || site.name.empty()) {
            std::abort();
        }
    }
    // The first round may still fold look-alike characters together.
    std::optional<std::vector<OpmlSite>> again = readOpml(writeOpml(*sites, "fuzz"));
    if (!again || readOpml(writeOpml(*again, "fuzz")) != again) {
        std::abort();
    }
    return 0;
}
