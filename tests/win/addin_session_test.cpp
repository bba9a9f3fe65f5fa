// A whole session with Pelorin.dll as the host runs one, through the COM runtime: registration,
// creation from the registered class, connection, two environments, each command, disconnection,
// and the runtime unloading the DLL once it says it may go.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "com/Bstr.h"
#include "tests/win/addin_fixture.h"
#include "tests/win/import_hook.h"
#include "tests/win/scripted_user.h"
#include "tests/win/temp_folder.h"

using wintest::Interaction;

namespace {

int g_shellCalls = 0;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT)
{
    ++g_shellCalls;
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

// The add-in registered in the prefix for one test, by its own DllRegisterServer; unregistered
// at the end. The DLL is loaded only for those two calls.
class Registration {
public:
    Registration()
    {
        sehost::AddInLibrary dll(wintest::PelorinDllPath());
        m_result = dll.Loaded() ? dll.RegisterServer() : HRESULT_FROM_WIN32(dll.LoadError());
    }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    ~Registration()
    {
        sehost::AddInLibrary dll(wintest::PelorinDllPath());
        if (dll.Loaded())
            dll.UnregisterServer();
    }
    HRESULT Result() const noexcept { return m_result; }

private:
    HRESULT m_result = E_UNEXPECTED;
};

HRESULT ConnectEnvironment(ISolidEdgeAddIn* addIn, const char* categoryId, IDispatch* environment)
{
    Bstr id(categoryId);
    return addIn->OnConnectToEnvironment(id.Get(), environment, VARIANT_TRUE);
}

}  // namespace

TEST(AddInSession, ThroughTheComRuntimeFromCreationToUnload)
{
    Registration registration;
    ASSERT_EQ(registration.Result(), S_OK);
    ASSERT_EQ(GetModuleHandleW(L"Pelorin.dll"), nullptr);

    sehost::SimHost host;
    wintest::TempFolder folder;
    {
        ComPtr<ISolidEdgeAddIn> addIn;
        ASSERT_EQ(sehost::CreateRegisteredAddIn(wintest::kClsidPelorinAddIn, addIn), S_OK);
        HMODULE module = GetModuleHandleW(L"Pelorin.dll");
        ASSERT_NE(module, nullptr);
        wintest::ImportInterception shell(module, "shell32", "ShellExecuteA", reinterpret_cast<void*>(&RecordShellExecute));
        ASSERT_TRUE(shell.Active());

        ASSERT_EQ(addIn->OnConnection(host.Application(), 0, host.AddIn()), S_OK);
        ComPtr<sehost::Environment> part = host.CreateEnvironment(wintest::kPartEnvironment);
        ComPtr<sehost::Environment> assembly = host.CreateEnvironment(wintest::kAssemblyEnvironment);
        EXPECT_EQ(ConnectEnvironment(addIn.Get(), wintest::kPartEnvironment, part.Get()), S_OK);
        EXPECT_EQ(ConnectEnvironment(addIn.Get(), wintest::kAssemblyEnvironment, assembly.Get()), S_OK);
        EXPECT_EQ(host.AddInInfoCalls().size(), 2u);
        EXPECT_EQ(host.Journal().CountCalls("AddCommandBarButton"), 6u);
        EXPECT_EQ(host.Journal().CountCalls("Visible"), 2u);

        wintest::ScriptedUser user;
        user.Expect(Interaction::SaveAs(folder.File("session"))).Expect(Interaction::Dialog(IDOK));
        EXPECT_EQ(host.FireCommand(0), S_OK);
        EXPECT_EQ(host.FireCommand(1), S_OK);
        EXPECT_EQ(host.FireCommand(2), S_OK);
        EXPECT_TRUE(user.Satisfied()) << user.Report();
        EXPECT_EQ(user.Seen().size(), 2u) << user.Report();  // no message: every command succeeded
        EXPECT_EQ(wintest::ReadFileBytes(folder.File("session.3dm")).substr(0, 24), "3D Geometry File Format ");
        EXPECT_EQ(g_shellCalls, 1);

        EXPECT_EQ(addIn->OnDisconnection(0), S_OK);
        EXPECT_EQ(host.AdvisedSinkCount(), 0u);
    }
    // The add-in object is released: the runtime may unload the DLL, which lets the host's objects go.
    CoFreeUnusedLibraries();
    EXPECT_EQ(GetModuleHandleW(L"Pelorin.dll"), nullptr);
    EXPECT_EQ(host.ApplicationRefCount(), 1u);
    EXPECT_EQ(host.AddInRefCount(), 1u);
}
