// The C++ side of framewrk_base.idl: mingw's own COM and automation declarations.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oaidl.h>
