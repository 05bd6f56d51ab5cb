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
    ZR5S_PROXY_NAMED = 2,  // proxyAddress:proxyPort
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
    ZR5S_KIND_NOTIFY = 1,   // _Notify(name, value)
};

struct DisplayRecord {
    const char* text1;
    const char* text2;
    const char* text3; // null for notifications
    std::int32_t kind;
};

using DisplayCallback = void (*)(const DisplayRecord* record, void* userData);

// Results of ScriptInterface::Load.
enum : std::int32_t {
    ZR5S_LOAD_OK = 0,
    ZR5S_LOAD_FAILED = 1,         // file missing, or a syntax error without recovery
    ZR5S_LOAD_STACK_OVERFLOW = 2, // parser stack exhausted
    ZR5S_LOAD_EXCEPTION = -1,     // see GetErrorText
};

// One loaded news script. The order of the virtual functions is part of the
// binary contract with hosts: never reorder, insert or remove.
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
