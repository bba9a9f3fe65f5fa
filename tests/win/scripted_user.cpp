#include "tests/win/scripted_user.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace wintest {

namespace {

// Control identifiers of the dialogs as Wine builds them.
constexpr int kMessageBoxIconId = 0x0440;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kFileNameComboId = 0x047C;  // ComboBoxEx32 holding the file-name edit
constexpr int kFileTypeComboId = 0x0470;
// The file dialog's controls are filled in after activation (its buttons still read "&Open" then).
constexpr UINT kSaveDialogDelayMs = 200;
// A dialog still shown this many checks after Save was pressed stays open (a No to its overwrite
// prompt, a refused name); a loaded machine can take more than one check to close it.
constexpr int kStillOpenChecks = 5;

ScriptedUser* g_user = nullptr;  // the hook procedures have no context argument

LRESULT CALLBACK CbtHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0 && g_user) {
        if (code == HCBT_ACTIVATE)
            g_user->OnActivate(reinterpret_cast<HWND>(wParam));
        else if (code == HCBT_DESTROYWND)
            g_user->OnDestroy(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

VOID CALLBACK SaveDialogTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_user)
        g_user->OnTimer(timer);
}

std::string WindowText(HWND window)
{
    if (!window)
        return std::string();
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, &text[0], length + 1);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

UINT MessageBoxIcon(HWND dialog)
{
    HICON icon = reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, kMessageBoxIconId, STM_GETICON, 0, 0));
    if (!icon)
        return 0;
    // Shared system icons: the handles the message box loaded are these.
    const struct {
        LPCSTR resource;
        UINT style;
    } icons[] = {{IDI_EXCLAMATION, MB_ICONWARNING}, {IDI_HAND, MB_ICONERROR}, {IDI_ASTERISK, MB_ICONINFORMATION},
                 {IDI_QUESTION, MB_ICONQUESTION}};
    for (const auto& candidate : icons)
        if (LoadIconA(nullptr, candidate.resource) == icon)
            return candidate.style;
    return MB_USERICON;
}

bool IsTextStatic(HWND child)
{
    switch (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return true;
    default:
        return false;
    }
}

bool IsPushButton(HWND child)
{
    LONG type = GetWindowLongA(child, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

void CollectChildren(HWND dialog, SeenDialog& seen)
{
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string cls = ClassName(child);
        if (lstrcmpiA(cls.c_str(), "Static") == 0 && IsTextStatic(child))
            seen.staticTexts.push_back(WindowText(child));
        else if (lstrcmpiA(cls.c_str(), "Button") == 0 && IsPushButton(child))
            seen.buttons.push_back(GetDlgCtrlID(child));
    }
}

bool Has(const std::vector<int>& ids, int id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::string ButtonName(int id)
{
    switch (id) {
    case IDOK: return "IDOK";
    case IDCANCEL: return "IDCANCEL";
    case IDABORT: return "IDABORT";
    case IDRETRY: return "IDRETRY";
    case IDIGNORE: return "IDIGNORE";
    case IDYES: return "IDYES";
    case IDNO: return "IDNO";
    default: return "command " + std::to_string(id);
    }
}

std::string IconName(UINT icon)
{
    switch (icon) {
    case 0: return "no icon";
    case MB_ICONWARNING: return "warning icon";
    case MB_ICONERROR: return "error icon";
    case MB_ICONINFORMATION: return "information icon";
    case MB_ICONQUESTION: return "question icon";
    default: return "other icon";
    }
}

// Message texts span lines; a report keeps one dialog a line.
std::string OneLine(const std::string& text)
{
    std::string line;
    for (char c : text)
        line += c == '\n' ? std::string("\\n") : c == '\r' ? std::string() : std::string(1, c);
    return line;
}

std::string DescribeStep(const Interaction& step)
{
    switch (step.kind) {
    case DialogKind::Message: return "Message -> " + ButtonName(step.button);
    case DialogKind::Other: return "Other dialog -> " + ButtonName(step.button);
    case DialogKind::SaveDialog: return step.cancel ? "SaveDialog -> Cancel" : "SaveDialog -> \"" + step.typedName + "\", Save";
    }
    return "?";
}

void TypeInto(HWND edit, const std::string& text)
{
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CLEAR, 0, 0);
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), &wide[0], length);
    for (wchar_t c : wide)
        SendMessageW(edit, WM_CHAR, c, 0);
}

void Click(HWND dialog, const char* buttonText, int fallbackId)
{
    HWND button = FindWindowExA(dialog, nullptr, "Button", buttonText);
    if (button)
        SendMessageA(button, BM_CLICK, 0, 0);
    else
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(fallbackId, BN_CLICKED), 0);
}

}  // namespace

