#include "builtins/host_state.h"
#include "call_helpers.h"

#include <gtest/gtest.h>
#include <vector>

namespace zr5::script {
namespace {

using testing::callFunction;
using testing::num;
using testing::str;

struct Delivered {
    std::string text1;
    std::string text2;
    std::string text3;
    bool hasText3;
    int kind;
};

void record(const DisplayRecord* record, void* userData)
{
    static_cast<std::vector<Delivered>*>(userData)->push_back({ record->text1, record->text2,
        record->text3 ? record->text3 : "", record->text3 != nullptr, record->kind });
}

class HostCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        hostState().callback = record;
        hostState().userData = &m_delivered;
    }
    void TearDown() override { hostState() = HostState(); }

    std::vector<Delivered> m_delivered;
    std::map<std::string, ValuePtr> m_globals = testing::builtinGlobals();
};

TEST_F(HostCalls, DisplayDeliversThreeTextsOfKindZero)
{
    EXPECT_EQ(callFunction(m_globals.at("Display"), nullptr, { str("a") }), nullptr);
    callFunction(m_globals.at("Display"), nullptr, { num(1.5), str("x") });
    callFunction(m_globals.at("Display"), nullptr, { str("t"), str("l"), str("e"), str("ignored") });
    callFunction(m_globals.at("Display"), nullptr, {});
    ASSERT_EQ(m_delivered.size(), 4u);
    EXPECT_EQ(m_delivered[0].text1, "a");
    EXPECT_EQ(m_delivered[0].text2, "");
    EXPECT_TRUE(m_delivered[0].hasText3);
    EXPECT_EQ(m_delivered[0].text3, "");
    EXPECT_EQ(m_delivered[0].kind, ZR5S_KIND_HEADLINE);
    EXPECT_EQ(m_delivered[1].text1, "1.5");
    EXPECT_EQ(m_delivered[2].text3, "e");
    EXPECT_EQ(m_delivered[3].text1, "");
}

TEST_F(HostCalls, NotifyDeliversTwoTextsOfKindOne)
{
    EXPECT_EQ(callFunction(m_globals.at("_Notify"), nullptr, { str("name"), makeBoolean(true), str("x") }),
        nullptr);
    ASSERT_EQ(m_delivered.size(), 1u);
    EXPECT_EQ(m_delivered[0].text1, "name");
    EXPECT_EQ(m_delivered[0].text2, "true");
    EXPECT_FALSE(m_delivered[0].hasText3);
    EXPECT_EQ(m_delivered[0].kind, ZR5S_KIND_NOTIFY);
}

TEST_F(HostCalls, EveryCallIsDeliveredAndNoneWithoutCallback)
{
    callFunction(m_globals.at("Display"), nullptr, { str("same") });
    callFunction(m_globals.at("Display"), nullptr, { str("same") });
    EXPECT_EQ(m_delivered.size(), 2u);
    hostState().callback = nullptr;
    callFunction(m_globals.at("Display"), nullptr, { str("lost") });
    callFunction(m_globals.at("_Notify"), nullptr, { str("lost") });
    EXPECT_EQ(m_delivered.size(), 2u);
}

TEST(BuiltinRegistration, GlobalsInOrderWithFreshValues)
{
    std::vector<std::string> names;
    std::vector<ValuePtr> values;
    registerBuiltins([&](std::string_view name, ValuePtr value) {
        names.emplace_back(name);
        values.push_back(std::move(value));
    });
    EXPECT_EQ(names, (std::vector<std::string> { "Document", "Display", "_Notify", "Feed" }));
    for (const ValuePtr& value : values) {
        EXPECT_TRUE(value && value->isFunction());
    }
    EXPECT_NE(values[0], testing::builtinGlobals().at("Document"));
}

} // namespace
} // namespace zr5::script
