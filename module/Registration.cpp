#include "module/Registration.h"

#include <comcat.h>
#include <oleauto.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "afx/CString.h"
#include "afx/ModulePath.h"
#include "afx/ModuleState.h"
#include "com/ComPtr.h"
#include "com/GuidText.h"
#include "com/RegKey.h"
#include "module/ClassTable.h"
#include "module/Registrar.h"
#include "product/HelpCommand.h"
#include "res/resource.h"

namespace {

constexpr UINT kRegistryScriptId = IDR_REGISTRY;
constexpr DWORD kAutoConnect = 1;
constexpr char kFallbackDisplayName[] = "Nameless";
constexpr char kFallbackSummary[] = "Wizard generated Solid Edge AddIn";

// The host's "Solid Edge Add-in" component category.
constexpr CATID kCatidSolidEdgeAddIn = {0x26B1D2D1, 0x2B03, 0x11D2, {0xB5, 0x89, 0x08, 0x00, 0x36, 0xE8, 0xB8, 0x02}};

// The host environments the add-in takes part in.
constexpr CATID kEnvironmentCategories[] = {
    {0x26618395, 0x09D6, 0x11D1, {0xBA, 0x07, 0x08, 0x00, 0x36, 0x23, 0x06, 0x02}},
    {0x26618396, 0x09D6, 0x11D1, {0xBA, 0x07, 0x08, 0x00, 0x36, 0x23, 0x06, 0x02}},
    {0x26618397, 0x09D6, 0x11D1, {0xBA, 0x07, 0x08, 0x00, 0x36, 0x23, 0x06, 0x02}},
    {0x26618398, 0x09D6, 0x11D1, {0xBA, 0x07, 0x08, 0x00, 0x36, 0x23, 0x06, 0x02}},
    {0x08244193, 0xB78D, 0x11D2, {0x92, 0x16, 0x00, 0xC0, 0x4F, 0x79, 0xBE, 0x98}},
    {0x7313526A, 0x276F, 0x11D4, {0xB6, 0x4E, 0x00, 0xC0, 0x4F, 0x79, 0xB2, 0xBF}},
    {0x1661432A, 0x489C, 0x4714, {0xB1, 0xB2, 0x61, 0xE8, 0x5C, 0xFD, 0x0B, 0x71}},
    {0xD9B0BB85, 0x3A6C, 0x4086, {0xA0, 0xBB, 0x88, 0xA1, 0xAA, 0xD5, 0x7A, 0x58}},
    {0x2C3C2A72, 0x3A4A, 0x471D, {0x98, 0xB5, 0xE3, 0xA8, 0xCF, 0xA4, 0xA2, 0xBF}},
    {0x9CBF2809, 0xFF80, 0x4DBC, {0x98, 0xF2, 0xB8, 0x2D, 0xAB, 0xF3, 0x53, 0x0F}},
};
constexpr ULONG kEnvironmentCount = sizeof(kEnvironmentCategories) / sizeof(kEnvironmentCategories[0]);

CString ClassKeyPath(REFCLSID clsid)
{
    return "CLSID\\" + GuidRegistryForm(clsid);
}

void SetString(HKEY key, const char* name, const char* value)
{
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(std::strlen(value) + 1));
}

// Creates `subkey` below `key` and sets its `name` value; a failure skips only this value.
void SetSubkeyString(HKEY key, const char* subkey, const char* name, const char* value)
{
    RegKey child;
    if (RegCreateKeyExA(key, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr,
                        child.Out(), nullptr) == ERROR_SUCCESS)
        SetString(child.Get(), name, value);
}

void CreateIdentifierSubkeys(HKEY classKey, const char* subkey, ULONG count, const GUID* ids)
{
    RegKey parent;
    if (RegCreateKeyExA(classKey, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY, nullptr, parent.Out(),
                        nullptr) != ERROR_SUCCESS)
        return;
    for (ULONG i = 0; i < count; ++i) {
        CString name = GuidRegistryForm(ids[i]);
        if (name.IsEmpty())
            continue;
        RegKey child;
        RegCreateKeyExA(parent.Get(), name, 0, nullptr, REG_OPTION_NON_VOLATILE, 0, nullptr, child.Out(), nullptr);
    }
}

