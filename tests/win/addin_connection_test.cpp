// Connecting Pelorin.dll's add-in object to the simulated host and disconnecting it: the event
// sink on the host's connection point, the references the add-in keeps, and refusals.
#include <gtest/gtest.h>

#include <olectl.h>

#include <string>
#include <vector>

#include "com/Bstr.h"
#include "tests/win/addin_fixture.h"
#include "tests/win/scripted_user.h"

using Operations = std::vector<std::string>;
using wintest::AddInTest;

namespace {

std::string ErrorDescription()
{
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info)
        return std::string();
    BSTR description = nullptr;
    info->GetDescription(&description);
    std::string text = BstrToAnsi(description).GetString();
    SysFreeString(description);
    info->Release();
    return text;
}

}  // namespace

TEST_F(AddInTest, ConnectionAdvisesOneSinkAndDisconnectionUnadvisesItThroughTheAddInObject)
{
    ASSERT_EQ(Connect(), S_OK) << host.Journal().Describe();
    EXPECT_EQ(host.Journal().Operations(),
              (Operations{"GetAddInEventSource", "FindConnectionPoint", "Advise", "SetConnectedFlag"}));
    EXPECT_EQ(host.Journal().Entries()[1].object, "EventSource");
    ASSERT_NE(host.Journal().Last("SetConnectedFlag"), nullptr);
    EXPECT_EQ(host.Journal().Last("SetConnectedFlag")->arguments, Operations{"1"});
    EXPECT_EQ(host.AdvisedSinkCount(), 1u);
    EXPECT_EQ(host.SinkRefCount(), 2u);  // the command object's and the connection point's
    EXPECT_EQ(host.ApplicationRefCount(), 2u);
    EXPECT_EQ(host.AddInRefCount(), 2u);
    std::string adviseNote = host.Journal().Last("Advise")->note;

    host.Journal().Clear();
    EXPECT_EQ(addIn->OnDisconnection(0), S_OK);
    EXPECT_EQ(host.Journal().Operations(), (Operations{"FindConnectionPoint", "Unadvise"})) << host.Journal().Describe();
    EXPECT_EQ(host.Journal().Entries()[0].object, "AddIn");
    const sehost::JournalEntry* unadvise = host.Journal().Last("Unadvise");
    ASSERT_NE(unadvise, nullptr);
    EXPECT_EQ("cookie " + unadvise->arguments[0], adviseNote);
    EXPECT_EQ(unadvise->result, S_OK);
    EXPECT_EQ(host.AdvisedSinkCount(), 0u);

    // The host's objects stay referenced until the next connection; the sink and the command
    // object are gone, so only the add-in object keeps the DLL.
    EXPECT_EQ(host.ApplicationRefCount(), 2u);
    EXPECT_EQ(host.AddInRefCount(), 2u);
    EXPECT_EQ(library.CanUnloadNow(), S_FALSE);
    addIn.Reset();
    EXPECT_EQ(library.CanUnloadNow(), S_OK);
}

TEST_F(AddInTest, TheNextConnectionReleasesTheKeptHostObjects)
{
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_EQ(addIn->OnDisconnection(0), S_OK);

    sehost::SimHost nextHost;
    ComPtr<ISolidEdgeAddIn> nextAddIn;
    ASSERT_EQ(library.CreateAddIn(wintest::kClsidPelorinAddIn, nextAddIn), S_OK);
    ASSERT_EQ(nextAddIn->OnConnection(nextHost.Application(), 0x7FFFFFFF, nextHost.AddIn()), S_OK);
    EXPECT_EQ(host.ApplicationRefCount(), 1u);
    EXPECT_EQ(host.AddInRefCount(), 1u);
    EXPECT_EQ(nextHost.ApplicationRefCount(), 2u);
    EXPECT_EQ(nextHost.AddInRefCount(), 2u);
    EXPECT_EQ(nextHost.AdvisedSinkCount(), 1u);
    EXPECT_EQ(nextAddIn->OnDisconnection(-1), S_OK);
}

