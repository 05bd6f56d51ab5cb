// zr5skin: loads a skin folder as the ticker does.
//   zr5skin [--utf8] check SKINDIR   report the load error, if any (exit 1)
//   zr5skin [--utf8] dump SKINDIR    print every property and the sprite order
//   zr5skin render SKINDIR OUT.png [--size WxH] [--scale S] [--at MS] [--frames N]
//           [--speed S] [--event INDEX@MS]... [--headline TITLE|LINK|LABEL]...
//                                    render frames 10 ms apart, save the last;
//                                    WxH is logical, and the picture has S device
//                                    pixels per logical pixel, as a window on a
//                                    screen of that pixel ratio shows it
//   zr5skin --version
#include "core/text_codec.h"
#include "render_command.h"
#include "skin/runtime/skin.h"
#include "skin_dump.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>
#include <zr5_version.h>

namespace {

enum class Encoding { Cp932, Utf8 };

struct Options {
    Encoding encoding = Encoding::Cp932;
    std::string command;
    std::string folder;
    zr5::skin::RenderOptions render;
};

void print(const std::string& text, Encoding encoding)
{
    std::string out = encoding == Encoding::Utf8 ? zr5::core::cp932ToUtf8(text) : text;
    std::fwrite(out.data(), 1, out.size(), stdout);
}

bool parseOptions(int argc, char** argv, Options& options)
{
    int i = 1;
    if (i < argc && std::string_view(argv[i]) == "--utf8") {
        options.encoding = Encoding::Utf8;
        ++i;
    }
    if (i < argc && std::string_view(argv[i]) == "render") {
        options.command = "render";
        std::vector<std::string> args(argv + i + 1, argv + argc);
        std::string error;
        if (!zr5::skin::parseRenderOptions(args, options.render, error)) {
            std::fprintf(stderr, "zr5skin: %s\n", error.c_str());
            return false;
        }
        return true;
    }
    if (argc - i != 2) {
        return false;
    }
    options.command = argv[i];
    options.folder = argv[i + 1];
    return options.command == "check" || options.command == "dump";
}

// The caption on one line, then the text the message box would show.
void printFailure(const zr5::skin::SkinLoadError& error, Encoding encoding)
{
    std::string text = std::string(error.caption) + "\n" + error.message;
    if (text.back() != '\n') {
        text += '\n';
    }
    print(text, encoding);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::printf("zr5skin %s\n", zr5::kVersion);
        return 0;
    }
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs("usage: zr5skin [--utf8] check|dump SKINDIR\n"
                   "       zr5skin render SKINDIR OUT.png [--size WxH] [--scale S] [--at MS] [--frames N]\n"
                   "               [--speed S] [--event INDEX@MS]... [--headline TITLE|LINK|LABEL]...\n",
            stderr);
        return 2;
    }
    // Bitmaps need a Gui application; no display is needed for that.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);

    if (options.command == "render") {
        std::string error;
        int status = zr5::skin::runRender(options.render, error);
        if (status != 0) {
            print(error + "\n", options.encoding);
        }
        return status;
    }
    zr5::skin::SkinLoadResult result = zr5::skin::Skin::load(options.folder);
    if (!result.skin) {
        printFailure(result.error, options.encoding);
        return 1;
    }
    if (options.command == "dump") {
        print(zr5::skin::dumpSkin(*result.skin), options.encoding);
    }
    return 0;
}
