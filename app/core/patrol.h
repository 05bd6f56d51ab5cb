// The patrol: runs every enabled category and RSS site on a worker thread
// into a fresh headline list, then the notice patrol on a second worker. The
// two workers never run at once, and only the main thread hands lists to the
// display.
#pragma once

#include "core/display_holder.h"
#include "core/headline_callback.h"
#include "core/headline_list.h"
#include "core/messages.h"
#include "core/script_list.h"
#include "core/settings.h"
#include "zr5script.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>

namespace zr5::core {

struct PatrolOptions {
    std::string noticeUrl { messages::kNoticeUrl };
    std::string homeUrl { messages::kHomeUrl };
    std::filesystem::path logPath { messages::kPatrolLogName };
};

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
    // (or the "Information." list when nothing ran) and starts the notice patrol.
    void onPatrolFinished();
    // Main thread, once for each host.noticeFinished(): shows the notice list
    // (or the single fallback headline).
    void onNoticeFinished();
    // Main thread: a worker runs, or its finish has not been handled yet.
    bool isRunning() const { return m_patrolThread.joinable() || m_noticeThread.joinable(); }

    const HeadlineListPtr& patrolList() const { return m_patrolList; }
    const HeadlineListPtr& noticeList() const { return m_noticeList; }

private:
    void runPatrol(HeadlineListPtr list, ConnectionSettings connection);
    bool runRecord(
        ScriptRecord& record, const ConnectionSettings& connection, HeadlineList& list, std::FILE* log);
    bool runSite(ScriptRecord& site, DisplayContext& context);
    bool runCheckedCategories(ScriptRecord& script, DisplayContext& context);
    void runNotice(HeadlineListPtr list, ConnectionSettings connection);
    void startNoticePatrol();

    const ScriptList& m_scripts;
    const ProxySettings& m_proxy;
    DisplayHolder& m_display;
    PatrolHost& m_host;
    PatrolOptions m_options;

    std::thread m_patrolThread;
    std::thread m_noticeThread;
    HeadlineListPtr m_patrolList;
    HeadlineListPtr m_noticeList;
    // Written by a worker, read after joining it.
    bool m_patrolRan = false;
    bool m_noticeRan = false;
};

} // namespace zr5::core
