#include "tools/sehost/addin_library.h"

namespace sehost {

namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using NoArgumentFunction = HRESULT(STDAPICALLTYPE*)();

// GetProcAddress answers a FARPROC; the export's real type is known by its name.
template <class Function>
Function As(FARPROC address)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(address));
}

}  // namespace

AddInLibrary::AddInLibrary(const std::wstring& path) : m_module(LoadLibraryW(path.c_str()))
{
    if (!m_module)
        m_loadError = GetLastError();
}

AddInLibrary::~AddInLibrary()
{
    if (m_module)
        FreeLibrary(m_module);
}

FARPROC AddInLibrary::Export(const char* name) const
{
    return m_module ? GetProcAddress(m_module, name) : nullptr;
}

HRESULT AddInLibrary::GetClassObject(REFCLSID clsid, REFIID iid, void** object) const
{
    auto function = As<GetClassObjectFunction>(Export("DllGetClassObject"));
    return function ? function(clsid, iid, object) : E_UNEXPECTED;
}

HRESULT AddInLibrary::CanUnloadNow() const
{
    auto function = As<NoArgumentFunction>(Export("DllCanUnloadNow"));
    return function ? function() : E_UNEXPECTED;
}

HRESULT AddInLibrary::RegisterServer() const
{
    auto function = As<NoArgumentFunction>(Export("DllRegisterServer"));
    return function ? function() : E_UNEXPECTED;
}

HRESULT AddInLibrary::UnregisterServer() const
{
    auto function = As<NoArgumentFunction>(Export("DllUnregisterServer"));
    return function ? function() : E_UNEXPECTED;
}

HRESULT AddInLibrary::CreateAddIn(REFCLSID clsid, ComPtr<ISolidEdgeAddIn>& addIn) const
{
    addIn.Reset();
    ComPtr<IClassFactory> factory;
    HRESULT hr = GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    return factory->CreateInstance(nullptr, IID_ISolidEdgeAddIn, reinterpret_cast<void**>(addIn.ReleaseAndGetAddressOf()));
}

HRESULT CreateRegisteredAddIn(REFCLSID clsid, ComPtr<ISolidEdgeAddIn>& addIn)
{
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ISolidEdgeAddIn,
                            reinterpret_cast<void**>(addIn.ReleaseAndGetAddressOf()));
}

}  // namespace sehost
