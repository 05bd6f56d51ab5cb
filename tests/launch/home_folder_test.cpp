#include "core/profile_file.h"
#include "fake_environment.h"
#include "launch/home_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace zr5::launch {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const fs::path& path, std::string_view bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Files below folder, relative, sorted.
std::vector<std::string> listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            names.push_back(entry.path().lexically_relative(folder).generic_string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class HomeFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zr5-home-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_data = m_root / "share" / "zephyrant2";
        writeFile(m_data / "Scripts" / "news.zrs", "category \"News\" { }\n");
        writeFile(m_data / "Skins" / "Plain" / "zr5.skn", "skin");
        writeFile(m_data / "Help" / "index.html", "<html></html>");
        m_home = m_root / "home";
    }
    void TearDown() override
    {
        fs::permissions(m_root, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(m_root);
    }

    static bool root() { return geteuid() == 0; }

    fs::path m_root;
    fs::path m_data;
    fs::path m_home;
};

TEST_F(HomeFolderTest, ChoiceFollowsOptionThenVariablesThenHome)
{
    FakeEnvironment env { { { "ZR5_HOME", "/z" }, { "XDG_DATA_HOME", "/d" }, { "HOME", "/u" } } };
    EXPECT_EQ(chooseHomeFolder(fs::path("/o/"), env.reader()), fs::path("/o/"));
    EXPECT_EQ(chooseHomeFolder(std::nullopt, env.reader()), fs::path("/z"));
    env.values.erase("ZR5_HOME");
    EXPECT_EQ(chooseHomeFolder(std::nullopt, env.reader()), fs::path("/d/Zephyrant2"));
    // A relative XDG_DATA_HOME is invalid and ignored, like an empty one.
    env.values["XDG_DATA_HOME"] = "rel";
    EXPECT_EQ(chooseHomeFolder(std::nullopt, env.reader()), fs::path("/u/.local/share/Zephyrant2"));
    env.values["XDG_DATA_HOME"] = "";
    EXPECT_EQ(chooseHomeFolder(std::nullopt, env.reader()), fs::path("/u/.local/share/Zephyrant2"));
    // Relative choices are taken from the folder the program started in.
    EXPECT_EQ(chooseHomeFolder(fs::path("a/../b"), env.reader()), fs::current_path() / "b");
}

TEST_F(HomeFolderTest, DataIsLookedForBesideTheProgramThenInDataDirs)
{
    FakeEnvironment env;
    EXPECT_EQ(dataFolderCandidates("/opt/z/bin", env.reader()),
        (std::vector<fs::path> {
            "/opt/z/share/zephyrant2", "/usr/local/share/zephyrant2", "/usr/share/zephyrant2" }));
    env.values["XDG_DATA_DIRS"] = (m_root / "none").string() + ":relative:" + (m_root / "share").string();
    EXPECT_EQ(dataFolderCandidates("/opt/z/bin", env.reader()).size(), 3u);
    EXPECT_EQ(findDataFolder("/opt/z/bin", env.reader()), m_data);
    fs::create_directories(m_root / "bin");
    EXPECT_EQ(findDataFolder(m_root / "bin", FakeEnvironment {}.reader()), m_data);
}

TEST_F(HomeFolderTest, FirstStartCopiesEverythingAndEnablesTheWelcomeScript)
{
    fs::copy_file(ZR5_SOURCE_DATA "/Scripts/welcome.zrs", m_data / "Scripts" / kWelcomeScript);
    ASSERT_EQ(prepareHomeFolder(m_home, m_data), std::nullopt);

    std::vector<std::string> files = listing(m_home);
    EXPECT_EQ(files,
        (std::vector<std::string> { ".bundled-files", "Help/index.html", "Scripts/news.zrs",
            "Scripts/welcome.zrs", "Skins/Plain/zr5.skn", "zr5.ini" }));
    EXPECT_EQ(readFile(m_home / "Skins" / "Plain" / "zr5.skn"), "skin");
    core::ProfileFile ini = core::ProfileFile::load(m_home / "zr5.ini");
    EXPECT_EQ(ini.readInt("Script", "Count", 0), 1);
    EXPECT_EQ(ini.readString("Script", "0000", ""), "N,*,welcome.zrs,Welcome");
    // Nothing beside the home folder: the temporary one was renamed into place.
    std::vector<std::string> beside;
    for (const auto& entry : fs::directory_iterator(m_root)) {
        beside.push_back(entry.path().filename().string());
    }
    std::sort(beside.begin(), beside.end());
    EXPECT_EQ(beside, (std::vector<std::string> { "home", "share" }));
}

TEST_F(HomeFolderTest, WithoutWelcomeScriptNoSettingsAreWritten)
{
    ASSERT_EQ(prepareHomeFolder(m_home, m_data), std::nullopt);
    EXPECT_FALSE(fs::exists(m_home / "zr5.ini"));
    // No data at all still gives a folder to work in.
    fs::path bare = m_root / "bare";
    ASSERT_EQ(prepareHomeFolder(bare, std::nullopt), std::nullopt);
    EXPECT_TRUE(fs::is_directory(bare));
}

