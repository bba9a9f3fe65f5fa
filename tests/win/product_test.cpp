// Product identity, Help and About against the simulated host.
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "com/ComError.h"
#include "product/HelpCommand.h"
#include "product/ProductIdentity.h"
#include "tests/win/import_hook.h"
#include "tests/win/scripted_user.h"
#include "tests/win/temp_folder.h"
#include "tools/sehost/sim_host.h"

namespace {

ComPtr<IDispatch> Ref(IDispatch* object)
{
    return ComPtr<IDispatch>(object);
}

struct ShellCall {
    int calls = 0;
    HWND owner = nullptr;
    std::string verb, file, parameters;
    bool parametersNull = false, folderNull = false;
    INT show = 0;
    INT_PTR answer = 42;  // > 32: the viewer started
};
ShellCall g_shell;

HINSTANCE WINAPI RecordShellExecute(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show)
{
    ++g_shell.calls;
    g_shell.owner = owner;
    g_shell.verb = verb ? verb : "(null)";
    g_shell.file = file ? file : "(null)";
    g_shell.parametersNull = parameters == nullptr;
    g_shell.parameters = parameters ? parameters : "";
    g_shell.folderNull = folder == nullptr;
    g_shell.show = show;
    return reinterpret_cast<HINSTANCE>(g_shell.answer);
}

std::string ExeFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.find_last_of('\\') + 1);
}

}  // namespace

TEST(ProductIdentity, VersionTextsNameTheHostRelease)
{
    struct Case {
        std::optional<std::string> version;
        int index;
        const char* title;
    } cases[] = {
        {"20.00", 11, "Pelorin for Solid Edge 20 version 1.0"},
        {"100.00.00", 12, "Pelorin for Solid Edge ST version 1.0"},
        {"10.5", 1, "Pelorin for Solid Edge 10 version 1.0"},
        {"19.0", 10, "Pelorin for Solid Edge 19 version 1.0"},
        {"9.0", 0, "Pelorin for Solid Edge ???? version 1.0"},
        {"21.0", 0, "Pelorin for Solid Edge ???? version 1.0"},
        {"101.00", 0, "Pelorin for Solid Edge ???? version 1.0"},
        {"20", 0, "Pelorin for Solid Edge ???? version 1.0"},  // no dot: no major version
        {"", 0, "Pelorin for Solid Edge ???? version 1.0"},
        {std::nullopt, 0, "Pelorin for Solid Edge ???? version 1.0"},
        {" 15.1", 6, "Pelorin for Solid Edge 15 version 1.0"},
        {"20abc.1", 11, "Pelorin for Solid Edge 20 version 1.0"},
    };
    for (const Case& c : cases) {
        sehost::SimHost host;
        host.Config().version = c.version;
        SCOPED_TRACE(c.version ? "\"" + *c.version + "\"" : "null BSTR");
        EXPECT_EQ(GetHostVersionIndex(Ref(host.Application())), c.index);
        BuildProductIdentity(Ref(host.Application()));
        EXPECT_STREQ(ProductTitle, c.title);
        EXPECT_EQ(host.ApplicationRefCount(), 1u);
        EXPECT_EQ(host.Journal().Operations(), (std::vector<std::string>{"Version", "Version"}));
    }
}

TEST(ProductIdentity, AFailingVersionPropertyKeepsTheLastTitle)
{
    sehost::SimHost host;
    BuildProductIdentity(Ref(host.Application()));
    host.Config().failures["Version"] = RPC_E_DISCONNECTED;
    try {
        BuildProductIdentity(Ref(host.Application()));
        FAIL() << "no COM error raised";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Result(), RPC_E_DISCONNECTED);
    }
    EXPECT_STREQ(ProductTitle, "Pelorin for Solid Edge 20 version 1.0");
    EXPECT_EQ(host.ApplicationRefCount(), 1u);

    try {
        GetHostVersionIndex(ComPtr<IDispatch>());
        FAIL() << "no COM error for a missing application";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Result(), E_POINTER);
    }
}

