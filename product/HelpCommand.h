// The Help and About commands.
#pragma once

#include <oaidl.h>

#include "afx/CString.h"
#include "com/ComPtr.h"

// Full path of "Pelorin.chm" in the folder of the module that holds this code.
CString GetHelpFilePath();

void OnHelpCommand(ComPtr<IDispatch> application);
void OnAboutCommand(ComPtr<IDispatch> application);
