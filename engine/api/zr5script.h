// zr5script: the news-script engine's public boundary.
//
// This header is everything a host (the ticker, zr5run, tests) may use of the
// engine. It compiles on its own and depends on nothing but <cstdint>.
//
// Ownership across the boundary: instances are created and destroyed only by
// the exports below; strings returned by an instance stay owned by it; a
// ConnectionSettings record passed in is copied; a DisplayRecord and its strings
// live only for the duration of one callback.
#ifndef ZR5SCRIPT_H
#define ZR5SCRIPT_H

#include <cstdint>

#if defined(ZR5SCRIPT_BUILDING)
#define ZR5S_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define ZR5S_EXPORT extern "C"
#endif

// Proxy modes of ConnectionSettings::proxyMode.
enum : std::int32_t {
    ZR5S_PROXY_SYSTEM = 0, // the system's settings (proxy environment variables)
    ZR5S_PROXY_DIRECT = 1, // no proxy
    ZR5S_PROXY_NAMED = 2, // proxyAddress:proxyPort
};

struct ConnectionSettings {
    std::int32_t proxyMode;
    const char* proxyAddress; // null counts as ""
    std::int32_t proxyPort;
    std::uint8_t bypassLocal; // nonzero: no proxy for local hosts
};

// Kinds of DisplayRecord::kind.
enum : std::int32_t {
    ZR5S_KIND_HEADLINE = 0, // Display(title, link, extra)
    ZR5S_KIND_NOTIFY = 1, // _Notify(name, value)
};

struct DisplayRecord {
    const char* text1;
    const char* text2;
    const char* text3; // null for notifications
    std::int32_t kind;
};

using DisplayCallback = void (*)(const DisplayRecord* record, void* userData);

// Asked often while a script runs and while a document is fetched (at least
// once a second): nonzero stops the run. A fetch then keeps what arrived and
// the run ends with ZR5S_RUN_CANCELLED. Called on the thread running the
// script, without any lock of the engine's: it must only read a flag.
using CancelCallback = std::int32_t (*)(void* userData);

// Bounds on every category run and load, for all instances at once (like the
// connection settings). Zero means no bound.
struct RunLimits {
    std::uint32_t scriptSeconds; // the run's own time; waits for documents do not count
    std::uint32_t fetchSeconds; // one whole document fetch; what arrived by then is kept
    std::uint64_t valueBytes; // memory the run's values may take beyond what they took at its start
    CancelCallback cancel; // null: never cancelled
    void* cancelData;
};

// Results of ScriptInterface::RunCategory.
enum : std::int32_t {
    ZR5S_RUN_OK = 0,
    ZR5S_RUN_ERROR = -1, // a run-time error; GetErrorText says which
    ZR5S_RUN_LIMIT = -2, // stopped by a RunLimits bound; GetErrorText says which
    ZR5S_RUN_CANCELLED = -3, // stopped by the cancel callback
};

// Kinds of FetchReport::lastFailure.
enum : std::int32_t {
    ZR5S_FETCH_OK = 0,
    ZR5S_FETCH_HOST_NOT_FOUND = 1, // name lookup failed (the host's or the proxy's)
    ZR5S_FETCH_REFUSED = 2, // connection refused or reset
    ZR5S_FETCH_TIMEOUT = 3, // connect, stall or whole-fetch time-out (what arrived is kept)
    ZR5S_FETCH_HTTP_STATUS = 4, // an answer with status 400 or above; see httpStatus
    ZR5S_FETCH_CANCELLED = 5,
    ZR5S_FETCH_OTHER = 6, // anything else: bad URL, TLS, refused redirect...; see message
};

// What the document fetches of the last Load or RunCategory came to.
struct FetchReport {
    std::int32_t fetches; // documents asked for
    std::int32_t failures; // of which failed, wholly or in part
    std::int32_t lastFailure; // ZR5S_FETCH_* of the last failure, ZR5S_FETCH_OK when none failed
    std::int32_t httpStatus; // of the last failure, when it is ZR5S_FETCH_HTTP_STATUS
    const char* url; // of the last failure ("" when none)
    const char* message; // of the last failure, for people (ASCII; "" when none)
};

// Results of ScriptInterface::Load.
enum : std::int32_t {
    ZR5S_LOAD_OK = 0,
    ZR5S_LOAD_FAILED = 1, // file missing, or a syntax error without recovery
    ZR5S_LOAD_STACK_OVERFLOW = 2, // parser stack exhausted
    ZR5S_LOAD_EXCEPTION = -1, // see GetErrorText
};

// One loaded news script. The order of the virtual functions is part of the
// binary contract with hosts: never reorder, insert or remove; new operations
// are only ever appended.
class ScriptInterface {
public:
    virtual ~ScriptInterface() = default;
    virtual std::int32_t Load(const char* path) = 0;
    virtual std::int32_t GetCategoryCount() = 0;
    virtual const char* GetCategoryName(std::int32_t index) = 0;
    virtual std::int32_t RunCategory(std::int32_t index) = 0;
    virtual const char* GetErrorText() = 0;
    virtual void SetDisplayCallback(DisplayCallback callback, void* userData) = 0;
    virtual std::int32_t SetConnection(const ConnectionSettings* settings) = 0;
    // Null resets to no bounds and no cancelling. Returns 0.
    virtual std::int32_t SetRunLimits(const RunLimits* limits) = 0;
    // Valid until the next call into this instance.
    virtual const FetchReport* GetFetchReport() = 0;

protected:
    ScriptInterface() = default;
    ScriptInterface(const ScriptInterface&) = delete;
    ScriptInterface& operator=(const ScriptInterface&) = delete;
};

ZR5S_EXPORT ScriptInterface* ZR5S_CreateInterface();
ZR5S_EXPORT void ZR5S_DestroyInterface(ScriptInterface* instance);
// Diagnostic: fetch url with the system's proxy settings and write the raw
// bytes to "temp.html" in the current directory.
ZR5S_EXPORT void ZR5S_InternetDocTest(const char* url);

#endif
