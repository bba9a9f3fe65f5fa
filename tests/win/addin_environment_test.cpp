// Environments connecting to Pelorin.dll's add-in: the command set handed to the host's AddIn
// object, the buttons and the command bar on first set-up, and failing host calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/Bstr.h"
#include "tests/win/addin_fixture.h"

using Operations = std::vector<std::string>;
using wintest::AddInTest;
using wintest::kAssemblyEnvironment;
using wintest::kPartEnvironment;

namespace {

constexpr char kCategory[] = "Pelorin for Solid Edge";

class EnvironmentTest : public AddInTest {
protected:
    void SetUp() override
    {
        AddInTest::SetUp();
        ASSERT_EQ(Connect(), S_OK);
        host.Journal().Clear();
    }

    HRESULT ConnectEnvironment(const char* categoryId, IDispatch* environment, VARIANT_BOOL firstTime)
    {
        Bstr id(categoryId);
        return addIn->OnConnectToEnvironment(id.Get(), environment, firstTime);
    }
};

}  // namespace

TEST_F(EnvironmentTest, EveryEnvironmentGetsTheSameCommandSetUnderItsOwnId)
{
    ComPtr<sehost::Environment> part = host.CreateEnvironment(kPartEnvironment);
    ComPtr<sehost::Environment> assembly = host.CreateEnvironment(kAssemblyEnvironment);
    EXPECT_EQ(ConnectEnvironment(kPartEnvironment, part.Get(), VARIANT_FALSE), S_OK);
    EXPECT_EQ(ConnectEnvironment(kAssemblyEnvironment, assembly.Get(), VARIANT_FALSE), S_OK);
    EXPECT_EQ(host.Journal().Operations(), (Operations{"SetAddInInfo", "SetAddInInfo"})) << host.Journal().Describe();

    const std::vector<sehost::AddInInfoCall>& calls = host.AddInInfoCalls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].environment, kPartEnvironment);
    EXPECT_EQ(calls[1].environment, kAssemblyEnvironment);
    for (const sehost::AddInInfoCall& call : calls) {
        SCOPED_TRACE(call.environment);
        EXPECT_EQ(call.instance, reinterpret_cast<ULONG_PTR>(library.Module()));
        EXPECT_EQ(call.category, kCategory);
        EXPECT_EQ(std::vector<LONG>(call.bitmaps, call.bitmaps + 4), (std::vector<LONG>{128, 129, 131, 130}));
        EXPECT_EQ(call.commandCount, 3);

        EXPECT_TRUE(call.names.present);
        EXPECT_EQ(call.names.type, VARTYPE(VT_BSTR));
        EXPECT_EQ(call.names.dimensions, 1u);
        EXPECT_EQ(call.names.lowerBound, 0);
        EXPECT_EQ(call.names.upperBound, 2);
        EXPECT_EQ(call.names.texts,
                  (Operations{"Pelorin_Export\nExport\nExport a 3DM file\nExport",
                              "Pelorin_Help\nHelp\nDisplay the Pelorin for Solid Edge help file\nHelp",
                              "Pelorin_About\nAbout\nDisplay the Pelorin for Solid Edge about box\nAbout"}));

        EXPECT_TRUE(call.ids.present);
        EXPECT_EQ(call.ids.type, VARTYPE(VT_I4));
        EXPECT_EQ(call.ids.dimensions, 1u);
        EXPECT_EQ(call.ids.lowerBound, 0);
        EXPECT_EQ(call.ids.upperBound, 2);
        EXPECT_EQ(call.ids.numbers, (std::vector<LONG>{0, 1, 2}));
    }
    EXPECT_EQ(part->References(), 1u);
    EXPECT_EQ(assembly->References(), 1u);
}

