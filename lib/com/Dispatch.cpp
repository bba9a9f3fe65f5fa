#include "com/Dispatch.h"

#include <vector>

#include "com/ComError.h"

namespace {

HRESULT Invoke(IDispatch* object, DISPID dispid, WORD flags, DISPPARAMS& params, Variant& result, const char* operation)
{
    if (!object)
        throw ComError(E_POINTER, operation);
    result.Clear();
    EXCEPINFO exception{};
    UINT argumentError = 0;
    HRESULT hr = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.Get(), &exception,
                                &argumentError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return ThrowIfFailed(hr, operation);
}

}  // namespace

HRESULT GetProperty(IDispatch* object, DISPID dispid, Variant& result, const char* operation)
{
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    return Invoke(object, dispid, DISPATCH_PROPERTYGET, params, result, operation);
}

HRESULT PutProperty(IDispatch* object, DISPID dispid, const VARIANT& value, const char* operation)
{
    VARIANT argument = value;  // Invoke does not change its arguments; the caller keeps ownership
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&argument, &named, 1, 1};
    Variant ignored;
    return Invoke(object, dispid, DISPATCH_PROPERTYPUT, params, ignored, operation);
}

HRESULT InvokeMethod(IDispatch* object, DISPID dispid, VARIANT* arguments, UINT argumentCount, Variant& result,
                     const char* operation)
{
    std::vector<VARIANT> reversed(arguments, arguments + argumentCount);
    std::vector<VARIANT>(reversed.rbegin(), reversed.rend()).swap(reversed);
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, argumentCount, 0};
    return Invoke(object, dispid, DISPATCH_METHOD, params, result, operation);
}

ComPtr<IDispatch> DispatchFromVariant(const Variant& value, const char* operation)
{
    IUnknown* unknown = nullptr;
    if (value->vt == VT_DISPATCH)
        unknown = value->pdispVal;
    else if (value->vt == VT_UNKNOWN)
        unknown = value->punkVal;
    ComPtr<IDispatch> result;
    if (!unknown)
        return result;
    HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(result.ReleaseAndGetAddressOf()));
    if (hr == E_NOINTERFACE)
        return ComPtr<IDispatch>();
    ThrowIfFailed(hr, operation);
    return result;
}
