// The scripted user against the real dialogs: message boxes, the common save dialog with its
// overwrite prompt, a dialog of our own, and dialogs nobody expected.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "tests/win/scripted_user.h"
#include "tests/win/temp_folder.h"
#include "tests/win/watchdog.h"

using wintest::DialogKind;
using wintest::Interaction;
using wintest::ScriptedUser;

namespace {

// A window to own the dialogs, as the host's main window does.
class OwnerWindow {
public:
    OwnerWindow() : m_window(CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)) {}
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    ~OwnerWindow() { DestroyWindow(m_window); }
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

struct SaveAnswer {
    BOOL ok;
    DWORD error;  // CommDlgExtendedError
    std::string path;
};

// The save dialog as the export command opens it.
SaveAnswer AskForPath(const std::string& initialName = std::string())
{
    char file[MAX_PATH] = {};
    lstrcpynA(file, initialName.c_str(), MAX_PATH);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = "Rhino/OpenNURBS Files (*.3dm)\0*.3dm\0\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = "3dm";
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    BOOL ok = GetSaveFileNameA(&dialog);
    return {ok, CommDlgExtendedError(), file};
}

// A dialog template in memory: caption, text statics and an OK button, like an about box.
std::vector<WORD> AboutTemplate(const char* caption, const std::vector<const char*>& texts)
{
    std::vector<WORD> t;
    auto align = [&] { if (t.size() % 2) t.push_back(0); };  // items start on a DWORD boundary
    auto text = [&](const char* s) { for (; *s; ++s) t.push_back(static_cast<unsigned char>(*s)); t.push_back(0); };
    auto dword = [&](DWORD v) { t.push_back(LOWORD(v)); t.push_back(HIWORD(v)); };
    auto item = [&](DWORD style, short y, WORD id, WORD cls, const char* title) {
        align();
        dword(style | WS_CHILD | WS_VISIBLE);
        dword(0);
        for (short v : {short(10), y, short(150), short(12)})
            t.push_back(static_cast<WORD>(v));
        t.push_back(id);
        t.push_back(0xFFFF);
        t.push_back(cls);
        text(title);
        t.push_back(0);  // no creation data
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    dword(0);
    t.push_back(static_cast<WORD>(texts.size() + 1));
    for (short v : {short(0), short(0), short(170), short(90)})
        t.push_back(static_cast<WORD>(v));
    t.push_back(0);  // no menu
    t.push_back(0);  // the standard class
    text(caption);
    short y = 8;
    for (const char* s : texts) {
        item(SS_LEFT, y, 0xFFFF, 0x0082, s);
        y += 16;
    }
    item(BS_DEFPUSHBUTTON, y, IDOK, 0x0080, "OK");
    return t;
}

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

}  // namespace

TEST(ScriptedUser, ReadsAndAnswersMessageBoxes)
{
    struct Case {
        UINT style;
        int answer;
        UINT icon;
        std::vector<int> buttons;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONWARNING, IDOK, MB_ICONWARNING, {IDOK}},
        {MB_OK | MB_ICONERROR, IDOK, MB_ICONERROR, {IDOK}},
        {MB_OK | MB_ICONINFORMATION, IDOK, MB_ICONINFORMATION, {IDOK}},
        {MB_YESNO | MB_ICONQUESTION, IDNO, MB_ICONQUESTION, {IDYES, IDNO}},
        {MB_OKCANCEL, IDCANCEL, 0, {IDOK, IDCANCEL}},
    };
    OwnerWindow owner;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        ScriptedUser user;
        user.Expect(Interaction::Message(c.answer));
        EXPECT_EQ(MessageBoxA(owner.Get(), "Unable to write\nC:\\out\\model.3dm", "Pelorin for Solid Edge 20 version 1.0",
                              c.style),
                  c.answer);
        ASSERT_TRUE(user.Satisfied()) << user.Report();
        ASSERT_EQ(user.Seen().size(), 1u);
        const wintest::SeenDialog& seen = user.Seen()[0];
        EXPECT_EQ(seen.kind, DialogKind::Message);
        EXPECT_EQ(seen.caption, "Pelorin for Solid Edge 20 version 1.0");
        EXPECT_EQ(seen.text, "Unable to write\nC:\\out\\model.3dm");
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.owner, owner.Get());
    }
}

TEST(ScriptedUser, TypesANameIntoTheSaveDialog)
{
    wintest::TempFolder folder;
    ScriptedUser user;
    user.Expect(Interaction::SaveAs(folder.File("model")));
    SaveAnswer answer = AskForPath("suggested");
    ASSERT_TRUE(answer.ok) << user.Report() << " error " << answer.error;
    EXPECT_EQ(answer.path, folder.File("model.3dm"));  // the default extension appended
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    ASSERT_EQ(user.Seen().size(), 1u);
    EXPECT_EQ(user.Seen()[0].kind, DialogKind::SaveDialog);
    EXPECT_EQ(user.Seen()[0].text, "suggested");
    EXPECT_EQ(user.Seen()[0].fileType, "Rhino/OpenNURBS Files (*.3dm)");
}

