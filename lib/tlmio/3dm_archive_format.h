// The parts of the 3DM archive format that vary with the archive version, and the chunk
// typecodes the writer uses.
#pragma once

#include <cstdint>

namespace tlmio {

namespace typecode {
// A short chunk carries its value in the header; a long chunk with the CRC bit ends in a CRC-32.
constexpr uint32_t kShortBit = 0x80000000u;
constexpr uint32_t kCrcBit = 0x00008000u;

constexpr uint32_t kCommentBlock = 0x00000001u;
constexpr uint32_t kEndOfFile = 0x00007FFFu;
constexpr uint32_t kEndOfTable = 0xFFFFFFFFu;

constexpr uint32_t kPropertiesTable = 0x10000014u;
constexpr uint32_t kSettingsTable = 0x10000015u;
constexpr uint32_t kBitmapTable = 0x10000016u;
constexpr uint32_t kTextureMappingTable = 0x10000025u;
constexpr uint32_t kMaterialTable = 0x10000010u;
constexpr uint32_t kLinetypeTable = 0x10000023u;
constexpr uint32_t kLayerTable = 0x10000011u;
constexpr uint32_t kGroupTable = 0x10000018u;
constexpr uint32_t kFontTable = 0x10000019u;
constexpr uint32_t kDimstyleTable = 0x10000020u;
constexpr uint32_t kLightTable = 0x10000012u;
constexpr uint32_t kHatchPatternTable = 0x10000022u;
constexpr uint32_t kInstanceDefinitionTable = 0x10000021u;
constexpr uint32_t kObjectTable = 0x10000013u;
constexpr uint32_t kHistoryRecordTable = 0x10000026u;

constexpr uint32_t kOpenNurbsVersion = 0xA0000026u;
constexpr uint32_t kRevisionHistory = 0x20008021u;
constexpr uint32_t kApplication = 0x20008024u;

constexpr uint32_t kUnitsAndTolerances = 0x20008031u;
constexpr uint32_t kNamedConstructionPlaneList = 0x20008035u;
constexpr uint32_t kNamedViewList = 0x20008036u;
constexpr uint32_t kViewList = 0x20008037u;
constexpr uint32_t kCurrentLayerIndex = 0xA0000038u;
constexpr uint32_t kCurrentMaterialIndex = 0x20008039u;
constexpr uint32_t kCurrentColor = 0x2000803Au;
constexpr uint32_t kCurrentWireDensity = 0xA000003Cu;
constexpr uint32_t kCurrentFontIndex = 0xA0000132u;
constexpr uint32_t kCurrentDimstyleIndex = 0xA0000133u;

constexpr uint32_t kLayerRecord = 0x20008050u;
constexpr uint32_t kObjectRecord = 0x20008070u;
constexpr uint32_t kObjectRecordType = 0x82000071u;
constexpr uint32_t kObjectRecordAttributes = 0x02008072u;
constexpr uint32_t kObjectRecordEnd = 0x8200007Fu;

constexpr uint32_t kClass = 0x00027FFAu;
constexpr uint32_t kClassUuid = 0x0002FFFBu;
constexpr uint32_t kClassData = 0x0002FFFCu;
constexpr uint32_t kClassEnd = 0x80027FFFu;

constexpr uint32_t kAnonymousChunk = 0x40008000u;
}  // namespace typecode

// What one archive version (the number in the start section) implies for the writer.
struct ArchiveFormat {
    int version = 0;             // 2, 3, 4, 50, 60, 70 or 80
    bool eightByteValues = false;  // chunk lengths and short-chunk values: 8 bytes from 50 on
    uint64_t maxFileSize = 0;    // 4-byte chunk lengths cap every file below 50

    int ChunkHeaderSize() const { return eightByteValues ? 12 : 8; }
    int EndMarkSize() const { return ChunkHeaderSize() + (eightByteValues ? 8 : 4); }
    bool HasAnnotationTables() const { return version >= 3; }  // font, dimstyle, instance definitions
    bool HasVersion4Tables() const { return version >= 4; }    // texture mappings ... history records
    bool UsesCompactAttributes() const { return version >= 50; }
    bool UsesMeshFormat38() const { return version >= 60; }
    // The digit OpenNURBS's readers expect at the end of the writer's version number.
    int MajorVersion() const { return version < 10 ? version : version / 10; }
};

// False for a version the writer does not produce.
bool FindArchiveFormat(int version, ArchiveFormat& format);

// "2, 3, 4, 50, 60, 70, 80" for messages.
const char* SupportedArchiveVersionsText();

}  // namespace tlmio
