// Each text a message shows, drawn and keyed once and copied in while it
// stays in view: a ticker would otherwise draw every visible title up to six
// times a frame (shadow, outline, text), a hundred frames a second.
#pragma once

#include "gfx/surface32.h"

#include <QPoint>
#include <QRect>
#include <string>
#include <unordered_map>

namespace zr5::skin {

class TextPainter;

// A text drawn by TextPainter with its pen at `origin`, on magenta keyed
// out: transparent wherever no glyph fell.
struct TextImage {
    gfx::Surface32 surface;
    QPoint origin; // the pen's place on the surface, in device pixels
};

class TextImageCache final {
public:
    // Texts drawn wider than this are not kept: a title may be far longer
    // than any screen. Such a text is drawn afresh each time, only within
    // `visible`.
    static constexpr int kMaxKeptWidth = 4096;

    // The text's image. visible: the device pixels that can show, relative to
    // the pen. Null when the text draws nothing there or memory is short. The
    // image stays valid until the next call.
    const TextImage* image(TextPainter& painter, const std::string& text, const QRect& visible);
    // Drops every text not asked for since the last sweep.
    void sweep();
    void clear();

private:
    struct Kept {
        TextImage image;
        bool used = true;
    };

    bool drawInto(TextImage& image, TextPainter& painter, const std::string& text, const QRect& area);

    std::unordered_map<std::string, Kept> m_kept;
    TextImage m_unkept; // the last text too wide to keep
};

} // namespace zr5::skin
