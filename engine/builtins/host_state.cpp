#include "builtins/host_state.h"

#include "interp/run_limits.h"
#include "lang/messages.h"

namespace zr5::script {

namespace {

// The engine's fetch failures are the public kinds, number for number.
static_assert(static_cast<std::int32_t>(net::FetchFailure::None) == ZR5S_FETCH_OK);
static_assert(static_cast<std::int32_t>(net::FetchFailure::HostNotFound) == ZR5S_FETCH_HOST_NOT_FOUND);
static_assert(static_cast<std::int32_t>(net::FetchFailure::Refused) == ZR5S_FETCH_REFUSED);
static_assert(static_cast<std::int32_t>(net::FetchFailure::Timeout) == ZR5S_FETCH_TIMEOUT);
static_assert(static_cast<std::int32_t>(net::FetchFailure::HttpStatus) == ZR5S_FETCH_HTTP_STATUS);
static_assert(static_cast<std::int32_t>(net::FetchFailure::Cancelled) == ZR5S_FETCH_CANCELLED);
static_assert(static_cast<std::int32_t>(net::FetchFailure::Other) == ZR5S_FETCH_OTHER);

} // namespace

void FetchTally::record(const std::string& fetchedUrl, const net::FetchResult& result)
{
    ++fetches;
    if (result.failure == net::FetchFailure::None) {
        return;
    }
    ++failures;
    lastFailure = static_cast<std::int32_t>(result.failure);
    httpStatus = static_cast<std::int32_t>(result.httpStatus);
    url = fetchedUrl;
    message = result.message;
}

HostState& hostState()
{
    static HostState state;
    return state;
}

net::FetchResult fetchForScript(const std::string& url)
{
    net::FetchResult fetched;
    {
        const ClockPause pause;
        fetched = net::InternetSession(hostState().connection, hostState().fetchControl).fetchDocument(url);
    }
    hostState().fetches.record(url, fetched);
    return fetched;
}

void stopIfCancelled(const net::FetchResult& fetched)
{
    if (fetched.failure == net::FetchFailure::Cancelled) {
        throw RunStopped(StopReason::Cancelled, messages::kRunCancelled);
    }
}

void setConnection(const ConnectionSettings* settings)
{
    net::ConnectionConfig& config = hostState().connection;
    if (!settings) {
        config = {};
        return;
    }
    config.proxyMode = settings->proxyMode;
    config.proxyAddress = settings->proxyAddress ? settings->proxyAddress : "";
    config.proxyPort = settings->proxyPort;
    config.bypassLocal = settings->bypassLocal != 0;
}

void setRunLimits(const RunLimits* limits)
{
    const RunLimits none {};
    const RunLimits& given = limits ? *limits : none;
    hostState().fetchControl = { given.fetchSeconds, given.cancel, given.cancelData };
    setScriptLimits({ given.scriptSeconds, given.valueBytes, given.cancel, given.cancelData });
}

} // namespace zr5::script
