#include "module/ClassTable.h"

#include "addin/SEAddin.h"
#include "afx/ModuleState.h"
#include "afx/WinApp.h"
#include "module/ModuleLock.h"
#include "module/Registration.h"

const CLSID CLSID_SEAddin = {0x8298E24A, 0xF153, 0x49E7, {0x89, 0x19, 0xA9, 0xE9, 0x4F, 0xC9, 0xDE, 0x7F}};

namespace {

ClassEntry g_classTable[] = {
    {&CLSID_SEAddin, RunRegistrationScript, CreateClassFactory, CreateSEAddin, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

CRITICAL_SECTION g_classTableLock;
bool g_classTableLockReady = false;

}  // namespace

ClassEntry* ClassTable()
{
    return g_classTable;
}

void InitializeClassTable()
{
    if (!g_classTableLockReady) {
        InitializeCriticalSection(&g_classTableLock);
        g_classTableLockReady = true;
    }
}

void TerminateClassTable()
{
    for (ClassEntry* entry = g_classTable; entry->clsid; ++entry) {
        if (IUnknown* cached = entry->cachedClassObject) {
            entry->cachedClassObject = nullptr;
            cached->Release();
        }
    }
    if (g_classTableLockReady) {
        DeleteCriticalSection(&g_classTableLock);
        g_classTableLockReady = false;
    }
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    HRESULT hr = S_OK;
    for (ClassEntry* entry = g_classTable; entry->clsid; ++entry) {
        if (!entry->createClassObject || !InlineIsEqualGUID(*entry->clsid, clsid))
            continue;
        if (!entry->cachedClassObject) {
            EnterCriticalSection(&g_classTableLock);
            if (!entry->cachedClassObject)
                hr = entry->createClassObject(entry->createInstance, IID_IUnknown,
                                              reinterpret_cast<void**>(&entry->cachedClassObject));
            LeaveCriticalSection(&g_classTableLock);
        }
        if (entry->cachedClassObject)
            hr = entry->cachedClassObject->QueryInterface(iid, object);
        break;
    }
    if (!*object && hr == S_OK)
        hr = CLASS_E_CLASSNOTAVAILABLE;
    return hr;
}

STDAPI DllCanUnloadNow()
{
    ModuleStateGuard state;
    if (module::LockCount() != 0)
        return S_FALSE;
    return AfxDllCanUnloadNow() == S_OK ? S_OK : S_FALSE;
}
