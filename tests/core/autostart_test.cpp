// The login entry on real files in a scratch folder: what is written, how the
// session would read it back, and what the system refuses.
#include "core/autostart.h"
#include "core_test_support.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace zr5::core {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

void makeProgram(const fs::path& path)
{
    writeFile(path, "#!/bin/sh\n");
    fs::permissions(path, fs::perms::owner_all);
}

std::string execLine(const fs::path& entry)
{
    std::string text = readFile(entry);
    std::size_t start = text.find("\nExec=");
    return start == std::string::npos ? std::string()
                                      : text.substr(start + 1, text.find('\n', start + 1) - start - 1);
}

// desktop-file-validate's complaints, or nothing when it is not installed.
std::optional<std::string> validatorComplaints(const fs::path& entry)
{
    if (std::system("command -v desktop-file-validate >/dev/null 2>&1") != 0) {
        return std::nullopt;
    }
    std::string command = "desktop-file-validate '" + entry.string() + "' 2>&1; echo status=$?";
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    std::array<char, 256> buffer {};
    while (pipe && std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) {
        output += buffer.data();
    }
    if (pipe) {
        ::pclose(pipe);
    }
    return output.ends_with("status=0\n") ? std::string() : output;
}

class AutostartTest : public ::testing::Test {
protected:
    AutostartTest() { makeProgram(m_program); }

    test::ScratchFolder m_folder;
    fs::path m_program = m_folder / "zr5a";
    fs::path m_entry = m_folder / "config" / "autostart" / "zr5a.desktop";
};

TEST_F(AutostartTest, WrittenEntryReadsBackOnAndRemovingTurnsItOff)
{
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Off);
    ASSERT_TRUE(writeAutostart(m_entry, { m_program, {} })) << "the folder is created";
    EXPECT_EQ(readAutostart(m_entry), AutostartState::On);
    std::string text = readFile(m_entry);
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n"));
    for (const char* line :
        { "\nType=Application\n", "\nName=Zephyrant2\n", "\nX-GNOME-Autostart-enabled=true\n" }) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(execLine(m_entry), "Exec=" + m_program.string());
    if (std::optional<std::string> complaints = validatorComplaints(m_entry)) {
        EXPECT_EQ(*complaints, "");
    }

    ASSERT_TRUE(removeAutostart(m_entry));
    EXPECT_FALSE(fs::exists(m_entry));
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Off);
    EXPECT_TRUE(removeAutostart(m_entry)) << "nothing to remove is no failure";
}

TEST_F(AutostartTest, ProgramsAndArgumentsWithReservedCharactersAreQuotedAndReadBack)
{
    const fs::path spaced = m_folder / "my programs" / "zr5a";
    makeProgram(spaced);
    ASSERT_TRUE(writeAutostart(m_entry, { spaced, { "--home", "/data/Zephyrant 2" } }));
    EXPECT_EQ(execLine(m_entry), "Exec=\"" + spaced.string() + "\" --home \"/data/Zephyrant 2\"");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::On);
    if (std::optional<std::string> complaints = validatorComplaints(m_entry)) {
        EXPECT_EQ(*complaints, "");
    }

    // Quotes, dollars and backslashes are escaped inside the quotes, the
    // backslash once more for the value itself; a percent sign is doubled.
    const fs::path odd = m_folder / "a \"b\" $c \\d 100%" / "zr5a";
    makeProgram(odd);
    ASSERT_TRUE(writeAutostart(m_entry, { odd, {} }));
    EXPECT_EQ(execLine(m_entry),
        "Exec=\"" + m_folder.path().string() + "/a \\\\\"b\\\\\" \\\\$c \\\\\\\\d 100%%/zr5a\"");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::On);
    if (std::optional<std::string> complaints = validatorComplaints(m_entry)) {
        EXPECT_EQ(*complaints, "");
    }
}

TEST_F(AutostartTest, StaleHiddenAndSwitchedOffEntriesAreNotOn)
{
    ASSERT_TRUE(writeAutostart(m_entry, { m_program, {} }));
    fs::permissions(m_program, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Stale) << "not executable";
    fs::remove(m_program);
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Stale) << "removed";
    makeProgram(m_program);
    ASSERT_EQ(readAutostart(m_entry), AutostartState::On);

    const std::string entry = readFile(m_entry);
    writeFile(m_entry, entry + "Hidden=true\n");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Off);
    writeFile(m_entry, entry + "Hidden = false\n");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::On);
    writeFile(m_entry,
        "[Desktop Entry]\nType=Application\nExec=" + m_program.string()
            + "\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Off);
    // Keys of other groups do not count.
    writeFile(m_entry, entry + "[Desktop Action x]\nHidden=true\nExec=/nowhere\n");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::On);

    // A bare name is looked up in PATH.
    writeFile(m_entry, "[Desktop Entry]\nExec=sh -c true\n");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::On);
    writeFile(m_entry, "[Desktop Entry]\nExec=zr5-no-such-program\n");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Stale);
    writeFile(m_entry, "[Desktop Entry]\nType=Application\n");
    EXPECT_EQ(readAutostart(m_entry), AutostartState::Stale) << "no Exec at all";
}

TEST_F(AutostartTest, RefusalsComeBackAsReasonsAndLeaveTheOldEntry)
{
    // The autostart folder cannot be created where a file is.
    writeFile(m_folder / "config" / "autostart", "not a folder");
    SaveResult blocked = writeAutostart(m_entry, { m_program, {} });
    ASSERT_FALSE(blocked);
    EXPECT_NE(blocked.error().find((m_folder / "config" / "autostart").string() + ": "), std::string::npos)
        << blocked.error();
    fs::remove(m_folder / "config" / "autostart");

    // An entry its owner may not write is kept, also for root.
    ASSERT_TRUE(writeAutostart(m_entry, { m_program, {} }));
    const std::string before = readFile(m_entry);
    fs::permissions(m_entry, fs::perms::owner_read);
    EXPECT_FALSE(writeAutostart(m_entry, { m_program, { "--home", "/elsewhere" } }));
    EXPECT_EQ(readFile(m_entry), before);
}

TEST_F(AutostartTest, AReadOnlyFolderRefusesWritingAndRemoving)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    ASSERT_TRUE(writeAutostart(m_entry, { m_program, {} }));
    const std::string before = readFile(m_entry);
    fs::permissions(m_entry.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(writeAutostart(m_entry, { m_program, { "--home", "/elsewhere" } }));
    SaveResult removal = removeAutostart(m_entry);
    EXPECT_FALSE(removal);
    EXPECT_NE(removal.error().find(m_entry.string()), std::string::npos);
    EXPECT_EQ(readFile(m_entry), before);
}

class ScopedVariable final {
public:
    ScopedVariable(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { m_old ? ::setenv(m_name, m_old->c_str(), 1) : ::unsetenv(m_name); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST(AutostartPlaces, EntryFollowsXdgConfigHomeOnlyWhenAbsolute)
{
    ScopedVariable home("HOME", "/home/tester");
    {
        ScopedVariable config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(autostartEntryPath(), fs::path("/cfg/autostart/zr5a.desktop"));
    }
    for (const char* config : { "relative/cfg", "", static_cast<const char*>(nullptr) }) {
        ScopedVariable variable("XDG_CONFIG_HOME", config);
        EXPECT_EQ(autostartEntryPath(), fs::path("/home/tester/.config/autostart/zr5a.desktop"));
    }

    const fs::path self = runningProgram();
    EXPECT_TRUE(self.is_absolute());
    EXPECT_EQ(self.filename(), "core_units");
}

} // namespace
} // namespace zr5::core
