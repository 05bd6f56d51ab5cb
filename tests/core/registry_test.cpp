// The script list against the real engine: enumeration, settings with
// scripts and sites, generated site scripts.
#include "core/engine_lock.h"
#include "core/headline_callback.h"
#include "core/script_template.h"
#include "core/settings.h"
#include "core_test_support.h"

#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>

namespace zr5::core {
namespace {

using test::ScratchFolder;
using test::writeFile;

class CollectingErrors final : public LoadErrorSink {
public:
    void loadError(std::string_view text) override { errors.emplace_back(text); }
    std::vector<std::string> errors;
};

std::vector<std::string> names(const ScriptList& list)
{
    std::vector<std::string> result;
    for (const ScriptRecordPtr& record : list.entries) {
        result.push_back(record->name + (record->enabled ? "*" : "."));
    }
    return result;
}

std::vector<std::string> checked(const ScriptRecord& record)
{
    std::vector<std::string> result;
    for (const Category& category : record.categories) {
        if (category.checked) {
            result.push_back(category.name);
        }
    }
    return result;
}

class Registry : public ::testing::Test {
protected:
    void addScript(const std::string& name, const std::string& categories)
    {
        std::string text;
        for (char c : categories) {
            text += "category \"";
            text += c;
            text += "\"\n{\n\tDisplay(\"";
            text += c;
            text += "\", \"\");\n}\n";
        }
        writeFile(m_folder / "Scripts" / name, text);
    }
    ScriptList enumerate() { return enumerateScripts(m_folder / "Scripts", m_errors); }

