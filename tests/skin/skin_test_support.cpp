#include "skin_test_support.h"

#include <QGuiApplication>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace zr5::skin::test {

void ensureGuiApplication()
{
    if (!QGuiApplication::instance()) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "skin_tests";
        static char* argv[] = { name, nullptr };
        static QGuiApplication app(argc, argv);
    }
}

TempSkinFolder::TempSkinFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zr5-skin-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

TempSkinFolder::~TempSkinFolder()
{
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

void TempSkinFolder::writeCells(const std::string& name, int cellWidth, int cellHeight, int columns, int rows,
    const std::vector<std::uint32_t>& colors) const
{
    QImage image(cellWidth * columns, cellHeight * rows, QImage::Format_RGB32);
    image.fill(0xFF000000u);
    for (std::size_t k = 0; k < colors.size(); ++k) {
        int x = static_cast<int>(k % columns) * cellWidth;
        int y = static_cast<int>(k / columns) * cellHeight;
        for (int dy = 0; dy < cellHeight; ++dy) {
            for (int dx = 0; dx < cellWidth; ++dx) {
                image.setPixel(x + dx, y + dy, 0xFF000000u | colors[k]);
            }
        }
    }
    image.save(QString::fromStdString((m_path / name).string()), "BMP");
}

void TempSkinFolder::writeScript(const std::string& script) const
{
    std::ofstream(m_path / "zr5.skn", std::ios::binary) << script;
}

std::uint32_t pixelAt(const QImage& image, int x, int y)
{
    return reinterpret_cast<const std::uint32_t*>(image.constScanLine(y))[x];
}

} // namespace zr5::skin::test
