#include "export/MeshExtraction.h"

#include <windows.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "com/ComError.h"
#include "com/Dispatch.h"
#include "host/HostDispids.h"
#include "host/TLMIO.h"

namespace {

constexpr char kTempStlName[] = "TLMTemp.stl";
constexpr char kDraftText[] = "A draft document does not contain mesh data";
constexpr char kOtherKindText[] = "This kind of document does not contain mesh data";
constexpr char kSaveNotDoneText[] = "Unable to extract mesh data from document";
constexpr char kNoMeshText[] = "Unable to extract mesh data from model";

constexpr int kDraftDocumentType = 2;

// Document kinds whose model the host can save as STL: part, synchronous part, assembly,
// synchronous assembly, sheet metal, synchronous sheet metal, weldment.
constexpr int kMeshDocumentTypes[] = {1, 8, 3, 10, 4, 9, 6};

bool HasMeshes(int documentType)
{
    for (int type : kMeshDocumentTypes)
        if (type == documentType)
            return true;
    return false;
}

CString& ExtractionError()
{
    static CString text;
    return text;
}

int Fail(const char* text)
{
    SetExtractionError(text);
    return 0;
}

}  // namespace

CString GetExtractionError()
{
    return ExtractionError();
}

void SetExtractionError(const CString& text)
{
    ExtractionError() = text;
}

CString TempStlPath()
{
    CString folder(std::getenv("temp"));
    if (folder.IsEmpty()) {
        char systemTemp[MAX_PATH + 1] = "";
        DWORD length = GetTempPathA(sizeof(systemTemp), systemTemp);
        // GetTempPathA ends the folder with a backslash; the format below adds its own.
        if (length > 0 && length <= MAX_PATH && systemTemp[length - 1] == '\\')
            systemTemp[length - 1] = 0;
        folder = systemTemp;
    }
    CString path;
    path.Format("%s\\%s", folder.GetString(), kTempStlName);
    return path;
}

int ExtractMeshes(ComPtr<IDispatch> application, ON_ClassArray<ON_Mesh>& meshes)
{
    CString stlPath = TempStlPath();
    _unlink(stlPath);  // a stale file from an earlier run must never be read in place of the new one

    if (!application)
        throw ComError(E_POINTER, "reaching the host application");

    Variant type;
    GetProperty(application.Get(), kDispidActiveDocumentType, type, "reading the active document's type");
    ThrowIfFailed(VariantChangeType(type.Get(), type.Get(), 0, VT_I4), "reading the active document's type");
    int documentType = type->lVal;
    if (documentType == kDraftDocumentType)
        return Fail(kDraftText);
    if (!HasMeshes(documentType))
        return Fail(kOtherKindText);

    HRESULT saved;
    {
        Variant active;
        GetProperty(application.Get(), kDispidActiveDocument, active, "getting the active document");
        ComPtr<IDispatch> document = DispatchFromVariant(active, "getting the active document");
        if (!document)
            throw ComError(E_POINTER, "getting the active document");

        Variant path;
        path->vt = VT_BSTR;
        path->bstrVal = Bstr(stlPath).Detach();
        Variant ignored;
        saved = InvokeMethod(document.Get(), kDispidSaveAs, path.Get(), 1, ignored, "saving the document as STL");
    }
    if (saved != S_OK)
        return Fail(kSaveNotDoneText);

    if (!TLMSTL::STLToMesh(stlPath, meshes))
        return Fail(TLMSTL::GetError());
    if (meshes.Count() == 0)
        return Fail(kNoMeshText);

    _unlink(stlPath);
    return 1;
}
