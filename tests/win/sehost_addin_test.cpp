// The simulated host's side of an add-in connection: its connection point, event firing and
// command bars, checked on their own, since the add-in tests read them as the truth.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <olectl.h>

#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "tools/sehost/sim_host.h"

namespace {

// A sink that records the last command and counts its references.
class RecordingSink final : public ISEAddInEvents {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISEAddInEvents) ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE OnCommand(LONG id) override
    {
        lastCommand = id;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnCommandHelp(__int3264, LONG, LONG) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnCommandUpdateUI(LONG, LONG*, BSTR*, LONG*) override { return S_OK; }

    ULONG references = 1;  // on the stack: never freed through Release
    LONG lastCommand = -100;
};

ComPtr<IConnectionPoint> FindPoint(IUnknown* container)
{
    ComPtr<IConnectionPointContainer> points;
    EXPECT_EQ(container->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(points.ReleaseAndGetAddressOf())),
              S_OK);
    ComPtr<IConnectionPoint> point;
    if (points) {
        EXPECT_EQ(points->FindConnectionPoint(IID_ISEAddInEvents, point.ReleaseAndGetAddressOf()), S_OK);
    }
    return point;
}

HRESULT LookUpBar(IDispatch* bars, const char* name, Variant& bar)
{
    Variant argument;
    argument->vt = VT_BSTR;
    argument->bstrVal = Bstr(name).Detach();
    VARIANT arguments[] = {*argument.Get()};
    DISPPARAMS params{arguments, nullptr, 1, 0};
    bar.Clear();
    return bars->Invoke(0, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, bar.Get(), nullptr, nullptr);
}

}  // namespace

TEST(SimHostAddIn, ACookieFromTheEventSourceUnadvisesThroughTheAddInObject)
{
    sehost::SimHost host;
    RecordingSink sink;
    EXPECT_EQ(host.FireCommand(1), CONNECT_E_NOCONNECTION);

    ComPtr<IUnknown> source;
    ASSERT_EQ(host.AddIn()->GetAddInEventSource(source.ReleaseAndGetAddressOf()), S_OK);
    ComPtr<IConnectionPoint> sourcePoint = FindPoint(source.Get());
    ComPtr<IConnectionPoint> addInPoint = FindPoint(host.AddIn());
    ASSERT_TRUE(sourcePoint && addInPoint);
    EXPECT_EQ(sourcePoint.Get(), addInPoint.Get());

    DWORD cookie = 0;
    ASSERT_EQ(sourcePoint->Advise(&sink, &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(sink.references, 2u);
    EXPECT_EQ(host.SinkRefCount(), 2u);
    EXPECT_EQ(host.FireCommand(7), S_FALSE);
    EXPECT_EQ(sink.lastCommand, 7);

    EXPECT_EQ(addInPoint->Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(addInPoint->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.references, 1u);
    EXPECT_EQ(addInPoint->Unadvise(cookie), CONNECT_E_NOCONNECTION);

    // Refusals: an object that is no sink, and a configured one.
    sehost::SimHost other;
    ComPtr<IDispatch> notASink(other.Application());
    EXPECT_EQ(sourcePoint->Advise(notASink.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
    host.Config().failures["Advise"] = CONNECT_E_ADVISELIMIT;
    EXPECT_EQ(sourcePoint->Advise(&sink, &cookie), CONNECT_E_ADVISELIMIT);
    EXPECT_EQ(sink.references, 1u);
    EXPECT_EQ(host.AdvisedSinkCount(), 0u);
}

TEST(SimHostAddIn, ABarExistsInTheEnvironmentWhereItGotAButton)
{
    sehost::SimHost host;
    ComPtr<sehost::Environment> part = host.CreateEnvironment("{part}");
    ComPtr<sehost::Environment> draft = host.CreateEnvironment("{draft}");
    Bstr environment("{part}");
    Bstr barName("Bar");
    ComPtr<IDispatch> button;
    ASSERT_EQ(host.AddIn()->AddCommandBarButton(environment.Get(), barName.Get(), 0, button.ReleaseAndGetAddressOf()),
              S_OK);
    EXPECT_TRUE(button);

    Variant bars;
    GetProperty(part.Get(), sehost::kEnvironmentCommandBars, bars, "getting the bars");
    ASSERT_EQ(bars->vt, VT_DISPATCH);
    Variant bar;
    ASSERT_EQ(LookUpBar(bars->pdispVal, "Bar", bar), S_OK);
    ASSERT_EQ(bar->vt, VT_DISPATCH);
    EXPECT_EQ(bar->pdispVal, static_cast<IDispatch*>(part->Bars().Bar("Bar")));
    EXPECT_EQ(LookUpBar(bars->pdispVal, "Other", bar), S_OK);
    EXPECT_EQ(bar->vt, VT_DISPATCH);
    EXPECT_EQ(bar->pdispVal, nullptr);
    host.Config().unknownCommandBarResult = DISP_E_BADINDEX;
    EXPECT_EQ(LookUpBar(bars->pdispVal, "Other", bar), DISP_E_BADINDEX);

    Variant draftBars;
    GetProperty(draft.Get(), sehost::kEnvironmentCommandBars, draftBars, "getting the bars");
    EXPECT_EQ(LookUpBar(draftBars->pdispVal, "Bar", bar), DISP_E_BADINDEX);  // its button went to the part
}
