// Patrols against a local HTTP server, with the real engine and real threads.
// Labelled "tsan": run them in a ThreadSanitizer build as well.
#include "core/event_queue.h"
#include "core/messages.h"
#include "core/patrol.h"
#include "core_test_support.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace zr5::core {
namespace {

using namespace std::chrono_literals;
using test::readFile;
using test::writeFile;

constexpr auto kPatience = std::chrono::milliseconds(60000);

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::vector<std::string> describe(const HeadlineList& list)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < list.size(); ++i) {
        lines.push_back(list.at(i).label + "|" + list.at(i).title + "|" + list.at(i).link);
    }
    return lines;
}

class PatrolTest : public ::testing::Test {
protected:
    PatrolTest()
        : m_server(ZR5_CORE_TEST_DATA "/site")
        , m_host(m_queue)
    {
        m_host.onLoadError([this](const std::string& text) { m_errors.push_back(text); });
        m_display.setMainList(makeSingleHeadlineList("", std::string(messages::kConnecting), ""));
        m_options.noticeUrl = m_server.url("/notice.html");
        m_options.logPath = m_folder / "debug_display.txt";
    }
    ~PatrolTest() override { m_queue.close(); }

    std::string base() const { return m_server.url(""); }
    void addScript(const std::string& name, const std::string& text)
    {
        writeFile(m_folder / "Scripts" / name, replaceAll(text, "@BASE@", base()));
    }
    void configure(const std::string& ini)
    {
        m_scripts = enumerateScripts(m_folder / "Scripts", m_host);
        m_settings = loadSettings(ProfileFile::parse(replaceAll(ini, "@BASE@", base())), m_scripts);
    }
    Patrol& patrol()
    {
        if (!m_patrol) {
            m_patrol = std::make_unique<Patrol>(m_scripts, m_settings.proxy, m_display, m_host, m_options);
            m_host.attach(*m_patrol);
        }
        return *m_patrol;
    }
    bool runToEnd()
    {
        return m_queue.runUntil([this] { return !patrol().isRunning(); }, kPatience);
    }
    // Waits (serving the queue) until the server has seen a request for path.
    bool waitForRequest(const std::string& path)
    {
        for (int i = 0; i < 6000; ++i) {
            if (requests().find(path + "\n") != std::string::npos) {
                return true;
            }
            m_queue.runPending();
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }
    std::string requests() const { return m_server.get("/log"); }

    test::ScratchFolder m_folder;
    test::TestServer m_server;
    EventQueue m_queue;
    QueuedPatrolHost m_host;
    DisplayHolder m_display;
    ScriptList m_scripts;
    Settings m_settings;
    PatrolOptions m_options;
    std::unique_ptr<Patrol> m_patrol;
    std::vector<std::string> m_errors;
};

const char* const kNewsScript = R"(var base = "@BASE@";
category "Top"
{
	var doc = new Document();
	var buf;
	var title;
	var link;
	var inLink = false;
	doc.open(base + "/news.html");
	while ( buf = doc.get() )
	{
		if ( buf.isTag() )
		{
			if ( buf.getAttr("") == "a" ) { link = buf.getAttr("href"); title = ""; inLink = true; }
			else if ( buf.getAttr("") == "/a" ) { Display(title, link); inLink = false; }
		}
		else if ( inLink ) title += buf;
	}
}
category "Second"
{
	Display("Second category", "http://news.example/second");
}
category "Unchecked"
{
	Display("never shown", "");
}
)";

