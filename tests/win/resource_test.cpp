// What Pelorin.dll carries as resources: its strings, version, command bitmaps and type library.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string BinFolder()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path);
    return text.substr(0, text.find_last_of('\\') + 1);
}

class PelorinResources : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_module = LoadLibraryExA((BinFolder() + "Pelorin.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite() { FreeLibrary(s_module); }

    void SetUp() override { ASSERT_NE(s_module, nullptr) << "Pelorin.dll did not load"; }

    static std::string String(UINT id)
    {
        HRSRC block = FindResourceExA(s_module, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1),
                                      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        if (!block)
            return "(no block in 1033)";
        char text[1024] = "";
        int length = LoadStringA(s_module, id, text, sizeof(text));
        return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
    }

    static HMODULE s_module;
};
HMODULE PelorinResources::s_module = nullptr;

struct BitmapFacts {
    LONG width, height;
    WORD bits;
    DWORD compression;
    std::vector<RGBQUAD> palette;
    std::vector<unsigned char> pixels;  // one palette index per pixel, top row first
};

BitmapFacts ReadBitmap(HMODULE module, int id)
{
    BitmapFacts facts{};
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!found)
        return facts;
    const auto* info = static_cast<const BITMAPINFO*>(LockResource(LoadResource(module, found)));
    const BITMAPINFOHEADER& header = info->bmiHeader;
    facts.width = header.biWidth;
    facts.height = header.biHeight;
    facts.bits = header.biBitCount;
    facts.compression = header.biCompression;
    facts.palette.assign(info->bmiColors, info->bmiColors + 16);

    // The pixels as the system decodes them, uncompressed, 8 bits per pixel.
    HDC screen = GetDC(nullptr);
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } request{};
    request.header.biSize = sizeof(BITMAPINFOHEADER);
    request.header.biWidth = facts.width;
    request.header.biHeight = -facts.height;
    request.header.biPlanes = 1;
    request.header.biBitCount = 8;
    request.header.biCompression = BI_RGB;
    HBITMAP bitmap = CreateDIBitmap(screen, &header, CBM_INIT,
                                    reinterpret_cast<const BYTE*>(info) + header.biSize + 16 * sizeof(RGBQUAD), info,
                                    DIB_RGB_COLORS);
    LONG stride = (facts.width + 3) & ~3;
    std::vector<unsigned char> rows(static_cast<std::size_t>(stride * facts.height));
    GetDIBits(screen, bitmap, 0, static_cast<UINT>(facts.height), rows.data(), reinterpret_cast<BITMAPINFO*>(&request),
              DIB_RGB_COLORS);
    for (LONG y = 0; y < facts.height; ++y)
        facts.pixels.insert(facts.pixels.end(), rows.begin() + y * stride, rows.begin() + y * stride + facts.width);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return facts;
}

std::string VersionString(const std::vector<char>& block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return "(missing)";
    return length > 0 ? std::string(value) : std::string();
}

}  // namespace

TEST_F(PelorinResources, StringTableInUsEnglish)
{
    EXPECT_EQ(String(101), "Pelorin for Solid Edge");
    EXPECT_EQ(String(104), "Pelorin for Solid Edge");
    EXPECT_EQ(String(107).rfind("Rhinoceros/OpenNURBS 3DM file export add-in for Solid Edge", 0), 0u) << String(107);
    EXPECT_NE(String(107).find("TALMIR"), std::string::npos);
    EXPECT_EQ(String(108), "CPelorin.hlp");
}

TEST_F(PelorinResources, VersionResource)
{
    std::string path = BinFolder() + "Pelorin.dll";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00040000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00040000u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);

    struct Entry { const char* name; std::string text; } entries[] = {
        {"Comments", String(107)}, {"CompanyName", "TALMIR"}, {"FileDescription", "Pelorin Module"},
        {"FileVersion", "1, 0, 4, 0"}, {"InternalName", "Pelorin"}, {"OLESelfRegister", ""},
        {"OriginalFilename", "Pelorin.DLL"}, {"PrivateBuild", ""}, {"ProductName", "Pelorin Module"},
        {"ProductVersion", "1, 0, 4, 0"}, {"SpecialBuild", ""},
    };
    for (const Entry& entry : entries)
        EXPECT_EQ(VersionString(block, entry.name), entry.text) << entry.name;
    EXPECT_NE(VersionString(block, "LegalCopyright"), "(missing)");
    EXPECT_NE(VersionString(block, "LegalTrademarks"), "(missing)");

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
}

