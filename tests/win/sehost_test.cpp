// The simulated host's objects: what they answer, how they refuse wrong calls, what a save
// writes, injected failures and the journal.
#include <gtest/gtest.h>

#include <ocidl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "com/Bstr.h"
#include "com/ComError.h"
#include "com/Dispatch.h"
#include "tests/win/temp_folder.h"
#include "tlmio/stl_reader.h"
#include "tools/sehost/sim_host.h"
#include "tools/sehost/stl_file.h"

using sehost::SimHost;

namespace {

// A raw Invoke, so tests can make the calls the helpers in com/ never make. `arguments` are
// in call order.
HRESULT RawInvoke(IDispatch* object, DISPID dispid, WORD flags, std::vector<VARIANT> arguments, Variant& result,
                  UINT* argumentError = nullptr, REFIID iid = IID_NULL)
{
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    result.Clear();
    UINT ignored = 0;
    return object->Invoke(dispid, iid, LOCALE_USER_DEFAULT, flags, &params, result.Get(), nullptr,
                          argumentError ? argumentError : &ignored);
}

VARIANT BstrArgument(const Bstr& text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text.Get();  // borrowed: the Bstr outlives the call
    return v;
}

VARIANT IntArgument(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

HRESULT Save(SimHost& host, const std::string& path)
{
    Bstr text(path.c_str());
    Variant result;
    return RawInvoke(host.Document(), sehost::kDocumentSaveAs, DISPATCH_METHOD, {BstrArgument(text)}, result);
}

std::string ReadVersion(SimHost& host)
{
    Variant result;
    GetProperty(host.Application(), sehost::kApplicationVersion, result, "reading the version");
    EXPECT_EQ(result->vt, VT_BSTR);
    return BstrToAnsi(result->bstrVal).GetString();
}

}  // namespace

TEST(SimHostApplication, AnswersItsPropertiesAsConfigured)
{
    SimHost host;
    EXPECT_EQ(ReadVersion(host), "20.00");
    host.Config().version = " 15.1";
    EXPECT_EQ(ReadVersion(host), " 15.1");
    host.Config().version.reset();
    {
        Variant result;
        GetProperty(host.Application(), sehost::kApplicationVersion, result, "reading the version");
        EXPECT_EQ(result->vt, VT_BSTR);
        EXPECT_EQ(result->bstrVal, nullptr);
    }

    host.Config().activeDocumentType = 10;
    {
        Variant result;
        GetProperty(host.Application(), sehost::kApplicationActiveDocumentType, result, "reading the type");
        EXPECT_EQ(result->vt, VT_I4);
        EXPECT_EQ(result->lVal, 10);
    }

    // The active document: the host's document, null, or an object that is no dispatch object.
    {
        Variant result;
        GetProperty(host.Application(), sehost::kApplicationActiveDocument, result, "reading the document");
        ComPtr<IDispatch> document = DispatchFromVariant(result, "querying the document");
        EXPECT_EQ(document.Get(), host.Document());
    }
    host.Config().activeDocument = sehost::ActiveDocumentAnswer::Null;
    {
        Variant result;
        GetProperty(host.Application(), sehost::kApplicationActiveDocument, result, "reading the document");
        EXPECT_EQ(result->vt, VT_DISPATCH);
        EXPECT_EQ(result->pdispVal, nullptr);
    }
    host.Config().activeDocument = sehost::ActiveDocumentAnswer::WithoutDispatch;
    {
        Variant result;
        GetProperty(host.Application(), sehost::kApplicationActiveDocument, result, "reading the document");
        ASSERT_EQ(result->vt, VT_UNKNOWN);
        ComPtr<IDispatch> dispatch;
        EXPECT_EQ(result->punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.ReleaseAndGetAddressOf())),
                  E_NOINTERFACE);
    }

    // Everything handed out above has been released again.
    EXPECT_EQ(host.ApplicationRefCount(), 1u);
    EXPECT_EQ(host.DocumentRefCount(), 2u);
}

TEST(SimHostApplication, ReferenceCountIsTheTrueCount)
{
    SimHost host;
    ComPtr<IDispatch> held(host.Application());
    EXPECT_EQ(host.ApplicationRefCount(), 2u);
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(held.As(IID_IUnknown, unknown), S_OK);
    EXPECT_EQ(unknown.Get(), static_cast<IUnknown*>(host.Application()));  // one identity
    EXPECT_EQ(host.ApplicationRefCount(), 3u);
    unknown.Reset();
    held.Reset();
    EXPECT_EQ(host.ApplicationRefCount(), 1u);

    ComPtr<IConnectionPointContainer> none;
    EXPECT_EQ(ComPtr<IDispatch>(host.Application()).As(IID_IConnectionPointContainer, none), E_NOINTERFACE);
    EXPECT_EQ(host.ApplicationRefCount(), 1u);
}

