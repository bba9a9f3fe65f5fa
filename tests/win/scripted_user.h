// A scripted user for tests that drive real Win32 dialogs: it watches the dialogs that the code
// under test opens on this thread, records what each one showed and answers it from a script.
//
//   wintest::ScriptedUser user;                                 // hooks this thread until destroyed
//   user.Expect(wintest::Interaction::Message(IDYES))           // a message box, answered Yes
//       .Expect(wintest::Interaction::SaveAs("C:\\out\\model"))  // the save dialog, typed and saved
//       .Expect(wintest::Interaction::Message(IDYES));          // the overwrite prompt
//   RunCodeUnderTest();                                         // returns once the dialogs are closed
//   ASSERT_TRUE(user.Satisfied()) << user.Report();
//   EXPECT_EQ(user.Seen()[0].caption, "Pelorin for Solid Edge 20 version 1.0");
//   EXPECT_EQ(user.Seen()[0].icon, UINT(MB_ICONWARNING));
//
// A dialog that finds no matching interaction is recorded (expected = false) and closed (Cancel,
// No or OK, whichever it has), so the test fails instead of hanging. A message box that lacks the
// scripted button also counts as unexpected (the button is still sent, which closes it). Every test that opens
// dialogs also needs a Watchdog (watchdog.h): a dialog the hook never sees would wait forever.
// Only one ScriptedUser may exist at a time; it works on the thread that created it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace wintest {

enum class DialogKind {
    Message,     // a message box (MessageBox, including the save dialog's overwrite prompt)
    SaveDialog,  // the common file dialog (GetSaveFileName)
    Other,       // any other dialog, e.g. an about box
};

const char* DialogKindName(DialogKind kind);

// One step of the script: the kind of dialog expected next and how to answer it.
struct Interaction {
    DialogKind kind = DialogKind::Message;
    int button = IDOK;      // Message / Other: the command sent (IDOK, IDCANCEL, IDYES, IDNO, ...)
    std::string typedName;  // SaveDialog: the text typed into the file-name box
    bool cancel = false;    // SaveDialog: press Cancel instead

    static Interaction Message(int button);
    static Interaction SaveAs(std::string typedName);  // type it, then press Save
    static Interaction Cancel();                       // cancel the save dialog
    static Interaction Dialog(int button = IDOK);      // any other dialog
};

// What one dialog showed and what the user did with it.
struct SeenDialog {
    DialogKind kind = DialogKind::Other;
    std::string caption;
    std::string text;                      // Message: its text. SaveDialog: the file-name box before typing
    UINT icon = 0;                         // Message: MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION,
                                           // MB_ICONQUESTION, or 0 without icon
    std::vector<int> buttons;              // Message / Other: the command ids of its buttons, in child order
    std::vector<std::string> staticTexts;  // Message / Other: every text static, in child order
    std::string fileType;                  // SaveDialog: the selected file type
    HWND window = nullptr;                 // only for comparing: the window is gone by the time a test reads it
    HWND owner = nullptr;                  // GetWindow(GW_OWNER)
    bool expected = false;                 // the script's next step was of this kind (and, for a
                                           // message box, named one of its buttons)
    std::string answer;                    // what was done, e.g. "IDYES", "typed \"C:\\out\\x\", Save", "Cancel"

    std::string Describe() const;
};

class ScriptedUser {
public:
    ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;
    ~ScriptedUser();

    ScriptedUser& Expect(Interaction step);

    const std::vector<SeenDialog>& Seen() const noexcept { return m_seen; }
    std::size_t PendingSteps() const noexcept { return m_script.size(); }
    // Every step used and no dialog unexpected.
    bool Satisfied() const;
    // The dialogs seen and the steps left, one a line, for assertion messages.
    std::string Report() const;

    // The hook's entry points; not for tests.
    void OnActivate(HWND window);
    void OnDestroy(HWND window);
    void OnTimer(UINT_PTR timer);

private:
    struct PendingSave {
        UINT_PTR timer;
        HWND dialog;
        std::size_t seenIndex;  // the SeenDialog this action belongs to
        Interaction step;
        bool acted;             // typed/clicked already; the timer now checks whether the dialog closed
        int openChecks;         // how often it was found still shown since then
    };

    bool TakeStep(DialogKind kind, Interaction& step);
    void AnswerMessageOrOther(HWND window, DialogKind kind);
    void BeginSaveDialog(HWND window, bool reopened);
    void ActOnSaveDialog(PendingSave& pending);
    void ArmTimer(HWND dialog, std::size_t seenIndex, const Interaction& step, bool acted, int openChecks = 0);

    HHOOK m_hook = nullptr;
    std::deque<Interaction> m_script;
    std::vector<SeenDialog> m_seen;
    std::vector<HWND> m_handled;  // dialogs answered and still alive: re-activation is not a new dialog
    std::vector<PendingSave> m_pending;
};

// Whether the window is a dialog that the scripted user classifies as this kind.
DialogKind ClassifyDialog(HWND dialog);

}  // namespace wintest
