// The engine keeps its display callback, connection settings and parser
// state process-wide and has no locks of its own, so every call into it,
// from any thread, holds this one mutex. It is not recursive: take it around
// a sequence of engine calls, never around code that takes it again
// (creating or destroying a ScriptRecord takes it itself).
#pragma once

#include <mutex>

namespace zr5::core {

std::mutex& engineMutex();

} // namespace zr5::core
