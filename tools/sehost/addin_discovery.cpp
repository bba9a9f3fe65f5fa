#include "tools/sehost/addin_discovery.h"

#include <comcat.h>

#include <cstdio>

#include "com/ComPtr.h"
#include "com/GuidText.h"
#include "com/RegKey.h"

namespace sehost {

const CATID kCatidSolidEdgeAddIn = {0x26B1D2D1, 0x2B03, 0x11D2, {0xB5, 0x89, 0x08, 0x00, 0x36, 0xE8, 0xB8, 0x02}};

namespace {

std::string StringValue(HKEY key, const char* name)
{
    char buffer[2048] = "";
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return std::string(buffer);
}

std::string SubkeyString(HKEY key, const char* subkey, const char* name)
{
    RegKey child;
    return child.Open(key, subkey) ? StringValue(child.Get(), name) : std::string();
}

std::vector<std::string> SubkeyNames(HKEY key, const char* subkey)
{
    std::vector<std::string> names;
    RegKey child;
    if (!child.Open(key, subkey))
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(child.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

}  // namespace

std::string LocaleValueName()
{
    char text[16] = "";
    std::snprintf(text, sizeof(text), "%lx", static_cast<unsigned long>(GetUserDefaultLCID()));
    return text;
}

std::vector<DiscoveredAddIn> DiscoverAddIns()
{
    std::vector<DiscoveredAddIn> found;
    ComPtr<ICatInformation> categories;
    if (FAILED(CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ICatInformation,
                                reinterpret_cast<void**>(categories.ReleaseAndGetAddressOf()))))
        return found;
    CATID wanted = kCatidSolidEdgeAddIn;
    ComPtr<IEnumCLSID> classes;
    if (FAILED(categories->EnumClassesOfCategories(1, &wanted, static_cast<ULONG>(-1), nullptr,
                                                   classes.ReleaseAndGetAddressOf())) || !classes)
        return found;
    std::string locale = LocaleValueName();
    CLSID clsid;
    ULONG fetched = 0;
    while (classes->Next(1, &clsid, &fetched) == S_OK && fetched == 1) {
        DiscoveredAddIn addIn;
        addIn.clsid = clsid;
        addIn.clsidText = GuidRegistryForm(clsid).GetString();
        RegKey classKey;
        if (!classKey.Open(HKEY_CLASSES_ROOT, ("CLSID\\" + addIn.clsidText).c_str()))
            continue;
        DWORD autoConnect = 0, size = sizeof(autoConnect), type = 0;
        if (RegQueryValueExA(classKey.Get(), "AutoConnect", nullptr, &type, reinterpret_cast<BYTE*>(&autoConnect),
                             &size) == ERROR_SUCCESS && type == REG_DWORD)
            addIn.autoConnect = autoConnect != 0;
        addIn.displayName = StringValue(classKey.Get(), locale.c_str());
        addIn.summary = SubkeyString(classKey.Get(), "Summary", locale.c_str());
        addIn.helpFile = SubkeyString(classKey.Get(), "Help", locale.c_str());
        addIn.server = SubkeyString(classKey.Get(), "InprocServer32", nullptr);
        addIn.environmentCategories = SubkeyNames(classKey.Get(), "Environment Categories");
        found.push_back(std::move(addIn));
    }
    return found;
}

}  // namespace sehost
