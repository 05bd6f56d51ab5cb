// Run speed of the tight loops the run-time checks sit in: a counting loop,
// script calls, member stores and string building, each run as a top-level
// script so every iteration passes a check point.
#include "interp/interpreter.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

void runScript(benchmark::State& state, const char* script)
{
    for (auto _ : state) {
        zr5::script::Interpreter interpreter;
        if (interpreter.parse(script) != zr5::script::ParseResult::Accepted) {
            state.SkipWithError("script does not parse");
            return;
        }
        interpreter.runTopLevel();
    }
}

void countingLoop(benchmark::State& state)
{
    runScript(state, "i = 0; while (i < 300000) i++;");
}
BENCHMARK(countingLoop)->Unit(benchmark::kMillisecond);

void functionCalls(benchmark::State& state)
{
    runScript(state, "function f(x) { return x + 1; } i = 0; s = 0; while (i < 100000) { s = f(s); i++; }");
}
BENCHMARK(functionCalls)->Unit(benchmark::kMillisecond);

void memberStores(benchmark::State& state)
{
    runScript(state, "a = new Array(); i = 0; while (i < 100000) { a[i] = 'abc' + i; i++; }");
}
BENCHMARK(memberStores)->Unit(benchmark::kMillisecond);

void stringBuilding(benchmark::State& state)
{
    runScript(state, "s = ''; i = 0; while (i < 20000) { s = s + 'x'; i++; }");
}
BENCHMARK(stringBuilding)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