TEST_F(AddInTest, DisconnectionWithoutConnectionOrTwiceChangesNothing)
{
    EXPECT_EQ(addIn->OnDisconnection(0), S_OK);
    EXPECT_TRUE(host.Journal().Entries().empty()) << host.Journal().Describe();
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_EQ(addIn->OnDisconnection(0), S_OK);
    host.Journal().Clear();
    EXPECT_EQ(addIn->OnDisconnection(0), S_OK);
    EXPECT_TRUE(host.Journal().Entries().empty()) << host.Journal().Describe();
    EXPECT_EQ(host.AddInRefCount(), 2u);
}

TEST_F(AddInTest, AFailingEventConnectionIsReturnedAndLeavesTheFlagAlone)
{
    const struct {
        const char* failure;
        HRESULT injected;
        HRESULT expected;
        std::size_t flagCalls;
        const char* errorText;  // in the error information, when the add-in sets it
    } cases[] = {
        {"GetAddInEventSource", E_FAIL, E_FAIL, 0, "event source"},
        {"EventSource.FindConnectionPoint", CONNECT_E_NOCONNECTION, CONNECT_E_NOCONNECTION, 0, nullptr},
        {"Advise", CONNECT_E_ADVISELIMIT, CONNECT_E_ADVISELIMIT, 0, nullptr},
        {"SetConnectedFlag", E_ACCESSDENIED, S_OK, 1, nullptr},  // its result is not the add-in's concern
    };
    addIn.Reset();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        sehost::SimHost failingHost;
        failingHost.Config().failures[c.failure] = c.injected;
        ComPtr<ISolidEdgeAddIn> connecting;
        ASSERT_EQ(library.CreateAddIn(wintest::kClsidPelorinAddIn, connecting), S_OK);
        SetErrorInfo(0, nullptr);
        EXPECT_EQ(connecting->OnConnection(failingHost.Application(), 0, failingHost.AddIn()), c.expected)
            << failingHost.Journal().Describe();
        if (c.errorText) {
            std::string description = ErrorDescription();
            EXPECT_NE(description.find(c.errorText), std::string::npos) << description;
        }
        EXPECT_EQ(failingHost.Journal().CountCalls("SetConnectedFlag"), c.flagCalls);
        EXPECT_EQ(failingHost.AdvisedSinkCount(), c.flagCalls);

        // Half connected or not, disconnection cleans up and the DLL may go once the object does.
        EXPECT_EQ(connecting->OnDisconnection(0), S_OK);
        EXPECT_EQ(failingHost.AdvisedSinkCount(), 0u);
        connecting.Reset();
        EXPECT_EQ(library.CanUnloadNow(), S_OK);
    }

    // Without the host's AddIn object there is nothing to connect to.
    ASSERT_EQ(library.CreateAddIn(wintest::kClsidPelorinAddIn, addIn), S_OK);
    EXPECT_EQ(addIn->OnConnection(host.Application(), 0, nullptr), E_POINTER);
    EXPECT_EQ(addIn->OnDisconnection(0), S_OK);
}

TEST_F(AddInTest, ANullApplicationConnectsAndExportThenReportsIt)
{
    ASSERT_EQ(addIn->OnConnection(nullptr, 0, host.AddIn()), S_OK);
    EXPECT_EQ(host.AdvisedSinkCount(), 1u);

    wintest::ScriptedUser user;
    user.Expect(wintest::Interaction::Message(IDOK));
    EXPECT_EQ(host.FireCommand(0), S_OK);
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    const std::string& text = user.Seen()[0].text;
    EXPECT_NE(text.find("Export"), std::string::npos) << text;
    EXPECT_NE(text.find("0x80004003"), std::string::npos) << text;  // E_POINTER: no application
    EXPECT_EQ(host.Journal().CountCalls("Version"), 0u);
    EXPECT_EQ(addIn->OnDisconnection(0), S_OK);
}
