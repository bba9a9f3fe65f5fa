// The full path of a loaded module, in the form the system reports it, of any length.
#pragma once

#include <windows.h>

#include <string>

#include "afx/CString.h"

CString AfxModuleFilePath(HMODULE module);         // ANSI code page
std::wstring AfxModuleFilePathW(HMODULE module);