TEST(HelpCommand, HelpFileLiesBesideTheModule)
{
    EXPECT_EQ(std::string(GetHelpFilePath()), ExeFolder() + "Pelorin.chm");
}

TEST(HelpCommand, OpensTheHelpFileOrSaysItCannot)
{
    wintest::ImportInterception shell(GetModuleHandleA(nullptr), "shell32.dll", "ShellExecuteA",
                                      reinterpret_cast<void*>(&RecordShellExecute));
    ASSERT_TRUE(shell.Active());
    struct Case {
        INT_PTR shellAnswer;
        bool message;
    } cases[] = {{42, false}, {SE_ERR_FNF, true}, {SE_ERR_NOASSOC, true}, {32, true}, {33, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shellAnswer);
        sehost::SimHost host;
        host.Config().version = "100.00.00";
        g_shell = ShellCall();
        g_shell.answer = c.shellAnswer;
        wintest::ScriptedUser user;
        if (c.message)
            user.Expect(wintest::Interaction::Message(IDOK));
        OnHelpCommand(Ref(host.Application()));

        ASSERT_TRUE(user.Satisfied()) << user.Report();
        EXPECT_EQ(g_shell.calls, 1);
        EXPECT_EQ(g_shell.owner, nullptr);
        EXPECT_EQ(g_shell.verb, "open");
        EXPECT_EQ(g_shell.file, ExeFolder() + "Pelorin.chm");
        EXPECT_FALSE(g_shell.parametersNull);
        EXPECT_EQ(g_shell.parameters, "");
        EXPECT_TRUE(g_shell.folderNull);
        EXPECT_EQ(g_shell.show, SW_SHOW);
        if (c.message) {
            EXPECT_EQ(user.Seen()[0].text, "Error displaying Pelorin for Solid Edge help file.");
            EXPECT_EQ(user.Seen()[0].caption, "Pelorin for Solid Edge ST version 1.0");
            EXPECT_EQ(user.Seen()[0].icon, UINT(MB_ICONEXCLAMATION));
        }
        EXPECT_EQ(host.ApplicationRefCount(), 1u);
    }
}

TEST(AboutCommand, ShowsTheAboutBoxWithTheTitleAndNoOwner)
{
    sehost::SimHost host;
    host.Config().version = "100.00.00";
    wintest::ScriptedUser user;
    user.Expect(wintest::Interaction::Dialog(IDOK));
    OnAboutCommand(Ref(host.Application()));
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    const wintest::SeenDialog& about = user.Seen()[0];
    EXPECT_EQ(about.caption, "Pelorin for Solid Edge ST version 1.0");
    EXPECT_EQ(about.owner, nullptr);
    std::string texts;
    for (const std::string& text : about.staticTexts)
        texts += text + "\n";
    EXPECT_NE(texts.find("Version 1.0"), std::string::npos) << texts;
    EXPECT_NE(texts.find("TALMIR"), std::string::npos) << texts;
    EXPECT_NE(texts.find("https://"), std::string::npos) << texts;
    EXPECT_EQ(about.buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(host.ApplicationRefCount(), 1u);
}

TEST(Commands, AFailingHostCallShowsOneMessageAndGoesNoFurther)
{
    sehost::SimHost host;
    host.Config().failures["Version"] = E_ACCESSDENIED;
    ProductTitle[0] = 0;  // no title built yet: the message needs its fallback caption
    wintest::ScriptedUser user;
    user.Expect(wintest::Interaction::Message(IDOK)).Expect(wintest::Interaction::Message(IDOK));
    OnAboutCommand(Ref(host.Application()));
    OnHelpCommand(Ref(host.Application()));
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    for (const wintest::SeenDialog& seen : user.Seen()) {
        EXPECT_EQ(seen.caption, "Pelorin for Solid Edge");
        EXPECT_NE(seen.text.find("reading the host's version"), std::string::npos) << seen.text;
        EXPECT_NE(seen.text.find("0x80070005"), std::string::npos) << seen.text;
        EXPECT_EQ(seen.icon, UINT(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(host.ApplicationRefCount(), 1u);
}
