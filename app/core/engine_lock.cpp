#include "core/engine_lock.h"

namespace zr5::core {

std::mutex& engineMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace zr5::core
