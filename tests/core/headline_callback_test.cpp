#include "core/headline_callback.h"
#include "core_test_support.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace zr5::core {
namespace {

class RecordingHost final : public PatrolHost {
public:
    void loadError(std::string_view text) override { errors.emplace_back(text); }
    void patrolFinished() override { }
    void noticeFinished() override { }
    void notification(std::string_view name, std::string_view value) override
    {
        notifications.emplace_back(name, value);
    }
    std::vector<std::string> errors;
    std::vector<std::pair<std::string, std::string>> notifications;
};

TEST(HeadlineCallback, HeadlinesGoToTheListAndTheLogNotificationsToTheHost)
{
    test::ScratchFolder folder;
    std::FILE* log = std::fopen((folder / "debug_display.txt").c_str(), "w");
    ASSERT_NE(log, nullptr);
    HeadlineList list("news:top");
    RecordingHost host;
    DisplayContext context { &list, &host, log };

    DisplayRecord headline { "Title", "http://a/1", "extra", ZR5S_KIND_HEADLINE };
    DisplayRecord empty { "", "", nullptr, ZR5S_KIND_HEADLINE };
    DisplayRecord notify { "name", "value", nullptr, ZR5S_KIND_NOTIFY };
    DisplayRecord unknown { "x", "y", nullptr, 7 };
    for (const DisplayRecord* record : { &headline, &empty, &notify, &unknown, &headline }) {
        headlineCallback(record, &context);
    }
    std::fclose(log);

    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.at(0).title, "Title");
    EXPECT_EQ(list.at(0).link, "http://a/1");
    EXPECT_EQ(list.at(0).label, "news:top");
    EXPECT_EQ(list.at(1).title, "");
    ASSERT_EQ(host.notifications.size(), 1u);
    EXPECT_EQ(host.notifications[0], std::make_pair(std::string("name"), std::string("value")));
    EXPECT_EQ(test::readFile(folder / "debug_display.txt"), "Title [http://a/1]\n []\nTitle [http://a/1]\n");
}

TEST(HeadlineCallback, WithoutLogOrTextsNothingBreaks)
{
    HeadlineList list;
    DisplayContext context { &list, nullptr, nullptr };
    DisplayRecord nulls { nullptr, nullptr, nullptr, ZR5S_KIND_HEADLINE };
    DisplayRecord notify { "n", "v", nullptr, ZR5S_KIND_NOTIFY };
    headlineCallback(&nulls, &context);
    headlineCallback(&notify, &context);
    headlineCallback(nullptr, &context);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list.at(0).title, "");
}

} // namespace
} // namespace zr5::core
