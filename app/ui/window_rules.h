// The arithmetic of the ticker window that the skin decides: size limits,
// size steps, which edges a grip resizes, and keeping a remembered rectangle
// on screen.
#pragma once

#include <QRect>
#include <QSize>
#include <Qt>

namespace zr5::skin {
class Skin;
}

namespace zr5::ui {

// A limit of 0 leaves the platform's own.
struct SizeLimits {
    int minWidth = 0;
    int minHeight = 0;
    int maxWidth = 0;
    int maxHeight = 0;
};

struct SizeSteps {
    int x = 1;
    int y = 1;
};

// From the skin's main window: xmin (else xborder0 + xborder1), ymin (else
// yborder0 + yborder1), xmax, ymax; values of 0 or less are left out.
SizeLimits sizeLimits(const skin::Skin& skin);
// xstep and ystep, each 1 when 0 or less.
SizeSteps sizeSteps(const skin::Skin& skin);
// The largest multiples of the steps not above the size (never below one step).
QSize applySizeSteps(QSize size, SizeSteps steps);

// The edges the grip with this index resizes; none for the centre and -1.
Qt::Edges gripEdges(int gripIndex);

// A remembered window rectangle made usable: an empty size takes the skin's
// size, and a rectangle that lies off every screen is moved onto the nearest
// one (fitting it in where it can).
QRect placeOnScreens(QRect saved, QSize skinSize);

} // namespace zr5::ui
