#include "core/atomic_file.h"
#include "core/profile_file.h"
#include "core/settings.h"
#include "core_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zr5::core {
namespace {

using test::readFile;
using test::ScratchFolder;
using test::writeFile;

TEST(ProfileFile, MatchesSectionsAndKeysWithoutRegardToCaseAndTrimsValues)
{
    ProfileFile file
        = ProfileFile::parse("[proxy]\n  ADDRESS =  proxy.local  \nport=3128\n[TIMER]\nreload\t=\t5\t\n");
    EXPECT_EQ(file.readString("Proxy", "Address", "x"), "proxy.local");
    EXPECT_EQ(file.readInt("Proxy", "Port", 8080), 3128);
    EXPECT_EQ(file.readInt("Timer", "Reload", 30), 5);
    EXPECT_EQ(file.readString("Proxy", "Missing", "fallback"), "fallback");
    EXPECT_EQ(file.readString("Nowhere", "Address", ""), "");
}

TEST(ProfileFile, ReadsFilesOfOtherProgramsWithCommentsAndCrLf)
{
    std::string bytes = "; written elsewhere\r\n\r\n[Window]\r\n;Skin=commented\r\nSkin=" + test::sjis("青空")
        + "\r\n\r\n[Other]\r\nkeep=me\r\n";
    ProfileFile file = ProfileFile::parse(bytes);
    EXPECT_EQ(file.readString("Window", "Skin", ""), test::sjis("青空"));
    EXPECT_EQ(file.readString("Window", ";Skin", "none"), "none");
    EXPECT_EQ(file.readString("Other", "KEEP", ""), "me");
    // Untouched files come back byte for byte.
    EXPECT_EQ(file.serialize(), bytes);
}

TEST(ProfileFile, FirstOfDuplicateKeysAndSectionsWins)
{
    ProfileFile file = ProfileFile::parse("[A]\nk=1\nK=2\n[a]\nk=3\nother=4\n");
    EXPECT_EQ(file.readInt("A", "k", 0), 1);
    EXPECT_EQ(file.readString("A", "other", "absent"), "absent");
    file.writeInt("A", "k", 9);
    EXPECT_EQ(file.serialize(), "[A]\nk=9\nK=2\n[a]\nk=3\nother=4\n");
}

TEST(ProfileFile, ValuesLoseEnclosingQuotesAndAreCutAt1023Bytes)
{
    std::string longValue(100 * 1024, 'v');
    ProfileFile file = ProfileFile::parse("[S]\nq=\"quoted \"\nh='x'\nodd=\"open\nlong=" + longValue
        + "\nnul=ab" + std::string(1, '\0') + "cd\nbare\n");
    EXPECT_EQ(file.readString("S", "q", ""), "quoted ");
    EXPECT_EQ(file.readString("S", "h", ""), "x");
    EXPECT_EQ(file.readString("S", "odd", ""), "\"open");
    EXPECT_EQ(file.readString("S", "long", ""), std::string(1023, 'v'));
    EXPECT_EQ(file.readString("S", "nul", ""), "ab");
    EXPECT_EQ(file.readString("S", "bare", "x"), "");
}

TEST(ProfileFile, ReadsIntegersLikeThePlatformReader)
{
    ProfileFile file = ProfileFile::parse("[N]\nplain=42\nneg=-7\nplus=+3\nunit=12px\nword=abc\nempty=\n"
                                          "huge=99999999999\nlow=-99999999999\nspace=4 2\nhex=0x10\n");
    EXPECT_EQ(file.readInt("N", "plain", 1), 42);
    EXPECT_EQ(file.readInt("N", "neg", 1), -7);
    EXPECT_EQ(file.readInt("N", "plus", 1), 3);
    EXPECT_EQ(file.readInt("N", "unit", 1), 12);
    EXPECT_EQ(file.readInt("N", "word", 1), 0);
    EXPECT_EQ(file.readInt("N", "empty", 1), 1);
    EXPECT_EQ(file.readInt("N", "missing", 5), 5);
    EXPECT_EQ(file.readInt("N", "huge", 1), 2147483647);
    EXPECT_EQ(file.readInt("N", "low", 1), -2147483647 - 1);
    EXPECT_EQ(file.readInt("N", "space", 1), 4);
    EXPECT_EQ(file.readInt("N", "hex", 1), 0);
}

TEST(ProfileFile, ListsTheNumberedKeysInOrder)
{
    EXPECT_TRUE(ProfileFile::parse("[Script]\nCount=3\n").numberedKeys("Script").empty());
    EXPECT_TRUE(ProfileFile::parse("").numberedKeys("Script").empty());
    ProfileFile file = ProfileFile::parse(
        "[script]\n10000=c\n0003=b\n0000=a\n012=no\n00012=no\n0003=twice\n2147483000=d\n");
    EXPECT_EQ(file.numberedKeys("Script"), (std::vector<std::int64_t> { 0, 3, 10000, 2147483000 }));
}

TEST(ProfileFile, NumberedKeysWrittenAreTheOnesListed)
{
    EXPECT_EQ(ProfileFile::numberedKey(0), "0000");
    EXPECT_EQ(ProfileFile::numberedKey(42), "0042");
    EXPECT_EQ(ProfileFile::numberedKey(12345), "12345");
    const std::int64_t longest = 999'999'999'999'999'999; // 18 digits
    ProfileFile file;
    for (std::int64_t n : { std::int64_t { 7 }, std::int64_t { 10000 }, longest }) {
        file.writeString("Script", ProfileFile::numberedKey(n), "x");
    }
    // One digit more could overflow the number, so such a key is not one of them.
    file.writeString("Script", ProfileFile::numberedKey(longest) + "9", "x");
    EXPECT_EQ(file.numberedKeys("Script"), (std::vector<std::int64_t> { 7, 10000, longest }));
}

TEST(ProfileFile, WritesInPlaceAppendsKeysAndAddsSections)
{
    ProfileFile file = ProfileFile::parse("[Timer]\r\nRELOAD = 10\r\n\r\n[Extra]\r\nx=1\r\n");
    file.writeInt("timer", "Reload", 15);
    file.writeString("Timer", "New", "v");
    file.writeString("Proxy", "Address", "line\nbreak");
    EXPECT_EQ(file.serialize(),
        "[Timer]\r\nRELOAD=15\r\nNew=v\r\n\r\n[Extra]\r\nx=1\r\n[Proxy]\r\nAddress=line break\r\n");
    ProfileFile fresh;
    fresh.writeString("Script", "Count", "0");
    EXPECT_EQ(fresh.serialize(), "[Script]\nCount=0\n");
}

TEST(ProfileFile, ValuesTheReaderWouldChangeReadBackAsWritten)
{
    ProfileFile file;
    const std::string values[]
        = { " padded ", "\"quoted\"", "'single'", "\"", "'\"mixed\"'", "\tx", "a=b;c", "" };
    for (const std::string& value : values) {
        file.writeString("S", "k", value);
        EXPECT_EQ(ProfileFile::parse(file.serialize()).readString("S", "k", "?"), value) << value;
    }
}

TEST(ProfileFile, SurvivesBinaryAndEmptyInput)
{
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>((i * 131 + 7) % 256);
    }
    ProfileFile junk = ProfileFile::parse(binary);
    junk.readInt("Script", "Count", 0);
    junk.writeInt("Script", "Count", 1);
    std::string saved = junk.serialize();
    EXPECT_NE(saved.find("Count=1"), std::string::npos);

