#include "core/patrol.h"

#include "core/debug_output.h"
#include "core/engine_lock.h"
#include "core/script_template.h"

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace zr5::core {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using LogFile = std::unique_ptr<std::FILE, FileCloser>;

// The log is replaced, never written through whatever a symbolic link left
// in its place points at.
LogFile openLog(const std::filesystem::path& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        return nullptr;
    }
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    LogFile log(::fdopen(fd, "w"));
    if (!log) {
        ::close(fd);
    }
    return log;
}

std::int32_t cancelRequested(void* flag)
{
    return static_cast<const std::atomic<bool>*>(flag)->load(std::memory_order_relaxed) ? 1 : 0;
}

RunLimits withCancel(RunLimits limits, std::atomic<bool>& flag)
{
    limits.cancel = cancelRequested;
    limits.cancelData = &flag;
    return limits;
}

// What the failure being handled says. Call only inside a catch block.
std::string_view currentFailure()
{
    try {
        throw;
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return messages::kTraceUnknownFailure;
    }
}

// Workers never let a failure out (it would end the process), so what they
// catch is traced. Nothing here allocates: the failure may be out of memory.
void traceCaught(std::string_view what)
{
    debugOutput(what);
    debugOutput(currentFailure());
    debugOutput("\n");
}

std::string text(const char* maybe)
{
    return maybe ? maybe : "";
}

EntryResult entry(
    std::string name, std::string category, Outcome outcome = Outcome::Headlines, std::string detail = {})
{
    return EntryResult { std::move(name), std::move(category), std::time(nullptr), 0, outcome,
        std::move(detail) };
}

Outcome fetchOutcome(std::int32_t failure)
{
    switch (failure) {
    case ZR5S_FETCH_HOST_NOT_FOUND:
        return Outcome::HostNotFound;
    case ZR5S_FETCH_REFUSED:
        return Outcome::Refused;
    case ZR5S_FETCH_TIMEOUT:
        return Outcome::TimedOut;
    case ZR5S_FETCH_HTTP_STATUS:
        return Outcome::HttpStatus;
    case ZR5S_FETCH_CANCELLED:
        return Outcome::Cancelled;
    default:
        return Outcome::FetchFailed;
    }
}

// "404 URL" for a status, else "URL (message)".
std::string fetchDetail(const FetchReport& report)
{
    if (report.lastFailure == ZR5S_FETCH_HTTP_STATUS) {
        return std::to_string(report.httpStatus) + ' ' + text(report.url);
    }
    std::string detail = text(report.url);
    std::string message = text(report.message);
    return message.empty() ? detail : detail + " (" + message + ")";
}

// What one category run came to. Read right after the run: the engine's
// error text and fetch report describe only its last operation.
void classifyRun(ScriptInterface& engine, std::int32_t run, EntryResult& result, std::string_view siteUrl)
{
    if (run == ZR5S_RUN_LIMIT || run == ZR5S_RUN_ERROR) {
        result.outcome = run == ZR5S_RUN_LIMIT ? Outcome::RunLimit : Outcome::RunError;
        result.detail = text(engine.GetErrorText());
        return;
    }
    if (run == ZR5S_RUN_CANCELLED) {
        result.outcome = Outcome::Cancelled;
        return;
    }
    if (result.headlines > 0) {
        return;
    }
    const FetchReport* report = engine.GetFetchReport();
    if (report && report->failures > 0) {
        result.outcome = fetchOutcome(report->lastFailure);
        result.detail = fetchDetail(*report);
    } else if (!siteUrl.empty()) {
        result.outcome = Outcome::NotAFeed;
        result.detail = siteUrl;
    }
}

