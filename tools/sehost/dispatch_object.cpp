#include "tools/sehost/dispatch_object.h"

#include <exception>
#include <new>
#include <vector>

#include "com/Bstr.h"
#include "com/ComError.h"
#include "tools/sehost/injected_failure.h"

namespace sehost {

DispatchObject::DispatchObject(const char* objectName, std::shared_ptr<HostState> state, const Member* members,
                               UINT memberCount)
    : m_objectName(objectName), m_state(std::move(state)), m_members(members), m_memberCount(memberCount)
{
}

HRESULT STDMETHODCALLTYPE DispatchObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DispatchObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE DispatchObject::Release()
{
    LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    // Callers bind by identifier, as the real host's clients do with its type library.
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO*, UINT* argumentError)
{
    JournalEntry entry;
    entry.object = m_objectName;
    const Member* member = FindMember(dispid);
    entry.operation = member ? member->name : "#" + std::to_string(dispid);
    entry.dispid = dispid;
    entry.flags = flags;
    if (params) {
        entry.argumentCount = params->cArgs;
        for (UINT i = params->cArgs; params->rgvarg && i-- > 0;) {
            entry.argumentTypes.push_back(params->rgvarg[i].vt);
            entry.arguments.push_back(VariantText(params->rgvarg[i]));
        }
    }
    HRESULT hr = Dispatch(dispid, iid, flags, params, result, argumentError, entry);
    entry.result = hr;
    m_state->journal.Record(std::move(entry));
    return hr;
}

HRESULT DispatchObject::Dispatch(DISPID dispid, REFIID iid, WORD flags, const DISPPARAMS* params, VARIANT* result,
                                 UINT* argumentError, JournalEntry& entry)
{
    HRESULT failure = S_OK;
    if (InjectedFailure(entry, failure))
        return failure;
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    const Member* member = FindMember(dispid);
    if (!member || !(flags & member->kind))
        return DISP_E_MEMBERNOTFOUND;
    if (!params || (params->cArgs > 0 && !params->rgvarg))
        return E_INVALIDARG;

    UINT positional = params->cArgs;
    if (member->kind == DISPATCH_PROPERTYPUT) {
        // A put's value is the one named argument DISPID_PROPERTYPUT, at rgvarg[0].
        if (params->cNamedArgs != 1 || !params->rgdispidNamedArgs || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_PARAMNOTOPTIONAL;
        if (positional == 0)
            return DISP_E_BADPARAMCOUNT;
        --positional;
    } else if (params->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    if (positional != member->argumentCount)
        return DISP_E_BADPARAMCOUNT;

    std::vector<VARIANT> arguments;  // borrowed copies, in call order
    for (UINT i = params->cArgs; i-- > 0;)
        arguments.push_back(params->rgvarg[i]);
    Variant ignored;
    VARIANT* answer = result ? result : ignored.Get();
    VariantInit(answer);
    UINT position = 0;
    HRESULT hr;
    try {
        hr = Call(*member, arguments.data(), static_cast<UINT>(arguments.size()), answer, &position, entry);
    } catch (const ComError& error) {
        hr = error.Result();
    } catch (const std::bad_alloc&) {
        hr = E_OUTOFMEMORY;
    } catch (...) {
        hr = E_UNEXPECTED;
    }
    if (hr == DISP_E_TYPEMISMATCH && argumentError)
        *argumentError = params->cArgs - 1 - position;
    return hr;
}

const Member* DispatchObject::FindMember(DISPID dispid) const noexcept
{
    for (UINT i = 0; i < m_memberCount; ++i)
        if (m_members[i].dispid == dispid)
            return &m_members[i];
    return nullptr;
}

bool DispatchObject::InjectedFailure(const JournalEntry& entry, HRESULT& failure) const
{
    return FindInjectedFailure(m_state->config, entry.object, entry.operation, entry.dispid, failure);
}

}  // namespace sehost
