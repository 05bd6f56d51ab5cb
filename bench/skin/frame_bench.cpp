#include "core/display_holder.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/skin.h"

#include <QGuiApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int kFrames = 1000;
constexpr int kHeadlines = 100;
constexpr double kFrameBudgetMs = 10.0;
constexpr int kHeight = 48;

// The hostile list: many huge titles, of which a frame only ever shows one or two.
constexpr int kHugeHeadlines = 10000;
constexpr std::size_t kHugeTitle = 10000;
constexpr int kHugeFrames = 300;

std::shared_ptr<zr5::core::DisplayHolder> displayWith(int count, std::size_t titleLength)
{
    auto list = std::make_shared<zr5::core::HeadlineList>("bench:news");
    for (int i = 0; i < count; ++i) {
        std::string title = "Headline number " + std::to_string(i) + " of the benchmark feed";
        if (title.size() < titleLength) {
            title.resize(titleLength, static_cast<char>('a' + i % 26));
        }
        list->append(title, "http://example.invalid/" + std::to_string(i));
    }
    auto display = std::make_shared<zr5::core::DisplayHolder>();
    display->setMainList(list);
    return display;
}

std::shared_ptr<zr5::skin::Skin> loadSkin(benchmark::State& state, const char* name)
{
    zr5::skin::SkinLoadResult result = zr5::skin::Skin::load(std::string(ZR5_SKINS_DIR) + "/" + name);
    if (!result.skin) {
        state.SkipWithError("skin does not load");
    }
    return result.skin;
}

// Draws frame i one way or the other.
using FrameSource = std::function<std::shared_ptr<zr5::gfx::Surface32>(int i)>;

// Each frame timed alone; the median is the figure.
double medianMs(int frames, const FrameSource& render)
{
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(render(i));
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(ms.begin(), ms.begin() + static_cast<std::ptrdiff_t>(ms.size() / 2), ms.end());
    return ms[ms.size() / 2];
}

long peakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The same frames drawn from nothing (as every frame was drawn before
// frames were kept) and by one renderer that keeps what it can, side by side.
void beforeAndAfter(benchmark::State& state, const char* skinName, int width)
{
    std::shared_ptr<zr5::skin::Skin> plainSkin = loadSkin(state, skinName);
    std::shared_ptr<zr5::skin::Skin> keptSkin = loadSkin(state, skinName);
    if (!plainSkin || !keptSkin) {
        return;
    }
    auto plainDisplay = displayWith(kHeadlines, 0);
    auto keptDisplay = displayWith(kHeadlines, 0);
    zr5::skin::FrameRenderer renderer;
    double before = 0.0;
    double after = 0.0;
    for (auto _ : state) {
        before = medianMs(kFrames, [&](int i) {
            return zr5::skin::renderFrame(
                *plainSkin, plainDisplay, static_cast<std::uint32_t>(i * 10), width, kHeight);
        });
        after = medianMs(kFrames, [&](int i) {
            return renderer.render(
                *keptSkin, keptDisplay, static_cast<std::uint32_t>(i * 10), width, kHeight);
        });
    }
    state.counters["before_ms_per_frame"] = before;
    state.counters["after_ms_per_frame"] = after;
    std::printf(
        "%s %dx%d: before %.3f ms/frame (%.1f%% of a core at 100 fps), after %.3f ms/frame (%.1f%%)\n",
        skinName, width, kHeight, before, 100.0 * before / kFrameBudgetMs, after,
        100.0 * after / kFrameBudgetMs);
}

// Bad input: the window resized on every frame, and 10 000 titles of 10 000
// characters; the frame time and the process's peak memory are reported.
void hostileInput(benchmark::State& state, const char* skinName)
{
    std::shared_ptr<zr5::skin::Skin> skin = loadSkin(state, skinName);
    if (!skin) {
        return;
    }
    auto display = displayWith(kHugeHeadlines, kHugeTitle);
    display->setSpeed(100);
    zr5::skin::FrameRenderer renderer;
    double resized = 0.0;
    double huge = 0.0;
    for (auto _ : state) {
        resized = medianMs(kHugeFrames, [&](int i) {
            return renderer.render(
                *skin, display, static_cast<std::uint32_t>(i * 10), 600 + i % 200, kHeight);
        });
        huge = medianMs(kHugeFrames, [&](int i) {
            return renderer.render(*skin, display, static_cast<std::uint32_t>(i * 10), 600, kHeight);
        });
    }
    state.counters["resized_ms_per_frame"] = resized;
    state.counters["steady_ms_per_frame"] = huge;
    state.counters["peak_mb"] = static_cast<double>(peakMegabytes());
    std::printf("%s, %d titles of %zu characters: %.3f ms/frame resized every frame, %.3f ms/frame steady, "
                "peak memory %ld MB\n",
        skinName, kHugeHeadlines, kHugeTitle, resized, huge, peakMegabytes());
}

} // namespace

BENCHMARK_CAPTURE(beforeAndAfter, Zephyr600, "Zephyr", 600)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(beforeAndAfter, Zephyr2560, "Zephyr", 2560)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(beforeAndAfter, ClassicPaper600, "@Classic/Paper", 600)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(beforeAndAfter, ClassicPaper2560, "@Classic/Paper", 2560)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(hostileInput, Zephyr, "Zephyr")->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
