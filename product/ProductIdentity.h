// The product title, named after the host release the add-in runs in.
#pragma once

#include <oaidl.h>

#include "com/ComPtr.h"

constexpr int kHostVersionNameCount = 13;
extern const char* const HostVersionNames[kHostVersionNameCount];

// "Pelorin for Solid Edge 20 version 1.0"; empty until the first build.
extern char ProductTitle[256];

// The caption for messages when no title has been built yet.
constexpr char kFallbackProductTitle[] = "Pelorin for Solid Edge";

// Index into HostVersionNames for the host's version text (property 58); 0 for unknown
// versions. Raises ComError when the application is null or the property fails.
int GetHostVersionIndex(ComPtr<IDispatch> application);

// Rebuilds ProductTitle from the host's version; on a ComError the title keeps its last text.
void BuildProductIdentity(ComPtr<IDispatch> application);

// ProductTitle, or the fallback while it is empty.
const char* MessageCaption();
