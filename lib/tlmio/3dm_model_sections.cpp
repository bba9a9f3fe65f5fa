#include "tlmio/3dm_model_sections.h"

#include <cstdio>
#include <cstring>

namespace tlmio {

namespace {

constexpr const char* kApplicationName = "Pelorin for Solid Edge";
constexpr const char* kProductVersion = "1.0";
constexpr const char* kApplicationUrl = "https://www.talmir.example/pelorin";
constexpr const char* kLayerName = "Default";
constexpr Uuid kLayerClassId = MakeUuid(0x95809813, 0xE985, 0x11D3, 0xBFE50010830122F0ull);

// Readers decide which fields to expect from the writer's version number, a date followed by
// the archive's major version; a recent date selects the current layouts of every record.
constexpr uint32_t kWriterFormatDate = 20250101;

constexpr double kPi = 3.14159265358979323846;
constexpr int32_t kMillimetres = 2;

void AppendEmptyTable(ChunkBuffer& out, uint32_t table)
{
    out.BeginChunk(table);
    out.ShortChunk(typecode::kEndOfTable, 0);
    out.EndChunk();
}

void AppendStartSection(ChunkBuffer& out, const ArchiveFormat& format)
{
    char header[33];
    std::snprintf(header, sizeof header, "3D Geometry File Format %8d", format.version);
    out.Bytes(header, 32);

    char comment[256];
    std::snprintf(comment, sizeof comment,
                  "%s %s\n3DM archive version %d, written by the TLMIO mesh-file library\n",
                  kApplicationName, kProductVersion, format.version);
    out.BeginChunk(typecode::kCommentBlock);
    out.Bytes(comment, std::strlen(comment));
    out.U8(0x1A);  // the end-of-text marks that OpenNURBS's own comments carry
    out.U8(0);
    out.EndChunk();
}

void AppendTime(ChunkBuffer& out, const std::tm& t)
{
    // The struct tm conventions: months from 0, years from 1900.
    const int fields[8] = {t.tm_sec, t.tm_min, t.tm_hour, t.tm_mday, t.tm_mon, t.tm_year, t.tm_wday, t.tm_yday};
    for (int field : fields)
        out.I32(field);
}

void AppendProperties(ChunkBuffer& out, const ArchiveFormat& format, const ModelHead& head)
{
    out.BeginChunk(typecode::kPropertiesTable);
    out.ShortChunk(typecode::kOpenNurbsVersion, int64_t(kWriterFormatDate) * 10 + format.MajorVersion());

    out.BeginChunk(typecode::kRevisionHistory);
    out.U8(0x10);
    out.WideString(head.userName);  // created by
    AppendTime(out, head.savedAt);
    out.WideString(head.userName);  // last edited by
    AppendTime(out, head.savedAt);
    out.I32(1);  // revision count
    out.EndChunk();

    char details[128];
    std::snprintf(details, sizeof details, "%s version %s", kApplicationName, kProductVersion);
    out.BeginChunk(typecode::kApplication);
    out.U8(0x10);
    out.WideString(kApplicationName);
    out.WideString(kApplicationUrl);
    out.WideString(details);
    out.EndChunk();

    out.ShortChunk(typecode::kEndOfTable, 0);
    out.EndChunk();
}

void AppendEmptyList(ChunkBuffer& out, uint32_t chunk)
{
    out.BeginChunk(chunk);
    out.I32(0);
    out.EndChunk();
}

// Units and the cheap "current" settings; readers default everything else.
void AppendSettings(ChunkBuffer& out, const ArchiveFormat& format)
{
    out.BeginChunk(typecode::kSettingsTable);

    out.BeginChunk(typecode::kUnitsAndTolerances);
    out.I32(102);  // layout version
    out.I32(kMillimetres);
    out.F64(0.001);      // absolute tolerance
    out.F64(kPi / 180);  // angle tolerance
    out.F64(0.01);       // relative tolerance
    out.I32(0);          // decimal distance display
    out.I32(3);          // display precision
    out.F64(0.001);      // metres per unit
    out.WideString("");  // custom unit name
    out.EndChunk();

    AppendEmptyList(out, typecode::kNamedConstructionPlaneList);
    AppendEmptyList(out, typecode::kNamedViewList);
    AppendEmptyList(out, typecode::kViewList);
    out.ShortChunk(typecode::kCurrentLayerIndex, kMeshLayerIndex);
    out.BeginChunk(typecode::kCurrentMaterialIndex);
    out.I32(-1);
    out.I32(0);
    out.EndChunk();
    out.BeginChunk(typecode::kCurrentColor);
    out.Color(0, 0, 0, 0);
    out.I32(0);
    out.EndChunk();
    out.ShortChunk(typecode::kCurrentWireDensity, 1);
    if (format.HasAnnotationTables()) {
        out.ShortChunk(typecode::kCurrentFontIndex, 0);
        out.ShortChunk(typecode::kCurrentDimstyleIndex, 0);
    }

    out.ShortChunk(typecode::kEndOfTable, 0);
    out.EndChunk();
}

void AppendLayerPayload(ChunkBuffer& out, const Uuid& layerId)
{
    out.U8(0x1F);
    out.I32(0);  // obsolete mode
    out.I32(kMeshLayerIndex);
    out.I32(-1);  // IGES level
    out.I32(-1);  // render material
    out.I32(0);
    out.Color(0, 0, 0, 0);  // black
    out.I16(0);  // obsolete line style
    out.I16(0);
    out.F64(0);
    out.F64(1);
    out.WideString(kLayerName);
    out.Bool(true);  // visible
    out.I32(-1);     // linetype
    out.Color(0xFF, 0xFF, 0xFF, 0xFF);  // plot colour unset
    out.F64(0);      // plot weight
    out.Bool(false);  // locked
    out.Id(layerId);
    out.Id(kNilUuid);  // no parent
    out.Bool(true);    // expanded
    out.BeginVersionedChunk(1, 0);  // rendering attributes
    out.I32(0);                     // material references
    out.EndChunk();
    out.Id(kNilUuid);  // display material
    out.U8(0);         // end of the optional items
}

void AppendLayerTable(ChunkBuffer& out, const Uuid& layerId)
{
    out.BeginChunk(typecode::kLayerTable);
    out.BeginChunk(typecode::kLayerRecord);
    out.BeginChunk(typecode::kClass);
    out.BeginChunk(typecode::kClassUuid);
    out.Id(kLayerClassId);
    out.EndChunk();
    out.BeginChunk(typecode::kClassData);
    AppendLayerPayload(out, layerId);
    out.EndChunk();
    out.ShortChunk(typecode::kClassEnd, 0);
    out.EndChunk();
    out.EndChunk();
    out.ShortChunk(typecode::kEndOfTable, 0);
    out.EndChunk();
}

}  // namespace

void AppendModelHead(ChunkBuffer& out, const ArchiveFormat& format, const ModelHead& head)
{
    AppendStartSection(out, format);
    AppendProperties(out, format, head);
    AppendSettings(out, format);
    // Readers expect the tables in this order.
    AppendEmptyTable(out, typecode::kBitmapTable);
    if (format.HasVersion4Tables())
        AppendEmptyTable(out, typecode::kTextureMappingTable);
    AppendEmptyTable(out, typecode::kMaterialTable);
    if (format.HasVersion4Tables())
        AppendEmptyTable(out, typecode::kLinetypeTable);
    AppendLayerTable(out, head.layerId);
    AppendEmptyTable(out, typecode::kGroupTable);
    if (format.HasAnnotationTables()) {
        AppendEmptyTable(out, typecode::kFontTable);
        AppendEmptyTable(out, typecode::kDimstyleTable);
    }
    AppendEmptyTable(out, typecode::kLightTable);
    if (format.HasVersion4Tables())
        AppendEmptyTable(out, typecode::kHatchPatternTable);
    if (format.HasAnnotationTables())
        AppendEmptyTable(out, typecode::kInstanceDefinitionTable);
}

void AppendModelTail(ChunkBuffer& out, const ArchiveFormat& format)
{
    // Readers of version 4 and later refuse a file without it, even empty.
    if (format.HasVersion4Tables())
        AppendEmptyTable(out, typecode::kHistoryRecordTable);
}

void AppendEndMark(ChunkBuffer& out, const ArchiveFormat& format, uint64_t offset)
{
    out.BeginChunk(typecode::kEndOfFile);
    out.ChunkValue(static_cast<int64_t>(offset + uint64_t(format.EndMarkSize())));
    out.EndChunk();
}

}  // namespace tlmio
