// The patrol: runs every enabled category and RSS site on a worker thread
// into a fresh headline list, then the notice patrol on a second worker. The
// two workers never run at once, and only the main thread hands lists to the
// display.
#pragma once

#include "core/display_holder.h"
#include "core/headline_callback.h"
#include "core/headline_list.h"
#include "core/messages.h"
#include "core/patrol_report.h"
#include "core/script_list.h"
#include "core/settings.h"
#include "zr5script.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

namespace zr5::core {

struct PatrolOptions {
    // Empty: the notice patrol fetches nothing and shows its fallback headline.
    std::string noticeUrl;
    std::string homeUrl { messages::kHomeUrl };
    std::filesystem::path logPath { messages::kPatrolLogName };
    // Bounds on every script run (see RunLimits); zero means none.
    std::uint32_t scriptSeconds = 30;
    std::uint32_t fetchSeconds = 120;
    std::uint64_t valueBytes = std::uint64_t { 256 } << 20;
};

// Takes the limits and the notice page from the settings file's values.
void applySettings(PatrolOptions& options, const Settings& settings);
// The options' bounds, without a cancel callback (for loading scripts).
RunLimits runLimits(const PatrolOptions& options);

class Patrol final {
public:
    enum class Start { Started, Busy, Failed };

    // scripts, proxy and display must outlive the patrol; the main thread must
    // not change scripts or proxy while isRunning().
    Patrol(const ScriptList& scripts, const ProxySettings& proxy, DisplayHolder& display, PatrolHost& host,
        PatrolOptions options = {});
    // Waits for the workers; the host must by then answer notifications at once.
    ~Patrol();
    Patrol(const Patrol&) = delete;
    Patrol& operator=(const Patrol&) = delete;

    // Main thread. A patrol is not started while either worker still runs
    // (a timer tick during a long patrol is skipped).
    Start startPatrol();
    // Main thread, once for each host.patrolFinished(): shows the new list
    // and starts the notice patrol. Without a headline, the "Information."
    // list shows one headline per failed entry, or asks for scripts when
    // nothing ran. A cancelled patrol changes nothing on screen.
    void onPatrolFinished();
    // Main thread, once for each host.noticeFinished(): shows the notice list
    // (or the single fallback headline) unless the patrol was cancelled.
    void onNoticeFinished();
    // Main thread: a worker runs, or its finish has not been handled yet.
    bool isRunning() const { return m_patrolThread.joinable() || m_noticeThread.joinable(); }
    // Any thread: both workers stop at their next check point. A cancelled
    // patrol's list is not shown and no notice patrol follows it.
    void cancel();
    // Main thread: the last patrol handled by onPatrolFinished was cancelled.
    bool wasCancelled() const { return m_wasCancelled; }
    // Main thread: the entries of the last patrol handled by onPatrolFinished.
    const PatrolReport& lastReport() const { return m_lastReport; }

    const HeadlineListPtr& patrolList() const { return m_patrolList; }
    const HeadlineListPtr& noticeList() const { return m_noticeList; }

private:
    void runPatrol(HeadlineListPtr list, ConnectionSettings connection);
    bool runRecord(
        ScriptRecord& record, const ConnectionSettings& connection, HeadlineList& list, std::FILE* log);
    bool runSite(ScriptRecord& site, DisplayContext& context);
    bool runCheckedCategories(ScriptRecord& script, DisplayContext& context);
    // Records one entry; a failure also gets its line in the log.
    void addResult(EntryResult result, std::FILE* log);
    void runNotice(HeadlineListPtr list, ConnectionSettings connection);
    void startNoticePatrol();

    const ScriptList& m_scripts;
    const ProxySettings& m_proxy;
    DisplayHolder& m_display;
    PatrolHost& m_host;
    PatrolOptions m_options;
    std::atomic<bool> m_cancelled { false };
    const RunLimits m_limits;

    std::thread m_patrolThread;
    std::thread m_noticeThread;
    // The lists last shown, and those the workers fill.
    HeadlineListPtr m_patrolList;
    HeadlineListPtr m_noticeList;
    HeadlineListPtr m_collecting;
    HeadlineListPtr m_collectingNotice;
    // Written by a worker, read after joining it.
    bool m_patrolRan = false;
    bool m_noticeRan = false;
    PatrolReport m_report;

    PatrolReport m_lastReport;
    bool m_wasCancelled = false;
};

} // namespace zr5::core
