// The settings sheet on a script list read from real files: the news scripts
// page, the RSS page (with its mirror on the scripts page), OK/Apply/Cancel.
#include "dialog_test_support.h"
#include "dialogs/check_list.h"
#include "dialogs/qt_text.h"
#include "dialogs/rss_page.h"
#include "dialogs/scripts_page.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace zr5::ui {
namespace {

using Names = std::vector<std::string>;
using test::clickRow;

class ScriptsPageTest : public test::SheetTest {
protected:
    ScriptsPage& page() { return *m_sheet->scriptsPage(); }
    CheckList& scripts() { return *page().scriptList(); }
    CheckList& categories() { return *page().categoryList(); }
    std::vector<bool> categoryChecks()
    {
        std::vector<bool> checks;
        for (int row = 0; row < categories().count(); ++row) {
            checks.push_back(CheckList::isChecked(categories().item(row)));
        }
        return checks;
    }
};

TEST_F(ScriptsPageTest, OpensWithTheListItsChecksAndTheGreyedAuthentication)
{
    SettingsSheet& sheet = openSheet();
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("設定"));
    ASSERT_EQ(sheet.tabs()->count(), 4);
    EXPECT_EQ(sheet.tabs()->tabText(0), QStringLiteral("ニュース スクリプト"));
    EXPECT_EQ(sheet.tabs()->tabText(1), QStringLiteral("RSS"));
    EXPECT_EQ(sheet.tabs()->tabText(2), QStringLiteral("プロキシ"));
    EXPECT_FALSE(sheet.applyButton()->isEnabled());

    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "One", "b.zrs", "Two" }));
    std::vector<bool> checks;
    std::vector<bool> sites;
    for (int row = 0; row < scripts().count(); ++row) {
        checks.push_back(CheckList::isChecked(scripts().item(row)));
        sites.push_back(scripts().item(row)->data(CheckList::SiteRole).toBool());
    }
    EXPECT_EQ(checks, (std::vector<bool> { true, true, false, false }));
    EXPECT_EQ(sites, (std::vector<bool> { false, true, false, true }));
    EXPECT_EQ(page().interval()->text(), QStringLiteral("30"));
    EXPECT_FALSE(page().authGroup()->isEnabled());
    EXPECT_FALSE(categories().isEnabled());
    EXPECT_EQ(categories().count(), 0);
}

TEST_F(ScriptsPageTest, CategoriesFollowTheSelectionAndAreLiveOnlyForCheckedRows)
{
    SettingsSheet& sheet = openSheet();
    clickRow(scripts(), 0, 40);
    EXPECT_EQ(test::rowTexts(categories()), (Names { "Top", "World" }));
    EXPECT_EQ(categoryChecks(), (std::vector<bool> { true, false }));
    EXPECT_TRUE(categories().isEnabled());
    EXPECT_FALSE(sheet.applyButton()->isEnabled()) << "selecting changes nothing";

    clickRow(scripts(), 2, 40);
    EXPECT_EQ(test::rowTexts(categories()), (Names { "Sports" }));
    EXPECT_FALSE(categories().isEnabled());
    clickRow(scripts(), 2, 5);
    EXPECT_TRUE(categories().isEnabled());
    EXPECT_TRUE(sheet.applyButton()->isEnabled());
    clickRow(categories(), 0, 5);

    // The checks made on one row survive looking at another.
    clickRow(scripts(), 0, 40);
    clickRow(categories(), 0, 5);
    clickRow(categories(), 1, 5);
    clickRow(scripts(), 2, 40);
    EXPECT_EQ(categoryChecks(), (std::vector<bool> { true }));
    clickRow(scripts(), 0, 40);
    EXPECT_EQ(categoryChecks(), (std::vector<bool> { false, true }));
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs.", "Two." })) << "nothing before apply";
    EXPECT_TRUE(m_list.entries[0]->categories[0].checked);

    sheet.okButton()->click();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.outcome(), 1);
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs*", "Two." }));
    EXPECT_FALSE(m_list.entries[0]->categories[0].checked);
    EXPECT_TRUE(m_list.entries[0]->categories[1].checked);
    EXPECT_TRUE(m_list.entries[2]->categories[0].checked);
}

