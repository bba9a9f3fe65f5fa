#include "export/ExportCommand.h"

#include "afx/FileDialog.h"
#include "afx/ModuleState.h"
#include "export/MeshExtraction.h"
#include "host/TLMIO.h"
#include "product/ProductIdentity.h"
#include "product/UserMessage.h"

namespace {

constexpr char kDefaultExtension[] = "3dm";
constexpr char kFilter[] = "Rhino/OpenNURBS Files (*.3dm)|*.3dm||";
constexpr DWORD kDialogFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
constexpr int kWriterOptions = 0;
constexpr int kArchiveVersion = 3;

}  // namespace

int ExportActiveDocument(ComPtr<IDispatch> application)
{
    ModuleStateGuard state;
    ON_ClassArray<ON_Mesh> meshes;  // destroyed on every way out, a ComError passing through included

    if (!ExtractMeshes(std::move(application), meshes)) {
        ShowUserMessage(GetExtractionError());
        return 0;
    }

    CFileDialog dialog(FALSE, kDefaultExtension, nullptr, kDialogFlags, kFilter);
    if (dialog.DoModal() != IDOK)
        return 0;

    if (!TLM3DM::MeshTo3DM(meshes, dialog.GetPathName(), kWriterOptions, kArchiveVersion)) {
        ShowUserMessage(TLM3DM::GetError());
        return 0;
    }
    return 1;
}

void OnExportCommand(ComPtr<IDispatch> application)
{
    ModuleStateGuard state;
    RunCommand("Export", [&] {
        BuildProductIdentity(application);
        ExportActiveDocument(std::move(application));
    });
}
