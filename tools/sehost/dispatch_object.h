// The IUnknown/IDispatch machinery shared by the simulated host's automation objects: reference
// counting, dispatch by identifier against a member table, the checks a type-library-driven
// Invoke makes (flags, argument count, named arguments), injected failures and the journal.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>

#include "tools/sehost/host_state.h"

namespace sehost {

struct Member {
    DISPID dispid;
    const char* name;
    WORD kind;             // DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT or DISPATCH_METHOD
    UINT argumentCount;    // positional arguments, excluding a put's value
};

// A COM object is destroyed by its own Release, never through an interface pointer, so the
// interfaces' non-virtual destructors are no hazard here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class DispatchObject : public IDispatch {
public:
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    // The true count, for tests that check the code under test releases what it takes.
    ULONG References() const noexcept { return static_cast<ULONG>(m_references); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* dispids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

protected:
    // Starts with one reference, owned by the creator.
    DispatchObject(const char* objectName, std::shared_ptr<HostState> state, const Member* members,
                   UINT memberCount);
    virtual ~DispatchObject() = default;

    // Runs a member whose flags and argument count have been checked. `arguments` are in call
    // order (a put's value last); `result` is never null; `entry` may take a note. A type error
    // sets `*argumentError` to the argument's position in call order.
    virtual HRESULT Call(const Member& member, const VARIANT* arguments, UINT argumentCount, VARIANT* result,
                         UINT* argumentError, JournalEntry& entry) = 0;

    HostState& State() noexcept { return *m_state; }
    const std::shared_ptr<HostState>& SharedState() const noexcept { return m_state; }

private:
    HRESULT Dispatch(DISPID dispid, REFIID iid, WORD flags, const DISPPARAMS* params, VARIANT* result,
                     UINT* argumentError, JournalEntry& entry);
    const Member* FindMember(DISPID dispid) const noexcept;
    bool InjectedFailure(const JournalEntry& entry, HRESULT& failure) const;

    volatile LONG m_references = 1;
    const char* m_objectName;
    std::shared_ptr<HostState> m_state;
    const Member* m_members;
    UINT m_memberCount;
};
#pragma GCC diagnostic pop

}  // namespace sehost
