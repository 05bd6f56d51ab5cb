// OPML, the file feed readers swap their subscriptions in: reading the RSS
// sites out of one, and writing the registered sites as one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::core {

// Shift_JIS, as the script list holds it.
struct OpmlSite {
    std::string name;
    std::string url;

    bool operator==(const OpmlSite&) const = default;
};

// Larger files are not read at all.
inline constexpr std::size_t kMaxOpmlBytes = 64u << 20;

// Every outline with an xmlUrl, folders flattened, in the file's order, each
// URL once. The name is the outline's title, else its text, else the URL;
// characters Shift_JIS lacks become the geta mark in names and are
// percent-encoded (as UTF-8) in URLs. The file's own encoding declaration
// decides; broken XML gives what can be recovered. Entities are never
// expanded and nothing outside the bytes is ever loaded. Empty when the bytes
// hold no <opml> document.
std::optional<std::vector<OpmlSite>> readOpml(std::string_view bytes);

// An OPML 2.0 document in UTF-8 with title and one rss outline per site.
std::string writeOpml(const std::vector<OpmlSite>& sites, std::string_view title);

} // namespace zr5::core