CString LoadModuleString(UINT id, int bufferSize, const char* fallback, bool* loaded = nullptr)
{
    std::string buffer(static_cast<std::size_t>(bufferSize), '\0');
    int length = LoadStringA(AfxGetStaticModuleState()->m_hCurrentResourceHandle, id, &buffer[0], bufferSize);
    if (loaded)
        *loaded = length > 0;
    return length > 0 ? CString(buffer.c_str(), length) : CString(fallback);
}

// "409" for 1033: base 16, lower-case digits, as the host looks the values up.
CString LocaleValueName(LCID locale)
{
    char text[16] = "";
    _itoa(static_cast<int>(locale), text, 16);
    return CString(text);
}

HRESULT RegisterTypeLibrary(const std::wstring& modulePath)
{
    std::wstring path = modulePath;
    ITypeLib* rawLibrary = nullptr;
    HRESULT hr = LoadTypeLib(path.c_str(), &rawLibrary);
    if (FAILED(hr)) {
        std::wstring::size_type dot = path.rfind(L'.');
        path = (dot == std::wstring::npos ? path : path.substr(0, dot)) + L".tlb";
        hr = LoadTypeLib(path.c_str(), &rawLibrary);
        if (FAILED(hr))
            return hr;
    }
    ComPtr<ITypeLib> library = ComPtr<ITypeLib>::Attach(rawLibrary);
    std::wstring::size_type cut = path.find_last_of(L"\\/:");
    std::wstring helpDir = cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
    return RegisterTypeLib(library.Get(), const_cast<OLECHAR*>(path.c_str()),
                           helpDir.empty() ? nullptr : const_cast<OLECHAR*>(helpDir.c_str()));
}

// COM for the length of a registration call: tools that call it without COM still get a
// working registrar; a caller's own apartment is left as it was.
class ComInitialization {
public:
    ComInitialization() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComInitialization() { if (SUCCEEDED(m_hr)) CoUninitialize(); }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    HRESULT m_hr;
};

}  // namespace

HRESULT RunRegistrationScript(BOOL registering)
{
    ComPtr<IRegistrar> registrar;
    HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                  reinterpret_cast<void**>(registrar.ReleaseAndGetAddressOf()));
    if (FAILED(hr))
        return hr;
    std::wstring path = AfxModuleFilePathW(AfxGetStaticModuleState()->m_hCurrentInstanceHandle);
    // The script language quotes with apostrophes, so a path holding one has it doubled.
    std::wstring replacement;
    for (wchar_t c : path) {
        replacement += c;
        if (c == L'\'')
            replacement += c;
    }
    hr = registrar->AddReplacement(L"Module", replacement.c_str());
    if (FAILED(hr))
        return hr;
    return registering ? registrar->ResourceRegister(path.c_str(), kRegistryScriptId, L"REGISTRY")
                       : registrar->ResourceUnregister(path.c_str(), kRegistryScriptId, L"REGISTRY");
}

