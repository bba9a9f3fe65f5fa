#include "product/HelpCommand.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "afx/ModulePath.h"
#include "afx/ModuleState.h"
#include "host/TLMGUI.h"
#include "product/ProductIdentity.h"
#include "product/UserMessage.h"

namespace {

constexpr char kHelpFileName[] = "Pelorin.chm";
constexpr char kHelpErrorMessage[] = "Error displaying Pelorin for Solid Edge help file.";

}  // namespace

CString GetHelpFilePath()
{
    // The module this code is linked into, whatever its file is called.
    CString modulePath = AfxModuleFilePath(AfxGetStaticModuleState()->m_hCurrentInstanceHandle);
    std::vector<char> drive(static_cast<std::size_t>(modulePath.GetLength()) + 1);
    std::vector<char> folder(static_cast<std::size_t>(modulePath.GetLength()) + 1);
    _splitpath(modulePath, drive.data(), folder.data(), nullptr, nullptr);
    CString path;
    path.Format("%s%s%s", drive.data(), folder.data(), kHelpFileName);
    return path;
}

void OnHelpCommand(ComPtr<IDispatch> application)
{
    ModuleStateGuard state;
    RunCommand("Help", [&] {
        BuildProductIdentity(std::move(application));
        CString helpFile = GetHelpFilePath();
        HINSTANCE result = ShellExecuteA(nullptr, "open", helpFile, "", nullptr, SW_SHOW);
        if (reinterpret_cast<std::uintptr_t>(result) <= 32)
            ShowUserMessage(kHelpErrorMessage);
    });
}

void OnAboutCommand(ComPtr<IDispatch> application)
{
    RunCommand("About", [&] {
        BuildProductIdentity(std::move(application));
        CString title(ProductTitle);
        TLMGUIUtils::About(title, nullptr);
    });
}
