#include "tools/sehost/session.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "com/Bstr.h"
#include "com/ComError.h"
#include "tests/win/import_hook.h"
#include "tests/win/scripted_user.h"
#include "tools/sehost/addin_discovery.h"
#include "tools/sehost/addin_library.h"
#include "tools/sehost/sim_host.h"

namespace sehost {
namespace {

constexpr char kPartEnvironment[] = "{26618395-09D6-11D1-BA07-080036230602}";
constexpr long kConnectAtStartup = 0;
constexpr long kDisconnectAtShutdown = 0;

int g_failures = 0;

void Step(const char* title)
{
    std::printf("\n== %s\n", title);
}

void Check(bool ok, const std::string& what)
{
    std::printf("   %s %s\n", ok ? "ok:" : "FAILED:", what.c_str());
    if (!ok)
        ++g_failures;
}

std::string Hr(HRESULT hr)
{
    return std::string(DescribeHResult(hr));
}

// The session stands in for the shell: help is recorded, never started for real.
std::string g_shellFile;
HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    g_shellFile = file ? file : "";
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

void PrintDialogs(const wintest::ScriptedUser& user)
{
    for (const wintest::SeenDialog& seen : user.Seen())
        std::printf("   user saw: %s\n", seen.Describe().c_str());
}

bool FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RunCommands(SimHost& host, HMODULE addInModule, const SessionOptions& options)
{
    Step("Export (OnCommand 0): the user types the output path into the save dialog");
    DeleteFileA(options.exportPath.c_str());
    {
        wintest::ScriptedUser user;
        user.Expect(wintest::Interaction::SaveAs(options.exportPath));
        HRESULT hr = host.FireCommand(0);
        PrintDialogs(user);
        const JournalEntry* save = host.Journal().Last("SaveAs");
        if (save)
            std::printf("   host: %s\n", save->Describe().c_str());
        Check(hr == S_OK, "OnCommand(0) returned " + Hr(hr));
        Check(user.Satisfied(), "only the save dialog appeared");
        Check(FileExists(options.exportPath), "the 3DM file exists: " + options.exportPath);
    }

    Step("Help (OnCommand 1)");
    {
        wintest::ImportInterception shell(addInModule, "shell32.dll", "ShellExecuteA",
                                          reinterpret_cast<void*>(&RecordShellExecute));
        wintest::ScriptedUser user;
        HRESULT hr = host.FireCommand(1);
        PrintDialogs(user);
        std::printf("   the shell was asked to open \"%s\"\n", g_shellFile.c_str());
        Check(hr == S_OK, "OnCommand(1) returned " + Hr(hr));
        Check(FileExists(g_shellFile), "the help file lies beside the add-in");
        Check(user.Seen().empty(), "no message");
    }

    Step("About (OnCommand 2): the user closes the about box");
    {
        wintest::ScriptedUser user;
        user.Expect(wintest::Interaction::Dialog(IDOK));
        HRESULT hr = host.FireCommand(2);
        PrintDialogs(user);
        Check(hr == S_OK, "OnCommand(2) returned " + Hr(hr));
        Check(user.Satisfied() && user.Seen()[0].caption == "Pelorin for Solid Edge 20 version 1.0",
              "the about box carries the product title");
    }
}

}  // namespace

int RunSession(const SessionOptions& options)
{
    g_failures = 0;
    SimHost host;
    host.Config().model = options.model;

    Step("Discovering add-ins: classes of the component category \"Solid Edge Add-in\"");
    std::vector<DiscoveredAddIn> found = DiscoverAddIns();
    const DiscoveredAddIn* chosen = nullptr;
    for (const DiscoveredAddIn& addIn : found) {
        std::printf("   %s \"%s\"\n      summary: %s\n      AutoConnect %d, %zu environments, help %s\n      server %s\n",
                    addIn.clsidText.c_str(), addIn.displayName.c_str(), addIn.summary.c_str(),
                    addIn.autoConnect ? 1 : 0, addIn.environmentCategories.size(), addIn.helpFile.c_str(),
                    addIn.server.c_str());
        if (addIn.autoConnect && !chosen)
            chosen = &addIn;
    }
    Check(chosen != nullptr, "an add-in to connect at start-up (locale value " + LocaleValueName() + ")");
    if (!chosen)
        return 1;

    Step("Creating the add-in with CoCreateInstance and connecting it");
    {
        ComPtr<ISolidEdgeAddIn> addIn;
        HRESULT hr = CreateRegisteredAddIn(chosen->clsid, addIn);
        Check(SUCCEEDED(hr), "CoCreateInstance returned " + Hr(hr));
        if (FAILED(hr))
            return 1;
        HMODULE module = GetModuleHandleA("Pelorin.dll");
        Check(module != nullptr, "Pelorin.dll is loaded");
        hr = addIn->OnConnection(host.Application(), kConnectAtStartup, host.AddIn());
        Check(hr == S_OK, "OnConnection returned " + Hr(hr));
        Check(host.Journal().CountCalls("SetConnectedFlag") == 1 && host.AdvisedSinkCount() == 1,
              "its event sink is advised and the connected flag set");

        Step("First set-up of a part environment");
        bool listed = false;
        for (const std::string& category : chosen->environmentCategories)
            listed = listed || category == kPartEnvironment;
        Check(listed, std::string("the add-in is registered for the part environment ") + kPartEnvironment);
        ComPtr<Environment> part = host.CreateEnvironment(kPartEnvironment);
        hr = addIn->OnConnectToEnvironment(Bstr(kPartEnvironment).Get(), part.Get(), VARIANT_TRUE);
        Check(hr == S_OK, "OnConnectToEnvironment returned " + Hr(hr));
        for (const AddInInfoCall& info : host.AddInInfoCalls()) {
            std::printf("   SetAddInInfo: category \"%s\", %ld commands, bitmaps %ld %ld %ld %ld\n", info.category.c_str(),
                        info.commandCount, info.bitmaps[0], info.bitmaps[1], info.bitmaps[2], info.bitmaps[3]);
            for (std::size_t i = 0; i < info.names.texts.size(); ++i) {
                std::string text = info.names.texts[i];
                for (char& c : text)
                    if (c == '\n')
                        c = '|';
                std::printf("      command %ld: %s\n", i < info.ids.numbers.size() ? info.ids.numbers[i] : -1L,
                            text.c_str());
            }
        }
        Check(host.Journal().CountCalls("AddCommandBarButton") == 3, "three command bar buttons added");
        Check(host.Journal().CountCalls("Visible") == 1, "the command bar \"Pelorin for Solid Edge\" set up");

        RunCommands(host, module, options);

        Step("Disconnecting and releasing the add-in");
        hr = addIn->OnDisconnection(kDisconnectAtShutdown);
        Check(hr == S_OK, "OnDisconnection returned " + Hr(hr));
        Check(host.AdvisedSinkCount() == 0, "its event sink is unadvised");
    }
    CoFreeUnusedLibraries();
    Check(GetModuleHandleA("Pelorin.dll") == nullptr, "CoFreeUnusedLibraries unloaded Pelorin.dll");

    std::printf("\n%s: %d failed step(s)\n", g_failures ? "SESSION FAILED" : "session complete", g_failures);
    return g_failures ? 1 : 0;
}

}  // namespace sehost