HRESULT RegisterAddInKeys(CLSID clsid, DWORD autoConnect, LCID locale, const char* displayName, const char* summary,
                          const char* helpText, ULONG requiredCount, const CATID* required, ULONG environmentCount,
                          const CATID* environments, ULONG formatCount, const CLSID* formats)
{
    ComPtr<ICatRegister> categories;
    HRESULT hr = CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatRegister,
                                  reinterpret_cast<void**>(categories.ReleaseAndGetAddressOf()));
    if (!categories)
        return hr;
    CATID implemented = kCatidSolidEdgeAddIn;
    hr = categories->RegisterClassImplCategories(clsid, 1, &implemented);
    if (requiredCount > 0)
        hr = categories->RegisterClassReqCategories(clsid, requiredCount, const_cast<CATID*>(required));

    RegKey classKey;
    if (!classKey.Open(HKEY_CLASSES_ROOT, ClassKeyPath(clsid), KEY_CREATE_SUB_KEY | KEY_SET_VALUE))
        return hr;
    CString localeName = LocaleValueName(locale);
    SetString(classKey.Get(), localeName, displayName);
    if (summary)
        SetSubkeyString(classKey.Get(), "Summary", localeName, summary);
    if (helpText)
        SetSubkeyString(classKey.Get(), "Help", localeName, helpText);
    RegSetValueExA(classKey.Get(), "AutoConnect", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&autoConnect),
                   sizeof(autoConnect));
    CreateIdentifierSubkeys(classKey.Get(), "Environment Categories", environmentCount, environments);
    if (formatCount > 0)
        CreateIdentifierSubkeys(classKey.Get(), "Property Set Formats", formatCount, formats);
    return hr;
}

HRESULT UnregisterAddInKeys(CLSID clsid, ULONG requiredCount, const CATID* required, ULONG environmentCount,
                            const CATID* environments)
{
    // RegDeleteKeyA removes only keys without subkeys: leaves first, the class key last.
    CString classKey = ClassKeyPath(clsid);
    auto remove = [](const CString& path) { RegDeleteKeyA(HKEY_CLASSES_ROOT, path); };
    for (ULONG i = 0; i < requiredCount; ++i)
        remove(classKey + "\\Required Categories\\" + GuidRegistryForm(required[i]));
    remove(classKey + "\\Implemented Categories\\" + GuidRegistryForm(kCatidSolidEdgeAddIn));
    for (ULONG i = 0; i < environmentCount; ++i) {
        CString name = GuidRegistryForm(environments[i]);
        if (!name.IsEmpty())
            remove(classKey + "\\Environment Categories\\" + name);
    }
    remove(classKey + "\\Required Categories");
    remove(classKey + "\\Implemented Categories");
    remove(classKey + "\\Environment Categories");
    remove(classKey);
    remove(classKey + "\\Help");
    remove(classKey + "\\Summary");
    remove(classKey);
    return S_OK;
}

STDAPI DllRegisterServer()
{
    ModuleStateGuard state;
    ComInitialization com;
    HRESULT result = S_OK;
    for (ClassEntry* entry = ClassTable(); entry->clsid; ++entry) {
        if (entry->registration && FAILED(result = entry->registration(TRUE)))
            break;
    }
    if (SUCCEEDED(result))
        result = RegisterTypeLibrary(AfxModuleFilePathW(AfxGetStaticModuleState()->m_hCurrentInstanceHandle));

    LCID locale = GetUserDefaultLCID();
    CString displayName = LoadModuleString(IDS_DISPLAY_NAME, 256, kFallbackDisplayName);
    CString summary = LoadModuleString(IDS_SUMMARY, 512, kFallbackSummary);
    bool hasHelp = false;
    LoadModuleString(IDS_COMMAND_HELP_FILE, 256, "", &hasHelp);
    CString helpText = hasHelp ? GetHelpFilePath() : CString();
    RegisterAddInKeys(CLSID_SEAddin, kAutoConnect, locale, displayName, summary, hasHelp ? helpText.GetString() : nullptr,
                      0, nullptr, kEnvironmentCount, kEnvironmentCategories, 0, nullptr);
    return SUCCEEDED(result) ? S_OK : result;
}

STDAPI DllUnregisterServer()
{
    ModuleStateGuard state;
    ComInitialization com;
    for (ClassEntry* entry = ClassTable(); entry->clsid; ++entry)
        if (entry->registration)
            entry->registration(FALSE);
    UnregisterAddInKeys(CLSID_SEAddin, 0, nullptr, kEnvironmentCount, kEnvironmentCategories);
    return S_OK;
}