    ProfileFile empty = ProfileFile::parse("");
    EXPECT_EQ(empty.serialize(), "");
    EXPECT_EQ(empty.readInt("Proxy", "Port", 8080), 8080);
}

TEST(ProfileFile, MissingFileLoadsEmptyAndSaveCreatesIt)
{
    ScratchFolder folder;
    ProfileFile file = ProfileFile::load(folder / "zr5.ini");
    EXPECT_EQ(file.readString("Window", "Skin", "d"), "d");
    file.writeString("Window", "Skin", "blue");
    ASSERT_TRUE(file.save(folder / "zr5.ini"));
    EXPECT_EQ(readFile(folder / "zr5.ini"), "[Window]\nSkin=blue\n");
    EXPECT_EQ(ProfileFile::load(folder / "zr5.ini").readString("window", "skin", ""), "blue");
}

TEST(AtomicFile, CrashBetweenWriteAndRenameLeavesTheOldFile)
{
    ScratchFolder folder;
    writeFile(folder / "zr5.ini", "[Timer]\nReload=10\n");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        writeFileAtomically(folder / "zr5.ini", "[Timer]\nReload=99\n", [] { ::_exit(3); });
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(readFile(folder / "zr5.ini"), "[Timer]\nReload=10\n");
    // The next save goes through despite the orphaned temporary file.
    EXPECT_TRUE(writeFileAtomically(folder / "zr5.ini", "new\n"));
    EXPECT_EQ(readFile(folder / "zr5.ini"), "new\n");
}

