// Mesh extraction and the Export command against the simulated host, with the real dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "com/ComError.h"
#include "export/ExportCommand.h"
#include "export/MeshExtraction.h"
#include "product/ProductIdentity.h"
#include "tests/win/scripted_user.h"
#include "tests/win/temp_folder.h"
#include "tools/sehost/sim_host.h"

namespace {

using wintest::Interaction;

ComPtr<IDispatch> Ref(IDispatch* object)
{
    return ComPtr<IDispatch>(object);
}

constexpr char kDraftText[] = "A draft document does not contain mesh data";
constexpr char kOtherKindText[] = "This kind of document does not contain mesh data";
constexpr char kSaveNotDoneText[] = "Unable to extract mesh data from document";
constexpr char kNoMeshText[] = "Unable to extract mesh data from model";
constexpr char kTitle[] = "Pelorin for Solid Edge 20 version 1.0";

const std::vector<std::string> kExportCalls = {"Version", "ActiveDocumentType", "ActiveDocument", "SaveAs"};

// Points "temp" at a fresh folder for the test, so the temporary STL file can be watched.
class ExtractionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("temp");
        m_previousTemp = previous ? previous : "";
        _putenv_s("temp", m_temp.Path().c_str());
    }
    void TearDown() override { _putenv_s("temp", m_previousTemp.c_str()); }

    std::string TempStl() const { return m_temp.File("TLMTemp.stl"); }

    wintest::TempFolder m_temp;
    wintest::TempFolder m_out;
    sehost::SimHost m_host;

private:
    std::string m_previousTemp;
};

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool Is3dmFile(const std::string& path)
{
    return wintest::ReadFileBytes(path).rfind("3D Geometry File Format ", 0) == 0;
}

}  // namespace

