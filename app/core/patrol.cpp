#include "core/patrol.h"

#include "core/engine_lock.h"
#include "core/script_template.h"

#include <memory>
#include <mutex>
#include <system_error>

namespace zr5::core {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using LogFile = std::unique_ptr<std::FILE, FileCloser>;

// One category run with the headline callback installed. A throwing run only
// loses that category. The callback is removed afterwards, since its context
// lives on this stack.
void runCategory(ScriptInterface& engine, std::int32_t index, DisplayContext& context)
{
    engine.SetDisplayCallback(headlineCallback, &context);
    try {
        engine.RunCategory(index);
    } catch (...) {
    }
    engine.SetDisplayCallback(nullptr, nullptr);
}

} // namespace

Patrol::Patrol(const ScriptList& scripts, const ProxySettings& proxy, DisplayHolder& display,
    PatrolHost& host, PatrolOptions options)
    : m_scripts(scripts)
    , m_proxy(proxy)
    , m_display(display)
    , m_host(host)
    , m_options(std::move(options))
{
}

Patrol::~Patrol()
{
    if (m_patrolThread.joinable()) {
        m_patrolThread.join();
    }
    if (m_noticeThread.joinable()) {
        m_noticeThread.join();
    }
}

Patrol::Start Patrol::startPatrol()
{
    if (isRunning()) {
        return Start::Busy;
    }
    auto list = std::make_shared<HeadlineList>();
    // The address is copied for the worker: the main thread may edit its own.
    auto connection = ConnectionSettings { m_proxy.type, nullptr, m_proxy.port,
        static_cast<std::uint8_t>(m_proxy.bypassLocal != 0) };
    try {
        m_patrolThread = std::thread([this, list, connection, address = m_proxy.address]() mutable {
            connection.proxyAddress = address.c_str();
            runPatrol(list, connection);
        });
    } catch (const std::system_error&) {
        return Start::Failed;
    }
    m_patrolList = std::move(list);
    return Start::Started;
}

void Patrol::runPatrol(HeadlineListPtr list, ConnectionSettings connection)
{
    bool ran = false;
    try {
        LogFile log(std::fopen(m_options.logPath.c_str(), "w"));
        for (const ScriptRecordPtr& record : m_scripts.entries) {
            if (record->enabled && record->engine()) {
                ran = runRecord(*record, connection, *list, log.get()) || ran;
            }
        }
    } catch (...) {
        // Out of memory and the like: whatever was collected is shown.
    }
    m_patrolRan = ran;
    m_host.patrolFinished();
}

bool Patrol::runRecord(
    ScriptRecord& record, const ConnectionSettings& connection, HeadlineList& list, std::FILE* log)
{
    {
        std::lock_guard lock(engineMutex());
        record.engine()->SetConnection(&connection);
    }
    DisplayContext context { &list, &m_host, log };
    return record.isSite() ? runSite(record, context) : runCheckedCategories(record, context);
}

bool Patrol::runSite(ScriptRecord& site, DisplayContext& context)
{
    if (prepareSite(site, m_host) != 1) {
        return false;
    }
    writePatrolLog(context.log, messages::kLogHeaderPrefix, site.name);
    context.list->setCurrentLabel(site.name);
    std::lock_guard lock(engineMutex());
    runCategory(*site.engine(), 0, context);
    return true;
}

bool Patrol::runCheckedCategories(ScriptRecord& script, DisplayContext& context)
{
    bool ran = false;
    for (std::size_t i = 0; i < script.categories.size(); ++i) {
        const Category& category = script.categories[i];
        if (!category.checked) {
            continue;
        }
        writePatrolLog(context.log, messages::kLogHeaderPrefix, script.name, messages::kLogCategorySeparator,
            category.name);
        context.list->setCurrentLabel(categoryLabel(script.name, category.name));
        std::lock_guard lock(engineMutex());
        runCategory(*script.engine(), static_cast<std::int32_t>(i), context);
        ran = true;
    }
    return ran;
}

void Patrol::onPatrolFinished()
{
    if (m_patrolThread.joinable()) {
        m_patrolThread.join();
    }
    if (!m_patrolRan) {
        m_patrolList = makeSingleHeadlineList(
            std::string(messages::kInformationLabel), std::string(messages::kConfigureScripts), "");
    }
    m_display.setMainList(m_patrolList);
    startNoticePatrol();
}

void Patrol::startNoticePatrol()
{
    auto list = std::make_shared<HeadlineList>(std::string(messages::kNoticeLabel));
    auto connection = ConnectionSettings { m_proxy.type, nullptr, m_proxy.port,
        static_cast<std::uint8_t>(m_proxy.bypassLocal != 0) };
    m_noticeList = list;
    m_noticeRan = false;
    try {
        m_noticeThread = std::thread([this, list, connection, address = m_proxy.address]() mutable {
            connection.proxyAddress = address.c_str();
            runNotice(list, connection);
        });
    } catch (const std::system_error&) {
        onNoticeFinished();
    }
}

void Patrol::runNotice(HeadlineListPtr list, ConnectionSettings connection)
{
    bool ran = false;
    try {
        ScriptRecord notice(RecordKind::Site, std::string(messages::kNoticeLabel));
        if (notice.engine()) {
            {
                std::lock_guard lock(engineMutex());
                notice.engine()->SetConnection(&connection);
            }
            loadGeneratedScript(notice, generateScript(ScriptTemplate::Notice, m_options.noticeUrl), m_host);
            if (notice.categories.size() == 1) {
                DisplayContext context { list.get(), &m_host, nullptr };
                std::lock_guard lock(engineMutex());
                runCategory(*notice.engine(), 0, context);
                ran = true;
            }
        }
    } catch (...) {
    }
    m_noticeRan = ran;
    m_host.noticeFinished();
}

void Patrol::onNoticeFinished()
{
    if (m_noticeThread.joinable()) {
        m_noticeThread.join();
    }
    if (!m_noticeRan) {
        m_noticeList = makeSingleHeadlineList(std::string(messages::kNoticeLabel),
            std::string(messages::kNoticeFallbackTitle), m_options.homeUrl);
    }
    m_display.setNoticeList(m_noticeList);
}

} // namespace zr5::core
