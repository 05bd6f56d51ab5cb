#include "ui/link_opening.h"

#include "core/debug_output.h"
#include "dialogs/qt_text.h"
#include "ui/link_target.h"
#include "ui/message_box.h"
#include "ui/ui_messages.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace zr5::ui {
namespace {

void openUrl(const QUrl& url)
{
    core::debugOutput(std::string(msg::kOpenUrlPrefix) + url.toString().toStdString() + "\n");
    QDesktopServices::openUrl(url);
}

} // namespace

void openHeadlineLink(const core::Headline* headline)
{
    if (!headline || headline->link.empty()) {
        return;
    }
    QUrl url = linkTarget(toQString(headline->link));
    if (url.isValid()) {
        openUrl(url);
    }
}

void openHelpFile(QWidget* owner, const std::filesystem::path& helpFile)
{
    QFileInfo help(QString::fromStdString(helpFile.string()));
    if (!help.isFile()) {
        showMessageBox(owner, msg::kCaptionHelpError, msg::kHelpMissing);
        return;
    }
    openUrl(QUrl::fromLocalFile(help.absoluteFilePath()));
}

} // namespace zr5::ui
