#include "module/ModuleLock.h"

namespace module {
namespace {
volatile LONG g_lockCount = 0;
}

LONG Lock()
{
    return InterlockedIncrement(&g_lockCount);
}

LONG Unlock()
{
    return InterlockedDecrement(&g_lockCount);
}

LONG LockCount()
{
    return InterlockedCompareExchange(&g_lockCount, 0, 0);
}

}  // namespace module