TEST_F(ExtractionTest, DocumentTypesDecideWhetherTheHostSaves)
{
    struct Case {
        int type;
        const char* refusal;  // null: exported
    } cases[] = {
        {1, nullptr}, {8, nullptr}, {3, nullptr}, {10, nullptr}, {4, nullptr}, {9, nullptr}, {6, nullptr},
        {2, kDraftText}, {0, kOtherKindText}, {5, kOtherKindText}, {7, kOtherKindText}, {11, kOtherKindText},
        {-1, kOtherKindText}, {100, kOtherKindText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        m_host.Journal().Clear();
        m_host.Config().activeDocumentType = c.type;
        ON_ClassArray<ON_Mesh> meshes;
        int result = ExtractMeshes(Ref(m_host.Application()), meshes);
        if (c.refusal) {
            EXPECT_EQ(result, 0);
            EXPECT_EQ(std::string(GetExtractionError()), c.refusal);
            EXPECT_EQ(m_host.Journal().Operations(), (std::vector<std::string>{"ActiveDocumentType"}));
            EXPECT_EQ(meshes.Count(), 0);
        } else {
            EXPECT_EQ(result, 1) << GetExtractionError().GetString();
            EXPECT_EQ(m_host.Journal().Operations(),
                      (std::vector<std::string>{"ActiveDocumentType", "ActiveDocument", "SaveAs"}));
            EXPECT_EQ(meshes.Count(), 1);
        }
        EXPECT_FALSE(wintest::FileExists(TempStl()));
        EXPECT_EQ(m_host.ApplicationRefCount(), 1u);
        EXPECT_EQ(m_host.DocumentRefCount(), 2u);
    }
}

TEST_F(ExtractionTest, SavesOnceWithOnlyThePathAndReadsEveryBody)
{
    m_host.Config().model = "assembly";
    m_host.Config().stlFormat = sehost::StlFormat::Ascii;
    ON_ClassArray<ON_Mesh> meshes;
    ASSERT_EQ(ExtractMeshes(Ref(m_host.Application()), meshes), 1) << GetExtractionError().GetString();
    EXPECT_EQ(meshes.Count(), 2);

    const sehost::JournalEntry* save = m_host.Journal().Last("SaveAs");
    ASSERT_NE(save, nullptr);
    EXPECT_EQ(save->flags, DISPATCH_METHOD);
    EXPECT_EQ(save->argumentCount, 1u);
    EXPECT_EQ(save->argumentTypes, (std::vector<VARTYPE>{VT_BSTR}));
    EXPECT_EQ(save->arguments, (std::vector<std::string>{TempStl()}));
}

TEST_F(ExtractionTest, AStaleTemporaryFileIsDeletedBeforeTheHostIsAsked)
{
    ASSERT_TRUE(wintest::WriteFileText(TempStl(), "solid stale\nendsolid stale\n"));
    m_host.Config().activeDocumentType = 2;
    ON_ClassArray<ON_Mesh> meshes;
    EXPECT_EQ(ExtractMeshes(Ref(m_host.Application()), meshes), 0);
    EXPECT_FALSE(wintest::FileExists(TempStl()));

    // The save reports success without writing: the old file must not be read in its place.
    ASSERT_TRUE(wintest::WriteFileText(TempStl(), "solid stale\nendsolid stale\n"));
    m_host.Config().activeDocumentType = 1;
    m_host.Config().saveWrites = sehost::SaveWrites::Nothing;
    EXPECT_EQ(ExtractMeshes(Ref(m_host.Application()), meshes), 0);
    EXPECT_NE(GetExtractionError().Find("TLMTemp.stl"), -1) << GetExtractionError().GetString();
}

TEST_F(ExtractionTest, FailuresGiveTheirTextAndLeaveTheFileAsTheTableSays)
{
    struct Case {
        const char* what;
        HRESULT saveResult;
        sehost::SaveWrites writes;
        std::string bytes;
        std::string model;
        const char* text;       // null: the reader's own text, which names the file
        bool fileLeft;
    } cases[] = {
        {"save answers S_FALSE", S_FALSE, sehost::SaveWrites::Nothing, "", "part", kSaveNotDoneText, false},
        {"save answers S_FALSE after writing", S_FALSE, sehost::SaveWrites::Model, "", "part", kSaveNotDoneText, true},
        {"malformed STL", S_OK, sehost::SaveWrites::Bytes, "solid x\nfacet normal 0 0 1\nouter loop\n", "part", nullptr, true},
        {"model without facets", S_OK, sehost::SaveWrites::Model, "", "empty", kNoMeshText, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(TempStl().c_str());
        m_host.Config().saveResult = c.saveResult;
        m_host.Config().saveWrites = c.writes;
        m_host.Config().saveBytes = c.bytes;
        m_host.Config().model = c.model;
        ON_ClassArray<ON_Mesh> meshes;
        EXPECT_EQ(ExtractMeshes(Ref(m_host.Application()), meshes), 0);
        if (c.text)
            EXPECT_EQ(std::string(GetExtractionError()), c.text);
        else
            EXPECT_NE(GetExtractionError().Find("TLMTemp.stl"), -1) << GetExtractionError().GetString();
        EXPECT_EQ(wintest::FileExists(TempStl()), c.fileLeft);
        EXPECT_EQ(m_host.ApplicationRefCount(), 1u);
    }
}

TEST_F(ExtractionTest, HostFailuresRaiseComErrorsWithTheHostsResult)
{
    struct Case {
        const char* what;
        const char* failingCall;
        HRESULT failure;
        sehost::ActiveDocumentAnswer document;
        HRESULT expected;
    } cases[] = {
        {"type property fails", "ActiveDocumentType", E_FAIL, sehost::ActiveDocumentAnswer::Document, E_FAIL},
        {"active document fails", "ActiveDocument", E_ACCESSDENIED, sehost::ActiveDocumentAnswer::Document, E_ACCESSDENIED},
        {"save fails", "SaveAs", STG_E_MEDIUMFULL, sehost::ActiveDocumentAnswer::Document, STG_E_MEDIUMFULL},
        {"no active document", nullptr, S_OK, sehost::ActiveDocumentAnswer::Null, E_POINTER},
        {"document without IDispatch", nullptr, S_OK, sehost::ActiveDocumentAnswer::WithoutDispatch, E_POINTER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sehost::SimHost host;
        if (c.failingCall)
            host.Config().failures[c.failingCall] = c.failure;
        host.Config().activeDocument = c.document;
        SetExtractionError("unchanged");
        ON_ClassArray<ON_Mesh> meshes;
        try {
            ExtractMeshes(Ref(host.Application()), meshes);
            ADD_FAILURE() << "no COM error raised";
        } catch (const ComError& error) {
            EXPECT_EQ(error.Result(), c.expected);
        }
        EXPECT_EQ(std::string(GetExtractionError()), "unchanged");
        EXPECT_EQ(host.ApplicationRefCount(), 1u);
        EXPECT_EQ(host.DocumentRefCount(), 2u);
    }

    ON_ClassArray<ON_Mesh> meshes;
    ASSERT_TRUE(wintest::WriteFileText(TempStl(), "stale"));
    EXPECT_THROW(ExtractMeshes(ComPtr<IDispatch>(), meshes), ComError);
    EXPECT_FALSE(wintest::FileExists(TempStl()));
}

TEST(TempStlPath, FallsBackToTheSystemTemporaryFolderWithoutTemp)
{
    const char* previous = std::getenv("temp");
    std::string saved = previous ? previous : "";
    SetEnvironmentVariableA("temp", nullptr);
    _putenv("temp=");
    char systemTemp[MAX_PATH + 1] = "";
    GetTempPathA(sizeof(systemTemp), systemTemp);
    std::string expected = std::string(systemTemp) + "TLMTemp.stl";
    EXPECT_EQ(std::string(TempStlPath()), expected);
    _putenv_s("temp", saved.c_str());
    EXPECT_EQ(std::string(TempStlPath()), saved + "\\TLMTemp.stl");
}

TEST_F(ExtractionTest, ExportWritesTheChosenFileAndShowsNothing)
{
    wintest::ScriptedUser user;
    user.Expect(Interaction::SaveAs(m_out.File("model")));
    OnExportCommand(Ref(m_host.Application()));
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    ASSERT_EQ(user.Seen().size(), 1u);
    EXPECT_EQ(user.Seen()[0].kind, wintest::DialogKind::SaveDialog);
    EXPECT_NE(user.Seen()[0].fileType.find("Rhino/OpenNURBS Files (*.3dm)"), std::string::npos);
    EXPECT_TRUE(Is3dmFile(m_out.File("model.3dm")));  // the dialog appended the extension
    EXPECT_FALSE(wintest::FileExists(TempStl()));
    EXPECT_EQ(m_host.Journal().Operations(), kExportCalls);
    EXPECT_STREQ(ProductTitle, kTitle);
    EXPECT_EQ(m_host.ApplicationRefCount(), 1u);
}

TEST_F(ExtractionTest, CancellingTheDialogWritesNothingAndSaysNothing)
{
    wintest::ScriptedUser user;
    user.Expect(Interaction::Cancel());
    EXPECT_EQ(ExportActiveDocument(Ref(m_host.Application())), 0);
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    EXPECT_EQ(user.Seen().size(), 1u);
    EXPECT_TRUE(FilesIn(m_out.Path()).empty());
    EXPECT_FALSE(wintest::FileExists(TempStl()));
}

TEST_F(ExtractionTest, AnExistingFileIsReplacedAfterTheOverwritePrompt)
{
    std::string target = m_out.File("existing.3dm");
    ASSERT_TRUE(wintest::WriteFileText(target, "old content"));
    wintest::ScriptedUser user;
    user.Expect(Interaction::SaveAs(target)).Expect(Interaction::Message(IDYES));
    EXPECT_EQ(ExportActiveDocument(Ref(m_host.Application())), 1);
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    EXPECT_TRUE(Is3dmFile(target));
}

TEST_F(ExtractionTest, AWriterFailureShowsItsTextOnce)
{
    // A file held open without sharing cannot be replaced.
    std::string target = m_out.File("locked.3dm");
    ASSERT_TRUE(wintest::WriteFileText(target, "old content"));
    HANDLE locked = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    BuildProductIdentity(Ref(m_host.Application()));

    wintest::ScriptedUser user;
    user.Expect(Interaction::SaveAs(target)).Expect(Interaction::Message(IDYES)).Expect(Interaction::Message(IDOK));
    EXPECT_EQ(ExportActiveDocument(Ref(m_host.Application())), 0);
    CloseHandle(locked);
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    ASSERT_EQ(user.Seen().size(), 3u);
    const wintest::SeenDialog& message = user.Seen()[2];
    EXPECT_EQ(message.caption, kTitle);
    EXPECT_NE(message.text.find("locked.3dm"), std::string::npos) << message.text;
    EXPECT_EQ(message.icon, UINT(MB_ICONEXCLAMATION));
    EXPECT_EQ(wintest::ReadFileBytes(target), "old content");
}

TEST_F(ExtractionTest, EachExtractionFailureIsOneMessageWithoutADialog)
{
    struct Case {
        const char* what;
        int type;
        HRESULT saveResult;
        std::string model;
        const char* text;
    } cases[] = {
        {"draft", 2, S_OK, "part", kDraftText},
        {"other kind", 5, S_OK, "part", kOtherKindText},
        {"save not done", 1, S_FALSE, "part", kSaveNotDoneText},
        {"no mesh", 1, S_OK, "empty", kNoMeshText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_host.Config().activeDocumentType = c.type;
        m_host.Config().saveResult = c.saveResult;
        m_host.Config().model = c.model;
        wintest::ScriptedUser user;
        user.Expect(Interaction::Message(IDOK));
        OnExportCommand(Ref(m_host.Application()));
        ASSERT_TRUE(user.Satisfied()) << user.Report();
        ASSERT_EQ(user.Seen().size(), 1u);
        EXPECT_EQ(user.Seen()[0].text, c.text);
        EXPECT_EQ(user.Seen()[0].caption, kTitle);
        EXPECT_EQ(user.Seen()[0].icon, UINT(MB_ICONEXCLAMATION));
        EXPECT_EQ(user.Seen()[0].buttons, (std::vector<int>{IDOK}));
        EXPECT_EQ(m_host.ApplicationRefCount(), 1u);
    }
}

TEST_F(ExtractionTest, AFailingHostCallIsContainedInTheCommand)
{
    m_host.Config().failures["SaveAs"] = E_OUTOFMEMORY;
    wintest::ScriptedUser user;
    user.Expect(Interaction::Message(IDOK));
    OnExportCommand(Ref(m_host.Application()));
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    EXPECT_EQ(user.Seen()[0].caption, kTitle);
    EXPECT_NE(user.Seen()[0].text.find("saving the document as STL"), std::string::npos) << user.Seen()[0].text;
    EXPECT_NE(user.Seen()[0].text.find("0x8007000E"), std::string::npos) << user.Seen()[0].text;
    EXPECT_EQ(m_host.ApplicationRefCount(), 1u);
    EXPECT_EQ(m_host.DocumentRefCount(), 2u);
}

TEST_F(ExtractionTest, MessagesAreOwnedByTheActiveWindow)
{
    HWND frame = CreateWindowExA(0, "STATIC", "host frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(frame, nullptr);
    SetActiveWindow(frame);
    m_host.Config().activeDocumentType = 2;
    wintest::ScriptedUser user;
    user.Expect(Interaction::Message(IDOK));
    OnExportCommand(Ref(m_host.Application()));
    DestroyWindow(frame);
    ASSERT_TRUE(user.Satisfied()) << user.Report();
    EXPECT_EQ(user.Seen()[0].owner, frame);
}