TEST_F(HomeFolderTest, UsersFilesAreNeverReplaced)
{
    writeFile(m_home / "Scripts" / "news.zrs", "mine");
    writeFile(m_home / "zr5.ini", "[Window]\r\nSkin=Mine\r\n");
    fs::copy_file(ZR5_SOURCE_DATA "/Scripts/welcome.zrs", m_data / "Scripts" / kWelcomeScript);
    ASSERT_EQ(prepareHomeFolder(m_home, m_data), std::nullopt);
    EXPECT_EQ(readFile(m_home / "Scripts" / "news.zrs"), "mine");
    EXPECT_EQ(readFile(m_home / "zr5.ini"), "[Window]\r\nSkin=Mine\r\n");
    // A home without the list of offered files misses nothing afterwards.
    EXPECT_EQ(readFile(m_home / "Help" / "index.html"), "<html></html>");
    EXPECT_TRUE(fs::exists(m_home / "Scripts" / kWelcomeScript));
}

TEST_F(HomeFolderTest, UpgradeAddsNewFilesButNotOnesTheUserDeleted)
{
    ASSERT_EQ(prepareHomeFolder(m_home, m_data), std::nullopt);
    fs::remove(m_home / "Scripts" / "news.zrs");
    writeFile(m_data / "Scripts" / "sports.zrs", "category \"Sports\" { }\n");
    writeFile(m_data / "Skins" / "Night" / "zr5.skn", "night");
    ASSERT_EQ(prepareHomeFolder(m_home, m_data), std::nullopt);
    EXPECT_FALSE(fs::exists(m_home / "Scripts" / "news.zrs"));
    EXPECT_EQ(readFile(m_home / "Scripts" / "sports.zrs"), "category \"Sports\" { }\n");
    EXPECT_EQ(readFile(m_home / "Skins" / "Night" / "zr5.skn"), "night");
    const std::string offered = readFile(m_home / kBundledListName);
    EXPECT_NE(offered.find("Skins/Night/zr5.skn\n"), std::string::npos) << offered;
}

TEST_F(HomeFolderTest, InterruptedFirstStartIsCompleted)
{
    // What a start killed while copying leaves: a partial folder, a half-copied file.
    const fs::path partial = m_root / ".home.partial";
    writeFile(partial / "Scripts" / "news.zrs", "category \"News\" { }\n");
    writeFile(partial / "Help" / "index.html.part", "<ht");
    ASSERT_EQ(prepareHomeFolder(m_home, m_data), std::nullopt);
    EXPECT_FALSE(fs::exists(partial));
    EXPECT_EQ(readFile(m_home / "Help" / "index.html"), "<html></html>");
    EXPECT_EQ(readFile(m_home / "Skins" / "Plain" / "zr5.skn"), "skin");
    EXPECT_FALSE(fs::exists(m_home / "Help" / "index.html.part"));
}

TEST_F(HomeFolderTest, AnEmptyFolderMadeForUsIsFilled)
{
    fs::create_directories(m_home);
    ASSERT_EQ(prepareHomeFolder(m_home, m_data), std::nullopt);
    EXPECT_EQ(readFile(m_home / "Skins" / "Plain" / "zr5.skn"), "skin");
}

TEST_F(HomeFolderTest, UnusableHomesAreRefusedAndLeftAlone)
{
    writeFile(m_home, "a file");
    std::optional<std::string> failed = prepareHomeFolder(m_home, m_data);
    ASSERT_TRUE(failed);
    EXPECT_NE(failed->find(m_home.string()), std::string::npos) << *failed;
    EXPECT_EQ(readFile(m_home), "a file");

    const fs::path dangling = m_root / "dangling";
    fs::create_symlink(m_root / "nowhere", dangling);
    EXPECT_TRUE(prepareHomeFolder(dangling, m_data));
    EXPECT_TRUE(fs::is_symlink(dangling));

    const fs::path under = m_home / "below";
    EXPECT_TRUE(prepareHomeFolder(under, m_data)) << "a home below a file";
}

TEST_F(HomeFolderTest, FoldersWithoutWritePermissionAreRefused)
{
    if (root()) {
        GTEST_SKIP() << "permissions do not bind root";
    }
    const fs::path locked = m_root / "locked";
    fs::create_directories(locked);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    std::optional<std::string> failed = prepareHomeFolder(locked / "home", m_data);
    ASSERT_TRUE(failed);
    EXPECT_NE(failed->find("Permission denied"), std::string::npos) << *failed;
    EXPECT_TRUE(fs::is_empty(locked));

    writeFile(m_home / "zr5.ini", "x");
    fs::permissions(m_home, fs::perms::owner_read | fs::perms::owner_exec);
    failed = prepareHomeFolder(m_home, m_data);
    fs::permissions(m_home, fs::perms::owner_all);
    fs::permissions(locked, fs::perms::owner_all);
    ASSERT_TRUE(failed);
    EXPECT_NE(failed->find("not writable"), std::string::npos) << *failed;
    EXPECT_EQ(listing(m_home), std::vector<std::string> { "zr5.ini" });
}

} // namespace
} // namespace zr5::launch
