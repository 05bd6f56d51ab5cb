// Where a docked ticker goes, which screen the window belongs to, and the
// strip it reserves: plain arithmetic on rectangles, no display needed.
#pragma once

#include "core/settings.h"

#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zr5::ui {

struct ScreenArea {
    std::string name;
    QRect available; // the screen less the panels that reserve space on it
};

// The strip of the given height along the edge of an available area, as
// wide as the area. None for any other edge, an empty area or a height below 1
// (the window then stays free); a strip taller than the area is cut to it.
std::optional<QRect> dockedRect(core::WindowDock dock, const QRect& available, int height);

// The available area as it would be without the window's own strip: once
// the window manager honours the strip, the area shrinks by it, and docking
// to the shrunken area would push the window further in each time.
QRect withoutOwnStrip(QRect available, core::WindowDock dock, const QRect& ownStrip);

// The screen that has the name, else the usable one nearest to the rectangle
// (the largest overlap, then the shortest distance). Screens with an empty
// area are never chosen; -1 when no screen is usable.
int chooseScreen(const std::vector<ScreenArea>& screens, const std::string& name, const QRect& near);

// The rectangle moved (not resized) so that as much of it as fits lies in
// the area, its top left corner first.
QRect keepInside(const QRect& rect, const QRect& area);

// _NET_WM_STRUT_PARTIAL: left, right, top, bottom, then the start and end of
// the left, right, top and bottom strips. Everything in root coordinates;
// the bottom strip counts from the bottom of the whole root window.
using StrutPartial = std::array<std::uint32_t, 12>;
StrutPartial strutPartial(core::WindowDock dock, const QRect& strip, const QRect& root);

} // namespace zr5::ui