    ScratchFolder m_folder;
    CollectingErrors m_errors;
};

TEST_F(Registry, ListsRegularScriptFilesSortedWithTheirCategories)
{
    addScript("b.zrs", "XY");
    addScript("A.zrs", "Z");
    addScript("upper.ZRS", "U");
    addScript("notes.txt", "N");
    std::filesystem::create_directories(m_folder / "Scripts" / "folder.zrs");
    std::filesystem::create_symlink("loop.zrs", m_folder / "Scripts" / "loop.zrs");
    std::filesystem::create_symlink("missing", m_folder / "Scripts" / "dangling.zrs");
    std::filesystem::create_symlink("b.zrs", m_folder / "Scripts" / "link.zrs");
    writeFile(m_folder / "Scripts" / "ニュース.zrs", "category \"J\" { }\n");
    // Opening a pipe would wait for a writer forever.
    ASSERT_EQ(::mkfifo((m_folder / "Scripts" / "pipe.zrs").c_str(), 0600), 0);

    ScriptList list = enumerate();
    EXPECT_EQ(names(list),
        (std::vector<std::string> {
            "A.zrs.", "b.zrs.", "link.zrs.", "upper.ZRS.", test::sjis("ニュース.zrs") + "." }));
    ASSERT_EQ(list.entries[1]->categories.size(), 2u);
    EXPECT_EQ(list.entries[1]->categories[1].name, "Y");
    EXPECT_FALSE(list.entries[1]->categories[1].checked);
    EXPECT_FALSE(list.entries[1]->isSite());
    EXPECT_TRUE(m_errors.errors.empty());
}

TEST_F(Registry, MissingFolderGivesAnEmptyList)
{
    EXPECT_TRUE(enumerate().entries.empty());
    EXPECT_TRUE(m_errors.errors.empty());
}

TEST_F(Registry, ScriptsThatFailToLoadStayListedAndAreReported)
{
    writeFile(m_folder / "Scripts" / "broken.zrs", "category \"A\"\n{\n\tDisplay(\"x\", \"y\");\n");
    writeFile(m_folder / "Scripts" / "half.zrs", "category \"First\" { }\ncategory \"Second\" {\n");
    writeFile(m_folder / "Scripts" / "empty.zrs", "");
    writeFile(m_folder / "Scripts" / "binary.zrs", std::string("\x00\xff\x81\"\x1a{{{", 9));
    ScriptList list = enumerate();
    EXPECT_EQ(
        names(list), (std::vector<std::string> { "binary.zrs.", "broken.zrs.", "empty.zrs.", "half.zrs." }));
    EXPECT_GE(m_errors.errors.size(), 2u);
    EXPECT_TRUE(list.entries[1]->categories.empty());
    ASSERT_EQ(list.entries[3]->categories.size(), 1u);
    EXPECT_EQ(list.entries[3]->categories[0].name, "First");
}

TEST_F(Registry, SettingsOrderEnableAndCheckTheEnumeratedScripts)
{
    addScript("a.zrs", "PQ");
    addScript("b.zrs", "R");
    addScript("c.zrs", "S");
    ScriptList list = enumerate();
    ProfileFile file = ProfileFile::parse("[Script]\nCount=7\n0000=N,*,c.zrs,S,Unknown\n0001=N,*,gone.zrs,X\n"
                                          "0002=R,*,Site,http://a/,extra\n0003=,,N,,.,,a.zrs,,,Q\n"
                                          "0004=R,.,Bare\n0005=N,*\n0006=N,*,c.zrs\n");
    loadSettings(file, list);
    EXPECT_EQ(names(list), (std::vector<std::string> { "c.zrs*", "Site*", "a.zrs.", "Bare.", "b.zrs." }));
    EXPECT_EQ(checked(*list.entries[0]), std::vector<std::string> { "S" });
    EXPECT_EQ(checked(*list.entries[2]), std::vector<std::string> { "Q" });
    EXPECT_TRUE(list.entries[1]->isSite());
    EXPECT_EQ(list.entries[1]->url, "http://a/");
    EXPECT_TRUE(list.entries[1]->categories.empty()); // loaded at its first patrol only
    EXPECT_EQ(list.entries[3]->url, "");
    EXPECT_TRUE(checked(*list.entries[4]).empty());
}

TEST_F(Registry, WithoutScriptSectionAllScriptsStayOffAndVanishedOnesLeaveTheFile)
{
    addScript("a.zrs", "P");
    addScript("b.zrs", "Q");
    ScriptList list = enumerate();
    Settings settings = loadSettings(ProfileFile::parse("[Timer]\nReload=7\n"), list);
    EXPECT_EQ(names(list), (std::vector<std::string> { "a.zrs.", "b.zrs." }));
    EXPECT_EQ(settings.reloadMinutes, 7);

    ScriptList again = enumerate();
    ProfileFile file = ProfileFile::parse("[Script]\nCount=3\n0000=N,*,gone.zrs,P\n0001=N,*,b.zrs,Q\n"
                                          "0002=R,*,A,B,http://comma/\n");
    loadSettings(file, again);
    EXPECT_EQ(names(again), (std::vector<std::string> { "b.zrs*", "A*", "a.zrs." }));
    EXPECT_EQ(again.entries[1]->url, "B"); // names and addresses end at a comma
    storeSettings(file, again, settings);
    EXPECT_EQ(file.serialize(),
        "[Script]\nCount=3\n0000=N,*,b.zrs,Q\n0001=R,*,A,B\n0002=N,.,a.zrs\n"
        "[Timer]\nReload=7\nScriptLimit=30\nFetchLimit=120\n[Window]\nSkin=\nX=0\nY=0\nWidth=0\n"
        "Height=0\nZ=0\nSticking=0\nSpeed=2\nHoverPause=1\nDock=0\nOpacity=100\nScreen=\n[Proxy]\nType="
        "0\nAddress=\nPort=8080\nLocal=0\n[Notice]\nURL=\n");
}

TEST_F(Registry, SaveAndLoadGiveTheSameList)
{
    addScript("a.zrs", "PQR");
    addScript("b.zrs", "S");
    ScriptList list = enumerate();
    ProfileFile original = ProfileFile::parse("[Script]\nCount=4\n0000=N,*,b.zrs,S\n0001=R,*,"
        + test::sjis("天気") + ",http://w/\n0002=N,.,a.zrs,R,P\n0003=R,.,Off,http://off/\n");
    Settings settings = loadSettings(original, list);
    ProfileFile saved;
    storeSettings(saved, list, settings);
    EXPECT_EQ(saved.readString("Script", "0000", ""), "N,*,b.zrs,S");
    EXPECT_EQ(saved.readString("Script", "0001", ""), "R,*," + test::sjis("天気") + ",http://w/");
    EXPECT_EQ(saved.readString("Script", "0002", ""), "N,.,a.zrs,P,R"); // script order, not file order
    EXPECT_EQ(saved.readString("Script", "0003", ""), "R,.,Off,http://off/");

    ScriptList again = enumerate();
    loadSettings(saved, again);
    ProfileFile savedAgain;
    storeSettings(savedAgain, again, settings);
    EXPECT_EQ(savedAgain.serialize(), saved.serialize());
}

TEST_F(Registry, HugeCountAndStrayKeysReadInstantly)
{
    addScript("a.zrs", "P");
    ScriptList list = enumerate();
    ProfileFile file
        = ProfileFile::parse("[Script]\nCount=2147483647\n0000=N,*,a.zrs,P\n0500=R,*,Far,http://far/\n"
                             "zzzz=R,*,Not,numbered\n");
    loadSettings(file, list);
    EXPECT_EQ(names(list), (std::vector<std::string> { "a.zrs*", "Far*" }));
}

// Runs a loaded site's category and returns the headlines it reported.
std::shared_ptr<HeadlineList> runSite(ScriptRecord& site)
{
    auto list = std::make_shared<HeadlineList>();
    DisplayContext context { list.get(), nullptr, nullptr };
    std::lock_guard lock(engineMutex());
    site.engine()->SetDisplayCallback(headlineCallback, &context);
    site.engine()->RunCategory(0);
    site.engine()->SetDisplayCallback(nullptr, nullptr);
    return list;
}

TEST_F(Registry, SiteUrlWithQuotesLoadsAndCannotInjectCode)
{
    test::TestServer server(ZR5_CORE_TEST_DATA "/site");
    ScriptRecord site(RecordKind::Site, "Quoted");
    site.url = server.url("/feed1.xml?q=\"\\\");Display(\"injected\",\"evil\");var x=(\"");
    EXPECT_EQ(prepareSite(site, m_errors), 1);
    EXPECT_TRUE(m_errors.errors.empty());
    ASSERT_EQ(site.categories.size(), 1u);
    EXPECT_EQ(site.categories[0].name, "RSS");
    auto headlines = runSite(site);
    ASSERT_EQ(headlines->size(), 2u);
    EXPECT_EQ(headlines->at(0).title, "First story");
    EXPECT_EQ(headlines->at(1).link, "http://feed-one.example/2");
    // Loaded once: a second preparation does not load again.
    EXPECT_EQ(prepareSite(site, m_errors), 1);
}

TEST_F(Registry, SiteWithoutTemporaryFolderIsSkippedAndRetried)
{
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    ::setenv("TMPDIR", (m_folder / "no-such-folder").c_str(), 1);
    ScriptRecord site(RecordKind::Site, "Later");
    site.url = "http://127.0.0.1:9/";
    EXPECT_EQ(prepareSite(site, m_errors), 0);
    old ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    EXPECT_EQ(prepareSite(site, m_errors), 1);
    // The temporary script is gone again.
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path())) {
        EXPECT_NE(entry.path().filename().string().rfind("zrs", 0), 0u) << entry.path();
    }
}

TEST(CategoryLabel, CutsTheFileNameBeforeItsLastDot)
{
    EXPECT_EQ(categoryLabel("news.zrs", "Top"), "news:Top");
    EXPECT_EQ(categoryLabel("my.news.zrs", "Top"), "my.news:Top");
    EXPECT_EQ(categoryLabel("plain", "Top"), "plain:Top");
}

} // namespace
} // namespace zr5::core
