// Arbitrary bytes as a skin script (zr5.skn) in a scratch folder that also
// holds two small bitmaps, loaded the way the ticker loads a skin.
#include "core/display_holder.h"
#include "core/headline_list.h"
#include "skin/runtime/frame_renderer.h"
#include "skin/runtime/skin.h"

#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

std::filesystem::path g_folder;

// A 24-bit BMP of one colour, enough for frames and 2 x 2 cells.
std::string plainBitmap(int width, int height)
{
    auto le32 = [](std::string& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    auto le16 = [](std::string& out, std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    const std::uint32_t row = static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
    const std::uint32_t size = row * static_cast<std::uint32_t>(height);
    std::string bmp = "BM";
    le32(bmp, 54 + size);
    le32(bmp, 0);
    le32(bmp, 54);
    le32(bmp, 40);
    le32(bmp, static_cast<std::uint32_t>(width));
    le32(bmp, static_cast<std::uint32_t>(height));
    le16(bmp, 1);
    le16(bmp, 24);
    for (int i = 0; i < 6; ++i) {
        le32(bmp, 0);
    }
    bmp.append(size, '\x80');
    return bmp;
}

void writeFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    std::string pattern = (std::filesystem::temp_directory_path() / "zr5skin-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::abort();
    }
    g_folder = pattern;
    std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(g_folder, error);
    });
    writeFile(g_folder / "frame.bmp", plainBitmap(8, 8));
    writeFile(g_folder / "strip.bmp", plainBitmap(16, 4));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeFile(g_folder / "zr5.skn", std::string(reinterpret_cast<const char*>(data), size));
    zr5::skin::SkinLoadResult result = zr5::skin::Skin::load(g_folder);
    if (!result.skin) {
        if (result.error.message.empty()) {
            std::abort(); // every failure must say why
        }
        return 0;
    }
    // Run the layer scripts and draw a few frames, with every event fired.
    auto display = std::make_shared<zr5::core::DisplayHolder>();
    display->setMainList(zr5::core::makeSingleHeadlineList("L", "T", ""));
    for (int i = 0; i < 5; ++i) {
        result.skin->fireEvent(6 + i % 4);
        zr5::skin::renderFrame(*result.skin, display, static_cast<std::uint32_t>(i * 10), 64, 16);
    }
    return 0;
}
