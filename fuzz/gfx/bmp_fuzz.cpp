// Arbitrary bytes as a BMP file, then every primitive a skin applies to a loaded bitmap.
#include "gfx/surface32.h"

#include <QGuiApplication>
#include <QImageReader>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path g_file;

void drawAll(zr5::gfx::Surface32& picture, const std::uint8_t* data, std::size_t size)
{
    using namespace zr5::gfx;
    picture.applyColorKey(0x00FF00FF);
    picture.applyMask(picture);
    Surface32 target;
    target.create(64, 48);
    const int w = picture.width();
    const int h = picture.height();
    const int mode = size > 2 ? data[2] % 5 : 0;
    const int alpha = size > 3 ? data[3] : 255;
    blit(target, -3, -2, 70, 40, picture, 0, 0, w, h, alpha, mode);
    blit(target, 5, 5, 20, 20, picture, w / 2, h / 2, w - w / 2, h - h / 2, 255, (mode + 1) % 4);
    drawFrame(target, 1, 1, 60, 44, picture, w / 3, w / 4, h / 3, h / 4, alpha, (mode + 2) % 4);
    drawOutline(target, Rect { -1, 2, w, h }, 0x00336699);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bmp_fuzz";
    static char* argv[] = { name, nullptr };
    static QGuiApplication app(argc, argv);
    // Qt reports every rejected picture; the fuzzer's output is for its own findings.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Run-length files can claim large pictures in a few bytes; keep each decode small
    // so the fuzzer measures faults, not memory.
    QImageReader::setAllocationLimit(4);
    g_file = std::filesystem::temp_directory_path() / ("bmp_fuzz-" + std::to_string(getpid()) + ".bmp");
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove(g_file, ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::ofstream(g_file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    zr5::gfx::Surface32 picture;
    if (picture.loadBitmap(g_file)) {
        drawAll(picture, data, size);
    }
    return 0;
}
