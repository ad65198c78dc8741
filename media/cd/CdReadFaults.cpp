#include "CdReadFaults.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace tv::media::CdReadFaults {

namespace {
std::mutex g_mutex;
std::shared_ptr<const Injector> g_injector;
std::atomic<bool> g_active{false};
} // namespace

void setInjector(Injector injector)
{
    const std::lock_guard lock(g_mutex);
    g_injector = injector ? std::make_shared<const Injector>(std::move(injector)) : nullptr;
    g_active = g_injector != nullptr;
}

bool active()
{
    return g_active;
}

bool failsAt(const QString &source, int sector)
{
    if (!g_active)
        return false;
    std::shared_ptr<const Injector> injector;
    {
        const std::lock_guard lock(g_mutex);
        injector = g_injector;
    }
    return injector && (*injector)(source, sector);
}

} // namespace tv::media::CdReadFaults
