// Walking a feed with Document.get and reading every tag with getAttr, as
// the generated RSS site script does, through the built-ins themselves. The
// 50 MB feed should take about ten times as long as the 5 MB one.
#include "builtins/builtins.h"
#include "call_helpers.h"
#include "feed_generator.h"
#include "interp/string_method_table.h"
#include "interp/value.h"

#include <benchmark/benchmark.h>
#include <initializer_list>
#include <sys/resource.h>

namespace {

using namespace zr5::script;

constexpr auto call = testing::callFunction;

struct Walker {
    ValuePtr get;
    ValuePtr isTag = stringMethods().find("isTag")->value;
    ValuePtr getAttr = stringMethods().find("getAttr")->value;
    ObjectPtr document = makeObject();
};

Walker makeWalker(const std::string& feed)
{
    ValuePtr constructor;
    registerBuiltins([&](std::string_view name, ValuePtr value) {
        if (name == "Document") {
            constructor = std::move(value);
        }
    });
    Walker walker;
    call(constructor, walker.document, {});
    walker.get = walker.document->members().find("get")->value;
    assign(walker.document->members().findOrCreate("src"), makeString(feed));
    return walker;
}

// The site script's loop: count items and gather title text.
std::size_t walkFeed(Walker& walker)
{
    assign(walker.document->members().findOrCreate("index"), makeNumber(0));
    const ValuePtr emptyName = makeString("");
    std::size_t items = 0;
    for (;;) {
        const ValuePtr piece = call(walker.get, walker.document, {});
        if (!piece || !piece->asBoolean()) {
            return items;
        }
        if (call(walker.isTag, piece, {})->asBoolean()
            && call(walker.getAttr, piece, { emptyName })->asString() == "/item") {
            ++items;
        }
    }
}

long peakResidentKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void documentWalk(benchmark::State& state)
{
    const std::string feed = zr5::bench::generateFeed(static_cast<std::size_t>(state.range(0)));
    Walker walker = makeWalker(feed);
    std::size_t items = 0;
    for (auto _ : state) {
        items = walkFeed(walker);
        benchmark::DoNotOptimize(items);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * feed.size()));
    state.counters["MB"] = static_cast<double>(feed.size()) / 1e6;
    state.counters["items"] = static_cast<double>(items);
    state.counters["peak_rss_MB"] = static_cast<double>(peakResidentKilobytes()) / 1024.0;
}

BENCHMARK(documentWalk)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