TEST_F(ScriptsPageTest, MovesSwapSitesOnTheRssPageOnlyWhenTwoSitesPass)
{
    SettingsSheet& sheet = openSheet();
    // b.zrs above One: a script passes a site, the RSS order stays.
    clickRow(scripts(), 2, 40);
    page().upButton()->click();
    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "b.zrs", "One", "Two" }));
    EXPECT_EQ(scripts().currentRow(), 1);
    EXPECT_EQ(rssNames(), (Names { "One", "Two" }));
    EXPECT_TRUE(sheet.applyButton()->isEnabled());

    // One below Two: the sites swap on both pages.
    clickRow(scripts(), 2, 40);
    page().downButton()->click();
    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "b.zrs", "Two", "One" }));
    EXPECT_EQ(rssNames(), (Names { "Two", "One" }));

    // Nothing moves past either end.
    page().downButton()->click();
    clickRow(scripts(), 0, 40);
    page().upButton()->click();
    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "b.zrs", "Two", "One" }));

    // The RSS page edits the right record after the swap: "Two" is its row 0.
    RssPage& rss = *sheet.rssPage();
    rss.siteList()->setCurrentRow(0);
    rss.urlEdit()->setText(QStringLiteral("http://two.example/new"));
    rss.applyChangeButton()->click();

    sheet.applyButton()->click();
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "b.zrs.", "Two.", "One*" }));
    EXPECT_EQ(m_list.entries[2]->url, "http://two.example/new");
    EXPECT_EQ(m_list.entries[3]->url, "http://one.example/rss");
}

TEST_F(ScriptsPageTest, IntervalTakesOnlyPositiveNumbersThatFit)
{
    SettingsSheet& sheet = openSheet();
    QLineEdit& interval = *page().interval();
    struct Case {
        const char* text;
        std::int32_t expected;
    };
    for (Case c : { Case { "0", 30 }, Case { "abc", 30 }, Case { "99999999999", 30 }, Case { "", 30 },
             Case { "45", 45 }, Case { "2147483648", 45 }, Case { "2147483647", 2147483647 } }) {
        interval.setText(QString::fromLatin1(c.text));
        sheet.apply();
        EXPECT_EQ(m_reload, c.expected) << c.text;
    }
    // Typed letters never reach the field.
    interval.clear();
    QTest::keyClicks(&interval, QStringLiteral("1a2b"));
    EXPECT_EQ(interval.text(), QStringLiteral("12"));
}

class RssPageTest : public test::SheetTest {
protected:
    RssPage& rss() { return *m_sheet->rssPage(); }
    void fill(const QString& name, const QString& url)
    {
        rss().nameEdit()->setText(name);
        rss().urlEdit()->setText(url);
    }
    bool buttons(bool add, bool change)
    {
        return rss().addButton()->isEnabled() == add && rss().applyChangeButton()->isEnabled() == change
            && rss().deleteButton()->isEnabled() == change;
    }
};

TEST_F(RssPageTest, ButtonsFollowTheFieldsAndTheSelection)
{
    openSheet();
    EXPECT_EQ(rssNames(), (Names { "One", "Two" }));
    EXPECT_TRUE(buttons(false, false));
    rss().nameEdit()->setText(QStringLiteral("Name"));
    EXPECT_TRUE(buttons(false, false));
    rss().urlEdit()->setText(QStringLiteral("http://x/"));
    EXPECT_TRUE(buttons(true, false)) << "nothing selected to change";

    clickRow(*rss().siteList(), 1, 20);
    EXPECT_EQ(rss().nameEdit()->text(), QStringLiteral("Two"));
    EXPECT_EQ(rss().urlEdit()->text(), QStringLiteral("http://two.example/rss"));
    EXPECT_TRUE(buttons(true, true));
    rss().urlEdit()->clear();
    EXPECT_TRUE(buttons(false, false));
    rss().urlEdit()->setText(QStringLiteral("u"));
    EXPECT_TRUE(buttons(true, true));
}

