// The proxy page and everything the user can type wrong, checked against a
// real zr5.ini: what is accepted must read back exactly as it was entered.
#include "dialog_test_support.h"
#include "dialogs/check_list.h"
#include "dialogs/proxy_page.h"
#include "dialogs/qt_text.h"
#include "dialogs/rss_page.h"
#include "dialogs/scripts_page.h"
#include "dialogs/site_input.h"

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <random>

namespace zr5::ui {
namespace {

using Names = std::vector<std::string>;

TEST(SiteInput, NumbersAreReadWholeOrNotAtAll)
{
    EXPECT_EQ(parseInterval(QStringLiteral(" 15 ")), 15);
    for (const char* bad : { "0", "", "-5", "5m", "abc", "99999999999", "2147483648", "１２" }) {
        EXPECT_EQ(parseInterval(QString::fromUtf8(bad)), std::nullopt) << bad;
    }
    EXPECT_EQ(parsePort(QStringLiteral("8080")), 8080);
    EXPECT_EQ(parsePort(QStringLiteral("65535")), 65535);
    EXPECT_EQ(parsePort(QStringLiteral("")), 0);
    EXPECT_EQ(parsePort(QStringLiteral("http")), 0);
    EXPECT_EQ(parsePort(QStringLiteral("65536")), std::nullopt);
    EXPECT_EQ(parsePort(QString(10000, u'9')), std::nullopt);
}

TEST(SiteInput, RefusesWhatTheSettingsFileCannotHold)
{
    const QString url = QStringLiteral("http://a.example/rss");
    EXPECT_EQ(siteInputProblem(QStringLiteral("ニュース 〜 速報"), url), std::nullopt);
    EXPECT_TRUE(siteInputProblem(QStringLiteral("a,b"), url));
    EXPECT_TRUE(siteInputProblem(QStringLiteral("name"), QStringLiteral("http://x/?a=1,2")));
    EXPECT_TRUE(siteInputProblem(QStringLiteral("two\nlines"), url));
    EXPECT_TRUE(siteInputProblem(QString(QChar(0)) + QStringLiteral("x"), url));
    EXPECT_TRUE(siteInputProblem(QStringLiteral("smile 😀"), url));
    EXPECT_TRUE(siteInputProblem(QString(10000, u'x'), url));
    EXPECT_TRUE(siteInputProblem(QStringLiteral("n"), QString(1020, u'x')));
    EXPECT_EQ(firstLine(QStringLiteral("#c\nhttp://a/\nhttp://b/"), DroppedText::UriList),
        QStringLiteral("http://a/"));
    EXPECT_EQ(firstLine(QStringLiteral("#tag\nmore"), DroppedText::PlainText), QStringLiteral("#tag"));
}

// Whatever the checks let through must come back from the settings file
// byte for byte: random names and URLs built from the awkward characters.
TEST(SiteInput, EverythingAcceptedSurvivesTheSettingsFile)
{
    // Mostly characters that are fine, now and then one that is not.
    const std::u32string fine = U"a Z0;=[]\"' #%&\\/:?～〜ｶ日本語¥\u3000";
    const std::u32string awkward = U",\t\r\n\x01\x7f€😀";
    std::mt19937 random(20261208);
    int accepted = 0;
    for (int round = 0; round < 300; ++round) {
        QString fields[2];
        for (QString& field : fields) {
            std::size_t length = 1 + random() % 12;
            for (std::size_t i = 0; i < length; ++i) {
                const std::u32string& pieces = random() % 16 == 0 ? awkward : fine;
                char32_t c = pieces[random() % pieces.size()];
                field += QString::fromUcs4(&c, 1);
            }
        }
        if (siteInputProblem(fields[0], fields[1])) {
            continue;
        }
        ++accepted;
        core::ScriptList list;
        list.entries.push_back(
            std::make_unique<core::ScriptRecord>(core::RecordKind::Site, toCp932(fields[0])));
        list.entries.back()->url = toCp932(fields[1]);
        list.entries.back()->enabled = round % 2 == 0;
        core::ProfileFile file;
        core::storeSettings(file, list, core::Settings {});
        core::ScriptList back;
        core::loadSettings(core::ProfileFile::parse(file.serialize()), back);
        ASSERT_EQ(back.entries.size(), 1u) << fields[0].toStdString() << " | " << fields[1].toStdString();
        EXPECT_EQ(back.entries[0]->name, list.entries[0]->name);
        EXPECT_EQ(back.entries[0]->url, list.entries[0]->url);
        EXPECT_EQ(back.entries[0]->enabled, list.entries[0]->enabled);
    }
    EXPECT_GT(accepted, 100);
    EXPECT_LT(accepted, 300);
}

class ProxyTest : public test::SheetTest {
protected:
    ProxyPage& proxy() { return *m_sheet->proxyPage(); }
    void clickRadio(int type)
    {
        m_sheet->tabs()->setCurrentWidget(&proxy());
        QRadioButton* button = proxy().typeButton(type);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
    }
    bool serverFieldsEnabled()
    {
        return proxy().address()->isEnabled() && proxy().port()->isEnabled()
            && proxy().bypassLocal()->isEnabled();
    }
    bool serverFieldsDisabled()
    {
        return !proxy().address()->isEnabled() && !proxy().port()->isEnabled()
            && !proxy().bypassLocal()->isEnabled();
    }
};

TEST_F(ProxyTest, OnlyTheNamedProxyLiftsTheGreyButValuesAreKeptAndStored)
{
    m_proxy = { 2, "proxy.example", 3128, 1 };
    SettingsSheet& sheet = openSheet();
    sheet.tabs()->setCurrentWidget(&proxy());
    EXPECT_TRUE(proxy().typeButton(2)->isChecked());
    EXPECT_TRUE(serverFieldsEnabled());
    EXPECT_EQ(proxy().address()->text(), QStringLiteral("proxy.example"));
    EXPECT_EQ(proxy().port()->text(), QStringLiteral("3128"));
    EXPECT_TRUE(proxy().bypassLocal()->isChecked());

    clickRadio(1);
    EXPECT_TRUE(proxy().typeButton(1)->isChecked());
    EXPECT_FALSE(proxy().typeButton(2)->isChecked());
    EXPECT_TRUE(serverFieldsDisabled());
    EXPECT_EQ(proxy().address()->text(), QStringLiteral("proxy.example"));
    EXPECT_TRUE(sheet.applyButton()->isEnabled());

    sheet.okButton()->click();
    EXPECT_EQ(m_proxy.type, 1);
    EXPECT_EQ(m_proxy.address, "proxy.example");
    EXPECT_EQ(m_proxy.port, 3128);
    EXPECT_EQ(m_proxy.bypassLocal, 1);
}

TEST_F(ProxyTest, AnUnknownTypeChecksNothingAndSurvivesApply)
{
    m_proxy.type = 7;
    SettingsSheet& sheet = openSheet();
    for (int type = 0; type < 3; ++type) {
        EXPECT_FALSE(proxy().typeButton(type)->isChecked());
    }
    EXPECT_TRUE(serverFieldsDisabled());
    sheet.okButton()->click();
    EXPECT_EQ(m_proxy.type, 7);
    EXPECT_EQ(m_proxy.port, 8080);
}

TEST_F(ProxyTest, BadPortsAndAddressesKeepTheSheetOpenWithANote)
{
    SettingsSheet& sheet = openSheet();
    clickRadio(2);
    proxy().port()->setText(QStringLiteral("70000"));
    sheet.okButton()->click();
    EXPECT_TRUE(sheet.isVisible());
    EXPECT_EQ(sheet.tabs()->currentWidget(), &proxy());
    EXPECT_FALSE(proxy().note()->text().isEmpty());
    EXPECT_EQ(m_proxy.port, 8080);
    EXPECT_EQ(sheet.outcome(), 2);

    proxy().port()->setText(QStringLiteral("0"));
    proxy().address()->setText(QStringLiteral("host\x01name"));
    EXPECT_FALSE(sheet.apply());
    proxy().address()->setText(QString(10000, u'h'));
    EXPECT_FALSE(sheet.apply());
    proxy().address()->setText(QStringLiteral("プロキシ.example"));
    EXPECT_TRUE(sheet.apply());
    EXPECT_TRUE(proxy().note()->text().isEmpty());
    EXPECT_EQ(m_proxy.port, 0);
    EXPECT_EQ(m_proxy.address, core::test::sjis("プロキシ.example"));

    // Letters typed into the port never arrive.
    proxy().port()->clear();
    QTest::keyClicks(proxy().port(), QStringLiteral("8a0"));
    EXPECT_EQ(proxy().port()->text(), QStringLiteral("80"));
}

class BadSiteInputTest : public test::SheetTest {
protected:
    RssPage& rss() { return *m_sheet->rssPage(); }
    // Tries to add a site; true when the page took it.
    bool add(const QString& name, const QString& url)
    {
        int before = rss().siteList()->count();
        rss().nameEdit()->setText(name);
        rss().urlEdit()->setText(url);
        rss().addButton()->click();
        return rss().siteList()->count() == before + 1;
    }
};

TEST_F(BadSiteInputTest, RefusedSitesLeaveANoteAndNothingElse)
{
    SettingsSheet& sheet = openSheet();
    const QString url = QStringLiteral("http://ok.example/");
    struct Case {
        const char* scenario;
        QString name;
        QString url;
    };
    const Case cases[] = {
        { "comma in the name", QStringLiteral("Tokyo, Japan"), url },
        { "comma in the URL", QStringLiteral("Feed"), QStringLiteral("http://x/?q=a,b") },
        { "10000 characters", QString(10000, u'n'), url },
        { "binary paste", QString::fromLatin1("bin\0\x01\x7f\x1b", 7), url },
        { "line break", QStringLiteral("one\ntwo"), url },
        { "not in Shift_JIS", QStringLiteral("feed 😀"), url },
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(add(c.name, c.url)) << c.scenario;
        EXPECT_FALSE(rss().note()->text().isEmpty()) << c.scenario;
        EXPECT_EQ(rss().nameEdit()->text(), c.name) << "the input stays for mending: " << c.scenario;
    }
    EXPECT_EQ(sheet.scriptsPage()->pendingAdditions(), 0u);
    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "One", "b.zrs", "Two" }));

    // Mending the input clears the note; changing a site is checked the same way.
    EXPECT_TRUE(add(QStringLiteral("Tokyo Japan"), url));
    EXPECT_TRUE(rss().note()->text().isEmpty());
    rss().nameEdit()->setText(QStringLiteral("Tokyo,Japan"));
    rss().applyChangeButton()->click();
    EXPECT_EQ(rss().siteList()->currentItem()->text(), QStringLiteral("Tokyo Japan"));
    EXPECT_FALSE(rss().note()->text().isEmpty());
}

