#include "builtins/builtins.h"

#include "builtins/document.h"
#include "builtins/feed.h"
#include "builtins/host_calls.h"
#include "builtins/string_methods.h"
#include "net/internet_session.h"

#include <fstream>

namespace zr5::script {

namespace {

constexpr const char* kDocTestFile = "temp.html";

struct GlobalEntry {
    std::string_view name;
    ValuePtr (*make)();
};

// In registration order; each instance gets fresh function values.
constexpr GlobalEntry kGlobals[] = {
    { "Document", makeDocumentConstructor },
    { "Display", makeDisplayFunction },
    { "_Notify", makeNotifyFunction },
    { "Feed", makeFeedConstructor },
};

} // namespace

void registerBuiltins(const DefineGlobal& defineGlobal)
{
    registerStringMethods();
    for (const GlobalEntry& entry : kGlobals) {
        defineGlobal(entry.name, entry.make());
    }
}

void internetDocTest(const char* url)
{
    const std::string bytes = net::InternetSession().fetch(url ? url : "");
    std::ofstream file(kDocTestFile, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace zr5::script