TEST_F(RssPageTest, AddBecomesTheDefaultButtonWhileTheFieldsAreInUse)
{
    SettingsSheet& sheet = openSheet();
    sheet.tabs()->setCurrentWidget(&rss());
    QApplication::setActiveWindow(&sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    rss().siteList()->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.okButton()->isDefault());

    rss().nameEdit()->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(rss().addButton()->isDefault());
    EXPECT_FALSE(sheet.okButton()->isDefault());

    rss().siteList()->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.okButton()->isDefault());
    EXPECT_FALSE(rss().addButton()->isDefault());

    // Any edit of the fields hands the default to add again.
    rss().urlEdit()->setText(QStringLiteral("http://x/"));
    EXPECT_TRUE(rss().addButton()->isDefault());
}

TEST_F(RssPageTest, AltLettersOfTheLabelsReachTheirFields)
{
    SettingsSheet& sheet = openSheet();
    sheet.tabs()->setCurrentWidget(&rss());
    QApplication::setActiveWindow(&sheet);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
    QTest::keyClick(&sheet, Qt::Key_U, Qt::AltModifier);
    EXPECT_TRUE(rss().urlEdit()->hasFocus());
    QTest::keyClick(&sheet, Qt::Key_N, Qt::AltModifier);
    EXPECT_TRUE(rss().nameEdit()->hasFocus());
    QTest::keyClick(&sheet, Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(rss().siteList()->hasFocus());
}

TEST_F(RssPageTest, AddedSitesAppearUncheckedOnBothPagesAndJoinTheListAtOk)
{
    SettingsSheet& sheet = openSheet();
    fill(QStringLiteral("ニュース"), QStringLiteral("http://three.example/rss"));
    rss().addButton()->click();
    EXPECT_EQ(rssNames(), (Names { "One", "Two", "ニュース" }));
    EXPECT_EQ(rss().siteList()->currentRow(), 2);
    EXPECT_TRUE(buttons(true, true));
    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "One", "b.zrs", "Two", "ニュース" }));
    EXPECT_FALSE(CheckList::isChecked(sheet.scriptsPage()->scriptList()->item(4)));
    EXPECT_EQ(m_list.entries.size(), 4u) << "not before apply";
    EXPECT_EQ(sheet.scriptsPage()->pendingAdditions(), 1u);

    sheet.okButton()->click();
    ASSERT_EQ(m_list.entries.size(), 5u);
    const core::ScriptRecord& added = *m_list.entries[4];
    EXPECT_TRUE(added.isSite());
    EXPECT_EQ(added.name, core::test::sjis("ニュース"));
    EXPECT_EQ(added.url, "http://three.example/rss");
    EXPECT_FALSE(added.enabled);
    EXPECT_TRUE(added.categories.empty());
    EXPECT_NE(added.engine(), nullptr);
    EXPECT_EQ(sheet.scriptsPage()->pendingAdditions(), 0u);
}

TEST_F(RssPageTest, CancelAfterAddingTwoSitesLeavesTheListAsItWas)
{
    SettingsSheet& sheet = openSheet();
    std::vector<core::ScriptRecord*> before;
    for (const core::ScriptRecordPtr& record : m_list.entries) {
        before.push_back(record.get());
    }
    fill(QStringLiteral("Three"), QStringLiteral("http://three/"));
    rss().addButton()->click();
    fill(QStringLiteral("Four"), QStringLiteral("http://four/"));
    rss().addButton()->click();
    clickRow(*rss().siteList(), 0, 20);
    rss().deleteButton()->click();
    EXPECT_EQ(sheet.scriptsPage()->pendingAdditions(), 2u);

    sheet.cancelButton()->click();
    EXPECT_EQ(sheet.result(), QDialog::Rejected);
    EXPECT_EQ(sheet.outcome(), 2);
    EXPECT_EQ(sheet.scriptsPage()->pendingAdditions(), 0u);
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs.", "Two." }));
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(m_list.entries[i].get(), before[i]);
    }
    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "b.zrs", "Two" })) << "no row left pointing at a freed record";
}

