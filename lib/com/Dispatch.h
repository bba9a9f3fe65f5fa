// Late-bound calls on host objects by dispatch identifier. Failures raise ComError; a success
// code other than S_OK is returned, since some callers tell S_OK from other successes.
#pragma once

#include <oaidl.h>

#include "com/Bstr.h"
#include "com/ComPtr.h"

HRESULT GetProperty(IDispatch* object, DISPID dispid, Variant& result, const char* operation);
HRESULT PutProperty(IDispatch* object, DISPID dispid, const VARIANT& value, const char* operation);
// Arguments in call order (reversed into DISPPARAMS here).
HRESULT InvokeMethod(IDispatch* object, DISPID dispid, VARIANT* arguments, UINT argumentCount, Variant& result,
                     const char* operation);

// Queries an automation result for IDispatch: null stays null, E_NOINTERFACE gives null, other
// failures raise ComError.
ComPtr<IDispatch> DispatchFromVariant(const Variant& value, const char* operation);
