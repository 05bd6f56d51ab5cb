// The Qt edge of the program's text: everything inside is Shift_JIS (CP932),
// widgets speak UTF-16.
#pragma once

#include "core/text_codec.h"

#include <QString>
#include <string>
#include <string_view>

namespace zr5::ui {

inline QString toQString(std::string_view cp932)
{
    return QString::fromStdString(core::cp932ToUtf8(cp932));
}

// Characters Shift_JIS cannot hold are dropped.
inline std::string toCp932(const QString& text)
{
    return core::utf8ToCp932(text.toStdString());
}

} // namespace zr5::ui
