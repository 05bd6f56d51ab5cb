// Parse throughput of a generated script of about 1 MB: functions, categories,
// loops, objects and strings in the proportions real site scripts have.
#include "interp/interpreter.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

std::string generatedScript(std::size_t targetSize)
{
    std::string script;
    char block[512];
    for (int n = 0; script.size() < targetSize; ++n) {
        std::snprintf(block, sizeof block,
            "function f%d(a, b) { var t = a + b * %d; if (t > 10) return t; else return 'x%d'; }\n"
            "category \"c%d\" { var o = new { n: %d, s: \"text %d\" }; for (i = 0; i < 3; i++) "
            "{ o.n += f%d(i, o.n); } @o.s; }\n",
            n, n, n, n, n, n, n);
        script += block;
    }
    return script;
}

void parseMegabyte(benchmark::State& state)
{
    const std::string script = generatedScript(1 << 20);
    for (auto _ : state) {
        zr5::script::Interpreter interpreter;
        benchmark::DoNotOptimize(interpreter.parse(script));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * script.size()));
}
BENCHMARK(parseMegabyte)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
