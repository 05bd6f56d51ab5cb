#include "gfx_test_support.h"

#include <QGuiApplication>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

namespace zr5::gfx::test {

namespace {

// Qt wants one application object for painting; no display is needed.
class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[10] = "gfx_tests";
    char* m_argv[2] = { m_name, nullptr };
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

void put16(Bytes& out, std::uint32_t v)
{
    out.push_back(static_cast<unsigned char>(v & 0xFF));
    out.push_back(static_cast<unsigned char>(v >> 8 & 0xFF));
}

void put32(Bytes& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putPixel(Bytes& row, int x, int bits, std::uint32_t v)
{
    if (bits < 8) {
        const int perByte = 8 / bits;
        const int shift = 8 - bits * (x % perByte + 1);
        row[static_cast<std::size_t>(x / perByte)] |= static_cast<unsigned char>(v << shift);
        return;
    }
    for (int b = 0; b < bits / 8; ++b) {
        row[static_cast<std::size_t>(x * (bits / 8) + b)] = static_cast<unsigned char>(v >> (8 * b) & 0xFF);
    }
}

int fileRowToPictureRow(int fileRow, int height, bool topDown)
{
    return topDown ? fileRow : height - 1 - fileRow;
}

// Runs of equal values along each row (bottom-up), then end of line / end of picture.
Bytes encodeRle(int width, int height, const PixelFunction& index, int bits)
{
    Bytes out;
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const int y = height - 1 - fileRow;
        for (int x = 0; x < width;) {
            int run = 1;
            while (x + run < width && run < 255 && index(x + run, y) == index(x, y)) {
                ++run;
            }
            const auto v = static_cast<unsigned char>(index(x, y));
            out.push_back(static_cast<unsigned char>(run));
            out.push_back(bits == 8 ? v : static_cast<unsigned char>(v << 4 | v));
            x += run;
        }
        out.insert(out.end(), { 0, 0 });
    }
    out.insert(out.end(), { 0, 1 });
    return out;
}

std::string currentTestName()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "gfx";
    for (char& c : name) {
        c = (c == '/' ? '_' : c);
    }
    return name;
}

std::string hex(std::uint32_t v)
{
    std::ostringstream s;
    s << "0x" << std::hex << std::uppercase << v;
    return s.str();
}

bool closeEnough(std::uint32_t a, std::uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8) {
        if (std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)) > tolerance) {
            return false;
        }
    }
    return true;
}

} // namespace

Bytes encodeBmp(const BmpContent& content)
{
    const std::uint32_t extras
        = static_cast<std::uint32_t>(4 * (content.bitFields.size() + content.palette.size()));
    const std::uint32_t offset = 14 + 40 + extras;
    Bytes out { 'B', 'M' };
    put32(out, offset + static_cast<std::uint32_t>(content.pixels.size()));
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(content.width));
    put32(out, static_cast<std::uint32_t>(content.height));
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(content.bitsPerPixel));
    put32(out, content.compression);
    put32(out, static_cast<std::uint32_t>(content.pixels.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, static_cast<std::uint32_t>(content.palette.size()));
    put32(out, 0);
    for (std::uint32_t mask : content.bitFields) {
        put32(out, mask);
    }
    for (std::uint32_t colour : content.palette) {
        put32(out, colour); // stored B, G, R, reserved: the same bytes as 0x00RRGGBB little-endian
    }
    out.insert(out.end(), content.pixels.begin(), content.pixels.end());
    return out;
}

Bytes packRows(int width, int height, int bitsPerPixel, bool topDown, const PixelFunction& value)
{
    const std::size_t stride = static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
    Bytes out;
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        Bytes row(stride, 0);
        const int y = fileRowToPictureRow(fileRow, height, topDown);
        for (int x = 0; x < width; ++x) {
            putPixel(row, x, bitsPerPixel, value(x, y));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes encodeRle8(int width, int height, const PixelFunction& index)
{
    return encodeRle(width, height, index, 8);
}

Bytes encodeRle4(int width, int height, const PixelFunction& index)
{
    return encodeRle(width, height, index, 4);
}

TempFiles::TempFiles()
{
    std::random_device random;
    m_dir = std::filesystem::temp_directory_path() / ("zr5gfx-" + std::to_string(random()));
    std::filesystem::create_directories(m_dir);
}

TempFiles::~TempFiles()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
}

std::filesystem::path TempFiles::write(const std::string& name, const Bytes& bytes) const
{
    const auto path = m_dir / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

Surface32 makeSurface(int width, int height, const PixelFunction& pixel)
{
    Surface32 surface;
    surface.create(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            surface.setPixel(x, y, pixel(x, y));
        }
    }
    return surface;
}

Surface32 filledSurface(int width, int height, std::uint32_t argb)
{
    return makeSurface(width, height, [argb](int, int) { return argb; });
}

::testing::AssertionResult surfaceMatches(
    const Surface32& actual, const PixelFunction& expected, int tolerance)
{
    QImage wanted(actual.width(), actual.height(), QImage::Format_ARGB32_Premultiplied);
    std::ostringstream report;
    int wrong = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const std::uint32_t want = expected(x, y);
            wanted.setPixel(x, y, want);
            if (!closeEnough(actual.pixel(x, y), want, tolerance) && ++wrong <= 8) {
                report << " (" << x << "," << y << ") is " << hex(actual.pixel(x, y)) << " want " << hex(want)
                       << ";";
            }
        }
    }
    if (wrong == 0) {
        return ::testing::AssertionSuccess();
    }
    const std::string name = currentTestName();
    actual.image().save(QString::fromStdString(name + "-actual.png"));
    wanted.save(QString::fromStdString(name + "-expected.png"));
    return ::testing::AssertionFailure()
        << wrong << " pixels differ:" << report.str() << " (PNGs: " << name << "-actual.png, -expected.png)";
}

} // namespace zr5::gfx::test
