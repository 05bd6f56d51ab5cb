#include "core/patrol_report.h"

#include "core/messages.h"

#include <algorithm>
#include <array>

namespace zr5::core {
namespace {

std::string_view reasonText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Headlines:
        break;
    case Outcome::HostNotFound:
        return messages::kHostNotFound;
    case Outcome::Refused:
        return messages::kRefused;
    case Outcome::TimedOut:
        return messages::kTimedOut;
    case Outcome::HttpStatus:
        return messages::kHttpStatus;
    case Outcome::FetchFailed:
        return messages::kFetchFailed;
    case Outcome::NotAFeed:
        return messages::kNotAFeed;
    case Outcome::SyntaxError:
        return messages::kSyntaxError;
    case Outcome::RunError:
        return messages::kRunError;
    case Outcome::RunLimit:
        return messages::kRunLimit;
    case Outcome::Cancelled:
        return messages::kCancelled;
    }
    return {};
}

// "HH:MM" in local time; the time of day is all a ticker user needs.
std::string clockTime(std::time_t when)
{
    std::tm parts {};
    std::array<char, 16> buffer {};
    if (!localtime_r(&when, &parts) || std::strftime(buffer.data(), buffer.size(), "%H:%M", &parts) == 0) {
        return "--:--";
    }
    return buffer.data();
}

} // namespace

bool isFailure(const EntryResult& result)
{
    return result.outcome != Outcome::Headlines && result.outcome != Outcome::Cancelled;
}

std::string describeOutcome(const EntryResult& result)
{
    if (result.outcome == Outcome::Headlines) {
        return std::to_string(result.headlines) + std::string(messages::kHeadlineCountSuffix);
    }
    std::string line(reasonText(result.outcome));
    if (!result.detail.empty()) {
        line += ' ';
        // One line: engine texts may span several.
        std::replace_copy_if(
            result.detail.begin(), result.detail.end(), std::back_inserter(line),
            [](char c) { return c == '\n' || c == '\r'; }, ' ');
        line.erase(line.find_last_not_of(' ') + 1);
    }
    return line;
}

std::string describeResult(const EntryResult& result)
{
    return clockTime(result.finishedAt) + ' ' + describeOutcome(result);
}

const EntryResult* PatrolReport::find(std::string_view scriptName, std::string_view category) const
{
    auto found = std::find_if(m_entries.begin(), m_entries.end(),
        [&](const EntryResult& e) { return e.scriptName == scriptName && e.category == category; });
    return found == m_entries.end() ? nullptr : &*found;
}

bool PatrolReport::hasFailures() const
{
    return std::any_of(m_entries.begin(), m_entries.end(), isFailure);
}

} // namespace zr5::core