TEST(SimHostDispatch, RefusesWrongCallsAsATypeLibraryWould)
{
    SimHost host;
    wintest::TempFolder folder;
    Bstr path(folder.File("t.stl").c_str());
    Bstr other("x");
    IDispatch* app = host.Application();
    IDispatch* doc = host.Document();
    struct Case {
        const char* what;
        IDispatch* object;
        DISPID dispid;
        WORD flags;
        std::vector<VARIANT> arguments;
        HRESULT expected;
    };
    const Case cases[] = {
        {"version called as a method", app, sehost::kApplicationVersion, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND},
        {"version put", app, sehost::kApplicationVersion, DISPATCH_PROPERTYPUT, {BstrArgument(other)}, DISP_E_MEMBERNOTFOUND},
        {"version with an argument", app, sehost::kApplicationVersion, DISPATCH_PROPERTYGET, {IntArgument(1)}, DISP_E_BADPARAMCOUNT},
        {"type with an argument", app, sehost::kApplicationActiveDocumentType, DISPATCH_PROPERTYGET, {IntArgument(1)}, DISP_E_BADPARAMCOUNT},
        {"unknown application member", app, 999, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        {"save as a property", doc, sehost::kDocumentSaveAs, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        {"save without the path", doc, sehost::kDocumentSaveAs, DISPATCH_METHOD, {}, DISP_E_BADPARAMCOUNT},
        {"save with two arguments", doc, sehost::kDocumentSaveAs, DISPATCH_METHOD, {BstrArgument(path), BstrArgument(other)}, DISP_E_BADPARAMCOUNT},
        {"save with a number", doc, sehost::kDocumentSaveAs, DISPATCH_METHOD, {IntArgument(5)}, DISP_E_TYPEMISMATCH},
        {"application members on the document", doc, sehost::kApplicationVersion, DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        // What automation clients pass for a property read by name: accepted.
        {"version as method-or-get", app, sehost::kApplicationVersion, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, S_OK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Variant result;
        UINT argumentError = 77;
        EXPECT_EQ(RawInvoke(c.object, c.dispid, c.flags, c.arguments, result, &argumentError), c.expected);
        if (c.expected == DISP_E_TYPEMISMATCH) {
            EXPECT_EQ(argumentError, 0u);
        }
        ASSERT_FALSE(host.Journal().Entries().empty());
        const sehost::JournalEntry& entry = host.Journal().Entries().back();
        EXPECT_EQ(entry.result, c.expected);
        EXPECT_EQ(entry.dispid, c.dispid);
        EXPECT_EQ(entry.flags, c.flags);
        EXPECT_EQ(entry.argumentCount, c.arguments.size());
    }
    EXPECT_EQ(host.Journal().Entries().size(), std::size(cases));
    EXPECT_EQ(host.Journal().Entries()[4].operation, "#999");

    Variant result;
    EXPECT_EQ(RawInvoke(app, sehost::kApplicationVersion, DISPATCH_PROPERTYGET, {}, result, nullptr, IID_IDispatch),
              DISP_E_UNKNOWNINTERFACE);
    EXPECT_FALSE(wintest::FileExists(folder.File("t.stl")));  // no refused save wrote anything
}

TEST(SimHostDocument, SaveWritesTheModelAsStl)
{
    struct Case {
        const char* model;
        sehost::StlFormat format;
    };
    for (const Case& c : {Case{"part", sehost::StlFormat::Binary}, Case{"assembly", sehost::StlFormat::Binary},
                          Case{"assembly", sehost::StlFormat::Ascii}, Case{"empty", sehost::StlFormat::Binary}}) {
        SCOPED_TRACE(std::string(c.model) + (c.format == sehost::StlFormat::Binary ? " binary" : " ASCII"));
        SimHost host;
        host.Config().model = c.model;
        host.Config().stlFormat = c.format;
        wintest::TempFolder folder;
        std::string path = folder.File("TLMTemp.stl");
        ASSERT_EQ(Save(host, path), S_OK) << host.Journal().Describe();

        const sehost::Model& model = *host.ActiveModel();
        std::string bytes = wintest::ReadFileBytes(path);
        EXPECT_EQ(bytes, sehost::StlBytes(model, c.format));
        if (c.format == sehost::StlFormat::Binary) {
            ASSERT_EQ(bytes.size(), 84 + 50 * model.FacetCount());
            std::uint32_t count = 0;
            std::memcpy(&count, bytes.data() + 80, 4);
            EXPECT_EQ(count, model.FacetCount());
            EXPECT_NE(bytes.compare(0, 5, "solid"), 0);  // readers that trust the header stay on the binary path
        } else {
            std::size_t at = 0;
            for (const sehost::Body& body : model.bodies) {
                std::size_t begin = bytes.find("solid " + body.name + "\n", at);
                std::size_t end = bytes.find("endsolid " + body.name + "\n", begin);
                ASSERT_NE(begin, std::string::npos);
                ASSERT_NE(end, std::string::npos);
                std::size_t facets = 0;
                for (std::size_t f = bytes.find("facet normal", begin); f < end; f = bytes.find("facet normal", f + 1))
                    ++facets;
                EXPECT_EQ(facets, body.facets.size());
                at = end + 1;
            }
        }
        EXPECT_EQ(host.Journal().Last("SaveAs")->arguments, std::vector<std::string>{path});
    }
}

TEST(SimHostDocument, SavedFileReadsBackThroughTheProjectReader)
{
    for (sehost::StlFormat format : {sehost::StlFormat::Binary, sehost::StlFormat::Ascii}) {
        SimHost host;
        host.Config().model = "assembly";
        host.Config().stlFormat = format;
        wintest::TempFolder folder;
        std::string path = folder.File("model.stl");
        ASSERT_EQ(Save(host, path), S_OK);

        ON_ClassArray<ON_Mesh> meshes;
        CString error;
        bool read = tlmio::ReadStlFile(path.c_str(), meshes, tlmio::StlReadOptions(), error);
        if (!read && error.Find("not implemented") >= 0)
            GTEST_SKIP() << "the STL reader is not there yet";
        ASSERT_TRUE(read) << error.GetString();
        const sehost::Model& model = *host.ActiveModel();
        if (format == sehost::StlFormat::Binary) {
            ASSERT_EQ(meshes.Count(), 1);  // binary STL has no bodies
            EXPECT_EQ(static_cast<std::size_t>(meshes[0].FaceCount()), model.FacetCount());
        } else {
            ASSERT_EQ(static_cast<std::size_t>(meshes.Count()), model.bodies.size());
            for (int i = 0; i < meshes.Count(); ++i)
                EXPECT_EQ(static_cast<std::size_t>(meshes[i].FaceCount()), model.bodies[i].facets.size());
        }
    }
}

TEST(SimHostDocument, SaveOutcomeFollowsTheConfiguration)
{
    struct Case {
        const char* what;
        HRESULT saveResult;
        sehost::SaveWrites writes;
        const char* model;
        HRESULT expected;
        bool fileWritten;
    };
    const Case cases[] = {
        {"success, written", S_OK, sehost::SaveWrites::Model, "part", S_OK, true},
        {"other success, nothing written", S_FALSE, sehost::SaveWrites::Nothing, "part", S_FALSE, false},
        {"other success, written anyway", S_FALSE, sehost::SaveWrites::Model, "part", S_FALSE, true},
        {"success, nothing written", S_OK, sehost::SaveWrites::Nothing, "part", S_OK, false},
        {"failure", E_ACCESSDENIED, sehost::SaveWrites::Model, "part", E_ACCESSDENIED, false},
        {"configured bytes", S_OK, sehost::SaveWrites::Bytes, "part", S_OK, true},
        {"no such model", S_OK, sehost::SaveWrites::Model, "gearbox", E_UNEXPECTED, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimHost host;
        host.Config().saveResult = c.saveResult;
        host.Config().saveWrites = c.writes;
        host.Config().saveBytes = "solid truncated\n  facet normal 0 0 1\n";
        host.Config().model = c.model;
        wintest::TempFolder folder;
        std::string path = folder.File("out.stl");
        EXPECT_EQ(Save(host, path), c.expected);
        EXPECT_EQ(wintest::FileExists(path), c.fileWritten);
        if (c.writes == sehost::SaveWrites::Bytes) {
            EXPECT_EQ(wintest::ReadFileBytes(path), host.Config().saveBytes);
        }
        EXPECT_EQ(host.Journal().Last("SaveAs")->result, c.expected);
    }

    // A path the host cannot write to: the system's error comes back.
    SimHost host;
    wintest::TempFolder folder;
    HRESULT hr = Save(host, folder.File("no such folder\\out.stl"));
    EXPECT_EQ(hr, HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)) << DescribeHResult(hr).GetString();
}

TEST(SimHostFailures, ConfiguredFailuresAreReturnedAndJournaled)
{
    struct Case {
        const char* key;
        bool onDocument;
        DISPID dispid;
        WORD flags;
    };
    const Case cases[] = {
        {"Version", false, sehost::kApplicationVersion, DISPATCH_PROPERTYGET},
        {"Application.ActiveDocumentType", false, sehost::kApplicationActiveDocumentType, DISPATCH_PROPERTYGET},
        {"Application#2", false, sehost::kApplicationActiveDocument, DISPATCH_PROPERTYGET},
        {"Document#36", true, sehost::kDocumentSaveAs, DISPATCH_METHOD},
        {"Application#4242", false, 4242, DISPATCH_PROPERTYGET},  // even an identifier the host does not know
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        SimHost host;
        host.Config().failures[c.key] = RPC_E_SERVERFAULT;
        wintest::TempFolder folder;
        Bstr path(folder.File("f.stl").c_str());
        std::vector<VARIANT> arguments;
        if (c.onDocument)
            arguments.push_back(BstrArgument(path));
        Variant result;
        EXPECT_EQ(RawInvoke(c.onDocument ? host.Document() : host.Application(), c.dispid, c.flags, arguments, result),
                  RPC_E_SERVERFAULT);
        EXPECT_EQ(host.Journal().Entries().back().result, RPC_E_SERVERFAULT);
        EXPECT_FALSE(wintest::FileExists(folder.File("f.stl")));
        // The other members still answer.
        if (c.dispid != sehost::kApplicationVersion) {
            EXPECT_EQ(ReadVersion(host), "20.00");
        }
    }

    // The helpers the add-in uses turn the failure into a ComError carrying it.
    SimHost host;
    host.Config().failures["Version"] = E_FAIL;
    try {
        Variant result;
        GetProperty(host.Application(), sehost::kApplicationVersion, result, "reading the version");
        ADD_FAILURE() << "no ComError";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Result(), E_FAIL);
    }
}

TEST(SimHostJournal, RecordsEveryCallWithItsArgumentsInOrder)
{
    SimHost host;
    wintest::TempFolder folder;
    std::string path = folder.File("TLMTemp.stl");
    ReadVersion(host);
    Variant type, document;
    GetProperty(host.Application(), sehost::kApplicationActiveDocumentType, type, "type");
    GetProperty(host.Application(), sehost::kApplicationActiveDocument, document, "document");
    document.Clear();
    ASSERT_EQ(Save(host, path), S_OK);
    Variant refused;
    RawInvoke(host.Document(), sehost::kDocumentSaveAs, DISPATCH_METHOD, {IntArgument(3), IntArgument(4)}, refused);

    const sehost::CallJournal& journal = host.Journal();
    EXPECT_EQ(journal.Operations(),
              (std::vector<std::string>{"Version", "ActiveDocumentType", "ActiveDocument", "SaveAs", "SaveAs"}))
        << journal.Describe();
    EXPECT_EQ(journal.CountCalls("SaveAs"), 2u);
    EXPECT_EQ(journal.CountCalls("Close"), 0u);

    const sehost::JournalEntry& save = journal.Entries()[3];
    EXPECT_EQ(save.object, "Document");
    EXPECT_EQ(save.dispid, 36);
    EXPECT_EQ(save.flags, DISPATCH_METHOD);
    EXPECT_EQ(save.argumentCount, 1u);
    EXPECT_EQ(save.argumentTypes, std::vector<VARTYPE>{VT_BSTR});
    EXPECT_EQ(save.arguments, std::vector<std::string>{path});
    EXPECT_EQ(save.result, S_OK);
    EXPECT_NE(save.note.find(std::to_string(host.ActiveModel()->FacetCount()) + " facets"), std::string::npos)
        << save.note;

    // Arguments come back in call order, not in DISPPARAMS order.
    EXPECT_EQ(journal.Entries()[4].arguments, (std::vector<std::string>{"3", "4"}));
    EXPECT_EQ(journal.Entries()[4].result, DISP_E_BADPARAMCOUNT);

    host.Journal().Clear();
    EXPECT_TRUE(journal.Entries().empty());
}
