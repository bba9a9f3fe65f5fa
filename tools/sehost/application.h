// The simulated host's application object: its version, the active document and that
// document's kind.
#pragma once

#include "com/ComPtr.h"
#include "tools/sehost/dispatch_object.h"
#include "tools/sehost/document.h"

namespace sehost {

constexpr DISPID kApplicationActiveDocument = 2;       // property get: VT_DISPATCH
constexpr DISPID kApplicationVersion = 58;             // property get: VT_BSTR
constexpr DISPID kApplicationActiveDocumentType = 76;  // property get: VT_I4

class Application final : public DispatchObject {
public:
    Application(std::shared_ptr<HostState> state, ComPtr<Document> document);

protected:
    HRESULT Call(const Member& member, const VARIANT* arguments, UINT argumentCount, VARIANT* result,
                 UINT* argumentError, JournalEntry& entry) override;

private:
    HRESULT GetVersion(VARIANT* result);
    HRESULT GetActiveDocument(VARIANT* result);

    ComPtr<Document> m_document;
};

}  // namespace sehost
