#include "product/UserMessage.h"

#include <windows.h>

#include "afx/WinApp.h"
#include "com/Bstr.h"
#include "product/ProductIdentity.h"

void ShowUserMessage(const char* text)
{
    CWnd* owner = AfxGetThread()->GetMainWnd();
    MessageBoxA(owner ? owner->m_hWnd : nullptr, text, MessageCaption(), MB_OK | MB_ICONEXCLAMATION);
}

CString DescribeCommandFailure(const char* command, const ComError& error)
{
    CString text;
    text.Format("The %s command could not finish: %s failed with %s.", command, error.Operation().GetString(),
                DescribeHResult(error.Result()).GetString());
    if (error.Info()) {
        BSTR description = nullptr;
        if (SUCCEEDED(error.Info()->GetDescription(&description)) && description && SysStringLen(description) > 0)
            text.AppendFormat("\n\n%s", BstrToAnsi(description).GetString());
        SysFreeString(description);
    }
    return text;
}
