// What the host hands the engine for all instances at once: the display
// callback, the connection settings and the fetch limits; and what the
// fetches of the current load or run came to. Process-wide by design (the
// host serialises every call into the engine), read by Display/_Notify and
// by Document.open and Feed.open.
#pragma once

#include "api/zr5script.h"
#include "net/internet_session.h"

#include <string>

namespace zr5::script {

// The fetches of one load or category run, for GetFetchReport.
struct FetchTally {
    std::int32_t fetches = 0;
    std::int32_t failures = 0;
    std::int32_t lastFailure = ZR5S_FETCH_OK;
    std::int32_t httpStatus = 0;
    std::string url;
    std::string message;

    void record(const std::string& fetchedUrl, const net::FetchResult& result);
};

struct HostState {
    DisplayCallback callback = nullptr;
    void* userData = nullptr;
    net::ConnectionConfig connection;
    net::FetchControl fetchControl;
    FetchTally fetches;
};

HostState& hostState();

// A script's fetch (Document.open, Feed.open): through the host's connection
// and fetch limits, off the run's own clock, and counted in the tally.
net::FetchResult fetchForScript(const std::string& url);

// Ends the run when the fetch was cancelled; called once what arrived is
// stored, which a cancel keeps as everywhere else.
void stopIfCancelled(const net::FetchResult& fetched);

// Copies a host record; null resets to the defaults (system settings).
void setConnection(const ConnectionSettings* settings);

// Copies a host record into the fetch and script limits; null resets to no
// bounds and no cancelling.
void setRunLimits(const RunLimits* limits);

} // namespace zr5::script
