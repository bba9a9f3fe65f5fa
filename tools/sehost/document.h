// The simulated host's document: saves its model as an STL file.
#pragma once

#include "tools/sehost/dispatch_object.h"

namespace sehost {

constexpr DISPID kDocumentSaveAs = 36;  // method, one VT_BSTR: the path

class Document final : public DispatchObject {
public:
    explicit Document(std::shared_ptr<HostState> state);

protected:
    HRESULT Call(const Member& member, const VARIANT* arguments, UINT argumentCount, VARIANT* result,
                 UINT* argumentError, JournalEntry& entry) override;

private:
    HRESULT SaveAs(const VARIANT& path, UINT* argumentError, JournalEntry& entry);
};

}  // namespace sehost
