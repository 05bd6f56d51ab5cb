// A label that names a field: its "(&N)" letter moves the focus there.
#pragma once

#include "dialogs/dialog_messages.h"

#include <QLabel>
#include <string_view>

namespace zr5::ui {

inline QLabel* fieldLabel(std::string_view text, QWidget* field, QWidget* parent)
{
    auto* label = new QLabel(msg::tr8(text), parent);
    label->setBuddy(field);
    return label;
}

} // namespace zr5::ui
