// The feed reader against the present template path on the same generated
// 5 MB and 50 MB feeds, in-process: time, peak memory, and how many times
// faster the reader is. The template path here is only the built-in work of
// the earlier site script's loop (Document.get, isTag, getAttr, gathering
// title and link text) driven from C++, without the interpreter running the
// loop: a lower bound of its cost. The whole scripts, old and new, are
// compared through zr5run by the rss_template_bench target. The reader
// should be linear (the 50 MB feed about ten times the 5 MB one).
#include "call_helpers.h"
#include "feed/feed_reader.h"
#include "feed_generator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/resource.h>

namespace {

using namespace zr5::script;

constexpr auto call = testing::callFunction;
constexpr std::string_view kUrl = "http://example.jp/feed.xml";

long peakResidentKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The site script's state machine, minus the Display call: the headlines
// are gathered the way it gathers them.
std::size_t templateWalk(const std::string& feed)
{
    const auto globals = testing::builtinGlobals();
    const ValuePtr isTag = stringMethods().find("isTag")->value;
    const ValuePtr getAttr = stringMethods().find("getAttr")->value;
    ObjectPtr document = makeObject();
    call(globals.at("Document"), document, {});
    const ValuePtr get = document->members().find("get")->value;
    assign(document->members().findOrCreate("src"), makeString(feed));
    assign(document->members().findOrCreate("index"), makeNumber(0));
    const ValuePtr emptyName = makeString("");
    std::size_t headlines = 0;
    bool inItem = false;
    std::string* field = nullptr;
    std::string title;
    std::string link;
    for (ValuePtr piece = call(get, document, {}); piece && piece->asBoolean();
         piece = call(get, document, {})) {
        if (!call(isTag, piece, {})->asBoolean()) {
            if (inItem && field != nullptr) {
                *field += piece->asString();
            }
            continue;
        }
        const std::string tag = call(getAttr, piece, { emptyName })->asString();
        if (tag == "item") {
            inItem = true;
            title.clear();
            link.clear();
        } else if (inItem && (tag == "title" || tag == "link")) {
            field = tag == "title" ? &title : &link;
        } else if (inItem && (tag == "/title" || tag == "/link")) {
            field = nullptr;
        } else if (inItem && tag == "/item") {
            headlines += title.empty() ? 0 : 1;
            inItem = false;
        }
    }
    return headlines;
}

std::size_t readerWalk(const std::string& feed)
{
    return feed::readFeed({ feed, kUrl, "" }).items.size();
}

template <typename Walk> double millisecondsOf(Walk walk, const std::string& feed)
{
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(walk(feed));
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void reportSize(benchmark::State& state, const std::string& feed, std::size_t headlines, long peakBefore)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
    state.counters["MB"] = static_cast<double>(feed.size()) / 1e6;
    state.counters["headlines"] = static_cast<double>(headlines);
    state.counters["peak_growth_MB"] = static_cast<double>(peakResidentKilobytes() - peakBefore) / 1024.0;
}

void feedReader(benchmark::State& state)
{
    const std::string feed = zr5::bench::generateFeed(static_cast<std::size_t>(state.range(0)));
    const long peakBefore = peakResidentKilobytes();
    std::size_t headlines = 0;
    for (auto _ : state) {
        headlines = readerWalk(feed);
    }
    reportSize(state, feed, headlines, peakBefore);
}

void templatePath(benchmark::State& state)
{
    const std::string feed = zr5::bench::generateFeed(static_cast<std::size_t>(state.range(0)));
    const long peakBefore = peakResidentKilobytes();
    std::size_t headlines = 0;
    for (auto _ : state) {
        headlines = templateWalk(feed);
    }
    reportSize(state, feed, headlines, peakBefore);
}

// Both paths on the same bytes, back to back, as a ratio.
void readerSpeedup(benchmark::State& state)
{
    const std::string feed = zr5::bench::generateFeed(static_cast<std::size_t>(state.range(0)));
    double reader = 0;
    double present = 0;
    for (auto _ : state) {
        reader = millisecondsOf(readerWalk, feed);
        present = millisecondsOf(templateWalk, feed);
    }
    state.counters["reader_ms"] = reader;
    state.counters["template_ms"] = present;
    state.counters["times_faster"] = present / reader;
}

// The peak-memory figures grow only, so the reader runs before the template path.
BENCHMARK(feedReader)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(templatePath)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(readerSpeedup)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