const char* DialogKindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Message: return "Message";
    case DialogKind::SaveDialog: return "SaveDialog";
    case DialogKind::Other: return "Other";
    }
    return "?";
}

Interaction Interaction::Message(int button)
{
    Interaction step;
    step.kind = DialogKind::Message;
    step.button = button;
    return step;
}

Interaction Interaction::SaveAs(std::string typedName)
{
    Interaction step;
    step.kind = DialogKind::SaveDialog;
    step.typedName = std::move(typedName);
    return step;
}

Interaction Interaction::Cancel()
{
    Interaction step;
    step.kind = DialogKind::SaveDialog;
    step.cancel = true;
    return step;
}

Interaction Interaction::Dialog(int button)
{
    Interaction step;
    step.kind = DialogKind::Other;
    step.button = button;
    return step;
}

std::string SeenDialog::Describe() const
{
    std::string line = std::string(DialogKindName(kind)) + " \"" + caption + "\"";
    if (kind == DialogKind::Message)
        line += ": \"" + OneLine(text) + "\", " + IconName(icon);
    else if (kind == DialogKind::SaveDialog)
        line += " (file name \"" + text + "\", type \"" + fileType + "\")";
    for (const std::string& s : staticTexts)
        if (kind == DialogKind::Other)
            line += " [" + s + "]";
    line += " -> " + answer;
    if (!expected)
        line += " (UNEXPECTED)";
    return line;
}

