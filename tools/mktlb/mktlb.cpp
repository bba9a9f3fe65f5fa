// mktlb: writes the add-in's type library. Its coclasses name interfaces of the host's framework
// library and of stdole2 by reference; widl would copy those interfaces into the new library
// instead, so the library is built through ICreateTypeLib2.
//
// usage: mktlb OUT.tlb 32|64 FRAMEWORK.tlb
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cwchar>

namespace {

struct CoclassEntry {
    const wchar_t* name;
    GUID clsid;
    GUID defaultInterface;  // looked up in the framework library, or IUnknown from stdole2
};

constexpr GUID kLibraryId = {0xD8FBFAF3, 0x6891, 0x4C76, {0xAB, 0x75, 0x01, 0x11, 0x79, 0x3B, 0xF4, 0x6C}};
constexpr GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

const CoclassEntry kCoclasses[] = {
    {L"CPELORINAddInEvents", {0x8FF79A3B, 0x2526, 0x43D3, {0x80, 0x32, 0xC7, 0x94, 0x23, 0xCC, 0xE3, 0x63}},
     {0x0F539244, 0x4816, 0x11D2, {0xB5, 0xAC, 0x08, 0x00, 0x36, 0xE8, 0xB8, 0x02}}},
    {L"Commands", {0x0B69BBBA, 0x50E5, 0x471C, {0x88, 0x40, 0x82, 0xBF, 0x88, 0x59, 0xA8, 0x00}}, kIidUnknown},
    {L"CPELORINCommand", {0x703BA9CD, 0x69B1, 0x422E, {0xA2, 0x32, 0xA6, 0x71, 0x7C, 0xB8, 0x60, 0x10}}, kIidUnknown},
    {L"CommandEvents", {0x749E1E09, 0x5CCF, 0x4EF0, {0xAB, 0x71, 0x83, 0xEF, 0x0B, 0x1A, 0x5D, 0xA3}},
     {0x19466B47, 0x2A10, 0x11D1, {0xBA, 0x2E, 0x08, 0x00, 0x36, 0x23, 0x06, 0x02}}},
    {L"MouseEvents", {0x784DBDCF, 0xAB5A, 0x4ABA, {0xA0, 0xA7, 0xE4, 0x77, 0x51, 0x55, 0x5E, 0xA9}},
     {0x19466B48, 0x2A10, 0x11D1, {0xBA, 0x2E, 0x08, 0x00, 0x36, 0x23, 0x06, 0x02}}},
    {L"CommandWindowEvents", {0xA7B636B5, 0x790E, 0x4D7D, {0xA9, 0xD2, 0x3C, 0xD9, 0xE3, 0x0B, 0xA1, 0xB8}},
     {0x8460FFD7, 0x2A24, 0x11D1, {0xBA, 0x2E, 0x08, 0x00, 0x36, 0x23, 0x06, 0x02}}},
};

int Fail(const char* what, HRESULT hr)
{
    std::fprintf(stderr, "mktlb: %s failed with 0x%08lX\n", what, static_cast<unsigned long>(hr));
    return 1;
}

#define CHECK(call)                       \
    do {                                  \
        HRESULT hr_ = (call);             \
        if (FAILED(hr_))                  \
            return Fail(#call, hr_);      \
    } while (0)

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4 || (std::wcscmp(argv[2], L"32") != 0 && std::wcscmp(argv[2], L"64") != 0)) {
        std::fprintf(stderr, "usage: mktlb OUT.tlb 32|64 FRAMEWORK.tlb\n");
        return 2;
    }
    SYSKIND kind = std::wcscmp(argv[2], L"32") == 0 ? SYS_WIN32 : SYS_WIN64;
    CHECK(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));

    ITypeLib* framework = nullptr;
    ITypeLib* stdole = nullptr;
    CHECK(LoadTypeLibEx(argv[3], REGKIND_NONE, &framework));
    CHECK(LoadTypeLibEx(L"stdole2.tlb", REGKIND_NONE, &stdole));

    ICreateTypeLib2* library = nullptr;
    CHECK(CreateTypeLib2(kind, argv[1], &library));
    CHECK(library->SetGuid(kLibraryId));
    CHECK(library->SetName(const_cast<LPOLESTR>(L"CPelorinLib")));
    CHECK(library->SetVersion(1, 0));
    CHECK(library->SetLcid(0x0409));
    CHECK(library->SetLibFlags(0));
    CHECK(library->SetDocString(const_cast<LPOLESTR>(L"CPelorin 1.0 Type Library")));

    for (const CoclassEntry& entry : kCoclasses) {
        ITypeInfo* implemented = nullptr;
        ITypeLib* source = entry.defaultInterface == kIidUnknown ? stdole : framework;
        CHECK(source->GetTypeInfoOfGuid(entry.defaultInterface, &implemented));

        ICreateTypeInfo* coclass = nullptr;
        CHECK(library->CreateTypeInfo(const_cast<LPOLESTR>(entry.name), TKIND_COCLASS, &coclass));
        CHECK(coclass->SetGuid(entry.clsid));
        CHECK(coclass->SetTypeFlags(TYPEFLAG_FHIDDEN | TYPEFLAG_FCANCREATE));
        HREFTYPE reference = 0;
        CHECK(coclass->AddRefTypeInfo(implemented, &reference));
        CHECK(coclass->AddImplType(0, reference));
        CHECK(coclass->SetImplTypeFlags(0, IMPLTYPEFLAG_FDEFAULT));
        CHECK(coclass->LayOut());
        coclass->Release();
        implemented->Release();
    }
    CHECK(library->SaveAllChanges());
    library->Release();
    stdole->Release();
    framework->Release();
    CoUninitialize();
    return 0;
}
