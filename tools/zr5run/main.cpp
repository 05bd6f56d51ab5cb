// zr5run: loads one news script into an engine instance and runs categories,
// printing every headline and notification as a tab-separated line.
#include "zr5script.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <string>
#include <vector>
#include <zr5_version.h>

namespace {

constexpr int kExitUnknownCategory = 4;
constexpr int kExitUsage = 64;
constexpr int kExitLoadException = 3;

constexpr const char* kUsage
    = "usage: zr5run [options] SCRIPT [CATEGORY ...]\n"
      "Loads SCRIPT and runs each CATEGORY (a name, or #N for the N-th, from 0) in order.\n"
      "  -l, --list            print the category names after loading\n"
      "  -a, --all             run every category in order\n"
      "  --utf8                print the runner's own texts as UTF-8 (engine output stays raw)\n"
      "  --proxy-mode N        0 system settings, 1 direct, 2 the proxy below\n"
      "  --proxy-address A     proxy host\n"
      "  --proxy-port P        proxy port\n"
      "  --bypass-local        no proxy for local hosts\n"
      "  --script-limit S      stop a load or category run after S seconds of its own time\n"
      "  --fetch-limit S       stop a document fetch after S seconds, keeping what arrived\n"
      "  -h, --help            this text\n"
      "  --version             print the version\n"
      "Each Display prints D<TAB>text1<TAB>text2<TAB>text3, each _Notify N<TAB>text1<TAB>text2.\n";

enum class TextEncoding { Raw, Utf8 };

struct Options {
    std::string script;
    std::vector<std::string> categories;
    bool list = false;
    bool all = false;
    TextEncoding encoding = TextEncoding::Raw;
    ConnectionSettings connection { ZR5S_PROXY_SYSTEM, nullptr, 0, 0 };
    std::string proxyAddress;
    bool connectionGiven = false;
    RunLimits limits {};
    bool limitsGiven = false;
};

std::string toOutput(const char* text, TextEncoding encoding)
{
    std::string input = text ? text : "";
    if (encoding == TextEncoding::Raw || input.empty()) {
        return input;
    }
    iconv_t converter = iconv_open("UTF-8", "CP932");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return input;
    }
    std::string output(input.size() * 4 + 8, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    while (inLeft > 0 && iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) {
            break;
        }
        // Bytes that are not CP932 pass through as they are.
        *out++ = *in++;
        --inLeft;
        --outLeft;
    }
    iconv_close(converter);
    output.resize(output.size() - outLeft);
    return output;
}

TextEncoding g_encoding = TextEncoding::Raw;

void printDisplay(const DisplayRecord* record, void*)
{
    const auto text = [](const char* value) { return toOutput(value, g_encoding); };
    if (record->kind == ZR5S_KIND_NOTIFY) {
        std::printf("N\t%s\t%s\n", text(record->text1).c_str(), text(record->text2).c_str());
    } else {
        std::printf("D\t%s\t%s\t%s\n", text(record->text1).c_str(), text(record->text2).c_str(),
            text(record->text3).c_str());
    }
    std::fflush(stdout);
}

bool parseInteger(const char* text, std::int32_t& value)
{
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || number < INT32_MIN || number > INT32_MAX) {
        return false;
    }
    value = static_cast<std::int32_t>(number);
    return true;
}

bool parseSeconds(const char* text, std::uint32_t& seconds)
{
    std::int32_t value = 0;
    if (!parseInteger(text, value) || value < 0) {
        return false;
    }
    seconds = static_cast<std::uint32_t>(value);
    return true;
}

// Options that take a value; false on a usage error.
bool parseValueOption(const std::string& name, const char* value, Options& options)
{
    if (name == "--script-limit" || name == "--fetch-limit") {
        options.limitsGiven = true;
        std::uint32_t& seconds
            = name == "--script-limit" ? options.limits.scriptSeconds : options.limits.fetchSeconds;
        return parseSeconds(value, seconds);
    }
    options.connectionGiven = true;
    if (name == "--proxy-mode") {
        return parseInteger(value, options.connection.proxyMode);
    }
    if (name == "--proxy-port") {
        return parseInteger(value, options.connection.proxyPort);
    }
    options.proxyAddress = value;
    return true;
}

enum class ParseOutcome { Run, Help, Version, Usage };

