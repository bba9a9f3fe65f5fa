// Pelorin.dll as the host meets it: loaded from the test program's own folder, with a simulated
// host beside it. AddInTest gives every test a fresh add-in object from the DLL's class object.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "com/ComPtr.h"
#include "framewrk.h"
#include "tools/sehost/addin_library.h"
#include "tools/sehost/sim_host.h"

namespace wintest {

// {8298E24A-F153-49E7-8919-A9E94FC9DE7F}: the add-in's class.
constexpr CLSID kClsidPelorinAddIn = {0x8298E24A, 0xF153, 0x49E7, {0x89, 0x19, 0xA9, 0xE9, 0x4F, 0xC9, 0xDE, 0x7F}};

// Two of the host's environment categories, as text.
constexpr char kPartEnvironment[] = "{26618395-09D6-11D1-BA07-080036230602}";
constexpr char kAssemblyEnvironment[] = "{26618396-09D6-11D1-BA07-080036230602}";

// "Z:\...\bin\Pelorin.dll": beside the test program, as the build puts it.
std::wstring PelorinDllPath();

class AddInTest : public ::testing::Test {
protected:
    void SetUp() override;

    // Connects the add-in to `host` with its application and AddIn objects.
    HRESULT Connect(long mode = 0);

    // Declared in this order so that they go in reverse: the add-in object, then the host's
    // objects (whose sink references run the DLL's code), then the DLL.
    sehost::AddInLibrary library{PelorinDllPath()};
    sehost::SimHost host;
    ComPtr<ISolidEdgeAddIn> addIn;
};

}  // namespace wintest
