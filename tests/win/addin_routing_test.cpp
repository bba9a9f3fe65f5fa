// The host's command events through the sink Pelorin.dll advised: routing to Export, Help and
// About, help on a command through WinHelp, and the update query. ShellExecuteA and WinHelpA
// are intercepted in the DLL's import table, so no other program ever starts.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "tests/win/addin_fixture.h"
#include "tests/win/import_hook.h"
#include "tests/win/scripted_user.h"

using wintest::Interaction;

namespace {

struct ShellCall {
    int count = 0;
    std::string verb;
    std::string file;
};
ShellCall g_shell;

struct HelpCall {
    int count = 0;
    HWND window = nullptr;
    std::string file;
    UINT command = 0;
    ULONG_PTR data = 0;
};
HelpCall g_help;
BOOL g_helpAnswer = TRUE;

HINSTANCE WINAPI RecordShellExecute(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, INT)
{
    ++g_shell.count;
    g_shell.verb = verb ? verb : "(null)";
    g_shell.file = file ? file : "(null)";
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: opened
}

BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    ++g_help.count;
    g_help.window = window;
    g_help.file = file ? file : "(null)";
    g_help.command = command;
    g_help.data = data;
    return g_helpAnswer;
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class RoutingTest : public wintest::AddInTest {
protected:
    void SetUp() override
    {
        AddInTest::SetUp();
        shell = std::make_unique<wintest::ImportInterception>(library.Module(), "shell32", "ShellExecuteA",
                                                              reinterpret_cast<void*>(&RecordShellExecute));
        help = std::make_unique<wintest::ImportInterception>(library.Module(), "user32", "WinHelpA",
                                                             reinterpret_cast<void*>(&RecordWinHelp));
        ASSERT_TRUE(shell->Active());
        ASSERT_TRUE(help->Active());
        ASSERT_EQ(Connect(), S_OK);
        host.Journal().Clear();
        g_shell = ShellCall();
        g_help = HelpCall();
        g_helpAnswer = TRUE;
    }

    // Destroyed before the fixture's DLL is freed.
    std::unique_ptr<wintest::ImportInterception> shell;
    std::unique_ptr<wintest::ImportInterception> help;
};

}  // namespace

TEST_F(RoutingTest, OnCommandRunsTheCommandOfItsIdAndNothingElse)
{
    const ULONG applicationReferences = host.ApplicationRefCount();

    {
        SCOPED_TRACE("0: Export, as far as the save dialog");
        wintest::ScriptedUser user;
        user.Expect(Interaction::Cancel());
        EXPECT_EQ(host.FireCommand(0), S_OK);
        EXPECT_TRUE(user.Satisfied()) << user.Report();
        EXPECT_EQ(host.Journal().CountCalls("SaveAs"), 1u) << host.Journal().Describe();
        EXPECT_EQ(g_shell.count, 0);
        EXPECT_EQ(host.ApplicationRefCount(), applicationReferences);
    }
    {
        SCOPED_TRACE("1: Help");
        host.Journal().Clear();
        wintest::ScriptedUser user;
        EXPECT_EQ(host.FireCommand(1), S_OK);
        EXPECT_TRUE(user.Seen().empty()) << user.Report();
        EXPECT_EQ(g_shell.count, 1);
        EXPECT_EQ(g_shell.verb, "open");
        EXPECT_TRUE(EndsWith(g_shell.file, "\\Pelorin.chm")) << g_shell.file;
        EXPECT_EQ(host.Journal().Operations(), std::vector<std::string>{"Version"});
        EXPECT_EQ(host.ApplicationRefCount(), applicationReferences);
    }
    {
        SCOPED_TRACE("2: About");
        host.Journal().Clear();
        wintest::ScriptedUser user;
        user.Expect(Interaction::Dialog(IDOK));
        EXPECT_EQ(host.FireCommand(2), S_OK);
        ASSERT_TRUE(user.Satisfied()) << user.Report();
        EXPECT_EQ(user.Seen()[0].caption, "Pelorin for Solid Edge 20 version 1.0");
        EXPECT_EQ(host.Journal().Operations(), std::vector<std::string>{"Version"});
        EXPECT_EQ(g_shell.count, 1);
        EXPECT_EQ(host.ApplicationRefCount(), applicationReferences);
    }
    for (LONG id : {3L, -1L, 2147483647L}) {
        SCOPED_TRACE(id);
        host.Journal().Clear();
        wintest::ScriptedUser user;
        EXPECT_EQ(host.FireCommand(id), S_FALSE);
        EXPECT_TRUE(user.Seen().empty()) << user.Report();
        EXPECT_TRUE(host.Journal().Entries().empty()) << host.Journal().Describe();
        EXPECT_EQ(g_shell.count, 1);
        EXPECT_EQ(host.ApplicationRefCount(), applicationReferences);
    }
}

TEST_F(RoutingTest, HelpOnACommandGoesToWinHelpWithTheCommandHelpFile)
{
    // Wider than 32 bits: the handle must cross as a whole pointer.
    const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x123456789ALL));
    const struct {
        LONG helpCommand;
        LONG commandId;
        BOOL answer;
        UINT expectedCommand;
        ULONG_PTR expectedData;
        HRESULT expected;
    } cases[] = {
        {1, 5, TRUE, 1, 5, S_OK},
        {1, -1, TRUE, HELP_FINDER, 0, S_OK},
        {HELP_CONTEXT, 7, FALSE, HELP_CONTEXT, 7, S_FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.helpCommand << ", " << c.commandId);
        g_help = HelpCall();
        g_helpAnswer = c.answer;
        EXPECT_EQ(host.FireCommandHelp(reinterpret_cast<__int3264>(window), c.helpCommand, c.commandId), c.expected);
        EXPECT_EQ(g_help.count, 1);
        EXPECT_EQ(g_help.window, window);
        EXPECT_EQ(g_help.file, "CPelorin.hlp");
        EXPECT_EQ(g_help.command, c.expectedCommand);
        EXPECT_EQ(g_help.data, c.expectedData);
    }
    EXPECT_TRUE(host.Journal().Entries().empty()) << host.Journal().Describe();
}

TEST_F(RoutingTest, UpdateUILeavesTheCommandAsTheHostHasIt)
{
    LONG flags = 0x5A5A;
    BSTR text = SysAllocString(L"Export...");
    BSTR given = text;
    LONG bitmap = 77;
    for (LONG id : {0L, 2L, 3L, -1L}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(host.FireCommandUpdateUI(id, &flags, &text, &bitmap), S_OK);
        EXPECT_EQ(flags, 0x5A5A);
        EXPECT_EQ(text, given);
        EXPECT_EQ(bitmap, 77);
    }
    EXPECT_STREQ(text, L"Export...");
    SysFreeString(text);
    EXPECT_EQ(host.FireCommandUpdateUI(0, nullptr, nullptr, nullptr), S_OK);
}
