#include "afx/FileDialog.h"

#include <cstring>

namespace {

constexpr DWORD kFileBufferSize = 32768;  // room for long paths

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, const char* defaultExtension, const char* fileName, DWORD flags,
                         const char* filter, CWnd* parent)
    : m_ofn{}, m_openFileDialog(openFileDialog), m_parent(parent), m_defaultExtension(defaultExtension),
      m_fileBuffer(kFileBufferSize, 0)
{
    if (fileName)
        std::strncpy(m_fileBuffer.data(), fileName, kFileBufferSize - 1);
    if (filter) {
        m_filter.assign(filter, filter + std::strlen(filter) + 1);
        for (char& c : m_filter)
            if (c == '|')
                c = 0;
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.lpstrFile = m_fileBuffer.data();
    m_ofn.nMaxFile = kFileBufferSize;
    m_ofn.lpstrDefExt = m_defaultExtension.IsEmpty() ? nullptr : m_defaultExtension.GetString();
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
}

INT_PTR CFileDialog::DoModal()
{
    CWnd* owner = m_parent ? m_parent : AfxGetMainWnd();
    m_ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    m_ofn.hInstance = AfxGetResourceHandle();
    BOOL chosen = m_openFileDialog ? GetOpenFileNameA(&m_ofn) : GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}
