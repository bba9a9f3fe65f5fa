#include "tools/sehost/document.h"

#include "tools/sehost/stl_file.h"

namespace sehost {

namespace {

const Member kDocumentMembers[] = {
    {kDocumentSaveAs, "SaveAs", DISPATCH_METHOD, 1},
};

}  // namespace

Document::Document(std::shared_ptr<HostState> state)
    : DispatchObject("Document", std::move(state), kDocumentMembers, ARRAYSIZE(kDocumentMembers))
{
}

HRESULT Document::Call(const Member& member, const VARIANT* arguments, UINT, VARIANT*, UINT* argumentError,
                       JournalEntry& entry)
{
    switch (member.dispid) {
    case kDocumentSaveAs: return SaveAs(arguments[0], argumentError, entry);
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT Document::SaveAs(const VARIANT& path, UINT* argumentError, JournalEntry& entry)
{
    if (path.vt != VT_BSTR) {
        *argumentError = 0;
        return DISP_E_TYPEMISMATCH;
    }
    const HostConfig& config = State().config;
    if (FAILED(config.saveResult))
        return config.saveResult;

    std::string bytes;
    switch (config.saveWrites) {
    case SaveWrites::Nothing:
        entry.note = "wrote nothing";
        return config.saveResult;
    case SaveWrites::Bytes:
        bytes = config.saveBytes;
        entry.note = "wrote " + std::to_string(bytes.size()) + " configured bytes";
        break;
    case SaveWrites::Model: {
        const Model* model = FindSampleModel(config.model);
        if (!model) {
            entry.note = "no sample model named \"" + config.model + "\"";
            return E_UNEXPECTED;
        }
        bytes = StlBytes(*model, config.stlFormat);
        entry.note = "wrote " + std::to_string(model->FacetCount()) + " facets of \"" + config.model + "\" as " +
                     (config.stlFormat == StlFormat::Binary ? "binary" : "ASCII") + " STL";
        break;
    }
    }
    HRESULT written = WriteFileBytes(path.bstrVal, bytes);
    if (FAILED(written)) {
        entry.note = "could not write the file";
        return written;
    }
    return config.saveResult;
}

}  // namespace sehost
