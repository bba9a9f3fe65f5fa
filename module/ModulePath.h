// The full path of the module that holds this code, in the form the system reports it.
#pragma once

#include <windows.h>

#include <string>

HMODULE ThisModuleHandle();
std::wstring ThisModulePathW();
