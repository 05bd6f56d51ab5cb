#include "render_command.h"

#include "core/text_codec.h"
#include "skin/runtime/frame_renderer.h"

#include <QImage>
#include <charconv>
#include <string_view>

namespace zr5::skin {
namespace {

constexpr long long kFrameMs = 10;
constexpr long long kMaxFrames = 1'000'000;
// Beyond the densest screens there are; the picture grows with its square.
constexpr double kMaxScale = 4.0;
constexpr std::string_view kScaleNeeded = ": a number above 0 and at most 4 is needed, as 2 or 1.5";

template <typename T> bool parseNumber(std::string_view text, T& out)
{
    auto result = std::from_chars(text.data(), text.data() + text.size(), out);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool parseSize(std::string_view text, RenderOptions& options)
{
    std::size_t x = text.find('x');
    return x != std::string_view::npos && parseNumber(text.substr(0, x), options.width)
        && parseNumber(text.substr(x + 1), options.height) && options.width > 0 && options.height > 0;
}

bool parseScale(std::string_view text, RenderOptions& options)
{
    return parseNumber(text, options.scale) && gfx::isValidScale(options.scale) && options.scale <= kMaxScale;
}

bool parseEvent(std::string_view text, RenderOptions& options)
{
    std::size_t at = text.find('@');
    RenderOptions::Event event {};
    if (at == std::string_view::npos || !parseNumber(text.substr(0, at), event.index)
        || !parseNumber(text.substr(at + 1), event.at)) {
        return false;
    }
    options.events.push_back(event);
    return true;
}

bool parseOption(std::string_view name, std::string_view value, RenderOptions& options)
{
    if (name == "--size") {
        return parseSize(value, options);
    }
    if (name == "--scale") {
        return parseScale(value, options);
    }
    if (name == "--at") {
        return parseNumber(value, options.at);
    }
    if (name == "--frames") {
        return parseNumber(value, options.frames) && options.frames >= 1 && options.frames <= kMaxFrames;
    }
    if (name == "--speed") {
        return parseNumber(value, options.speed);
    }
    if (name == "--event") {
        return parseEvent(value, options);
    }
    if (name == "--headline") {
        options.headlines.emplace_back(value);
        return true;
    }
    return false;
}

// "TITLE|LINK|LABEL" in UTF-8; missing parts are empty.
core::HeadlineListPtr headlineList(const std::vector<std::string>& headlines)
{
    auto list = std::make_shared<core::HeadlineList>();
    for (const std::string& text : headlines) {
        std::string parts[3];
        std::size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            std::size_t bar = i < 2 ? text.find('|', start) : std::string::npos;
            parts[i] = text.substr(
                std::min(start, text.size()), bar == std::string::npos ? std::string::npos : bar - start);
            start = bar == std::string::npos ? text.size() : bar + 1;
        }
        list->append(core::utf8ToCp932(parts[0]), core::utf8ToCp932(parts[1]), core::utf8ToCp932(parts[2]));
    }
    return list;
}

} // namespace

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& error)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) != 0) {
            positional.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size() || !parseOption(args[i], args[i + 1], options)) {
            error = "bad option " + args[i];
            if (args[i] == "--scale") {
                error += kScaleNeeded;
            }
            return false;
        }
        ++i;
    }
    if (positional.size() != 2) {
        error = "render needs SKINDIR and OUT.png";
        return false;
    }
    options.folder = positional[0];
    options.output = positional[1];
    return true;
}

int runRender(const RenderOptions& options, std::string& error)
{
    SkinLoadResult result = Skin::load(options.folder);
    if (!result.skin) {
        error = std::string(result.error.caption) + "\n" + result.error.message;
        return 1;
    }
    Skin& skin = *result.skin;
    int width = options.width > 0 ? options.width : skin.geometry().designWidth;
    int height = options.height > 0 ? options.height : skin.geometry().designHeight;
    auto display = std::make_shared<core::DisplayHolder>();
    if (!options.headlines.empty()) {
        display->setMainList(headlineList(options.headlines));
    }
    display->setSpeed(options.speed);
    std::vector<bool> fired(options.events.size(), false);
    std::shared_ptr<gfx::Surface32> frame;
    for (long long i = 0; i < options.frames; ++i) {
        const long long now = options.at + i * kFrameMs;
        frame = renderFrame(skin, display, static_cast<std::uint32_t>(now), width, height, options.scale);
        if (!frame) {
            error = "cannot make a surface of that size";
            return 3;
        }
        // As a key press between two frames: the handler runs from the next frame on.
        for (std::size_t e = 0; e < options.events.size(); ++e) {
            if (!fired[e] && options.events[e].at <= now) {
                fired[e] = true;
                skin.fireEvent(options.events[e].index);
            }
        }
    }
    if (!frame->image().save(QString::fromStdString(options.output), "PNG")) {
        error = "cannot write " + options.output;
        return 3;
    }
    return 0;
}

} // namespace zr5::skin
