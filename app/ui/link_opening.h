// Opening what the user asks for in the desktop's browser: a headline's link
// and the help file.
#pragma once

#include "core/headline_list.h"

#include <filesystem>

class QWidget;

namespace zr5::ui {

// Nothing for a headline without a link, or with one that may not be opened.
void openHeadlineLink(const core::Headline* headline);
// A box owned by owner when the file is missing.
void openHelpFile(QWidget* owner, const std::filesystem::path& helpFile);

} // namespace zr5::ui