// One category run with the headline callback and the limits installed,
// recorded in result. A throwing run only loses that category. The callback
// and the cancel flag are removed afterwards: the context lives on this
// stack, and loads made outside a patrol must not see the flag.
void runCategory(ScriptInterface& engine, std::int32_t index, DisplayContext& context,
    const RunLimits& limits, EntryResult& result, std::string_view siteUrl)
{
    const std::size_t before = context.list->size();
    engine.SetRunLimits(&limits);
    engine.SetDisplayCallback(headlineCallback, &context);
    std::int32_t run = ZR5S_RUN_ERROR;
    try {
        run = engine.RunCategory(index);
    } catch (...) {
        // Recorded as a run error; the engine's error text will not say why.
        traceCaught(messages::kTraceRunThrew);
    }
    result.headlines = static_cast<std::int32_t>(context.list->size() - before);
    classifyRun(engine, run, result, siteUrl);
    engine.SetDisplayCallback(nullptr, nullptr);
    RunLimits detached = limits;
    detached.cancel = nullptr;
    detached.cancelData = nullptr;
    engine.SetRunLimits(&detached);
    result.finishedAt = std::time(nullptr);
}

ConnectionSettings connectionFor(const ProxySettings& proxy)
{
    // The address is filled in by the worker from its own copy: the main
    // thread may edit its own.
    return ConnectionSettings { proxy.type, nullptr, proxy.port,
        static_cast<std::uint8_t>(proxy.bypassLocal != 0) };
}

HeadlineListPtr failureList(const PatrolReport& report)
{
    auto list = std::make_shared<HeadlineList>(std::string(messages::kInformationLabel));
    for (const EntryResult& entry : report.entries()) {
        if (isFailure(entry)) {
            list->append(describeResult(entry), "");
        }
    }
    return list;
}

} // namespace

RunLimits runLimits(const PatrolOptions& options)
{
    return RunLimits { options.scriptSeconds, options.fetchSeconds, options.valueBytes, nullptr, nullptr };
}

void applySettings(PatrolOptions& options, const Settings& settings)
{
    options.scriptSeconds = static_cast<std::uint32_t>(settings.scriptLimitSeconds);
    options.fetchSeconds = static_cast<std::uint32_t>(settings.fetchLimitSeconds);
    options.noticeUrl = settings.noticeUrl;
}

Patrol::Patrol(const ScriptList& scripts, const ProxySettings& proxy, DisplayHolder& display,
    PatrolHost& host, PatrolOptions options)
    : m_scripts(scripts)
    , m_proxy(proxy)
    , m_display(display)
    , m_host(host)
    , m_options(std::move(options))
    , m_limits { withCancel(runLimits(m_options), m_cancelled) }
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

void Patrol::cancel()
{
    m_cancelled.store(true);
}

Patrol::Start Patrol::startPatrol()
{
    if (isRunning()) {
        return Start::Busy;
    }
    auto list = std::make_shared<HeadlineList>();
    m_cancelled.store(false);
    try {
        m_patrolThread = std::thread(
            [this, list, connection = connectionFor(m_proxy), address = m_proxy.address]() mutable {
                connection.proxyAddress = address.c_str();
                runPatrol(list, connection);
            });
    } catch (const std::system_error&) {
        return Start::Failed;
    }
    m_collecting = std::move(list);
    return Start::Started;
}

void Patrol::runPatrol(HeadlineListPtr list, ConnectionSettings connection)
{
    bool ran = false;
    try {
        LogFile log = openLog(m_options.logPath);
        for (const ScriptRecordPtr& record : m_scripts.entries) {
            if (m_cancelled.load()) {
                break;
            }
            if (record->enabled && record->engine()) {
                ran = runRecord(*record, connection, *list, log.get()) || ran;
            }
        }
    } catch (...) {
        // Out of memory and the like: whatever was collected is shown.
        traceCaught(messages::kTracePatrolStopped);
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
        addResult(site.loadError.empty()
                ? entry(site.name, {}, Outcome::RunError, std::string(messages::kNoTemporaryScript))
                : entry(site.name, {}, Outcome::SyntaxError, site.loadError),
            context.log);
        return false;
    }
    writePatrolLog(context.log, messages::kLogHeaderPrefix, site.name);
    context.list->setCurrentLabel(site.name);
    EntryResult result = entry(site.name, {});
    {
        std::lock_guard lock(engineMutex());
        runCategory(*site.engine(), 0, context, m_limits, result, site.url);
    }
    addResult(std::move(result), context.log);
    return true;
}

