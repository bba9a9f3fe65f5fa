// The common file dialog, explorer style, over GetOpenFileNameA / GetSaveFileNameA.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "afx/CString.h"
#include "afx/WinApp.h"

class CFileDialog {
public:
    // `filter` uses '|' between its parts and ends in "||", e.g. "Text (*.txt)|*.txt||".
    CFileDialog(BOOL openFileDialog, const char* defaultExtension = nullptr, const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                CWnd* parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file, IDCANCEL otherwise (cancel or a dialog failure).
    INT_PTR DoModal();
    CString GetPathName() const;  // folder, name and extension

    OPENFILENAMEA m_ofn;

private:
    BOOL m_openFileDialog;
    CWnd* m_parent;
    CString m_defaultExtension;
    std::vector<char> m_filter;
    std::vector<char> m_fileBuffer;
};
