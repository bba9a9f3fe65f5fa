// An add-in DLL in this process, loaded the two ways a host gets one: straight from the file
// (LoadLibrary, then the DLL's class object) or through COM from its registration.
//
//   sehost::AddInLibrary library(L"Z:\\...\\Pelorin.dll");      // LoadLibrary; FreeLibrary at the end
//   ComPtr<ISolidEdgeAddIn> addIn;
//   HRESULT hr = library.CreateAddIn(clsid, addIn);             // DllGetClassObject + CreateInstance
//   ...
//   hr = sehost::CreateRegisteredAddIn(clsid, addIn);           // CoCreateInstance, in-process
//   CoFreeUnusedLibraries();                                    // unloads it once it says it may
//
// Release everything the DLL handed out before the library goes: its code goes with it.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <string>

#include "com/ComPtr.h"
#include "framewrk.h"

namespace sehost {

class AddInLibrary {
public:
    explicit AddInLibrary(const std::wstring& path);
    AddInLibrary(const AddInLibrary&) = delete;
    AddInLibrary& operator=(const AddInLibrary&) = delete;
    ~AddInLibrary();

    bool Loaded() const noexcept { return m_module != nullptr; }
    DWORD LoadError() const noexcept { return m_loadError; }
    HMODULE Module() const noexcept { return m_module; }

    // The DLL's exports; E_UNEXPECTED when it lacks one (or is not loaded).
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object) const;
    HRESULT CanUnloadNow() const;
    HRESULT RegisterServer() const;
    HRESULT UnregisterServer() const;

    // The class object's IClassFactory::CreateInstance, without an outer object.
    HRESULT CreateAddIn(REFCLSID clsid, ComPtr<ISolidEdgeAddIn>& addIn) const;

private:
    FARPROC Export(const char* name) const;

    HMODULE m_module = nullptr;
    DWORD m_loadError = 0;
};

// CoCreateInstance of a registered in-process class, asking for the add-in interface.
HRESULT CreateRegisteredAddIn(REFCLSID clsid, ComPtr<ISolidEdgeAddIn>& addIn);

}  // namespace sehost
