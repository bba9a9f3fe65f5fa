// Import interception on this test program's own imports: the two calls tests must never make
// for real (they start other programs under Wine), redirected and restored.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "tests/win/import_hook.h"

namespace {

std::string g_shellFile;
UINT g_helpCommand = 0;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    g_shellFile = file ? file : "";
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}

BOOL WINAPI RecordWinHelp(HWND, LPCSTR, UINT command, ULONG_PTR)
{
    g_helpCommand = command;
    return TRUE;
}

}  // namespace

TEST(ImportHook, RedirectsAndRestoresAModulesImports)
{
    HMODULE self = GetModuleHandleA(nullptr);
    void* shellBefore = wintest::ImportedAddress(self, "shell32", "ShellExecuteA");
    void* helpBefore = wintest::ImportedAddress(self, "USER32.DLL", "WinHelpA");
    ASSERT_NE(shellBefore, nullptr);
    ASSERT_NE(helpBefore, nullptr);
    {
        wintest::ImportInterception shell(self, "shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(&RecordShellExecute));
        wintest::ImportInterception help(self, "user32", "WinHelpA", reinterpret_cast<void*>(&RecordWinHelp));
        ASSERT_TRUE(shell.Active());
        ASSERT_TRUE(help.Active());
        EXPECT_EQ(shell.Original(), shellBefore);

        HINSTANCE result = ShellExecuteA(nullptr, "open", "C:\\help\\Pelorin.chm", nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_EQ(reinterpret_cast<INT_PTR>(result), 42);
        EXPECT_EQ(g_shellFile, "C:\\help\\Pelorin.chm");
        EXPECT_TRUE(WinHelpA(nullptr, "C:\\help\\Pelorin.hlp", HELP_FINDER, 0));
        EXPECT_EQ(g_helpCommand, UINT(HELP_FINDER));
    }
    EXPECT_EQ(wintest::ImportedAddress(self, "shell32", "ShellExecuteA"), shellBefore);
    EXPECT_EQ(wintest::ImportedAddress(self, "user32", "WinHelpA"), helpBefore);

    // What the module does not import stays as it is.
    void* dummy = reinterpret_cast<void*>(&RecordWinHelp);
    EXPECT_FALSE(wintest::ImportInterception(self, "user32", "NoSuchFunction", dummy).Active());
    EXPECT_FALSE(wintest::ImportInterception(self, "nosuch.dll", "WinHelpA", dummy).Active());
    EXPECT_EQ(wintest::InterceptImport(nullptr, "user32", "WinHelpA", dummy), nullptr);
}
