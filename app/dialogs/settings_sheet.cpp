#include "dialogs/settings_sheet.h"

#include "dialogs/dialog_messages.h"
#include "dialogs/display_page.h"
#include "dialogs/proxy_page.h"
#include "dialogs/rss_page.h"
#include "dialogs/scripts_page.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zr5::ui {

SettingsSheet::SettingsSheet(QWidget* owner, SettingsContext& context)
    : QDialog(owner)
    , m_context(context)
    , m_tabs(new QTabWidget(this))
    , m_scriptsPage(new ScriptsPage(context.scripts, context.reloadMinutes, context.report, m_tabs))
    , m_rssPage(new RssPage(context.scripts, *m_scriptsPage, context.report, m_tabs))
    , m_proxyPage(new ProxyPage(context.proxy, m_tabs))
    , m_displayPage(new DisplayPage(
          context.window, context.screenNames, context.autostartEntry, context.autostart, m_tabs))
{
    setWindowTitle(msg::tr8(msg::kSheetCaption));
    setModal(true);
    m_tabs->addTab(m_scriptsPage, msg::tr8(msg::kScriptsTab));
    m_tabs->addTab(m_rssPage, msg::tr8(msg::kRssTab));
    m_tabs->addTab(m_proxyPage, msg::tr8(msg::kProxyTab));
    m_tabs->addTab(m_displayPage, msg::tr8(msg::kDisplayTab));

    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(msg::tr8(msg::kOk), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(msg::tr8(msg::kCancel), QDialogButtonBox::RejectRole);
    m_apply = buttons->addButton(msg::tr8(msg::kApply), QDialogButtonBox::ApplyRole);
    m_ok->setDefault(true);
    m_apply->setEnabled(false);
    m_rssPage->setOkButton(m_ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &SettingsSheet::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SettingsSheet::reject);
    connect(m_apply, &QPushButton::clicked, this, &SettingsSheet::apply);

    connect(m_scriptsPage, &ScriptsPage::changed, this, &SettingsSheet::markChanged);
    connect(m_scriptsPage, &ScriptsPage::sitesSwapped, m_rssPage, &RssPage::swapSites);
    connect(m_rssPage, &RssPage::changed, this, &SettingsSheet::markChanged);
    connect(m_proxyPage, &ProxyPage::changed, this, &SettingsSheet::markChanged);
    connect(m_displayPage, &DisplayPage::changed, this, &SettingsSheet::markChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
}

void SettingsSheet::markChanged()
{
    m_apply->setEnabled(true);
}

bool SettingsSheet::apply()
{
    if (m_proxyPage->check()) {
        m_tabs->setCurrentWidget(m_proxyPage);
        return false;
    }
    // The only step the system may refuse goes first, so that a refusal
    // leaves everything else as it was.
    if (!m_displayPage->applyAutostart()) {
        m_tabs->setCurrentWidget(m_displayPage);
        return false;
    }
    m_scriptsPage->apply();
    m_proxyPage->apply(m_context.proxy);
    m_displayPage->apply(m_context.window);
    m_applied = true;
    m_apply->setEnabled(false);
    return true;
}

void SettingsSheet::accept()
{
    if (apply()) {
        QDialog::accept();
    }
}

void SettingsSheet::reject()
{
    m_scriptsPage->discard();
    QDialog::reject();
}

int runSettingsSheet(QWidget* owner, SettingsContext& context)
{
    SettingsSheet sheet(owner, context);
    sheet.exec();
    return sheet.outcome();
}

} // namespace zr5::ui
