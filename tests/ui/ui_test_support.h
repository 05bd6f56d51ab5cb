// What the ticker's widget tests share: a QApplication on the offscreen
// platform (see main in ui_test_support.cpp), skin folders written on the
// spot, and message boxes recorded instead of shown.
#pragma once

#include "core_test_support.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace zr5::ui::test {

using core::test::readFile;
using core::test::ScratchFolder;
using core::test::sjis;
using core::test::writeFile;

// A skin folder: frame.bmp (a 20x20 opaque picture) and zr5.skn holding a
// main window of the given size plus extra statements inside it.
void writeSkin(
    const std::filesystem::path& folder, int width = 200, int height = 40, std::string_view extra = {});
// The same folder with a script of one's own.
void writeSkinScript(const std::filesystem::path& folder, std::string_view script);

// UTF-8 text of the recorded boxes, "caption: text" each, joined by '\n'.
std::string recordedBoxesUtf8();

// Runs the event loop until done() or about two seconds have passed.
bool waitFor(const std::function<bool()>& done, int limitMs = 2000);

} // namespace zr5::ui::test
