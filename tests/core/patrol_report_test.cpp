// The lines a patrol's results read as, for the settings sheet, the
// "Information." list, the log and zr5patrol.
#include "core/messages.h"
#include "core/patrol_report.h"
#include "core_test_support.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace zr5::core {
namespace {

using test::sjis;

class PatrolReportTest : public ::testing::Test {
protected:
    PatrolReportTest()
    {
        const char* old = std::getenv("TZ");
        m_savedZone = old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }
    ~PatrolReportTest() override
    {
        m_savedZone ? ::setenv("TZ", m_savedZone->c_str(), 1) : ::unsetenv("TZ");
        ::tzset();
    }

    static EntryResult result(Outcome outcome, std::string detail, std::int32_t headlines = 0)
    {
        // 12:03 on the first day of 1970, UTC.
        return EntryResult { "news.zrs", "Top", 12 * 3600 + 3 * 60, headlines, outcome, std::move(detail) };
    }

private:
    std::optional<std::string> m_savedZone;
};

TEST_F(PatrolReportTest, DescribesSuccessWithTimeAndCountAndFailuresWithReasonAndDetail)
{
    EXPECT_EQ(describeResult(result(Outcome::Headlines, "", 5)), sjis("12:03 5件"));
    EXPECT_EQ(describeResult(result(Outcome::HostNotFound, "http://x/ (could not resolve host)")),
        sjis("12:03 ホストが見つかりません http://x/ (could not resolve host)"));
    EXPECT_EQ(describeResult(result(Outcome::HttpStatus, "503 http://x/")),
        sjis("12:03 HTTPステータス 503 http://x/"));
    EXPECT_EQ(
        describeOutcome(result(Outcome::TimedOut, "http://x/")), sjis("タイムアウトしました http://x/"));
    EXPECT_EQ(describeOutcome(result(Outcome::RunLimit, "")), sjis("実行制限で停止しました"));
    // The parser's several lines become one, without trailing blanks.
    EXPECT_EQ(describeOutcome(result(Outcome::SyntaxError, "(4) : error : a\r\n(5) : error : b\n")),
        sjis("構文エラー (4) : error : a  (5) : error : b"));
}

TEST_F(PatrolReportTest, OnlyWhatNeedsTheUsersAttentionIsAFailure)
{
    EXPECT_FALSE(isFailure(result(Outcome::Headlines, "", 0)));
    EXPECT_FALSE(isFailure(result(Outcome::Cancelled, "")));
    for (Outcome outcome : { Outcome::HostNotFound, Outcome::Refused, Outcome::TimedOut, Outcome::HttpStatus,
             Outcome::FetchFailed, Outcome::NotAFeed, Outcome::SyntaxError, Outcome::RunError,
             Outcome::RunLimit }) {
        EXPECT_TRUE(isFailure(result(outcome, ""))) << static_cast<int>(outcome);
    }

    PatrolReport report;
    EXPECT_FALSE(report.hasFailures());
    report.add(result(Outcome::Headlines, "", 2));
    report.add(EntryResult { "Site", "", 0, 0, Outcome::Cancelled, "" });
    EXPECT_FALSE(report.hasFailures());
    report.add(EntryResult { "news.zrs", "Second", 0, 0, Outcome::RunError, "boom" });
    EXPECT_TRUE(report.hasFailures());
    ASSERT_NE(report.find("news.zrs", "Second"), nullptr);
    EXPECT_EQ(report.find("news.zrs", "Second")->detail, "boom");
    EXPECT_EQ(report.find("Site", "")->outcome, Outcome::Cancelled);
    EXPECT_EQ(report.find("news.zrs", ""), nullptr);
    EXPECT_EQ(report.find("Site", "RSS"), nullptr);
}

} // namespace
} // namespace zr5::core
