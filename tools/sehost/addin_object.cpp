#include "tools/sehost/addin_object.h"

#include <new>

#include "com/Bstr.h"
#include "tools/sehost/command_bar_button.h"
#include "tools/sehost/recorded_call.h"

namespace sehost {

namespace {

std::string Text(BSTR text)
{
    return text ? std::string(BstrToAnsi(text).GetString()) : std::string("(null)");
}

std::string Number(LONG value)
{
    return std::to_string(value);
}

std::string ArrayText(const SafeArrayRecord& array)
{
    if (!array.present)
        return "(null)";
    std::string text = "[" + std::to_string(array.lowerBound) + ".." + std::to_string(array.upperBound) + "]";
    for (const std::string& element : array.texts)
        text += " \"" + element + "\"";
    for (LONG element : array.numbers)
        text += " " + std::to_string(element);
    return text;
}

}  // namespace

AddInObject::AddInObject(std::shared_ptr<HostState> state)
    : m_state(state), m_eventSource(ComPtr<AddInEventSource>::Attach(new AddInEventSource(state)))
{
}

HRESULT STDMETHODCALLTYPE AddInObject::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISEAddIn))
        *object = static_cast<ISEAddIn*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *object = static_cast<IConnectionPointContainer*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE AddInObject::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_references));
}

ULONG STDMETHODCALLTYPE AddInObject::Release()
{
    LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE AddInObject::GetAddInEventSource(IUnknown** source)
{
    RecordedCall call(*m_state, "AddIn", "GetAddInEventSource", kSlotGetAddInEventSource);
    if (source)
        *source = nullptr;
    if (HRESULT failure = call.InjectedFailure())
        return call.Return(failure);
    if (!source)
        return call.Return(E_POINTER);
    *source = static_cast<IConnectionPointContainer*>(m_eventSource.Get());
    (*source)->AddRef();
    return call.Return(S_OK);
}

HRESULT STDMETHODCALLTYPE AddInObject::SetConnectedFlag(LONG value)
{
    RecordedCall call(*m_state, "AddIn", "SetConnectedFlag", kSlotSetConnectedFlag);
    call.Argument(VT_I4, Number(value));
    return call.Return(call.InjectedFailure());
}

HRESULT STDMETHODCALLTYPE AddInObject::SetAddInInfo(__int3264 instance, BSTR environment, BSTR category,
                                                    LONG colorMedium, LONG colorLarge, LONG monochromeMedium,
                                                    LONG monochromeLarge, LONG commandCount, SAFEARRAY** names,
                                                    SAFEARRAY** ids)
{
    AddInInfoCall info;
    info.instance = static_cast<ULONG_PTR>(instance);
    info.environment = Text(environment);
    info.category = Text(category);
    info.bitmaps[0] = colorMedium;
    info.bitmaps[1] = colorLarge;
    info.bitmaps[2] = monochromeMedium;
    info.bitmaps[3] = monochromeLarge;
    info.commandCount = commandCount;
    info.names = SafeArrayRecord::Of(names);
    info.ids = SafeArrayRecord::Of(ids);

    RecordedCall call(*m_state, "AddIn", "SetAddInInfo", kSlotSetAddInInfo);
    call.Argument(VT_INT_PTR, HandleText(info.instance));
    call.Argument(VT_BSTR, info.environment);
    call.Argument(VT_BSTR, info.category);
    for (LONG bitmap : info.bitmaps)
        call.Argument(VT_I4, Number(bitmap));
    call.Argument(VT_I4, Number(commandCount));
    call.Argument(VT_ARRAY | VT_BSTR, ArrayText(info.names));
    call.Argument(VT_ARRAY | VT_I4, ArrayText(info.ids));
    m_state->addInInfo.push_back(std::move(info));
    return call.Return(call.InjectedFailure());
}

HRESULT STDMETHODCALLTYPE AddInObject::AddCommandBarButton(BSTR environment, BSTR barName, LONG commandId,
                                                           IDispatch** button)
{
    RecordedCall call(*m_state, "AddIn", "AddCommandBarButton", kSlotAddCommandBarButton);
    call.Argument(VT_BSTR, Text(environment));
    call.Argument(VT_BSTR, Text(barName));
    call.Argument(VT_I4, Number(commandId));
    if (button)
        *button = nullptr;
    if (HRESULT failure = call.InjectedFailure())
        return call.Return(failure);
    if (!button)
        return call.Return(E_POINTER);
    CommandBarButton* created = new (std::nothrow) CommandBarButton(m_state);
    if (!created)
        return call.Return(E_OUTOFMEMORY);
    *button = created;
    m_state->commandBars.emplace(Text(environment), Text(barName));
    return call.Return(S_OK);
}

HRESULT STDMETHODCALLTYPE AddInObject::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE AddInObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    return m_eventSource->FindPoint("AddIn", iid, point);
}

}  // namespace sehost
