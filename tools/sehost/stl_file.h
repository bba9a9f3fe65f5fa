// Models as STL files, the way the host saves a document.
#pragma once

#include <windows.h>

#include <string>

#include "tools/sehost/host_config.h"
#include "tools/sehost/sample_models.h"

namespace sehost {

// Binary: an 80-byte header that does not begin with "solid", the facet count, 50 bytes a facet,
// every body's facets in one run (the format has no bodies). ASCII: one "solid NAME" block per
// body, numbers with enough digits to give back the exact floats.
std::string StlBytes(const Model& model, StlFormat format);

// Writes (or replaces) the file; on failure returns the system's error as an HRESULT.
HRESULT WriteFileBytes(const wchar_t* path, const std::string& bytes);

}  // namespace sehost
