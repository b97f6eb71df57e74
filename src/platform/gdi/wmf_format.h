#pragma once

// The layout of Windows metafiles (WMF): the optional placeable header, the
// META_HEADER, the record stream, and the objects records create. Parsing
// only; wmf_player draws the records.

#include <QByteArray>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dc_state.h"

namespace qv::gdi {

constexpr uint32_t kWmfPlaceableKey = 0x9AC6CDD7;
constexpr size_t kWmfPlaceableSize = 22;

// Record functions of the Windows metafile format.
enum WmfFunction : uint16_t {
    kMetaEof = 0x0000,
    kMetaRealizePalette = 0x0035,
    kMetaSetPalEntries = 0x0037,
    kMetaSetBkMode = 0x0102,
    kMetaSetMapMode = 0x0103,
    kMetaSetRop2 = 0x0104,
    kMetaSetRelAbs = 0x0105,
    kMetaSetPolyFillMode = 0x0106,
    kMetaSetStretchBltMode = 0x0107,
    kMetaSetTextCharExtra = 0x0108,
    kMetaRestoreDc = 0x0127,
    kMetaInvertRegion = 0x012A,
    kMetaPaintRegion = 0x012B,
    kMetaSelectClipRegion = 0x012C,
    kMetaSelectObject = 0x012D,
    kMetaSetTextAlign = 0x012E,
    kMetaResizePalette = 0x0139,
    kMetaDibCreatePatternBrush = 0x0142,
    kMetaSetLayout = 0x0149,
    kMetaDeleteObject = 0x01F0,
    kMetaCreatePatternBrush = 0x01F9,
    kMetaSetBkColor = 0x0201,
    kMetaSetTextColor = 0x0209,
    kMetaSetTextJustification = 0x020A,
    kMetaSetWindowOrg = 0x020B,
    kMetaSetWindowExt = 0x020C,
    kMetaSetViewportOrg = 0x020D,
    kMetaSetViewportExt = 0x020E,
    kMetaOffsetWindowOrg = 0x020F,
    kMetaOffsetViewportOrg = 0x0211,
    kMetaLineTo = 0x0213,
    kMetaMoveTo = 0x0214,
    kMetaOffsetClipRgn = 0x0220,
    kMetaFillRegion = 0x0228,
    kMetaSetMapperFlags = 0x0231,
    kMetaSelectPalette = 0x0234,
    kMetaCreatePenIndirect = 0x02FA,
    kMetaCreateFontIndirect = 0x02FB,
    kMetaCreateBrushIndirect = 0x02FC,
    kMetaPolygon = 0x0324,
    kMetaPolyline = 0x0325,
    kMetaScaleWindowExt = 0x0410,
    kMetaScaleViewportExt = 0x0412,
    kMetaExcludeClipRect = 0x0415,
    kMetaIntersectClipRect = 0x0416,
    kMetaEllipse = 0x0418,
    kMetaFloodFill = 0x0419,
    kMetaFrameRegion = 0x0429,
    kMetaRectangle = 0x041B,
    kMetaSetPixel = 0x041F,
    kMetaAnimatePalette = 0x0436,
    kMetaTextOut = 0x0521,
    kMetaPolyPolygon = 0x0538,
    kMetaExtFloodFill = 0x0548,
    kMetaRoundRect = 0x061C,
    kMetaPatBlt = 0x061D,
    kMetaEscape = 0x0626,
    kMetaCreateRegion = 0x06FF,
    kMetaArc = 0x0817,
    kMetaPie = 0x081A,
    kMetaChord = 0x0830,
    kMetaBitBlt = 0x0922,
    kMetaDibBitBlt = 0x0940,
    kMetaExtTextOut = 0x0A32,
    kMetaStretchBlt = 0x0B23,
    kMetaDibStretchBlt = 0x0B41,
    kMetaSetDibToDev = 0x0D33,
    kMetaStretchDib = 0x0F43,
    kMetaCreatePalette = 0x00F7,
    kMetaSaveDc = 0x001E,
};

// One record: its function and its parameter bytes (after the 6-byte
// size/function prefix). Readers return 0 past the end, so a short record
// reads as zeros and never outside its bytes.
struct WmfRecord {
    uint16_t function = 0;
    std::span<const uint8_t> params;

    size_t size() const { return params.size(); }
    bool has(size_t bytes) const { return params.size() >= bytes; }
    uint16_t u16(size_t at) const;
    int16_t s16(size_t at) const { return static_cast<int16_t>(u16(at)); }
    uint32_t u32(size_t at) const;
    // The n-th 16-bit parameter.
    int16_t word(size_t n) const { return s16(2 * n); }
    std::span<const uint8_t> bytes(size_t at, size_t count) const;
};

// A parsed metafile: headers and the records in order.
struct WmfFile {
    bool placeable = false;
    QRect boundingBox;          // placeable header, logical units (may be empty)
    uint16_t unitsPerInch = 0;  // placeable header; 0 when absent
    bool checksumOk = true;
    uint16_t numberOfObjects = 0;
    std::vector<WmfRecord> records;  // up to and without META_EOF
    QByteArray data;                 // owns the bytes the records point into
};

// Parses bytes (which the result keeps). Returns nullopt and a reason when
// the file is not a Windows metafile; a truncated record stream keeps the
// records before the damage.
std::optional<WmfFile> ParseWmf(QByteArray bytes, std::string* error = nullptr);

// The logical rectangle the picture covers: the placeable bounding box, else
// the first window origin and extent records, else the extent of all
// coordinates the drawing records use. Empty when nothing is known.
QRectF WmfLogicalBounds(const WmfFile& file);

// Natural size in pixels at 96 dots per inch (placeable files by their units
// per inch; others take one logical unit as one pixel).
QSizeF WmfNaturalSize(const WmfFile& file);

// Object records to the device context's object types.
LogPen WmfPen(const WmfRecord& r);
LogBrush WmfBrush(const WmfRecord& r);
LogFont WmfFont(const WmfRecord& r);
LogPalette WmfPalette(const WmfRecord& r);
// A region record's rectangles (logical units as stored).
QPainterPath WmfRegion(const WmfRecord& r);

// Packed COLORREF (red in the low byte) to an opaque QRgb.
inline QRgb ColorRef(uint32_t c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

}  // namespace qv::gdi
