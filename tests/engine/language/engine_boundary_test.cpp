// The shared library as a host sees it: loaded with dlopen, its exports found
// by name, every operation of the instance driven through the vtable.
#include "zr5script.h"

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

using CreateFunction = ScriptInterface* (*)();
using DestroyFunction = void (*)(ScriptInterface*);
using DocTestFunction = void (*)(const char*);

struct Headline {
    std::string text1;
    std::string text2;
    std::int32_t kind;
    void* userData;
};

std::vector<Headline> g_headlines;

void collect(const DisplayRecord* record, void* userData)
{
    g_headlines.push_back(
        { record->text1 ? record->text1 : "", record->text2 ? record->text2 : "", record->kind, userData });
}

class EngineLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_library = dlopen(ZR5SCRIPT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(m_library, nullptr) << dlerror();
        m_create = reinterpret_cast<CreateFunction>(dlsym(m_library, "ZR5S_CreateInterface"));
        m_destroy = reinterpret_cast<DestroyFunction>(dlsym(m_library, "ZR5S_DestroyInterface"));
        m_docTest = reinterpret_cast<DocTestFunction>(dlsym(m_library, "ZR5S_InternetDocTest"));
        ASSERT_NE(m_create, nullptr);
        ASSERT_NE(m_destroy, nullptr);
        ASSERT_NE(m_docTest, nullptr);
        m_folder = fs::temp_directory_path() / ("zr5-boundary-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
        g_headlines.clear();
    }

    void TearDown() override
    {
        fs::remove_all(m_folder);
        if (m_library) {
            dlclose(m_library);
        }
    }

    std::string writeScript(const std::string& name, const std::string& text)
    {
        const fs::path path = m_folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    void* m_library = nullptr;
    CreateFunction m_create = nullptr;
    DestroyFunction m_destroy = nullptr;
    DocTestFunction m_docTest = nullptr;
    fs::path m_folder;
};

TEST_F(EngineLibrary, LoadListRunAndReportThroughTheVtable)
{
    ScriptInterface* engine = m_create();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->GetCategoryCount(), 0);
    EXPECT_STREQ(engine->GetErrorText(), "");
    int context = 0;
    engine->SetDisplayCallback(collect, &context);
    const ConnectionSettings direct { ZR5S_PROXY_DIRECT, nullptr, 0, 0 };
    EXPECT_EQ(engine->SetConnection(&direct), 0);
    EXPECT_EQ(engine->SetConnection(nullptr), 0);

    const std::string path = writeScript("news.zrs",
        "var n = 0;\n"
        "Display('loaded', 'l0');\n"
        "category \"one\" { n++; Display('one' + n, 'l1', 'x'); }\n"
        "category \"two\" { _Notify('k', n); }\n");
    ASSERT_EQ(engine->Load(path.c_str()), ZR5S_LOAD_OK);
    ASSERT_EQ(engine->GetCategoryCount(), 2);
    EXPECT_STREQ(engine->GetCategoryName(0), "one");
    EXPECT_STREQ(engine->GetCategoryName(1), "two");
    EXPECT_EQ(engine->RunCategory(0), 0);
    EXPECT_EQ(engine->RunCategory(0), 0);
    EXPECT_EQ(engine->RunCategory(1), 0);

    ASSERT_EQ(g_headlines.size(), 4u);
    EXPECT_EQ(g_headlines[0].text1, "loaded");
    EXPECT_EQ(g_headlines[1].text1, "one1");
    EXPECT_EQ(g_headlines[2].text1, "one2");
    EXPECT_EQ(g_headlines[3].text1, "k");
    EXPECT_EQ(g_headlines[3].text2, "2");
    EXPECT_EQ(g_headlines[3].kind, ZR5S_KIND_NOTIFY);
    EXPECT_EQ(g_headlines[0].userData, &context);
    m_destroy(engine);
    m_destroy(nullptr);
}

TEST_F(EngineLibrary, LoadResultsAndErrorText)
{
    ScriptInterface* engine = m_create();
    EXPECT_EQ(engine->Load((m_folder / "missing.zrs").c_str()), ZR5S_LOAD_FAILED);
    EXPECT_STREQ(engine->GetErrorText(),
        "ZR5\x83\x58\x83\x4e\x83\x8a\x83\x76\x83\x67\x83\x74\x83\x40\x83\x43\x83\x8b"
        "\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42");
    EXPECT_EQ(engine->GetCategoryCount(), 0);
    m_destroy(engine);

    engine = m_create();
    EXPECT_EQ(engine->Load(writeScript("unclosed.zrs", "category \"a\" { }\nif (1) {\n").c_str()),
        ZR5S_LOAD_FAILED);
    EXPECT_STREQ(engine->GetErrorText(), "(3) : error : parse error, unexpected $");
    EXPECT_EQ(engine->GetCategoryCount(), 1);
    m_destroy(engine);

    engine = m_create();
    EXPECT_EQ(engine->Load(writeScript("recovered.zrs", "x = ;\n").c_str()), ZR5S_LOAD_OK);
    EXPECT_EQ(engine->Load(writeScript("deep.zrs", std::string(20000, '(') + "1").c_str()),
        ZR5S_LOAD_STACK_OVERFLOW);
    EXPECT_EQ(engine->Load(writeScript("loop.zrs", "function f() { return f(); } f();").c_str()),
        ZR5S_LOAD_EXCEPTION);
    EXPECT_NE(std::string(engine->GetErrorText()).find("recursion"), std::string::npos);
    m_destroy(engine);
}