TEST(ScriptedUser, CancelsTheSaveDialog)
{
    ScriptedUser user;
    user.Expect(Interaction::Cancel());
    SaveAnswer answer = AskForPath();
    EXPECT_FALSE(answer.ok);
    EXPECT_EQ(answer.error, 0u);
    EXPECT_TRUE(user.Satisfied()) << user.Report();
}

TEST(ScriptedUser, AnswersTheOverwritePrompt)
{
    wintest::TempFolder folder;
    const std::string existing = folder.File("model.3dm");
    ASSERT_TRUE(wintest::WriteFileText(existing, "old"));
    {
        ScriptedUser user;
        user.Expect(Interaction::SaveAs(folder.File("model"))).Expect(Interaction::Message(IDYES));
        SaveAnswer answer = AskForPath();
        EXPECT_TRUE(answer.ok) << user.Report();
        EXPECT_EQ(answer.path, existing);
        ASSERT_TRUE(user.Satisfied()) << user.Report();
        ASSERT_EQ(user.Seen().size(), 2u);
        const wintest::SeenDialog& prompt = user.Seen()[1];
        EXPECT_EQ(prompt.kind, DialogKind::Message);
        EXPECT_EQ(prompt.owner, user.Seen()[0].window);  // nested in the save dialog
        EXPECT_EQ(prompt.icon, UINT(MB_ICONWARNING));
        EXPECT_EQ(prompt.buttons, (std::vector<int>{IDYES, IDNO}));
    }
    {
        // No keeps the dialog open; the script's next step then cancels it.
        ScriptedUser user;
        user.Expect(Interaction::SaveAs(existing)).Expect(Interaction::Message(IDNO)).Expect(Interaction::Cancel());
        SaveAnswer answer = AskForPath();
        EXPECT_FALSE(answer.ok) << user.Report();
        EXPECT_EQ(answer.error, 0u);
        ASSERT_TRUE(user.Satisfied()) << user.Report();
        ASSERT_EQ(user.Seen().size(), 3u);
        EXPECT_EQ(user.Seen()[2].kind, DialogKind::SaveDialog);
        EXPECT_EQ(user.Seen()[2].window, user.Seen()[0].window);
    }
    EXPECT_EQ(wintest::ReadFileBytes(existing), "old");
}

TEST(ScriptedUser, RecordsOtherDialogs)
{
    ScriptedUser user;
    user.Expect(Interaction::Dialog(IDOK));
    std::vector<WORD> about = AboutTemplate("About Pelorin", {"Pelorin for Solid Edge 20 version 1.0", "Copyright"});
    INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(about.data()),
                                             nullptr, AboutProc, 0);
    EXPECT_EQ(result, IDOK);
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    ASSERT_EQ(user.Seen().size(), 1u);
    EXPECT_EQ(user.Seen()[0].kind, DialogKind::Other);
    EXPECT_EQ(user.Seen()[0].caption, "About Pelorin");
    EXPECT_EQ(user.Seen()[0].staticTexts, (std::vector<std::string>{"Pelorin for Solid Edge 20 version 1.0", "Copyright"}));
    EXPECT_EQ(user.Seen()[0].buttons, std::vector<int>{IDOK});
}

TEST(ScriptedUser, ClosesWhatTheScriptDidNotExpect)
{
    {
        ScriptedUser user;
        user.Expect(Interaction::Cancel());  // a save dialog is expected, a message box comes first
        EXPECT_EQ(MessageBoxA(nullptr, "Really?", "Question", MB_YESNO), IDNO);
        EXPECT_FALSE(AskForPath().ok);       // the expected save dialog, cancelled
        EXPECT_FALSE(AskForPath().ok);       // a second one, unexpected: cancelled too
        ASSERT_EQ(user.Seen().size(), 3u) << user.Report();
        EXPECT_FALSE(user.Seen()[0].expected);
        EXPECT_TRUE(user.Seen()[1].expected);
        EXPECT_FALSE(user.Seen()[2].expected);
        EXPECT_FALSE(user.Satisfied());
        EXPECT_NE(user.Report().find("UNEXPECTED"), std::string::npos);

        // A step whose dialog never came is a failure too.
        user.Expect(Interaction::Message(IDOK));
        EXPECT_EQ(user.PendingSteps(), 1u);
        EXPECT_NE(user.Report().find("steps never used:\n  Message -> IDOK"), std::string::npos) << user.Report();
    }
    {
        // A question expected, a plain notice shown: answered, but not what the script meant.
        ScriptedUser user;
        user.Expect(Interaction::Message(IDYES));
        MessageBoxA(nullptr, "Done.", "Notice", MB_OK);
        ASSERT_EQ(user.Seen().size(), 1u);
        EXPECT_FALSE(user.Seen()[0].expected);
        EXPECT_FALSE(user.Satisfied());
    }
}


TEST(ScriptedUserDeathTest, WatchdogEndsAStuckTest)
{
    EXPECT_EXIT(
        {
            wintest::Watchdog guard(1, "the stuck dialog");
            Sleep(10000);
        },
        ::testing::ExitedWithCode(wintest::kWatchdogExitCode), "the stuck dialog still running after 1 s");
}
