// What the simulated host answers. Objects read it at every call, so a test may change it
// between two calls of the code under test.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

namespace sehost {

// What the application's active-document property hands out.
enum class ActiveDocumentAnswer {
    Document,         // VT_DISPATCH holding the document
    Null,             // VT_DISPATCH holding null: no document is open
    WithoutDispatch,  // VT_UNKNOWN holding an object that refuses IDispatch (E_NOINTERFACE)
};

enum class StlFormat { Binary, Ascii };

// What the document's save method leaves at the path when its result is a success code.
enum class SaveWrites {
    Model,    // the document's model as STL (the host's normal work)
    Nothing,  // no file at all
    Bytes,    // HostConfig::saveBytes verbatim, e.g. a truncated or malformed STL file
};

struct HostConfig {
    std::optional<std::string> version = std::string("20.00");  // ANSI text; nullopt gives a null BSTR
    int activeDocumentType = 1;                                  // the host's document-kind code (1: part)
    ActiveDocumentAnswer activeDocument = ActiveDocumentAnswer::Document;

    std::string model = "part";  // a sample model name, see sample_models.h
    StlFormat stlFormat = StlFormat::Binary;
    HRESULT saveResult = S_OK;   // what the save method returns (any HRESULT)
    SaveWrites saveWrites = SaveWrites::Model;
    std::string saveBytes;

    // Calls made to fail with the given HRESULT, before they do anything else. A key names the
    // operation as the journal does ("Version", "SaveAs"), qualified by the object
    // ("Application.Version"), or by dispatch identifier ("Application#58", "Document#36"; this
    // form also reaches identifiers the object does not know).
    std::map<std::string, HRESULT> failures;
};

}  // namespace sehost
