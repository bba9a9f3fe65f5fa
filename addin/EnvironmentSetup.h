// Placing the add-in's commands in a host environment.
#pragma once

#include "afx/CString.h"
#include "framewrk.h"

constexpr int kCommandCount = 3;
extern const char* const CommandTable[kCommandCount];

// Hands the command set to the host for the environment and, on its first set-up
// (VARIANT_TRUE only), adds the buttons and shows the command bar. Raises ComError.
HRESULT ConnectToEnvironment(ISEAddIn* addIn, BSTR environmentCatId, IDispatch* environment, VARIANT_BOOL firstTime);

// String 104 of the module: the command category and command bar name.
CString LoadCategoryName();
