// Shared by the skin runtime tests: a Gui application for bitmaps and fonts,
// and skin folders written at test time with bitmaps of known colours.
#pragma once

#include "skin/runtime/skin.h"

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zr5::skin::test {

void ensureGuiApplication();

// A fresh folder under the temp folder, removed with the object.
class TempSkinFolder final {
public:
    TempSkinFolder();
    ~TempSkinFolder();
    TempSkinFolder(const TempSkinFolder&) = delete;
    TempSkinFolder& operator=(const TempSkinFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // A BMP of cells of the given size laid out in columns x rows, cell k
    // filled with colors[k] (0xRRGGBB).
    void writeCells(const std::string& name, int cellWidth, int cellHeight, int columns, int rows,
        const std::vector<std::uint32_t>& colors) const;
    void writeScript(const std::string& script) const;

private:
    std::filesystem::path m_path;
};

// The sprite of an object key, of the given type, or null.
template <typename T> T* spriteOf(const Skin& skin, const std::string& key)
{
    for (const auto& sprite : skin.sprites()) {
        if (sprite->key() == key) {
            return dynamic_cast<T*>(sprite.get());
        }
    }
    return nullptr;
}

// The pixel word without premultiplication worries: 0xAARRGGBB.
std::uint32_t pixelAt(const QImage& image, int x, int y);

} // namespace zr5::skin::test
