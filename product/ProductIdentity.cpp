#include "product/ProductIdentity.h"

#include <cstdio>
#include <cstdlib>

#include "com/ComError.h"
#include "com/Dispatch.h"
#include "host/HostDispids.h"

const char* const HostVersionNames[kHostVersionNameCount] = {
    "Solid Edge ????", "Solid Edge 10", "Solid Edge 11", "Solid Edge 12", "Solid Edge 13",
    "Solid Edge 14",   "Solid Edge 15", "Solid Edge 16", "Solid Edge 17", "Solid Edge 18",
    "Solid Edge 19",   "Solid Edge 20", "Solid Edge ST",
};

char ProductTitle[256] = "";

namespace {

constexpr char kProductPrefix[] = "Pelorin for";
constexpr int kProductMajorVersion = 1;
constexpr int kProductMinorVersion = 0;
constexpr int kHostVersionSt = 100;
constexpr int kIndexSt = 12;

int IndexOfMajorVersion(int major)
{
    if (major >= 10 && major <= 20)
        return major - 9;
    return major == kHostVersionSt ? kIndexSt : 0;
}

}  // namespace

int GetHostVersionIndex(ComPtr<IDispatch> application)
{
    if (!application)
        throw ComError(E_POINTER, "reading the host's version");
    Variant version;
    GetProperty(application.Get(), kDispidVersion, version, "reading the host's version");
    CString text = version->vt == VT_BSTR ? BstrToAnsi(version->bstrVal) : CString();
    // Only what stands before the first dot is the major version; a text without a dot names none.
    int dot = text.Find('.');
    CString major = dot >= 0 ? text.Left(dot) : CString();
    return IndexOfMajorVersion(std::atoi(major));
}

void BuildProductIdentity(ComPtr<IDispatch> application)
{
    int index = GetHostVersionIndex(std::move(application));
    std::snprintf(ProductTitle, sizeof(ProductTitle), "%s %s version %d.%d", kProductPrefix, HostVersionNames[index],
                  kProductMajorVersion, kProductMinorVersion);
}

const char* MessageCaption()
{
    return ProductTitle[0] ? ProductTitle : kFallbackProductTitle;
}
