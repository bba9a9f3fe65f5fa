// The about box: a modal dialog built from an in-memory template, so the library needs no
// resource script.
#include "host/TLMGUI.h"

#include <cstring>
#include <vector>

#include "lib/tlmgui/MakerInfo.h"

namespace {

constexpr WORD kIdCredit = 101;
constexpr WORD kIdVersion = 102;
constexpr WORD kIdWeb = 103;

// Builds a DLGTEMPLATE in memory: items must be DWORD aligned, texts are UTF-16.
class DialogTemplate {
public:
    DialogTemplate(const char* title, short width, short height)
    {
        DLGTEMPLATE header{};
        header.style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        header.cx = width;
        header.cy = height;
        Append(&header, sizeof(header));
        Word(0);  // no menu
        Word(0);  // the standard dialog class
        Text(title);
        Word(8);  // font size for DS_SETFONT
        Text("MS Shell Dlg");
    }

    void Item(WORD id, WORD systemClass, DWORD style, short x, short y, short cx, short cy, const char* text)
    {
        Align();
        DLGITEMTEMPLATE item{};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Append(&item, sizeof(item));
        Word(0xFFFF);
        Word(systemClass);
        Text(text);
        Word(0);  // no creation data
        reinterpret_cast<DLGTEMPLATE*>(m_bytes.data())->cdit++;
    }

    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data()); }

private:
    void Append(const void* data, std::size_t size)
    {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    }
    void Word(WORD value) { Append(&value, sizeof(value)); }
    void Text(const char* text)
    {
        int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
        if (length > 0)
            MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
        Append(wide.data(), wide.size() * sizeof(wchar_t));
    }
    void Align()
    {
        while (m_bytes.size() % 4 != 0)
            m_bytes.push_back(0);
    }

    // DWORD-aligned storage: the template's start must be aligned too.
    std::vector<unsigned char> m_bytes;
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

HINSTANCE ThisModule()
{
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&AboutProc), &self);
    return self;
}

}  // namespace

void TLMGUIUtils::About(const CString& title, HWND* owner)
{
    constexpr WORD kStatic = 0x0082;
    constexpr WORD kButton = 0x0080;
    DialogTemplate dialog(title, 230, 92);
    dialog.Item(kIdCredit, kStatic, SS_LEFT, 10, 10, 210, 20, kMakerCredit);
    dialog.Item(kIdVersion, kStatic, SS_LEFT, 10, 34, 210, 10, kProductVersionText);
    dialog.Item(kIdWeb, kStatic, SS_LEFT, 10, 48, 210, 10, kMakerWebAddress);
    dialog.Item(IDOK, kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 68, 50, 14, "OK");
    DialogBoxIndirectParamA(ThisModule(), dialog.Get(), owner ? *owner : nullptr, AboutProc, 0);
}