ParseOutcome parseArguments(int argc, char** argv, Options& options)
{
    bool positionalOnly = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (positionalOnly || argument.empty() || argument[0] != '-' || argument == "-") {
            (options.script.empty() ? options.script : options.categories.emplace_back()) = argument;
        } else if (argument == "--") {
            positionalOnly = true;
        } else if (argument == "-h" || argument == "--help") {
            return ParseOutcome::Help;
        } else if (argument == "--version") {
            return ParseOutcome::Version;
        } else if (argument == "-l" || argument == "--list") {
            options.list = true;
        } else if (argument == "-a" || argument == "--all") {
            options.all = true;
        } else if (argument == "--utf8") {
            options.encoding = TextEncoding::Utf8;
        } else if (argument == "--bypass-local") {
            options.connection.bypassLocal = 1;
            options.connectionGiven = true;
        } else if ((argument == "--proxy-mode" || argument == "--proxy-port" || argument == "--proxy-address"
                       || argument == "--script-limit" || argument == "--fetch-limit")
            && i + 1 < argc) {
            if (!parseValueOption(argument, argv[++i], options)) {
                return ParseOutcome::Usage;
            }
        } else {
            return ParseOutcome::Usage;
        }
    }
    return options.script.empty() ? ParseOutcome::Usage : ParseOutcome::Run;
}

int loadStatus(std::int32_t result)
{
    switch (result) {
    case ZR5S_LOAD_OK:
        return 0;
    case ZR5S_LOAD_FAILED:
        return 1;
    case ZR5S_LOAD_STACK_OVERFLOW:
        return 2;
    default:
        return kExitLoadException;
    }
}

// Index of a category given as a name or "#N"; -1 when there is none.
std::int32_t findCategory(ScriptInterface& engine, const std::string& wanted)
{
    const std::int32_t count = engine.GetCategoryCount();
    if (wanted.size() > 1 && wanted[0] == '#') {
        std::int32_t index = 0;
        return parseInteger(wanted.c_str() + 1, index) && index >= 0 && index < count ? index : -1;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (wanted == engine.GetCategoryName(i)) {
            return i;
        }
    }
    return -1;
}

void reportError(ScriptInterface& engine, const Options& options)
{
    const std::string text = toOutput(engine.GetErrorText(), options.encoding);
    if (!text.empty()) {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
}

int runCategories(ScriptInterface& engine, const Options& options)
{
    std::vector<std::int32_t> order;
    for (const std::string& name : options.categories) {
        const std::int32_t index = findCategory(engine, name);
        if (index < 0) {
            std::fprintf(
                stderr, "zr5run: no category %s\n", toOutput(name.c_str(), options.encoding).c_str());
            return kExitUnknownCategory;
        }
        order.push_back(index);
    }
    if (options.all) {
        for (std::int32_t i = 0; i < engine.GetCategoryCount(); ++i) {
            order.push_back(i);
        }
    }
    for (const std::int32_t index : order) {
        if (engine.RunCategory(index) != 0) {
            reportError(engine, options);
        }
    }
    return 0;
}

int run(ScriptInterface& engine, Options& options)
{
    g_encoding = options.encoding;
    if (options.connectionGiven) {
        options.connection.proxyAddress = options.proxyAddress.c_str();
        engine.SetConnection(&options.connection);
    }
    if (options.limitsGiven) {
        engine.SetRunLimits(&options.limits);
    }
    engine.SetDisplayCallback(printDisplay, nullptr);
    const int status = loadStatus(engine.Load(options.script.c_str()));
    std::fflush(stdout);
    if (status != 0) {
        reportError(engine, options);
        return status;
    }
    if (options.list) {
        for (std::int32_t i = 0; i < engine.GetCategoryCount(); ++i) {
            std::printf("%s\n", toOutput(engine.GetCategoryName(i), options.encoding).c_str());
        }
        std::fflush(stdout);
    }
    return runCategories(engine, options);
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    switch (parseArguments(argc, argv, options)) {
    case ParseOutcome::Help:
        std::fputs(kUsage, stdout);
        return 0;
    case ParseOutcome::Version:
        std::printf("zr5run %s\n", zr5::kVersion);
        return 0;
    case ParseOutcome::Usage:
        std::fputs(kUsage, stderr);
        return kExitUsage;
    case ParseOutcome::Run:
        break;
    }
    ScriptInterface* engine = ZR5S_CreateInterface();
    if (!engine) {
        std::fputs("zr5run: cannot create an engine instance\n", stderr);
        return kExitLoadException;
    }
    const int status = run(*engine, options);
    std::fflush(stdout);
    ZR5S_DestroyInterface(engine);
    return status;
}
