// The Export command: the active document's meshes to a 3DM file the user chooses.
#pragma once

#include <oaidl.h>

#include "com/ComPtr.h"

// 1 when a 3DM file was written; 0 after a reported failure or a cancelled dialog.
int ExportActiveDocument(ComPtr<IDispatch> application);

void OnExportCommand(ComPtr<IDispatch> application);