TEST_F(BadSiteInputTest, PastedTextGoesThroughTheSameChecks)
{
    openSheet();
    QApplication::clipboard()->setText(QString::fromLatin1("\x02\x03garbage,\x7f", 11));
    rss().nameEdit()->paste();
    rss().urlEdit()->setText(QStringLiteral("http://x/"));
    rss().addButton()->click();
    EXPECT_EQ(rss().siteList()->count(), 2);
}

TEST_F(BadSiteInputTest, AcceptedInputReadsBackFromZr5IniExactly)
{
    SettingsSheet& sheet = openSheet();
    const QString name = QStringLiteral(" 日本の ニュース～速報 ");
    const QString url = QStringLiteral("http://example.jp/rss?x=\"1\"&y=ｶﾅ ");
    ASSERT_TRUE(add(name, url));
    const QString longName(400, u'長');
    const QString longUrl = QStringLiteral("http://l/") + QString(1023 - 4 - 800 - 1 - 9 - 2, u'u');
    ASSERT_TRUE(add(longName, longUrl));
    EXPECT_FALSE(add(longName, longUrl + QStringLiteral("u")));
    sheet.scriptsPage()->interval()->setText(QStringLiteral("90"));
    m_sheet->proxyPage()->port()->setText(QStringLiteral("65535"));
    m_sheet->proxyPage()->address()->setText(QStringLiteral(" spaced "));
    sheet.okButton()->click();
    ASSERT_EQ(sheet.result(), QDialog::Accepted);

    core::Settings settings;
    settings.reloadMinutes = m_reload;
    settings.proxy = m_proxy;
    core::ScriptList again = roundTrip(settings);
    ASSERT_EQ(again.entries.size(), 6u);
    for (std::size_t i = 0; i < again.entries.size(); ++i) {
        EXPECT_EQ(again.entries[i]->name, m_list.entries[i]->name) << i;
        EXPECT_EQ(again.entries[i]->url, m_list.entries[i]->url) << i;
        EXPECT_EQ(again.entries[i]->enabled, m_list.entries[i]->enabled) << i;
    }
    EXPECT_EQ(toQString(again.entries[4]->name), name);
    EXPECT_EQ(toQString(again.entries[4]->url), url);
    EXPECT_EQ(toQString(again.entries[5]->url), longUrl);
    EXPECT_EQ(settings.reloadMinutes, 90);
    EXPECT_EQ(settings.proxy.port, 65535);
    EXPECT_EQ(settings.proxy.address, " spaced ");
}

} // namespace
} // namespace zr5::ui
