#include "core/display_holder.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/skin.h"

#include <QGuiApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int kFrames = 1000;
constexpr int kHeadlines = 50;
constexpr double kFrameBudgetMs = 10.0;

std::shared_ptr<zr5::core::DisplayHolder> displayWithHeadlines()
{
    auto list = std::make_shared<zr5::core::HeadlineList>("bench:news");
    for (int i = 0; i < kHeadlines; ++i) {
        list->append("Headline number " + std::to_string(i) + " of the benchmark feed",
            "http://example.invalid/" + std::to_string(i));
    }
    auto display = std::make_shared<zr5::core::DisplayHolder>();
    display->setMainList(list);
    return display;
}

// Frames 10 ms apart, each timed alone; the median is the figure.
void renderFrames(benchmark::State& state, const char* skinName)
{
    zr5::skin::SkinLoadResult result = zr5::skin::Skin::load(std::string(ZR5_SKINS_DIR) + "/" + skinName);
    if (!result.skin) {
        state.SkipWithError("skin does not load");
        return;
    }
    auto display = displayWithHeadlines();
    std::vector<double> ms;
    for (auto _ : state) {
        ms.clear();
        for (int i = 0; i < kFrames; ++i) {
            auto start = std::chrono::steady_clock::now();
            auto frame
                = zr5::skin::renderFrame(*result.skin, display, static_cast<std::uint32_t>(i * 10), 1024, 40);
            benchmark::DoNotOptimize(frame);
            ms.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    const double median = ms[ms.size() / 2];
    state.counters["median_ms_per_frame"] = median;
    state.counters["core_share_at_100fps_pct"] = 100.0 * median / kFrameBudgetMs;
    std::printf("%s: %.3f ms/frame (median of %d), %.1f%% of a core at 100 fps\n", skinName, median, kFrames,
        100.0 * median / kFrameBudgetMs);
}

} // namespace

BENCHMARK_CAPTURE(renderFrames, Zephyr, "Zephyr")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(renderFrames, ClassicPaper, "@Classic/Paper")->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
