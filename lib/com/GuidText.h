// Identifiers as the registry names them: "{8298E24A-F153-49E7-8919-A9E94FC9DE7F}".
#pragma once

#include <objbase.h>

#include "afx/CString.h"

// Braces, upper-case hexadecimal, 8-4-4-4-12 digits; empty when it cannot be made.
CString GuidRegistryForm(REFGUID id);
