// Checks and conversions of what the user types into the settings sheet.
// Everything accepted here is stored in zr5.ini and must read back exactly.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zr5::ui {

// A patrol interval in minutes: digits only, greater than 0, within 32 bits.
// Anything else leaves the interval as it was.
std::optional<std::int32_t> parseInterval(const QString& text);

// A proxy port: digits read as an unsigned number, 0 when the text is not a
// number. Empty result: a number outside 0..65535.
std::optional<std::int32_t> parsePort(const QString& text);

// Why a site cannot be stored as typed (a message of dialog_messages.h), or
// nothing when it can.
std::optional<std::string_view> siteInputProblem(const QString& name, const QString& url);

// The same for the proxy address (at most kMaxAddressLength characters).
std::optional<std::string_view> addressProblem(const QString& address);

inline constexpr int kMaxAddressLength = 254;

// The first link of dropped text, without surrounding blanks. A uri-list may
// carry comment lines starting with '#'.
enum class DroppedText { PlainText, UriList };
QString firstLine(const QString& text, DroppedText kind);

} // namespace zr5::ui