TEST_F(PatrolTest, CollectsSitesAndCategoriesInListOrderWithTheirLabels)
{
    addScript("my.news.zrs", kNewsScript);
    addScript("plain", "category \"none\" { Display(\"not a .zrs file\", \"\"); }\n");
    configure("[Script]\nCount=4\n0000=R,*,Feed One,@BASE@/feed1.xml\n0001=N,*,my.news.zrs,Second,Top\n"
              "0002=R,.,Off,@BASE@/feed2.xml\n0003=R,*,Feed Two,@BASE@/feed2.xml\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());

    EXPECT_EQ(describe(*m_display.mainList()),
        (std::vector<std::string> { "Feed One|First story|http://feed-one.example/1",
            "Feed One|Second story|http://feed-one.example/2",
            "my.news:Top|Rain tomorrow|http://news.example/rain",
            "my.news:Top|Sun on Sunday|http://news.example/sun",
            "my.news:Second|Second category|http://news.example/second",
            "Feed Two|Alpha|http://feed-two.example/a", "Feed Two|Beta|http://feed-two.example/b",
            "Feed Two|Gamma|http://feed-two.example/c" }));
    EXPECT_EQ(describe(*m_display.noticeList()),
        (std::vector<std::string> {
            "PR|Notice one|http://notice.example/one", "PR|Notice two|http://notice.example/two" }));
    EXPECT_EQ(readFile(m_folder / "debug_display.txt"),
        "# Feed One\nFirst story [http://feed-one.example/1]\nSecond story [http://feed-one.example/2]\n"
        "# my.news.zrs - Top\nRain tomorrow [http://news.example/rain]\nSun on Sunday "
        "[http://news.example/sun]\n"
        "# my.news.zrs - Second\nSecond category [http://news.example/second]\n"
        "# Feed Two\nAlpha [http://feed-two.example/a]\nBeta [http://feed-two.example/b]\n"
        "Gamma [http://feed-two.example/c]\n");
    EXPECT_EQ(m_display.currentHeadline()->title, "First story");
    EXPECT_TRUE(m_errors.empty());
}

TEST_F(PatrolTest, NothingToRunShowsTheInformationListAndTheLogIsRewritten)
{
    writeFile(m_folder / "debug_display.txt", "old contents\n");
    addScript("off.zrs", "category \"A\" { Display(\"a\", \"\"); }\n");
    configure("[Script]\nCount=2\n0000=N,.,off.zrs,A\n0001=R,*,Nothing here,@BASE@/missing.xml\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());
    // The site ran and failed, so this is not the "nothing ran" case: the
    // failure is shown instead.
    ASSERT_EQ(patrol().lastReport().entries().size(), 1u);
    const EntryResult& failed = patrol().lastReport().entries()[0];
    EXPECT_EQ(describe(*m_display.mainList()),
        std::vector<std::string> {
            std::string(messages::kInformationLabel) + "|" + describeResult(failed) + "|" });
    const std::string reason = std::string(messages::kHttpStatus) + " 404 " + base() + "/missing.xml";
    EXPECT_EQ(describeOutcome(failed), reason);
    EXPECT_EQ(readFile(m_folder / "debug_display.txt"), "# Nothing here\n! Nothing here: " + reason + "\n");

    m_scripts.entries.pop_back();
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(describe(*m_display.mainList()),
        std::vector<std::string> { std::string(messages::kInformationLabel) + "|"
            + std::string(messages::kConfigureScripts) + "|" });
    EXPECT_EQ(readFile(m_folder / "debug_display.txt"), "");
}

TEST_F(PatrolTest, FailedNoticePatrolGivesTheSingleFallbackHeadline)
{
    configure("");
    const char* old = std::getenv("TMPDIR");
    std::string saved = old ? old : "";
    ::setenv("TMPDIR", (m_folder / "missing").c_str(), 1);
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    bool finished = runToEnd();
    old ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
    ASSERT_TRUE(finished);
    EXPECT_EQ(describe(*m_display.noticeList()),
        std::vector<std::string> {
            "PR|" + std::string(messages::kNoticeFallbackTitle) + "|" + std::string(messages::kHomeUrl) });
    EXPECT_EQ(requests().find("/notice.html"), std::string::npos);
}

TEST_F(PatrolTest, ALongScriptKeepsTheMainThreadFreeAndTheNoticeWaits)
{
    addScript("slow.zrs",
        "category \"Wait\" {\n\tvar d = new Document();\n\td.open(\"@BASE@/hold\");\n"
        "\tDisplay(\"after the wait\", \"\");\n}\n");
    configure("[Script]\nCount=1\n0000=N,*,slow.zrs,Wait\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(waitForRequest("/hold"));

    // The worker is inside the engine now; the main thread goes on working.
    EXPECT_EQ(patrol().startPatrol(), Patrol::Start::Busy);
    bool served = false;
    m_queue.post([&] { served = true; });
    m_queue.runPending();
    EXPECT_TRUE(served);
    EXPECT_EQ(m_display.currentHeadline()->title, messages::kConnecting);
    m_display.next();
    m_display.advanceBy(std::chrono::milliseconds(10));
    EXPECT_EQ(requests().find("/notice.html"), std::string::npos);

    m_server.get("/release");
    ASSERT_TRUE(runToEnd());
    std::string log = requests();
    EXPECT_LT(log.find("/hold"), log.find("/notice.html"));
    EXPECT_EQ(describe(*m_display.mainList()), std::vector<std::string> { "slow:Wait|after the wait|" });
    EXPECT_EQ(m_display.noticeList()->size(), 2u);
}

TEST_F(PatrolTest, NotificationsReachTheMainThreadWhileTheWorkerWaits)
{
    addScript("notify.zrs",
        "category \"N\" {\n\t_Notify(\"greeting\", \"hello\");\n"
        "\tvar d = new Document();\n\td.open(\"@BASE@/after-notify\");\n"
        "\tDisplay(\"done\", \"\");\n}\n");
    configure("[Script]\nCount=1\n0000=N,*,notify.zrs,N\n");
    const std::thread::id mainThread = std::this_thread::get_id();
    std::vector<std::string> seen;
    m_host.onNotification([&](const std::string& name, const std::string& value) {
        EXPECT_EQ(std::this_thread::get_id(), mainThread);
        // The worker must still be waiting: give it a chance to run ahead.
        std::this_thread::sleep_for(200ms);
        seen.push_back(
            name + "=" + value + (requests().find("/after-notify") == std::string::npos ? "" : " late"));
    });
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(seen, std::vector<std::string> { "greeting=hello" });
    EXPECT_NE(requests().find("/after-notify"), std::string::npos);
    EXPECT_EQ(describe(*m_display.mainList()), std::vector<std::string> { "notify:N|done|" });
}

TEST_F(PatrolTest, NotificationAfterTheMainLoopEndedDoesNotHang)
{
    addScript("notify.zrs", "category \"N\" { _Notify(\"a\", \"b\"); Display(\"x\", \"\"); }\n");
    configure("[Script]\nCount=1\n0000=N,*,notify.zrs,N\n");
    m_queue.close();
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    m_patrol.reset(); // joins the worker, which must not wait for a closed queue
    SUCCEED();
}

TEST_F(PatrolTest, RepeatedPatrolsReuseLoadedSitesAndReplaceTheLists)
{
    configure("[Script]\nCount=1\n0000=R,*,Feed One,@BASE@/feed1.xml\n");
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
        ASSERT_TRUE(runToEnd());
        m_display.next();
    }
    EXPECT_EQ(m_display.mainList()->size(), 2u);
    EXPECT_EQ(m_scripts.entries[0]->categories.size(), 1u);
    std::string log = requests();
    std::size_t fetches = 0;
    for (std::size_t at = log.find("/feed1.xml"); at != std::string::npos;
         at = log.find("/feed1.xml", at + 1)) {
        ++fetches;
    }
    EXPECT_EQ(fetches, 3u);
    EXPECT_EQ(m_display.currentHeadline()->title, "Second story"); // rewound, then one step
}

// Waits (serving the queue) until the patrol log holds text.
bool waitForLog(EventQueue& queue, const std::filesystem::path& log, const std::string& text)
{
    for (int i = 0; i < 6000; ++i) {
        if (std::filesystem::exists(log) && readFile(log).find(text) != std::string::npos) {
            return true;
        }
        queue.runPending();
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

std::vector<std::string> outcomes(const PatrolReport& report)
{
    std::vector<std::string> lines;
    for (const EntryResult& entry : report.entries()) {
        lines.push_back(entry.scriptName + "|" + entry.category + "|" + std::to_string(entry.headlines) + "|"
            + std::to_string(static_cast<int>(entry.outcome)) + (isFailure(entry) ? " failed" : ""));
    }
    return lines;
}

std::string outcome(const std::string& name, const std::string& category, int headlines, Outcome kind)
{
    EntryResult entry { name, category, 0, headlines, kind, {} };
    return name + "|" + category + "|" + std::to_string(headlines) + "|"
        + std::to_string(static_cast<int>(kind)) + (isFailure(entry) ? " failed" : "");
}

// A script that, once in its loop, never returns on its own.
const char* const kLoopScript
    = "category \"Loop\"\n{\n\tDisplay(\"before the loop\", \"\");\n\twhile (1) {}\n}\n"
      "category \"After\"\n{\n\tDisplay(\"after the loop\", \"\");\n}\n";

TEST_F(PatrolTest, EachEntryGetsItsResultAndEachFailureItsLogLine)
{
    addScript("mixed.zrs",
        "category \"Good\" { Display(\"good\", \"\"); }\n"
        "category \"Missing\" { var d = new Document(); d.open(\"@BASE@/status/404\"); }\n"
        "category \"Reset\" { var d = new Document(); d.open(\"@BASE@/reset\"); }\n"
        "category \"Quiet\" { var d = new Document(); d.open(\"@BASE@/news.html\"); }\n"
        "category \"Unchecked\" { Display(\"never\", \"\"); }\n");
    addScript("broken.zrs", "category \"A\"\n{\n\tDisplay(\"never\", \"\");\n");
    configure("[Script]\nCount=4\n0000=N,*,mixed.zrs,Good,Missing,Reset,Quiet\n0001=N,*,broken.zrs,A\n"
              "0002=R,*,Page,@BASE@/news.html\n0003=R,*,Feed One,@BASE@/feed1.xml\n");
    m_queue.runPending();
    ASSERT_EQ(m_errors.size(), 1u);
    EXPECT_EQ(m_errors[0].rfind("broken.zrs: (4) : error : ", 0), 0u) << m_errors[0];
    EXPECT_EQ(m_scripts.entries[1]->loadError, m_errors[0].substr(std::string("broken.zrs: ").size()));
    EXPECT_EQ(m_scripts.entries[0]->loadError, "");

    const std::time_t started = std::time(nullptr);
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());
    const PatrolReport& report = patrol().lastReport();
    EXPECT_EQ(outcomes(report),
        (std::vector<std::string> { outcome("mixed.zrs", "Good", 1, Outcome::Headlines),
            outcome("mixed.zrs", "Missing", 0, Outcome::HttpStatus),
            outcome("mixed.zrs", "Reset", 0, Outcome::Refused),
            // A script that fetched fine but said nothing has simply no news.
            outcome("mixed.zrs", "Quiet", 0, Outcome::Headlines),
            outcome("broken.zrs", "", 0, Outcome::SyntaxError), outcome("Page", "", 0, Outcome::NotAFeed),
            outcome("Feed One", "", 2, Outcome::Headlines) }));
    for (const EntryResult& entry : report.entries()) {
        EXPECT_GE(entry.finishedAt, started);
    }
    ASSERT_NE(report.find("mixed.zrs", "Missing"), nullptr);
    EXPECT_EQ(report.find("mixed.zrs", "Missing")->detail, "404 " + base() + "/status/404");
    EXPECT_EQ(report.find("mixed.zrs", "Reset")->detail.rfind(base() + "/reset", 0), 0u);
    EXPECT_EQ(report.find("broken.zrs", "")->detail, m_scripts.entries[1]->loadError);
    EXPECT_EQ(report.find("Page", "")->detail, base() + "/news.html");
    EXPECT_EQ(report.find("mixed.zrs", "Unchecked"), nullptr);
    EXPECT_EQ(report.find("Feed One", "RSS"), nullptr);

    std::string log = readFile(m_folder / "debug_display.txt");
    EXPECT_NE(log.find("# mixed.zrs - Missing\n! mixed.zrs - Missing: " + std::string(messages::kHttpStatus)
                  + " 404 " + base() + "/status/404\n# mixed.zrs - Reset\n! mixed.zrs - Reset: "
                  + std::string(messages::kRefused)),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("# mixed.zrs - Quiet\n! broken.zrs: " + std::string(messages::kSyntaxError)
                  + " (4) : error"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("# Page\n! Page: " + std::string(messages::kNotAFeed) + " " + base()
                  + "/news.html\n# Feed One\n"),
        std::string::npos)
        << log;
    // Headlines arrived, so they are shown rather than the failures.
    EXPECT_EQ(m_display.mainList()->size(), 3u);
}

TEST_F(PatrolTest, StoppedRunsKeepTheirHeadlinesAndCostOnlyTheirCategory)
{
    m_options.scriptSeconds = 1;
    m_options.fetchSeconds = 2;
    addScript("loop.zrs", kLoopScript);
    addScript("slow.zrs",
        "category \"Trickle\" { var d = new Document(); d.open(\"@BASE@/trickle\");\n"
        "\twhile (d.get()) {} Display(\"trickled\", \"\"); }\n");
    configure("[Script]\nCount=2\n0000=N,*,loop.zrs,Loop,After\n0001=N,*,slow.zrs,Trickle\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(describe(*m_display.mainList()),
        (std::vector<std::string> {
            "loop:Loop|before the loop|", "loop:After|after the loop|", "slow:Trickle|trickled|" }));
    EXPECT_EQ(outcomes(patrol().lastReport()),
        (std::vector<std::string> { outcome("loop.zrs", "Loop", 1, Outcome::RunLimit),
            outcome("loop.zrs", "After", 1, Outcome::Headlines),
            // What arrived in time is kept, and the script goes on with it.
            outcome("slow.zrs", "Trickle", 1, Outcome::Headlines) }));
    EXPECT_FALSE(patrol().lastReport().find("loop.zrs", "Loop")->detail.empty());
    EXPECT_FALSE(patrol().wasCancelled());
    EXPECT_NE(requests().find("/notice.html"), std::string::npos);
}

TEST_F(PatrolTest, CancelEndsALoopingScriptAndChangesNothingOnScreen)
{
    m_options.scriptSeconds = 0; // no bound: only the cancel ends it
    addScript("loop.zrs", kLoopScript);
    configure("[Script]\nCount=1\n0000=N,*,loop.zrs,Loop,After\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(waitForLog(m_queue, m_folder / "debug_display.txt", "before the loop"));
    patrol().cancel();
    EXPECT_TRUE(m_queue.runUntil([this] { return !patrol().isRunning(); }, 10s));

    EXPECT_TRUE(patrol().wasCancelled());
    EXPECT_EQ(m_display.currentHeadline()->title, messages::kConnecting);
    EXPECT_EQ(m_display.noticeList(), nullptr);
    EXPECT_EQ(requests().find("/notice.html"), std::string::npos);
    EXPECT_EQ(outcomes(patrol().lastReport()),
        std::vector<std::string> { outcome("loop.zrs", "Loop", 1, Outcome::Cancelled) });
    EXPECT_EQ(readFile(m_folder / "debug_display.txt"), "# loop.zrs - Loop\nbefore the loop []\n");
}

TEST_F(PatrolTest, CancelEndsATricklingFetchAndAStuckNoticePatrol)
{
    m_options.fetchSeconds = 0;
    addScript("slow.zrs", "category \"Trickle\" { var d = new Document(); d.open(\"@BASE@/trickle\"); }\n");
    configure("[Script]\nCount=1\n0000=N,*,slow.zrs,Trickle\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(waitForRequest("/trickle"));
    patrol().cancel();
    EXPECT_TRUE(m_queue.runUntil([this] { return !patrol().isRunning(); }, 10s));
    EXPECT_TRUE(patrol().wasCancelled());
    EXPECT_EQ(outcomes(patrol().lastReport()),
        std::vector<std::string> { outcome("slow.zrs", "Trickle", 0, Outcome::Cancelled) });

    // The next patrol starts afresh; its notice page never answers.
    m_patrol.reset();
    m_options.noticeUrl = m_server.url("/never");
    m_scripts.entries.clear();
    addScript("quick.zrs", "category \"Q\" { Display(\"quick\", \"\"); }\n");
    configure("[Script]\nCount=1\n0000=N,*,quick.zrs,Q\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(waitForRequest("/never"));
    EXPECT_FALSE(patrol().wasCancelled());
    EXPECT_EQ(describe(*m_display.mainList()), std::vector<std::string> { "quick:Q|quick|" });
    patrol().cancel();
    EXPECT_TRUE(m_queue.runUntil([this] { return !patrol().isRunning(); }, 10s));
    EXPECT_EQ(m_display.noticeList(), nullptr);
}

TEST_F(PatrolTest, WithoutANoticeAddressNothingIsFetchedAndTheFallbackShows)
{
    m_options.noticeUrl.clear();
    configure("[Script]\nCount=1\n0000=R,*,Feed One,@BASE@/feed1.xml\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(describe(*m_display.noticeList()),
        std::vector<std::string> {
            "PR|" + std::string(messages::kNoticeFallbackTitle) + "|" + std::string(messages::kHomeUrl) });
    EXPECT_EQ(requests(), "/feed1.xml\n");
}

TEST_F(PatrolTest, TheLogReplacesALinkInsteadOfWritingThroughIt)
{
    writeFile(m_folder / "victim.txt", "precious\n");
    std::filesystem::create_symlink(m_folder / "victim.txt", m_folder / "debug_display.txt");
    configure("[Script]\nCount=1\n0000=R,*,Feed One,@BASE@/feed1.xml\n");
    ASSERT_EQ(patrol().startPatrol(), Patrol::Start::Started);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(readFile(m_folder / "victim.txt"), "precious\n");
    EXPECT_FALSE(std::filesystem::is_symlink(m_folder / "debug_display.txt"));
    EXPECT_EQ(readFile(m_folder / "debug_display.txt").rfind("# Feed One\n", 0), 0u);
}

} // namespace
} // namespace zr5::core
