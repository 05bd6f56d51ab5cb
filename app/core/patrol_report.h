// What a patrol came to, entry by entry: each checked category of each
// enabled script and each enabled site, with its headline count or the reason
// it gave none. The patrol fills one on its worker; the main thread reads the
// finished one through Patrol::lastReport().
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace zr5::core {

enum class Outcome {
    Headlines,
    HostNotFound,
    Refused,
    TimedOut,
    HttpStatus,
    FetchFailed,
    NotAFeed,
    SyntaxError,
    RunError,
    RunLimit,
    Cancelled
};

struct EntryResult {
    std::string scriptName; // Shift_JIS: script file name or site name
    std::string category; // empty for sites and for a script that did not load
    std::time_t finishedAt = 0;
    std::int32_t headlines = 0;
    Outcome outcome = Outcome::Headlines;
    std::string detail; // Shift_JIS: error text, URL, status...
};

// Whether the entry needs the user's attention. A cancelled entry does not:
// the user asked for it.
bool isFailure(const EntryResult& result);

// One line for people, Shift_JIS: "12:03 5件" or the time, the reason and the detail.
std::string describeResult(const EntryResult& result);
// The same without the time: "5件" or the reason and the detail.
std::string describeOutcome(const EntryResult& result);

class PatrolReport final {
public:
    // Null when the patrol had no such entry.
    const EntryResult* find(std::string_view scriptName, std::string_view category) const;
    const std::vector<EntryResult>& entries() const { return m_entries; }
    bool hasFailures() const;

    void add(EntryResult result) { m_entries.push_back(std::move(result)); }

private:
    std::vector<EntryResult> m_entries;
};

} // namespace zr5::core
