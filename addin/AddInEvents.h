// CPELORINAddInEvents: the sink through which the host reports the user's commands.
#pragma once

#include "framewrk.h"
#include "module/ModuleLock.h"

class CPELORINAddInEvents final : public ISEAddInEvents {
public:
    CPELORINAddInEvents() = default;
    CPELORINAddInEvents(const CPELORINAddInEvents&) = delete;
    CPELORINAddInEvents& operator=(const CPELORINAddInEvents&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ISEAddInEvents
    HRESULT STDMETHODCALLTYPE OnCommand(long commandId) override;
    HRESULT STDMETHODCALLTYPE OnCommandHelp(__int3264 frameWindow, long helpCommandId, long commandId) override;
    HRESULT STDMETHODCALLTYPE OnCommandUpdateUI(long commandId, long* commandFlags, BSTR* menuItemText,
                                                long* bitmapId) override;

    DWORD m_cookie = 0;  // from the host's connection point

private:
    ~CPELORINAddInEvents() = default;

    module::ScopedLock m_lock;
    ULONG m_refs = 0;
};