bool Patrol::runCheckedCategories(ScriptRecord& script, DisplayContext& context)
{
    if (!script.loadError.empty()) {
        addResult(entry(script.name, {}, Outcome::SyntaxError, script.loadError), context.log);
    }
    bool ran = false;
    for (std::size_t i = 0; i < script.categories.size() && !m_cancelled.load(); ++i) {
        const Category& category = script.categories[i];
        if (!category.checked) {
            continue;
        }
        writePatrolLog(context.log, messages::kLogHeaderPrefix, script.name, messages::kLogCategorySeparator,
            category.name);
        context.list->setCurrentLabel(categoryLabel(script.name, category.name));
        EntryResult result = entry(script.name, category.name);
        {
            std::lock_guard lock(engineMutex());
            runCategory(*script.engine(), static_cast<std::int32_t>(i), context, m_limits, result, {});
        }
        addResult(std::move(result), context.log);
        ran = true;
    }
    return ran;
}

void Patrol::addResult(EntryResult result, std::FILE* log)
{
    if (isFailure(result)) {
        std::string name = result.scriptName;
        if (!result.category.empty()) {
            name += std::string(messages::kLogCategorySeparator) + result.category;
        }
        writePatrolLog(
            log, messages::kLogFailurePrefix, name, messages::kLogFailureSeparator, describeOutcome(result));
    }
    m_report.add(std::move(result));
}

void Patrol::onPatrolFinished()
{
    if (m_patrolThread.joinable()) {
        m_patrolThread.join();
    }
    m_wasCancelled = m_cancelled.load();
    m_lastReport = std::exchange(m_report, {});
    HeadlineListPtr list = std::move(m_collecting);
    if (m_wasCancelled) {
        return;
    }
    if (list->empty() && m_lastReport.hasFailures()) {
        list = failureList(m_lastReport);
    } else if (!m_patrolRan) {
        list = makeSingleHeadlineList(
            std::string(messages::kInformationLabel), std::string(messages::kConfigureScripts), "");
    }
    m_patrolList = list;
    m_display.setMainList(m_patrolList);
    startNoticePatrol();
}

void Patrol::startNoticePatrol()
{
    auto list = std::make_shared<HeadlineList>(std::string(messages::kNoticeLabel));
    m_collectingNotice = list;
    m_noticeRan = false;
    try {
        m_noticeThread = std::thread(
            [this, list, connection = connectionFor(m_proxy), address = m_proxy.address]() mutable {
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
        if (notice.engine() && !m_options.noticeUrl.empty()) {
            {
                std::lock_guard lock(engineMutex());
                notice.engine()->SetConnection(&connection);
            }
            loadGeneratedScript(notice, generateScript(ScriptTemplate::Notice, m_options.noticeUrl), m_host);
            if (notice.categories.size() == 1) {
                DisplayContext context { list.get(), &m_host, nullptr };
                EntryResult ignored;
                std::lock_guard lock(engineMutex());
                runCategory(*notice.engine(), 0, context, m_limits, ignored, {});
                ran = true;
            }
        }
    } catch (...) {
        // The notice is extra: its fallback headline stands in for it.
        traceCaught(messages::kTraceNoticeStopped);
    }
    m_noticeRan = ran;
    m_host.noticeFinished();
}

void Patrol::onNoticeFinished()
{
    if (m_noticeThread.joinable()) {
        m_noticeThread.join();
    }
    HeadlineListPtr list = std::move(m_collectingNotice);
    if (m_cancelled.load()) {
        return;
    }
    if (!m_noticeRan) {
        list = makeSingleHeadlineList(std::string(messages::kNoticeLabel),
            std::string(messages::kNoticeFallbackTitle), m_options.homeUrl);
    }
    m_noticeList = list;
    m_display.setNoticeList(m_noticeList);
}

} // namespace zr5::core
