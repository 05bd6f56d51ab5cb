// zr5patrol: runs one patrol and the notice patrol in the current folder
// (./Scripts, ./zr5.ini) exactly as the ticker does, then prints the
// headlines in the order the ticker would show them, one a line:
//   label<TAB>title<TAB>link
// Options:
//   --steps N   number of lines (default: twice the number of headlines, at least 14)
//   --utf8      print UTF-8 instead of the program's Shift_JIS
//   --version   print the version and exit
// Every entry that failed gets a line on standard error:
//   zr5patrol: name[ - category]: reason detail
// The notice page is [Notice] URL of zr5.ini, replaced by the environment
// variable ZR5_NOTICE_URL (tests point it at a local server). Scripts run
// within [Timer] ScriptLimit and FetchLimit. zr5.ini is only read; what
// killed saves left beside it is removed.
// Exit status: 0 (also when entries failed), or 1 when the patrol could not
// start or the arguments are wrong.
#include "core/atomic_file.h"
#include "core/display_holder.h"
#include "core/event_queue.h"
#include "core/messages.h"
#include "core/patrol.h"
#include "core/profile_file.h"
#include "core/script_list.h"
#include "core/settings.h"
#include "core/text_codec.h"

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <zr5_version.h>

namespace {

using namespace zr5::core;

enum class Output { ShiftJis, Utf8 };

struct Options {
    std::optional<long> steps;
    Output output = Output::ShiftJis;
};

std::optional<Options> parseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--utf8") == 0) {
            options.output = Output::Utf8;
        } else if (std::strcmp(argv[i], "--steps") == 0 && i + 1 < argc) {
            char* end = nullptr;
            long steps = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || steps < 0) {
                return std::nullopt;
            }
            options.steps = steps;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

std::string forOutput(std::string_view text, Output output)
{
    return output == Output::Utf8 ? cp932ToUtf8(text) : std::string(text);
}

void printSequence(DisplayHolder& display, long steps, Output output)
{
    for (long i = 0; i < steps && display.isValid(); ++i) {
        if (const Headline* headline = display.currentHeadline()) {
            std::string line = headline->label + '\t' + headline->title + '\t' + headline->link + '\n';
            std::fputs(forOutput(line, output).c_str(), stdout);
        }
        display.next();
    }
}

void printFailures(const PatrolReport& report, Output output)
{
    for (const EntryResult& entry : report.entries()) {
        if (!isFailure(entry)) {
            continue;
        }
        std::string line = "zr5patrol: " + entry.scriptName;
        if (!entry.category.empty()) {
            line += std::string(messages::kLogCategorySeparator) + entry.category;
        }
        line += std::string(messages::kLogFailureSeparator) + describeOutcome(entry) + "\n";
        std::fputs(forOutput(line, output).c_str(), stderr);
    }
}

long defaultSteps(const DisplayHolder& display)
{
    std::size_t count
        = display.mainList()->size() + (display.noticeList() ? display.noticeList()->size() : 0);
    return std::max<long>(14, static_cast<long>(count) * 2);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zr5patrol %s\n", zr5::kVersion);
        return 0;
    }
    std::optional<Options> options = parseArguments(argc, argv);
    if (!options) {
        std::fputs("usage: zr5patrol [--steps N] [--utf8]\n", stderr);
        return 1;
    }
    // Script file names are in the locale's encoding.
    std::setlocale(LC_CTYPE, "");
    EventQueue queue;
    QueuedPatrolHost host(queue);
    host.onLoadError([&](const std::string& text) {
        std::string line = std::string(messages::kLoadErrorCaption) + ": " + text + "\n";
        std::fputs(forOutput(line, options->output).c_str(), stderr);
    });

    const std::string iniName(kSettingsFileName);
    removeStaleTemporaries(iniName);
    const ProfileFile ini = ProfileFile::load(iniName);
    PatrolOptions patrolOptions;
    applySettings(patrolOptions, readSettings(ini));
    if (const char* url = std::getenv("ZR5_NOTICE_URL")) {
        patrolOptions.noticeUrl = url;
    }
    const RunLimits loadLimits = runLimits(patrolOptions);
    ScriptList scripts = enumerateScripts("Scripts", host, &loadLimits);
    Settings settings = loadSettings(ini, scripts);
    DisplayHolder display;
    display.setMainList(makeSingleHeadlineList("", std::string(messages::kConnecting), ""));

    Patrol patrol(scripts, settings.proxy, display, host, patrolOptions);
    host.attach(patrol);
    if (patrol.startPatrol() != Patrol::Start::Started) {
        return 1;
    }
    // The limits bound every run and fetch, so the patrol ends on its own.
    queue.runUntil([&] { return !patrol.isRunning(); }, std::chrono::hours(24));
    queue.runPending();
    printFailures(patrol.lastReport(), options->output);
    printSequence(display, options->steps.value_or(defaultSteps(display)), options->output);
    queue.close();
    return 0;
}
