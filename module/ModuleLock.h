// The module's lock count: every live COM object of the add-in, every client reference to the
// class object and every LockServer(TRUE) keeps the DLL loaded.
#pragma once

#include <windows.h>

namespace module {

LONG Lock();
LONG Unlock();
LONG LockCount();

// Holds one lock for the lifetime of the object that contains it.
class ScopedLock {
public:
    ScopedLock() { Lock(); }
    ~ScopedLock() { Unlock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
};

}  // namespace module