TEST_F(RssPageTest, AnEditedSiteComesBackUnchecked)
{
    SettingsSheet& sheet = openSheet();
    core::ScriptRecord* old = m_list.entries[1].get();
    ASSERT_TRUE(old->enabled);
    clickRow(*rss().siteList(), 0, 20);
    rss().urlEdit()->setText(QStringLiteral("http://one.example/atom"));
    rss().applyChangeButton()->click();
    EXPECT_EQ(rssNames(), (Names { "One", "Two" }));
    EXPECT_EQ(rss().siteList()->currentRow(), 0);
    EXPECT_FALSE(CheckList::isChecked(sheet.scriptsPage()->scriptList()->item(1)));

    sheet.okButton()->click();
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One.", "b.zrs.", "Two." }));
    EXPECT_EQ(m_list.entries[1]->url, "http://one.example/atom");
    EXPECT_NE(m_list.entries[1].get(), old);
}

TEST_F(RssPageTest, DeleteSelectsTheNextSiteAndTheRecordGoesAtApply)
{
    SettingsSheet& sheet = openSheet();
    clickRow(*rss().siteList(), 0, 20);
    rss().deleteButton()->click();
    EXPECT_EQ(rssNames(), (Names { "Two" }));
    EXPECT_EQ(rss().siteList()->currentRow(), 0);
    EXPECT_EQ(rss().nameEdit()->text(), QStringLiteral("Two"));
    EXPECT_TRUE(buttons(true, true));
    EXPECT_EQ(scriptRows(), (Names { "a.zrs", "b.zrs", "Two" }));
    EXPECT_EQ(m_list.entries.size(), 4u);

    rss().deleteButton()->click();
    EXPECT_TRUE(rssNames().empty());
    EXPECT_TRUE(rss().nameEdit()->text().isEmpty());
    EXPECT_TRUE(buttons(false, false));

    sheet.applyButton()->click();
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "b.zrs." }));
    EXPECT_FALSE(sheet.applyButton()->isEnabled());
}

TEST_F(RssPageTest, ApplyThenCancelKeepsWhatWasAppliedAndDropsTheRest)
{
    SettingsSheet& sheet = openSheet();
    fill(QStringLiteral("Three"), QStringLiteral("http://three/"));
    rss().addButton()->click();
    sheet.applyButton()->click();
    fill(QStringLiteral("Four"), QStringLiteral("http://four/"));
    rss().addButton()->click();
    sheet.reject();
    EXPECT_EQ(sheet.outcome(), 1) << "the list changed, so the caller must know";
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs.", "Two.", "Three." }));
}

TEST_F(RssPageTest, DroppedLinksFillBothFields)
{
    openSheet();
    auto drop = [&](QMimeData& data) {
        QDragEnterEvent enter(
            QPoint(10, 10), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rss(), &enter);
        bool entered = enter.isAccepted();
        QDropEvent dropped(
            QPointF(10, 10), Qt::CopyAction | Qt::LinkAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rss(), &dropped);
        return entered && dropped.isAccepted();
    };

    QMimeData plain;
    plain.setText(QStringLiteral("  http://plain.example/feed.xml \n"));
    EXPECT_TRUE(drop(plain));
    EXPECT_EQ(rss().nameEdit()->text(), QStringLiteral("http://plain.example/feed.xml"));
    EXPECT_EQ(rss().urlEdit()->text(), QStringLiteral("http://plain.example/feed.xml"));
    EXPECT_TRUE(buttons(true, false));

    // What browsers offer: a uri-list (with a comment line) beside the title.
    QMimeData browser;
    browser.setData(
        QStringLiteral("text/uri-list"), "# from a browser\r\nhttp://list.example/rss?a=1&b=%E3%81%82\r\n");
    browser.setText(QStringLiteral("Some page title"));
    EXPECT_TRUE(drop(browser));
    EXPECT_EQ(rss().urlEdit()->text(), QStringLiteral("http://list.example/rss?a=1&b=%E3%81%82"));
    EXPECT_EQ(rss().nameEdit()->text(), rss().urlEdit()->text());

    QMimeData picture;
    picture.setData(QStringLiteral("image/png"), "\x89PNG");
    EXPECT_FALSE(drop(picture));
    QMimeData blank;
    blank.setText(QStringLiteral(" \n\r\n"));
    EXPECT_FALSE(drop(blank));
    EXPECT_EQ(rss().nameEdit()->text(), QStringLiteral("http://list.example/rss?a=1&b=%E3%81%82"));
}

