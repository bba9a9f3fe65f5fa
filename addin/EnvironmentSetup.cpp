#include "addin/EnvironmentSetup.h"

#include "afx/ModuleState.h"
#include "com/Bstr.h"
#include "com/ComError.h"
#include "com/Dispatch.h"
#include "host/HostDispids.h"
#include "res/resource.h"

const char* const CommandTable[kCommandCount] = {
    "Pelorin_Export\nExport\nExport a 3DM file\nExport",
    "Pelorin_Help\nHelp\nDisplay the Pelorin for Solid Edge help file\nHelp",
    "Pelorin_About\nAbout\nDisplay the Pelorin for Solid Edge about box\nAbout",
};

namespace {

void PutBstr(SAFEARRAY* array, LONG index, const char* text)
{
    Bstr value(text);
    ThrowIfFailed(SafeArrayPutElement(array, &index, value.Get()), "filling the command list");
}

void PutLong(SAFEARRAY* array, LONG index, LONG value)
{
    ThrowIfFailed(SafeArrayPutElement(array, &index, &value), "filling the command list");
}

// Looks the add-in's command bar up in the environment and sets its property 11; a missing
// environment, collection or bar ends this quietly.
void ShowCommandBar(IDispatch* environment, const CString& barName)
{
    ComPtr<IDispatch> env;
    HRESULT hr = environment->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(env.ReleaseAndGetAddressOf()));
    if (hr == E_NOINTERFACE)
        return;
    ThrowIfFailed(hr, "asking the environment for IDispatch");

    Variant bars;
    GetProperty(env.Get(), kDispidCommandBars, bars, "getting the environment's command bars");
    ComPtr<IDispatch> collection = DispatchFromVariant(bars, "getting the environment's command bars");
    if (!collection)
        return;

    Variant name;
    name->vt = VT_BSTR;
    name->bstrVal = Bstr(barName).Detach();
    Variant barResult;
    InvokeMethod(collection.Get(), kDispidCommandBarItem, name.Get(), 1, barResult, "finding the add-in's command bar");
    ComPtr<IDispatch> bar = DispatchFromVariant(barResult, "finding the add-in's command bar");
    if (!bar)
        return;

    VARIANT one;
    one.vt = VT_I4;
    one.lVal = 1;
    PutProperty(bar.Get(), kDispidCommandBarVisible, one, "setting up the add-in's command bar");
}

}  // namespace

CString LoadCategoryName()
{
    char text[256] = "";
    LoadStringA(AfxGetResourceHandle(), IDS_CATEGORY_NAME, text, sizeof(text));
    return CString(text);
}

HRESULT ConnectToEnvironment(ISEAddIn* addIn, BSTR environmentCatId, IDispatch* environment, VARIANT_BOOL firstTime)
{
    CString categoryName;
    HINSTANCE instance;
    {
        ModuleStateGuard state;
        categoryName = LoadCategoryName();
        instance = AfxGetInstanceHandle();
    }
    Bstr category(categoryName);

    SafeArray names(SafeArrayCreateVector(VT_BSTR, 0, kCommandCount));
    SafeArray ids(SafeArrayCreateVector(VT_I4, 0, kCommandCount));
    if (!names.Get() || !ids.Get())
        return E_OUTOFMEMORY;
    for (int i = 0; i < kCommandCount; ++i) {
        PutBstr(names.Get(), i, CommandTable[i]);
        PutLong(ids.Get(), i, i);
    }

    if (!addIn)
        throw ComError(E_POINTER, "reaching the host's AddIn object");
    Bstr envCopy = Bstr::Attach(SysAllocStringLen(environmentCatId, SysStringLen(environmentCatId)));
    if (environmentCatId && !envCopy.Get())
        throw ComError(E_OUTOFMEMORY, "copying the environment identifier");
    ThrowIfFailedWithInfo(addIn->SetAddInInfo(reinterpret_cast<__int3264>(instance), envCopy.Get(), category.Get(),
                                              IDB_COLOR_MEDIUM, IDB_COLOR_LARGE, IDB_MONOCHROME_MEDIUM,
                                              IDB_MONOCHROME_LARGE, kCommandCount, names.GetAddressOf(),
                                              ids.GetAddressOf()),
                          "handing the commands to the host", addIn, IID_ISEAddIn);

    if (firstTime != VARIANT_TRUE)
        return S_OK;
    for (int i = 0; i < kCommandCount; ++i) {
        ComPtr<IDispatch> button;
        ThrowIfFailedWithInfo(addIn->AddCommandBarButton(environmentCatId, category.Get(), i, button.ReleaseAndGetAddressOf()),
                              "adding a command button", addIn, IID_ISEAddIn);
    }
    if (environment)
        ShowCommandBar(environment, categoryName);
    return S_OK;
}
