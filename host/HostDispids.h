// Dispatch identifiers of the host's automation objects that the add-in calls late-bound.
#pragma once

#include <oaidl.h>

// Application object
constexpr DISPID kDispidActiveDocument = 2;       // property get: the active document (VT_DISPATCH)
constexpr DISPID kDispidVersion = 58;             // property get: the host's version text (VT_BSTR)
constexpr DISPID kDispidActiveDocumentType = 76;  // property get: the active document's type code (VT_I4)

// Document object
constexpr DISPID kDispidSaveAs = 36;  // method: save the document at the path given (VT_BSTR)

// Environment, its command-bar collection and a command bar
constexpr DISPID kDispidCommandBars = 8;        // environment, property get: the command-bar collection
constexpr DISPID kDispidCommandBarItem = 0;     // collection, default member called as a method: a bar by name
constexpr DISPID kDispidCommandBarVisible = 11; // command bar, property put (VT_I4)
