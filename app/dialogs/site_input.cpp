#include "dialogs/site_input.h"

#include "core/profile_file.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/qt_text.h"

#include <QRegularExpression>
#include <limits>

namespace zr5::ui {
namespace {

std::optional<std::uint64_t> parseDigits(const QString& text, std::uint64_t limit)
{
    QString digits = text.trimmed();
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint64_t>(c.unicode() - u'0');
        if (value > limit) {
            return limit + 1; // saturate: the caller only needs "too big"
        }
    }
    return value;
}

bool hasControlCharacter(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control) {
            return true;
        }
    }
    return false;
}

// Shift_JIS maps some characters onto look-alikes (which is fine) and drops
// the ones it lacks (which would change the text behind the user's back).
bool survivesCp932(const QString& text)
{
    return toQString(toCp932(text)).toUcs4().size() == text.toUcs4().size();
}

std::optional<std::string_view> textProblem(const QString& text)
{
    if (hasControlCharacter(text)) {
        return msg::kControlRefused;
    }
    if (!survivesCp932(text)) {
        return msg::kUnencodableRefused;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int32_t> parseInterval(const QString& text)
{
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    std::optional<std::uint64_t> value = parseDigits(text, kMax);
    if (!value || *value == 0 || *value > kMax) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

std::optional<std::int32_t> parsePort(const QString& text)
{
    constexpr std::uint64_t kMaxPort = 65535;
    std::optional<std::uint64_t> value = parseDigits(text, kMaxPort);
    if (!value) {
        return 0;
    }
    if (*value > kMaxPort) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

std::optional<std::string_view> siteInputProblem(const QString& name, const QString& url)
{
    if (name.contains(u',') || url.contains(u',')) {
        return msg::kCommaRefused;
    }
    for (const QString* text : { &name, &url }) {
        if (auto problem = textProblem(*text)) {
            return problem;
        }
    }
    // "R,*," name "," url, and two more bytes in case the value gets quoted.
    std::size_t bytes = 4 + toCp932(name).size() + 1 + toCp932(url).size() + 2;
    if (bytes > core::ProfileFile::kMaxValueBytes) {
        return msg::kTooLongRefused;
    }
    return std::nullopt;
}

std::optional<std::string_view> addressProblem(const QString& address)
{
    if (address.size() > kMaxAddressLength || textProblem(address)) {
        return msg::kAddressRefused;
    }
    return std::nullopt;
}

QString firstLine(const QString& text, DroppedText kind)
{
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        QString trimmed = line.trimmed();
        bool comment = kind == DroppedText::UriList && trimmed.startsWith(u'#');
        if (!trimmed.isEmpty() && !comment) {
            return trimmed;
        }
    }
    return {};
}

} // namespace zr5::ui
