#include "dialog_test_support.h"

#include "dialogs/check_list.h"
#include "dialogs/qt_text.h"
#include "dialogs/rss_page.h"
#include "dialogs/scripts_page.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace zr5::ui::test {

using core::test::writeFile;

SheetTest::SheetTest()
{
    writeFile(m_folder / "Scripts" / "a.zrs", "category \"Top\" { }\ncategory \"World\" { }\n");
    writeFile(m_folder / "Scripts" / "b.zrs", "category \"Sports\" { }\n");
    m_list = core::enumerateScripts(m_folder / "Scripts", m_errors);
    std::string ini = "[Script]\nCount=4\n0000=N,*,a.zrs,Top\n0001=R,*,One,http://one.example/rss\n"
                      "0002=N,.,b.zrs\n0003=R,.,Two,http://two.example/rss\n[Timer]\nReload=30\n";
    core::loadSettings(core::ProfileFile::parse(ini), m_list);
}

SheetTest::~SheetTest() = default;

SettingsSheet& SheetTest::openSheet()
{
    m_sheet = std::make_unique<SettingsSheet>(nullptr, m_context);
    m_sheet->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_sheet.get()));
    return *m_sheet;
}

std::vector<std::string> SheetTest::listNames() const
{
    std::vector<std::string> names;
    for (const core::ScriptRecordPtr& record : m_list.entries) {
        names.push_back(record->name + (record->enabled ? "*" : "."));
    }
    return names;
}

std::vector<std::string> SheetTest::rssNames() const
{
    return rowTexts(*m_sheet->rssPage()->siteList());
}

std::vector<std::string> SheetTest::scriptRows() const
{
    return rowTexts(*m_sheet->scriptsPage()->scriptList());
}

core::ScriptList SheetTest::roundTrip(core::Settings& settings)
{
    std::filesystem::path ini = m_folder / "zr5.ini";
    core::ProfileFile file = core::ProfileFile::load(ini);
    core::storeSettings(file, m_list, settings);
    EXPECT_TRUE(file.save(ini));
    core::ScriptList again = core::enumerateScripts(m_folder / "Scripts", m_errors);
    settings = core::loadSettings(core::ProfileFile::load(ini), again);
    return again;
}

std::vector<std::string> rowTexts(const QListWidget& list)
{
    std::vector<std::string> texts;
    for (int row = 0; row < list.count(); ++row) {
        texts.push_back(list.item(row)->text().toStdString());
    }
    return texts;
}

void clickRow(QListWidget& list, int row, int x)
{
    QRect rect = list.visualItemRect(list.item(row));
    QTest::mouseClick(
        list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() + x, rect.center().y()));
}

void doubleClickRow(QListWidget& list, int row, int x)
{
    QRect rect = list.visualItemRect(list.item(row));
    QTest::mouseDClick(
        list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(rect.left() + x, rect.center().y()));
}

QImage grab(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace zr5::ui::test

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