TEST_F(PelorinResources, CommandBitmaps)
{
    struct Case { int id; LONG width, height; DWORD compression; } cases[] = {
        {128, 48, 15, BI_RGB}, {131, 48, 15, BI_RGB}, {129, 72, 23, BI_RLE4}, {130, 72, 23, BI_RGB},
    };
    const RGBQUAD lightGrey = {192, 192, 192, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        BitmapFacts facts = ReadBitmap(s_module, c.id);
        EXPECT_EQ(facts.width, c.width);
        EXPECT_EQ(facts.height, c.height);  // positive: stored bottom-up
        EXPECT_EQ(facts.bits, 4);
        EXPECT_EQ(facts.compression, c.compression);
        ASSERT_EQ(facts.palette.size(), 16u);
        EXPECT_EQ(std::memcmp(&facts.palette[7], &lightGrey, sizeof(RGBQUAD)), 0);
        EXPECT_EQ(facts.palette[15].rgbRed, 255);
        ASSERT_FALSE(facts.pixels.empty());
        // Each cell's corner is background.
        for (LONG cell = 0; cell < 3; ++cell)
            EXPECT_EQ(facts.pixels[static_cast<std::size_t>(cell * c.width / 3)], 7) << "cell " << cell;
    }
    EXPECT_EQ(ReadBitmap(s_module, 128).pixels, ReadBitmap(s_module, 131).pixels);
    EXPECT_EQ(ReadBitmap(s_module, 129).pixels, ReadBitmap(s_module, 130).pixels);
}

TEST(PelorinTypeLibrary, SixHiddenCreatableCoclassesWithImportedDefaults)
{
    std::wstring path;
    {
        std::string narrow = BinFolder() + "Pelorin.dll";
        path.assign(narrow.begin(), narrow.end());
    }
    ITypeLib* library = nullptr;
    ASSERT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    const GUID libraryId = {0xD8FBFAF3, 0x6891, 0x4C76, {0xAB, 0x75, 0x01, 0x11, 0x79, 0x3B, 0xF4, 0x6C}};
    EXPECT_TRUE(IsEqualGUID(attributes->guid, libraryId));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0x0409u);
    EXPECT_EQ(attributes->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, 0);  // the reader adds that one on load
    library->ReleaseTLibAttr(attributes);

    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"CPelorinLib");
    EXPECT_STREQ(doc, L"CPelorin 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(doc);

    struct Expected { const wchar_t* name; const wchar_t* defaultInterface; } expected[] = {
        {L"CPELORINAddInEvents", L"ISEAddInEvents"}, {L"Commands", L"IUnknown"}, {L"CPELORINCommand", L"IUnknown"},
        {L"CommandEvents", L"ISECommandEvents"}, {L"MouseEvents", L"ISEMouseEvents"},
        {L"CommandWindowEvents", L"ISECommandWindowEvents"},
    };
    ASSERT_EQ(library->GetTypeInfoCount(), 6u);
    for (UINT i = 0; i < 6; ++i) {
        ITypeInfo* info = nullptr;
        ASSERT_EQ(library->GetTypeInfo(i, &info), S_OK);
        TYPEATTR* type = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
        BSTR coclassName = nullptr;
        info->GetDocumentation(MEMBERID_NIL, &coclassName, nullptr, nullptr, nullptr);
        EXPECT_STREQ(coclassName, expected[i].name);
        EXPECT_EQ(type->typekind, TKIND_COCLASS);
        EXPECT_EQ(type->wTypeFlags, 0x12);
        EXPECT_EQ(type->cImplTypes, 1);
        EXPECT_EQ(type->cFuncs, 0);

        INT flags = 0;
        EXPECT_EQ(info->GetImplTypeFlags(0, &flags), S_OK);
        EXPECT_EQ(flags, IMPLTYPEFLAG_FDEFAULT);
        HREFTYPE reference = 0;
        ITypeInfo* implemented = nullptr;
        ASSERT_EQ(info->GetRefTypeOfImplType(0, &reference), S_OK);
        ASSERT_EQ(info->GetRefTypeInfo(reference, &implemented), S_OK) << "the imported library did not resolve";
        BSTR interfaceName = nullptr;
        implemented->GetDocumentation(MEMBERID_NIL, &interfaceName, nullptr, nullptr, nullptr);
        EXPECT_STREQ(interfaceName, expected[i].defaultInterface);
        ITypeLib* home = nullptr;
        UINT index = 0;
        ASSERT_EQ(implemented->GetContainingTypeLib(&home, &index), S_OK);
        EXPECT_NE(home, library) << "the interface was copied into the add-in's library";
        home->Release();
        SysFreeString(interfaceName);
        implemented->Release();
        SysFreeString(coclassName);
        info->ReleaseTypeAttr(type);
        info->Release();
    }
    library->Release();
}
