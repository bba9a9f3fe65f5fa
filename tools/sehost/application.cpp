#include "tools/sehost/application.h"

#include "com/Bstr.h"
#include "tools/sehost/unknown_object.h"

namespace sehost {

namespace {

const Member kApplicationMembers[] = {
    {kApplicationActiveDocument, "ActiveDocument", DISPATCH_PROPERTYGET, 0},
    {kApplicationVersion, "Version", DISPATCH_PROPERTYGET, 0},
    {kApplicationActiveDocumentType, "ActiveDocumentType", DISPATCH_PROPERTYGET, 0},
};

}  // namespace

Application::Application(std::shared_ptr<HostState> state, ComPtr<Document> document)
    : DispatchObject("Application", std::move(state), kApplicationMembers, ARRAYSIZE(kApplicationMembers)),
      m_document(std::move(document))
{
}

HRESULT Application::Call(const Member& member, const VARIANT*, UINT, VARIANT* result, UINT*, JournalEntry&)
{
    switch (member.dispid) {
    case kApplicationVersion: return GetVersion(result);
    case kApplicationActiveDocument: return GetActiveDocument(result);
    case kApplicationActiveDocumentType:
        result->vt = VT_I4;
        result->lVal = State().config.activeDocumentType;
        return S_OK;
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT Application::GetVersion(VARIANT* result)
{
    const auto& version = State().config.version;
    result->vt = VT_BSTR;
    result->bstrVal = version ? Bstr(version->c_str()).Detach() : nullptr;
    return S_OK;
}

HRESULT Application::GetActiveDocument(VARIANT* result)
{
    switch (State().config.activeDocument) {
    case ActiveDocumentAnswer::Document:
        result->vt = VT_DISPATCH;
        result->pdispVal = m_document.Get();
        m_document->AddRef();
        return S_OK;
    case ActiveDocumentAnswer::Null:
        result->vt = VT_DISPATCH;
        result->pdispVal = nullptr;
        return S_OK;
    case ActiveDocumentAnswer::WithoutDispatch:
        result->vt = VT_UNKNOWN;
        result->punkVal = new UnknownObject();
        return S_OK;
    }
    return E_UNEXPECTED;
}

}  // namespace sehost