// The entry the main window calls: 1 only when something was saved.
TEST_F(RssPageTest, RunReportsWhetherAnythingWasSaved)
{
    auto answer = [](std::function<void(SettingsSheet&)> act) {
        QTimer::singleShot(0, [act] {
            auto* sheet = qobject_cast<SettingsSheet*>(QApplication::activeModalWidget());
            ASSERT_NE(sheet, nullptr);
            act(*sheet);
        });
    };
    answer([](SettingsSheet& sheet) {
        sheet.rssPage()->siteList()->setCurrentRow(0);
        sheet.rssPage()->deleteButton()->click();
        sheet.cancelButton()->click();
    });
    EXPECT_EQ(runSettingsSheet(nullptr, m_context), 2);
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs.", "Two." }));

    answer([](SettingsSheet& sheet) {
        CheckList& scripts = *sheet.scriptsPage()->scriptList();
        scripts.setCurrentRow(3);
        QTest::keyClick(&scripts, Qt::Key_Space);
        EXPECT_TRUE(sheet.scriptsPage()->categoryList()->isEnabled());
        QTest::keyClick(&sheet, Qt::Key_Escape);
    });
    EXPECT_EQ(runSettingsSheet(nullptr, m_context), 2);
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs.", "Two." }));

    answer([](SettingsSheet& sheet) {
        CheckList& scripts = *sheet.scriptsPage()->scriptList();
        scripts.setCurrentRow(3);
        QTest::keyClick(&scripts, Qt::Key_Space);
        sheet.okButton()->click();
    });
    EXPECT_EQ(runSettingsSheet(nullptr, m_context), 1);
    EXPECT_EQ(listNames(), (Names { "a.zrs*", "One*", "b.zrs.", "Two*" }));
}

} // namespace
} // namespace zr5::ui

namespace zr5::ui::test {
namespace {

class PatrolStatusTest : public SheetTest {
protected:
    PatrolStatusTest()
    {
        // A script that does not parse joins the list as the patrol found it.
        core::test::writeFile(
            m_folder / "Scripts" / "c.zrs", "category \"Broken\"\n{\n\tDisplay(\"x\" \"y\");\n");
        m_list = core::enumerateScripts(m_folder / "Scripts", m_errors);
        core::loadSettings(core::ProfileFile::parse("[Script]\nCount=4\n0000=N,*,a.zrs,Top\n"
                                                    "0001=R,*,One,http://one.example/rss\n0002=N,.,b.zrs\n"
                                                    "0003=R,*,Two,http://two.example/rss\n"),
            m_list);
        m_report.add({ "a.zrs", "Top", 0, 5, core::Outcome::Headlines, "" });
        m_report.add({ "a.zrs", "World", 0, 0, core::Outcome::TimedOut, "http://a.example/world" });
        m_report.add({ "One", "", 0, 0, core::Outcome::HostNotFound, "one.example" });
        m_report.add({ "Two", "", 0, 3, core::Outcome::Headlines, "" });
        m_context.report = &m_report;
    }

