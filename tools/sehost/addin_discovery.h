// How the host finds its add-ins: the classes registered as implementing the "Solid Edge Add-in"
// component category, with their AutoConnect flag, their display name and summary in the user's
// locale, and the environments they take part in.
#pragma once

#include <windows.h>
#include <comcat.h>

#include <string>
#include <vector>

namespace sehost {

struct DiscoveredAddIn {
    CLSID clsid{};
    std::string clsidText;    // registry form
    bool autoConnect = false;
    std::string displayName;  // the value named by the user's locale ("409"), empty if absent
    std::string summary;
    std::string helpFile;
    std::vector<std::string> environmentCategories;  // registry form, as registered
    std::string server;       // InprocServer32
};

// {26B1D2D1-2B03-11D2-B589-080036E8B802}
extern const CATID kCatidSolidEdgeAddIn;

// The locale value name the host reads: the user's default locale in lower-case hexadecimal.
std::string LocaleValueName();

std::vector<DiscoveredAddIn> DiscoverAddIns();

}  // namespace sehost
