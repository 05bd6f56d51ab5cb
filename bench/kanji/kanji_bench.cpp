// Conversion throughput of kanjiConvert("-s -Lu") against `nkf -s -Lu` and
// `iconv -f <enc> -t CP932` on the same generated 20 MB EUC-JP and UTF-8
// inputs, printed as MB/s and as ratios (higher than 1: kanjiConvert is
// faster). nkf and iconv run as subprocesses reading and writing files, so
// their figures include process start-up (a few milliseconds).
#include "kanji/kanji_convert.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::size_t kInputBytes = 20U << 20;
constexpr int kRuns = 3;

constexpr std::string_view kSample
    = "日本語のニュース：首相が会見、経済対策を発表。株価は３日連続で上昇し、終値は２万円台を回復した。\n"
      "<a href=\"http://example.jp/news/2026/12/07/0001.html\">円相場、一時１ドル＝１５０円台</a>\n"
      "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。①②③ ㈱ ～\n";

std::string encode(std::string_view utf8, const char* to)
{
    iconv_t cd = iconv_open(to, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "iconv cannot write %s\n", to);
        std::exit(1);
    }
    std::string in(utf8);
    std::string out(in.size() * 2 + 16, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

std::string repeatTo(const std::string& unit, std::size_t size)
{
    std::string text;
    text.reserve(size + unit.size());
    while (text.size() < size) {
        text += unit;
    }
    return text;
}

template <typename F> double bestSeconds(F&& run)
{
    double best = 1e9;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

double commandSeconds(const std::string& command)
{
    return bestSeconds([&] {
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "failed: %s\n", command.c_str());
        }
    });
}

void benchInput(const char* label, const char* iconvName, const std::string& input)
{
    char path[] = "/tmp/zr5-kanji-bench-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) {
        std::exit(1);
    }
    close(fd);
    std::ofstream(path, std::ios::binary).write(input.data(), static_cast<std::streamsize>(input.size()));

    std::size_t outSize = 0;
    const double ours
        = bestSeconds([&] { outSize = zr5::script::kanji::kanjiConvert(input, "-s -Lu").size(); });
    const std::string file = path;
    const double nkf = commandSeconds("nkf -s -Lu < " + file + " > /dev/null");
    const double iconvSeconds
        = commandSeconds(std::string("iconv -f ") + iconvName + " -t CP932 < " + file + " > /dev/null");
    std::remove(path);

    const double mb = static_cast<double>(input.size()) / (1 << 20);
    std::printf("%-7s %6.1f MB -> %6.1f MB | kanjiConvert %7.1f MB/s | nkf %7.1f MB/s | iconv %7.1f MB/s"
                " | vs nkf x%.2f | vs iconv x%.2f\n",
        label, mb, static_cast<double>(outSize) / (1 << 20), mb / ours, mb / nkf, mb / iconvSeconds,
        nkf / ours, iconvSeconds / ours);
}

} // namespace

int main()
{
    // The first call builds the character tables; time it on its own.
    const auto start = std::chrono::steady_clock::now();
    zr5::script::kanji::kanjiConvert("\xA4\xA2", "-s -Lu");
    const std::chrono::duration<double, std::milli> setup = std::chrono::steady_clock::now() - start;
    std::printf("table set-up (once per process): %.1f ms; best of %d runs each\n", setup.count(), kRuns);

    benchInput("EUC-JP", "EUC-JP-MS", repeatTo(encode(kSample, "EUC-JP-MS"), kInputBytes));
    benchInput("UTF-8", "UTF-8", repeatTo(std::string(kSample), kInputBytes));
    return 0;
}
