#include "tlmio/3dm_archive_format.h"

namespace tlmio {

bool FindArchiveFormat(int version, ArchiveFormat& format)
{
    switch (version) {
    case 2: case 3: case 4: case 50: case 60: case 70: case 80:
        break;
    default:
        return false;
    }
    format.version = version;
    format.eightByteValues = version >= 50;
    format.maxFileSize = format.eightByteValues ? uint64_t(INT64_MAX) : uint64_t(UINT32_MAX);
    return true;
}

const char* SupportedArchiveVersionsText()
{
    return "2, 3, 4, 50, 60, 70 and 80";
}

}  // namespace tlmio