TEST(AtomicFile, KeepsPermissionsAndFollowsALink)
{
    ScratchFolder folder;
    writeFile(folder / "real.ini", "old");
    ::chmod((folder / "real.ini").c_str(), 0640);
    std::filesystem::create_symlink("real.ini", folder / "zr5.ini");
    ASSERT_TRUE(writeFileAtomically(folder / "zr5.ini", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "zr5.ini"));
    EXPECT_EQ(readFile(folder / "real.ini"), "new");
    struct stat info { };
    ASSERT_EQ(::stat((folder / "real.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

std::vector<std::string> folderNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The failed save's reason names the file, the old file is intact and no
// temporary file is left.
void expectFailedSave(const std::filesystem::path& ini, std::string_view reason, std::string_view old)
{
    SaveResult saved = writeFileAtomically(ini, "[Timer]\nReload=99\n");
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error(), ini.string() + ": " + std::string(reason));
    if (std::filesystem::exists(ini.parent_path())) {
        EXPECT_EQ(readFile(ini), old);
        EXPECT_EQ(folderNames(ini.parent_path()), std::vector<std::string> { ini.filename().string() });
    }
}

TEST(AtomicFile, FailuresKeepTheOldFileSayWhyAndLeaveNoTemporaryFile)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "zr5.ini"); // a folder cannot be replaced by a file
    EXPECT_FALSE(writeFileAtomically(folder / "zr5.ini", "x"));
    EXPECT_EQ(folderNames(folder.path()), std::vector<std::string> { "zr5.ini" });

    ScratchFolder readOnly;
    writeFile(readOnly / "zr5.ini", "[Timer]\nReload=10\n");
    ::chmod((readOnly / "zr5.ini").c_str(), 0444);
    // Also for root, whom the system would let write it.
    expectFailedSave(readOnly / "zr5.ini", "Permission denied", "[Timer]\nReload=10\n");

    ScratchFolder gone;
    std::filesystem::path ini = gone / "sub" / "zr5.ini";
    expectFailedSave(ini, "No such file or directory", "");
}

// A small file system of our own, for a full disk and a read-only folder.
class SmallDisk final {
public:
    SmallDisk()
    {
        std::filesystem::create_directory(m_folder / "disk");
        m_mounted = ::mount("tmpfs", path().c_str(), "tmpfs", 0, "size=16k") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted) {
            ::umount(path().c_str());
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    std::filesystem::path path() const { return m_folder / "disk"; }
    bool makeReadOnly() const
    {
        return ::mount("tmpfs", path().c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=16k") == 0;
    }

private:
    ScratchFolder m_folder;
    bool m_mounted = false;
};

TEST(AtomicFile, FullDiskAndReadOnlyFileSystemKeepTheOldFile)
{
    SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root";
    }
    const std::filesystem::path ini = disk.path() / "zr5.ini";
    writeFile(ini, "[Timer]\nReload=10\n");
    SaveResult full = writeFileAtomically(ini, std::string(64 * 1024, 'x'));
    ASSERT_FALSE(full);
    EXPECT_EQ(full.error(), ini.string() + ": No space left on device");
    EXPECT_EQ(readFile(ini), "[Timer]\nReload=10\n");
    EXPECT_EQ(folderNames(disk.path()), std::vector<std::string> { "zr5.ini" });

    ASSERT_TRUE(disk.makeReadOnly());
    expectFailedSave(ini, "Read-only file system", "[Timer]\nReload=10\n");
}

TEST(AtomicFile, DanglingLinksAndChainsAreWrittenThroughToTheirEnd)
{
    ScratchFolder folder;
    std::filesystem::create_directory(folder / "real");
    std::filesystem::create_symlink("real/zr5.ini", folder / "zr5.ini");
    ASSERT_TRUE(writeFileAtomically(folder / "zr5.ini", "first"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "zr5.ini"));
    EXPECT_EQ(readFile(folder / "real" / "zr5.ini"), "first");

    // link -> link in another folder -> file given by an absolute path
    std::filesystem::create_symlink(folder / "real" / "zr5.ini", folder / "real" / "middle");
    std::filesystem::create_symlink("real/middle", folder / "chain.ini");
    ASSERT_TRUE(writeFileAtomically(folder / "chain.ini", "second"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "chain.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "real" / "middle"));
    EXPECT_EQ(readFile(folder / "real" / "zr5.ini"), "second");

    std::filesystem::create_symlink("loop.ini", folder / "loop.ini");
    EXPECT_FALSE(writeFileAtomically(folder / "loop.ini", "x"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "loop.ini"));
}

TEST(AtomicFile, OnlyOurOwnLeftoversAreRemovedAtStart)
{
    ScratchFolder folder;
    writeFile(folder / "zr5.ini", "keep");
    for (const char* name : { "zr5.ini.Ab3xYz", "zr5.ini.000000" }) {
        writeFile(folder / name, "leftover");
    }
    for (const char* name : { "zr5.ini.Ab3xY", "zr5.ini.Ab3xYz9", "zr5.ini.Ab-xYz", "zr5.ini~", "zr5.ini.bak",
             "other.ini.Ab3xYz", "xzr5.ini.Ab3xYz" }) {
        writeFile(folder / name, "not ours");
    }
    std::filesystem::create_symlink("zr5.ini", folder / "zr5.ini.LINKED");
    std::filesystem::create_directory(folder / "zr5.ini.FOLDER");
    removeStaleTemporaries(folder / "zr5.ini");
    EXPECT_EQ(folderNames(folder.path()),
        (std::vector<std::string> { "other.ini.Ab3xYz", "xzr5.ini.Ab3xYz", "zr5.ini", "zr5.ini.Ab-xYz",
            "zr5.ini.Ab3xY", "zr5.ini.Ab3xYz9", "zr5.ini.FOLDER", "zr5.ini.LINKED", "zr5.ini.bak",
            "zr5.ini~" }));

    // Beside the file a link names, too: that is where its saves write.
    ScratchFolder linked;
    std::filesystem::create_symlink(folder / "zr5.ini", linked / "zr5.ini");
    writeFile(folder / "zr5.ini.QQQQQQ", "leftover");
    removeStaleTemporaries(linked / "zr5.ini");
    EXPECT_FALSE(std::filesystem::exists(folder / "zr5.ini.QQQQQQ"));
    EXPECT_EQ(readFile(folder / "zr5.ini"), "keep");
}

TEST(AtomicFile, SavingTheSettingsFileGivesTheReasonOfAFailure)
{
    ScratchFolder folder;
    ScriptList scripts;
    Settings settings;
    settings.reloadMinutes = 5;
    writeFile(folder / "zr5.ini", "[Other]\nkeep=1\n");
    EXPECT_EQ(saveSettingsFile(folder / "zr5.ini", scripts, settings), std::nullopt);
    std::string saved = readFile(folder / "zr5.ini");
    EXPECT_EQ(saved.substr(0, 17), "[Other]\nkeep=1\n[S");
    EXPECT_NE(saved.find("Reload=5\n"), std::string::npos);

    ::chmod((folder / "zr5.ini").c_str(), 0400);
    EXPECT_EQ(saveSettingsFile(folder / "zr5.ini", scripts, settings),
        (folder / "zr5.ini").string() + ": Permission denied");
}

} // namespace
} // namespace zr5::core
