// OPML files on the RSS page: what an import adds, skips and refuses, and
// what an export writes, with real files in the scratch folder.
#include "core/opml.h"
#include "dialog_test_support.h"
#include "dialogs/check_list.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/rss_page.h"
#include "dialogs/scripts_page.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zr5::ui {
namespace {

using Names = std::vector<std::string>;
using core::test::readFile;
using core::test::sjis;
using core::test::writeFile;

class OpmlPageTest : public test::SheetTest {
protected:
    RssPage& rss() { return *m_sheet->rssPage(); }
    QString path(std::string_view name) const { return QString::fromStdString((m_folder / name).string()); }
    QString note() { return rss().note()->text(); }
    std::vector<bool> scriptChecks()
    {
        std::vector<bool> checks;
        CheckList& list = *m_sheet->scriptsPage()->scriptList();
        for (int row = 0; row < list.count(); ++row) {
            checks.push_back(CheckList::isChecked(list.item(row)));
        }
        return checks;
    }
};

const std::string kSubscriptions = R"(<?xml version="1.0" encoding="UTF-8"?>
<opml version="2.0"><body>
  <outline text="Japan">
    <outline text="Tech">
      <outline title="技術ニュース" xmlUrl="http://tech.example/rss"/>
    </outline>
    <outline title="One again" xmlUrl="http://one.example/rss"/>
  </outline>
  <outline title="Sites, with a comma" xmlUrl="http://comma.example/rss"/>
  <outline text="Emoji 🎉" xmlUrl="http://emoji.example/rss"/>
  <outline title="Tech twice" xmlUrl="http://tech.example/rss"/>
  <outline title="LONG" xmlUrl="http://long.example/rss"/>
  <outline xmlUrl="http://untitled.example/feed"/>
</body></opml>
)";

TEST_F(OpmlPageTest, ImportAddsNewSitesCheckedInTheFilesOrderAndRefusesWhatZr5IniCannotHold)
{
    std::string subscriptions = kSubscriptions;
    std::string longName(1000, 'x');
    subscriptions.replace(subscriptions.find("LONG"), 4, longName);
    writeFile(m_folder / "feeds.opml", subscriptions);
    SettingsSheet& sheet = openSheet();
    rss().importOpml(path("feeds.opml"));

    EXPECT_EQ(
        rssNames(), (Names { "One", "Two", "技術ニュース", "Emoji 〓", "http://untitled.example/feed" }))
        << "registered URLs and second copies skipped";
    EXPECT_EQ(scriptRows(),
        (Names {
            "a.zrs", "One", "b.zrs", "Two", "技術ニュース", "Emoji 〓", "http://untitled.example/feed" }));
    EXPECT_EQ(scriptChecks(), (std::vector<bool> { true, true, false, false, true, true, true }));
    EXPECT_EQ(note(),
        QStringLiteral(
            "「Sites, with a comma」を追加できません: サイト名と URL にはカンマ (,) を使えません。\n"
            "「xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx…」を追加できません: "
            "サイト名と URL が長すぎます。合わせて 1000 バイト以内にしてください。"));
    EXPECT_EQ(m_list.entries.size(), 4u) << "not before apply";

    sheet.okButton()->click();
    ASSERT_EQ(m_list.entries.size(), 7u);
    EXPECT_EQ(listNames(),
        (Names { "a.zrs*", "One*", "b.zrs.", "Two.", sjis("技術ニュース*"), sjis("Emoji 〓*"),
            "http://untitled.example/feed*" }));
    const core::ScriptRecord& tech = *m_list.entries[4];
    EXPECT_TRUE(tech.isSite());
    EXPECT_EQ(tech.url, "http://tech.example/rss");
    EXPECT_TRUE(tech.categories.empty());

    // The settings file holds them as they are.
    core::Settings settings;
    core::ScriptList again = roundTrip(settings);
    ASSERT_EQ(again.entries.size(), 7u);
    EXPECT_EQ(again.entries[5]->name, sjis("Emoji 〓"));
    EXPECT_TRUE(again.entries[5]->enabled);
}

