// The GUI utility library TLMGUI ("TLMGUI.dll").
#pragma once

#include <windows.h>

#include "afx/CString.h"

#if defined(TLMGUI_BUILDING)
#define TLMGUI_API __declspec(dllexport)
#else
#define TLMGUI_API __declspec(dllimport)
#endif

class TLMGUI_API TLMGUIUtils {
public:
    // Shows the product's about box, modal, titled `title`; `owner` may be null (no owner window).
    static void About(const CString& title, HWND* owner);
};
