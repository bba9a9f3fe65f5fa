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

    // Environments and their command bars (environment.h).
    bool environmentAnswersDispatch = true;  // false: the environment refuses IDispatch (E_NOINTERFACE)
    bool commandBarsNull = false;            // the environment's command bars come back as a null object
    bool commandBarNull = false;             // every command bar looked up comes back as a null object
    // The lookup of a bar that holds no button of the add-in: S_OK answers a null object, a
    // failure code fails the call.
    HRESULT unknownCommandBarResult = S_OK;

    // Calls made to fail with the given HRESULT, before they do anything else. A key names the
    // operation as the journal does ("Version", "SaveAs", "SetAddInInfo", "Advise"), qualified by
    // the object ("Application.Version", "AddIn.FindConnectionPoint"), or by dispatch identifier
    // or function-table slot ("Application#58", "Document#36", "AddIn#17"; this form also reaches
    // identifiers the object does not know). Advise refused: failures["Advise"] = CONNECT_E_CANNOTCONNECT.
    std::map<std::string, HRESULT> failures;
};

}  // namespace sehost