    static QString tip(const QListWidgetItem& item) { return item.data(Qt::ToolTipRole).toString(); }
    static bool hasIcon(const QListWidgetItem& item)
    {
        return !item.data(Qt::DecorationRole).value<QIcon>().isNull();
    }
    static QString describe(
        const core::PatrolReport& report, std::string_view name, std::string_view category)
    {
        return toQString(core::describeResult(*report.find(name, category)));
    }

    core::PatrolReport m_report;
};

TEST_F(PatrolStatusTest, CategoriesAndSitesShowTheirResultAndTheStatusLineFollowsTheCurrentRow)
{
    SettingsSheet& sheet = openSheet();
    CheckList& scripts = *sheet.scriptsPage()->scriptList();
    CheckList& categories = *sheet.scriptsPage()->categoryList();
    ASSERT_EQ(scriptRows(), (std::vector<std::string> { "a.zrs", "One", "b.zrs", "Two", "c.zrs" }));

    scripts.setCurrentRow(0);
    ASSERT_EQ(categories.count(), 2);
    for (int row = 0; row < 2; ++row) {
        const QListWidgetItem& item = *categories.item(row);
        const char* name = row == 0 ? "Top" : "World";
        EXPECT_EQ(tip(item), describe(m_report, "a.zrs", name));
        EXPECT_EQ(item.data(Qt::AccessibleDescriptionRole).toString(), tip(item));
        EXPECT_TRUE(hasIcon(item));
    }
    EXPECT_NE(tip(*categories.item(0)), tip(*categories.item(1))) << "ok and timed out read differently";

    // Without a mouse: the line under the list tells the current row.
    categories.setCurrentRow(1);
    EXPECT_EQ(sheet.scriptsPage()->categoryStatusLine()->text(), describe(m_report, "a.zrs", "World"));
    categories.setCurrentRow(0);
    EXPECT_EQ(sheet.scriptsPage()->categoryStatusLine()->text(), describe(m_report, "a.zrs", "Top"));

    // Sites on both pages; a script the last patrol did not run shows nothing.
    EXPECT_EQ(tip(*scripts.item(1)), describe(m_report, "One", ""));
    EXPECT_EQ(tip(*scripts.item(3)), describe(m_report, "Two", ""));
    EXPECT_TRUE(tip(*scripts.item(2)).isEmpty());
    EXPECT_FALSE(hasIcon(*scripts.item(2)));
    QListWidget& sites = *sheet.rssPage()->siteList();
    EXPECT_EQ(tip(*sites.item(0)), describe(m_report, "One", ""));
    EXPECT_TRUE(hasIcon(*sites.item(0)));
    sites.setCurrentRow(1);
    EXPECT_EQ(sheet.rssPage()->siteStatusLine()->text(), describe(m_report, "Two", ""));
}

TEST_F(PatrolStatusTest, AScriptThatDidNotLoadShowsTheParsersMessage)
{
    SettingsSheet& sheet = openSheet();
    CheckList& scripts = *sheet.scriptsPage()->scriptList();
    const QListWidgetItem& broken = *scripts.item(4);
    const core::ScriptRecord& record = *sheet.scriptsPage()->recordAt(4);
    ASSERT_FALSE(record.loadError.empty()) << record.name;
    EXPECT_EQ(tip(broken), toQString(record.loadError));
    EXPECT_TRUE(tip(broken).contains(QStringLiteral("error"))) << tip(broken).toStdString();
    EXPECT_TRUE(hasIcon(broken));
    scripts.setCurrentRow(4);
    EXPECT_EQ(sheet.scriptsPage()->scriptStatusLine()->text(), tip(broken));
}

TEST_F(PatrolStatusTest, WithoutAReportNothingIsShown)
{
    m_context.report = nullptr;
    SettingsSheet& sheet = openSheet();
    sheet.scriptsPage()->scriptList()->setCurrentRow(0);
    EXPECT_TRUE(tip(*sheet.scriptsPage()->categoryList()->item(1)).isEmpty());
    EXPECT_FALSE(hasIcon(*sheet.rssPage()->siteList()->item(0)));
}

} // namespace
} // namespace zr5::ui::test
