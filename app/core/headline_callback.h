// The engine's display callback and the interface through which the core
// reaches the main thread.
#pragma once

#include "core/headline_list.h"
#include "core/script_list.h"
#include "zr5script.h"

#include <cstdio>
#include <string_view>

namespace zr5::core {

// How the core reaches the main thread. The UI implements it with queued
// calls; patrolFinished and noticeFinished must lead to Patrol::onPatrolFinished
// and Patrol::onNoticeFinished being called on the main thread.
class PatrolHost : public LoadErrorSink {
public:
    // Worker thread, as its last act. Must not block.
    virtual void patrolFinished() = 0;
    virtual void noticeFinished() = 0;
    // Worker thread: a script called _Notify. Returns once the main thread has
    // handled it, or at once when the main thread no longer serves calls.
    virtual void notification(std::string_view name, std::string_view value) = 0;
};

// User data of the headline callback during one run.
struct DisplayContext {
    HeadlineList* list = nullptr;
    PatrolHost* host = nullptr;
    std::FILE* log = nullptr; // patrol log, or null
};

// The engine's display callback: headlines go to the context's list (with its
// current label) and the log, notifications to the host; other kinds are ignored.
void headlineCallback(const DisplayRecord* record, void* context);

// One line of the patrol log (skipped when log is null).
void writePatrolLog(std::FILE* log, std::string_view a, std::string_view b = {}, std::string_view c = {},
    std::string_view d = {});

} // namespace zr5::core