TEST_F(OpmlPageTest, ImportingTheSameFileTwiceAddsNothingTheSecondTimeAndCancelFreesTheSites)
{
    writeFile(m_folder / "feeds.opml", kSubscriptions);
    SettingsSheet& sheet = openSheet();
    rss().importOpml(path("feeds.opml"));
    std::size_t pending = sheet.scriptsPage()->pendingAdditions();
    EXPECT_EQ(pending, 4u);
    rss().importOpml(path("feeds.opml"));
    EXPECT_EQ(sheet.scriptsPage()->pendingAdditions(), pending);
    EXPECT_EQ(rssNames().size(), 2u + pending);

    sheet.cancelButton()->click();
    EXPECT_EQ(sheet.scriptsPage()->pendingAdditions(), 0u);
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs.", "Two." }));
}

TEST_F(OpmlPageTest, AFileThatIsNoOpmlLeavesTheSitesAndSaysSo)
{
    writeFile(m_folder / "page.html", "<html><body><outline xmlUrl=\"http://x/\"/></body></html>");
    openSheet();
    const QString unreadable = msg::tr8(msg::kOpmlUnreadable);
    for (const char* name : { "page.html", "missing.opml", "." }) {
        rss().note()->clear();
        rss().importOpml(path(name));
        EXPECT_EQ(note(), unreadable) << name;
    }
    EXPECT_EQ(rssNames(), (Names { "One", "Two" }));
    EXPECT_EQ(m_sheet->scriptsPage()->pendingAdditions(), 0u);
}

TEST_F(OpmlPageTest, ManyRefusalsAreCountedRatherThanListed)
{
    std::string opml = "<opml><body>";
    for (int i = 0; i < 8; ++i) {
        opml += "<outline title=\"a,b" + std::to_string(i) + "\" xmlUrl=\"http://r/" + std::to_string(i)
            + "\"/>";
    }
    writeFile(m_folder / "refused.opml", opml + "</body></opml>");
    openSheet();
    rss().importOpml(path("refused.opml"));
    QStringList lines = note().split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("「a,b0」")));
    EXPECT_EQ(lines[5], QStringLiteral("ほか 3 件のサイトも追加できませんでした。"));
    EXPECT_EQ(rssNames(), (Names { "One", "Two" }));
}

TEST_F(OpmlPageTest, ExportWritesTheListedSitesAndImportingThemBackGivesTheSameSites)
{
    openSheet();
    rss().nameEdit()->setText(QStringLiteral("髙橋 \"速報\" <&>"));
    rss().urlEdit()->setText(QStringLiteral("http://three.example/rss?a=1&b=2"));
    rss().addButton()->click();
    rss().exportOpml(path("sites.opml"));
    EXPECT_TRUE(note().isEmpty());

    std::string written = readFile(m_folder / "sites.opml");
    EXPECT_NE(written.find("<opml version=\"2.0\">"), std::string::npos);
    EXPECT_NE(written.find("<title>Zephyrant2</title>"), std::string::npos);
    EXPECT_NE(written.find("text=\"髙橋 &quot;速報&quot; &lt;&amp;&gt;\""), std::string::npos) << written;
    EXPECT_EQ(core::readOpml(written),
        (std::vector<core::OpmlSite> { { "One", "http://one.example/rss" },
            { "Two", "http://two.example/rss" },
            { sjis("髙橋 \"速報\" <&>"), "http://three.example/rss?a=1&b=2" } }));

    // Emptied, then filled again from the file.
    while (rss().siteList()->count() > 0) {
        rss().siteList()->setCurrentRow(0);
        rss().deleteButton()->click();
    }
    rss().importOpml(path("sites.opml"));
    EXPECT_EQ(rssNames(), (Names { "One", "Two", "髙橋 \"速報\" <&>" }));
    m_sheet->okButton()->click();
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "b.zrs.", "One*", "Two*", sjis("髙橋 \"速報\" <&>*") }));
}

TEST_F(OpmlPageTest, AnExportSaysWhyItCouldNotBeWrittenAndReplacesAnOldFile)
{
    writeFile(m_folder / "old.opml", "old");
    openSheet();
    rss().exportOpml(path("no-such-folder/sites.opml"));
    EXPECT_TRUE(note().startsWith(msg::tr8(msg::kOpmlNotWritten))) << note().toStdString();
    EXPECT_TRUE(note().contains(QStringLiteral("no-such-folder"))) << note().toStdString();

    rss().exportOpml(path("old.opml"));
    EXPECT_TRUE(note().isEmpty());
    EXPECT_TRUE(core::readOpml(readFile(m_folder / "old.opml")));
}

} // namespace
} // namespace zr5::ui