TEST_F(EngineLibrary, FailedRunsNeitherThrowNorStopLaterRuns)
{
    ScriptInterface* engine = m_create();
    engine->SetDisplayCallback(collect, nullptr);
    const std::string path = writeScript("runs.zrs",
        "function f(n) { return f(n + 1); }\n"
        "category \"bad\" { f(0); }\n"
        "category \"good\" { Display('ok', ''); }\n");
    ASSERT_EQ(engine->Load(path.c_str()), ZR5S_LOAD_OK);
    EXPECT_EQ(engine->RunCategory(0), -1);
    EXPECT_NE(std::string(engine->GetErrorText()), "");
    EXPECT_EQ(engine->RunCategory(5), -1);
    EXPECT_STREQ(engine->GetErrorText(), "invalid vector<T> subscript");
    EXPECT_EQ(engine->RunCategory(1), 0);
    ASSERT_EQ(g_headlines.size(), 1u);
    EXPECT_EQ(g_headlines[0].text1, "ok");
    m_destroy(engine);
}

std::int32_t alwaysCancel(void*)
{
    return 1;
}

TEST_F(EngineLibrary, RunLimitsStopRunsAndNullLiftsThem)
{
    ScriptInterface* engine = m_create();
    engine->SetDisplayCallback(collect, nullptr);
    const std::string path = writeScript("limits.zrs",
        "category \"loop\" { Display('first', ''); while (1) {} }\n"
        "category \"short\" { i = 0; while (i < 5000) i++; }\n");
    ASSERT_EQ(engine->Load(path.c_str()), ZR5S_LOAD_OK);
    const RunLimits oneSecond { 1, 0, 0, nullptr, nullptr };
    EXPECT_EQ(engine->SetRunLimits(&oneSecond), 0);
    EXPECT_EQ(engine->RunCategory(0), ZR5S_RUN_LIMIT);
    EXPECT_STREQ(engine->GetErrorText(), "run-time limit of 1 s reached");
    ASSERT_EQ(g_headlines.size(), 1u);
    EXPECT_EQ(g_headlines[0].text1, "first");

    const RunLimits cancelled { 0, 0, 0, alwaysCancel, nullptr };
    engine->SetRunLimits(&cancelled);
    EXPECT_EQ(engine->RunCategory(1), ZR5S_RUN_CANCELLED);
    EXPECT_EQ(engine->SetRunLimits(nullptr), 0);
    EXPECT_EQ(engine->RunCategory(1), ZR5S_RUN_OK);
    m_destroy(engine);
}

TEST_F(EngineLibrary, FetchReportTellsTheLastFailureOfTheLastCall)
{
    ScriptInterface* engine = m_create();
    const ConnectionSettings direct { ZR5S_PROXY_DIRECT, nullptr, 0, 0 };
    engine->SetConnection(&direct);
    const FetchReport* report = engine->GetFetchReport();
    EXPECT_EQ(report->fetches, 0);
    EXPECT_STREQ(report->url, "");
    const std::string path = writeScript("fetch.zrs",
        "category \"fetch\" { d = new Document(); "
        "d.open('http://127.0.0.1:1/'); d.open('file:///etc/hostname'); }\n"
        "category \"none\" { }\n");
    ASSERT_EQ(engine->Load(path.c_str()), ZR5S_LOAD_OK);
    ASSERT_EQ(engine->RunCategory(0), ZR5S_RUN_OK);
    report = engine->GetFetchReport();
    EXPECT_EQ(report->fetches, 2);
    EXPECT_EQ(report->failures, 2);
    EXPECT_EQ(report->lastFailure, ZR5S_FETCH_OTHER);
    EXPECT_STREQ(report->url, "file:///etc/hostname");
    EXPECT_STREQ(report->message, "not an http, https or ftp URL");
    ASSERT_EQ(engine->RunCategory(1), ZR5S_RUN_OK);
    report = engine->GetFetchReport();
    EXPECT_EQ(report->fetches, 0);
    EXPECT_EQ(report->failures, 0);
    EXPECT_EQ(report->lastFailure, ZR5S_FETCH_OK);
    EXPECT_STREQ(report->message, "");
    m_destroy(engine);
}

TEST_F(EngineLibrary, OneCallbackServesEveryInstance)
{
    ScriptInterface* first = m_create();
    ScriptInterface* second = m_create();
    const std::string path = writeScript("one.zrs", "category \"c\" { Display('from', 'x'); }\n");
    ASSERT_EQ(first->Load(path.c_str()), ZR5S_LOAD_OK);
    ASSERT_EQ(second->Load(path.c_str()), ZR5S_LOAD_OK);
    int tag = 0;
    second->SetDisplayCallback(collect, &tag);
    first->RunCategory(0);
    ASSERT_EQ(g_headlines.size(), 1u);
    EXPECT_EQ(g_headlines[0].userData, &tag);
    first->SetDisplayCallback(nullptr, nullptr);
    second->RunCategory(0);
    EXPECT_EQ(g_headlines.size(), 1u);
    m_destroy(second);
    m_destroy(first);
}

TEST_F(EngineLibrary, DocTestWritesTempHtmlEvenOnFailure)
{
    const fs::path previous = fs::current_path();
    fs::current_path(m_folder);
    m_docTest("http://127.0.0.1:1/nothing-listens-here");
    EXPECT_TRUE(fs::exists(m_folder / "temp.html"));
    fs::current_path(previous);
}

} // namespace