DialogKind ClassifyDialog(HWND dialog)
{
    HWND names = GetDlgItem(dialog, kFileNameComboId);
    if (names && ClassName(names) == WC_COMBOBOXEXA)
        return DialogKind::SaveDialog;
    HWND icon = GetDlgItem(dialog, kMessageBoxIconId);
    if (icon && GetDlgItem(dialog, kMessageBoxTextId) && (GetWindowLongA(icon, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
        return DialogKind::Message;
    return DialogKind::Other;
}

ScriptedUser::ScriptedUser()
{
    if (g_user) {
        std::fprintf(stderr, "scripted user: a second ScriptedUser on the same thread is not supported\n");
        std::abort();
    }
    g_user = this;
    m_hook = SetWindowsHookExW(WH_CBT, CbtHookProc, nullptr, GetCurrentThreadId());
    if (!m_hook) {
        std::fprintf(stderr, "scripted user: SetWindowsHookExW failed (%lu)\n", GetLastError());
        std::abort();
    }
}

ScriptedUser::~ScriptedUser()
{
    UnhookWindowsHookEx(m_hook);
    for (const PendingSave& pending : m_pending)
        KillTimer(nullptr, pending.timer);
    g_user = nullptr;
}

ScriptedUser& ScriptedUser::Expect(Interaction step)
{
    m_script.push_back(std::move(step));
    return *this;
}

bool ScriptedUser::Satisfied() const
{
    return m_script.empty() &&
           std::all_of(m_seen.begin(), m_seen.end(), [](const SeenDialog& seen) { return seen.expected; });
}

std::string ScriptedUser::Report() const
{
    std::string text = "dialogs seen:\n";
    for (const SeenDialog& seen : m_seen)
        text += "  " + seen.Describe() + "\n";
    if (m_seen.empty())
        text += "  (none)\n";
    if (!m_script.empty()) {
        text += "steps never used:\n";
        for (const Interaction& step : m_script)
            text += "  " + DescribeStep(step) + "\n";
    }
    return text;
}

bool ScriptedUser::TakeStep(DialogKind kind, Interaction& step)
{
    if (m_script.empty() || m_script.front().kind != kind)
        return false;
    step = m_script.front();
    m_script.pop_front();
    return true;
}

void ScriptedUser::OnActivate(HWND window)
{
    // Wine runs this thread's hook also when activation passes to a window of another process
    // (tests run in parallel on one desktop): only this thread's dialogs are the code's.
    if (ClassName(window) != "#32770" || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId())
        return;
    if (std::find(m_handled.begin(), m_handled.end(), window) != m_handled.end())
        return;  // activated again, e.g. when a prompt it owns closes
    m_handled.push_back(window);
    DialogKind kind = ClassifyDialog(window);
    if (kind == DialogKind::SaveDialog)
        BeginSaveDialog(window, false);
    else
        AnswerMessageOrOther(window, kind);
}

void ScriptedUser::OnDestroy(HWND window)
{
    m_handled.erase(std::remove(m_handled.begin(), m_handled.end(), window), m_handled.end());
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->dialog == window) {
            KillTimer(nullptr, it->timer);
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
}

void ScriptedUser::AnswerMessageOrOther(HWND window, DialogKind kind)
{
    SeenDialog seen;
    seen.kind = kind;
    seen.window = window;
    seen.owner = GetWindow(window, GW_OWNER);
    seen.caption = WindowText(window);
    if (kind == DialogKind::Message) {
        seen.text = WindowText(GetDlgItem(window, kMessageBoxTextId));
        seen.icon = MessageBoxIcon(window);
    }
    CollectChildren(window, seen);

    Interaction step;
    std::vector<int> answers;
    if (TakeStep(kind, step)) {
        // A box without the scripted button is not the box the script meant (an OK-only box
        // where a Yes/No question was expected); the answer still closes it.
        seen.expected = kind != DialogKind::Message || Has(seen.buttons, step.button);
        answers.push_back(step.button);
    } else if (kind == DialogKind::Message) {
        // The least committal answer the box offers.
        answers.push_back(Has(seen.buttons, IDCANCEL) ? IDCANCEL : Has(seen.buttons, IDNO) ? IDNO : IDOK);
    } else {
        answers = {IDCANCEL, IDOK};  // whichever the dialog procedure handles; the second is dropped if it closed
    }
    for (int answer : answers)
        seen.answer += (seen.answer.empty() ? "" : ", ") + ButtonName(answer);
    std::fprintf(stderr, "[scripted user] %s\n", seen.Describe().c_str());
    m_seen.push_back(std::move(seen));
    for (int answer : answers)
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}

void ScriptedUser::BeginSaveDialog(HWND window, bool reopened)
{
    SeenDialog seen;
    seen.kind = DialogKind::SaveDialog;
    seen.window = window;
    seen.owner = GetWindow(window, GW_OWNER);
    seen.caption = WindowText(window);
    Interaction step;
    seen.expected = TakeStep(DialogKind::SaveDialog, step);
    if (!seen.expected)
        step = Interaction::Cancel();
    if (reopened)
        seen.answer = "(still open) ";
    m_seen.push_back(std::move(seen));
    ArmTimer(window, m_seen.size() - 1, step, false);
}

void ScriptedUser::ArmTimer(HWND dialog, std::size_t seenIndex, const Interaction& step, bool acted, int openChecks)
{
    UINT_PTR timer = SetTimer(nullptr, 0, kSaveDialogDelayMs, SaveDialogTimerProc);
    if (!timer) {
        std::fprintf(stderr, "scripted user: SetTimer failed (%lu)\n", GetLastError());
        return;
    }
    m_pending.push_back({timer, dialog, seenIndex, step, acted, openChecks});
}

void ScriptedUser::OnTimer(UINT_PTR timer)
{
    auto found = std::find_if(m_pending.begin(), m_pending.end(),
                              [timer](const PendingSave& pending) { return pending.timer == timer; });
    KillTimer(nullptr, timer);
    if (found == m_pending.end())
        return;
    PendingSave pending = *found;  // acting re-enters the hook, which may change m_pending
    m_pending.erase(found);
    if (!IsWindow(pending.dialog))
        return;
    if (!pending.acted) {
        ActOnSaveDialog(pending);
        // A closing dialog is soon hidden; one still shown after kStillOpenChecks checks (an
        // answer of No to its overwrite prompt, a refused name) waits for the script's next step.
        if (IsWindow(pending.dialog))
            ArmTimer(pending.dialog, pending.seenIndex, pending.step, true);
    } else if (IsWindowVisible(pending.dialog)) {
        if (pending.openChecks + 1 < kStillOpenChecks)
            ArmTimer(pending.dialog, pending.seenIndex, pending.step, true, pending.openChecks + 1);
        else
            BeginSaveDialog(pending.dialog, true);
    }
}

void ScriptedUser::ActOnSaveDialog(PendingSave& pending)
{
    HWND dialog = pending.dialog;
    HWND names = GetDlgItem(dialog, kFileNameComboId);
    HWND edit = names ? reinterpret_cast<HWND>(SendMessageW(names, CBEM_GETEDITCONTROL, 0, 0)) : nullptr;
    {
        SeenDialog& seen = m_seen[pending.seenIndex];  // not held across the clicks below
        seen.text = WindowText(edit);
        seen.fileType = WindowText(GetDlgItem(dialog, kFileTypeComboId));
        seen.answer += pending.step.cancel || !edit ? std::string("Cancel") : "typed \"" + pending.step.typedName + "\", Save";
        std::fprintf(stderr, "[scripted user] %s\n", seen.Describe().c_str());
    }
    if (pending.step.cancel || !edit) {
        Click(dialog, "Cancel", IDCANCEL);
        return;
    }
    TypeInto(edit, pending.step.typedName);
    Click(dialog, "&Save", IDOK);
}

}  // namespace wintest