TEST_F(EnvironmentTest, OnlyAFirstSetUpWithVariantTrueAddsTheButtonsAndShowsTheBar)
{
    const Operations setUp{"SetAddInInfo", "AddCommandBarButton", "AddCommandBarButton", "AddCommandBarButton",
                           "CommandBars", "Item", "Visible"};
    const Operations buttonsOnly{"SetAddInInfo", "AddCommandBarButton", "AddCommandBarButton", "AddCommandBarButton"};
    const Operations infoOnly{"SetAddInInfo"};
    const struct {
        const char* what;
        VARIANT_BOOL firstTime;
        bool withEnvironment;
        const Operations& expected;
    } cases[] = {
        {"VARIANT_TRUE", VARIANT_TRUE, true, setUp},
        {"1, true but not VARIANT_TRUE", 1, true, infoOnly},
        {"VARIANT_FALSE", VARIANT_FALSE, true, infoOnly},
        {"VARIANT_TRUE without an environment", VARIANT_TRUE, false, buttonsOnly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComPtr<sehost::Environment> part = host.CreateEnvironment(kPartEnvironment);
        host.Journal().Clear();
        EXPECT_EQ(ConnectEnvironment(kPartEnvironment, c.withEnvironment ? part.Get() : nullptr, c.firstTime), S_OK);
        EXPECT_EQ(host.Journal().Operations(), c.expected) << host.Journal().Describe();
        EXPECT_EQ(part->References(), 1u);
    }

    // The first set-up's calls in detail.
    ComPtr<sehost::Environment> part = host.CreateEnvironment(kPartEnvironment);
    host.Journal().Clear();
    ASSERT_EQ(ConnectEnvironment(kPartEnvironment, part.Get(), VARIANT_TRUE), S_OK);
    const std::vector<sehost::JournalEntry>& calls = host.Journal().Entries();
    ASSERT_EQ(calls.size(), setUp.size());
    for (int id = 0; id < 3; ++id)
        EXPECT_EQ(calls[1 + id].arguments, (Operations{kPartEnvironment, kCategory, std::to_string(id)}));
    EXPECT_EQ(calls[4].flags, WORD(DISPATCH_PROPERTYGET));
    EXPECT_EQ(calls[5].flags, WORD(DISPATCH_METHOD));
    EXPECT_EQ(calls[5].argumentTypes, std::vector<VARTYPE>{VT_BSTR});
    EXPECT_EQ(calls[5].arguments, Operations{kCategory});
    EXPECT_EQ(calls[6].flags, WORD(DISPATCH_PROPERTYPUT));
    EXPECT_EQ(calls[6].argumentTypes, std::vector<VARTYPE>{VT_I4});
    ASSERT_NE(part->Bars().Bar(kCategory), nullptr);
    EXPECT_EQ(part->Bars().Bar(kCategory)->Visible(), 1);
    EXPECT_EQ(part->References(), 1u);
}

TEST_F(EnvironmentTest, AMissingEnvironmentObjectEndsTheBarStepQuietly)
{
    const struct {
        const char* what;
        void (*configure)(sehost::HostConfig&);
        const char* lastCall;
    } cases[] = {
        {"environment without IDispatch", [](sehost::HostConfig& c) { c.environmentAnswersDispatch = false; },
         "AddCommandBarButton"},
        {"no command bars", [](sehost::HostConfig& c) { c.commandBarsNull = true; }, "CommandBars"},
        {"no command bar", [](sehost::HostConfig& c) { c.commandBarNull = true; }, "Item"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sehost::HostConfig defaults;
        host.Config() = defaults;
        c.configure(host.Config());
        ComPtr<sehost::Environment> part = host.CreateEnvironment(kPartEnvironment);
        host.Journal().Clear();
        EXPECT_EQ(ConnectEnvironment(kPartEnvironment, part.Get(), VARIANT_TRUE), S_OK);
        EXPECT_EQ(host.Journal().Operations().back(), c.lastCall) << host.Journal().Describe();
        EXPECT_EQ(host.Journal().CountCalls("AddCommandBarButton"), 3u);
        EXPECT_EQ(part->References(), 1u);
    }
}

TEST_F(EnvironmentTest, AFailingHostCallIsReturnedAndEndsTheSetUp)
{
    const struct {
        const char* failure;
        HRESULT injected;
        const char* lastCall;
    } cases[] = {
        {"SetAddInInfo", E_ACCESSDENIED, "SetAddInInfo"},
        {"AddCommandBarButton", E_OUTOFMEMORY, "AddCommandBarButton"},
        {"CommandBars", DISP_E_EXCEPTION, "CommandBars"},
        {"Item", E_INVALIDARG, "Item"},
        {"Visible", E_FAIL, "Visible"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failure);
        host.Config().failures = {{c.failure, c.injected}};
        ComPtr<sehost::Environment> part = host.CreateEnvironment(kPartEnvironment);
        host.Journal().Clear();
        EXPECT_EQ(ConnectEnvironment(kPartEnvironment, part.Get(), VARIANT_TRUE), c.injected);
        EXPECT_EQ(host.Journal().Operations().back(), c.lastCall) << host.Journal().Describe();
        EXPECT_EQ(part->References(), 1u);
    }
}
