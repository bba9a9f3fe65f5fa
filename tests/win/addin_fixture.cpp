#include "tests/win/addin_fixture.h"

#include <windows.h>

#include <vector>

namespace wintest {

std::wstring PelorinDllPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::wstring path(buffer.data(), length);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"Pelorin.dll";
}

void AddInTest::SetUp()
{
    ASSERT_TRUE(library.Loaded()) << "LoadLibrary failed with " << library.LoadError();
    ASSERT_EQ(library.CreateAddIn(kClsidPelorinAddIn, addIn), S_OK);
}

HRESULT AddInTest::Connect(long mode)
{
    return addIn->OnConnection(host.Application(), mode, host.AddIn());
}

}  // namespace wintest
