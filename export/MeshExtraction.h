// Mesh extraction: the host saves the active document as a temporary STL file, the mesh-file
// library reads it into the caller's mesh list.
#pragma once

#include <oaidl.h>

#include "afx/CString.h"
#include "com/ComPtr.h"
#include "on/ON_Mesh.h"

// 1 when `meshes` (empty on entry) holds at least one mesh of the active document; 0 with the
// extraction error text set otherwise. Failed host calls raise ComError.
int ExtractMeshes(ComPtr<IDispatch> application, ON_ClassArray<ON_Mesh>& meshes);

CString GetExtractionError();
void SetExtractionError(const CString& text);

// "TLMTemp.stl" in the folder named by "temp", or in the system's temporary folder without it.
CString TempStlPath();
