#pragma once

// EMF record types and the record handlers of the EMF player, grouped by kind.

#include <cstdint>

#include "dc_state.h"
#include "gdi_painter.h"
#include "record_reader.h"

namespace qv::gdi {

enum EmfRecordType : uint32_t {
    kEmrHeader = 1,
    kEmrPolyBezier = 2,
    kEmrPolygon = 3,
    kEmrPolyline = 4,
    kEmrPolyBezierTo = 5,
    kEmrPolylineTo = 6,
    kEmrPolyPolyline = 7,
    kEmrPolyPolygon = 8,
    kEmrSetWindowExtEx = 9,
    kEmrSetWindowOrgEx = 10,
    kEmrSetViewportExtEx = 11,
    kEmrSetViewportOrgEx = 12,
    kEmrSetBrushOrgEx = 13,
    kEmrEof = 14,
    kEmrSetPixelV = 15,
    kEmrSetMapperFlags = 16,
    kEmrSetMapMode = 17,
    kEmrSetBkMode = 18,
    kEmrSetPolyFillMode = 19,
    kEmrSetRop2 = 20,
    kEmrSetStretchBltMode = 21,
    kEmrSetTextAlign = 22,
    kEmrSetColorAdjustment = 23,
    kEmrSetTextColor = 24,
    kEmrSetBkColor = 25,
    kEmrOffsetClipRgn = 26,
    kEmrMoveToEx = 27,
    kEmrSetMetaRgn = 28,
    kEmrExcludeClipRect = 29,
    kEmrIntersectClipRect = 30,
    kEmrScaleViewportExtEx = 31,
    kEmrScaleWindowExtEx = 32,
    kEmrSaveDc = 33,
    kEmrRestoreDc = 34,
    kEmrSetWorldTransform = 35,
    kEmrModifyWorldTransform = 36,
    kEmrSelectObject = 37,
    kEmrCreatePen = 38,
    kEmrCreateBrushIndirect = 39,
    kEmrDeleteObject = 40,
    kEmrAngleArc = 41,
    kEmrEllipse = 42,
    kEmrRectangle = 43,
    kEmrRoundRect = 44,
    kEmrArc = 45,
    kEmrChord = 46,
    kEmrPie = 47,
    kEmrSelectPalette = 48,
    kEmrCreatePalette = 49,
    kEmrSetPaletteEntries = 50,
    kEmrResizePalette = 51,
    kEmrRealizePalette = 52,
    kEmrExtFloodFill = 53,
    kEmrLineTo = 54,
    kEmrArcTo = 55,
    kEmrPolyDraw = 56,
    kEmrSetArcDirection = 57,
    kEmrSetMiterLimit = 58,
    kEmrBeginPath = 59,
    kEmrEndPath = 60,
    kEmrCloseFigure = 61,
    kEmrFillPath = 62,
    kEmrStrokeAndFillPath = 63,
    kEmrStrokePath = 64,
    kEmrFlattenPath = 65,
    kEmrWidenPath = 66,
    kEmrSelectClipPath = 67,
    kEmrAbortPath = 68,
    kEmrGdiComment = 70,
    kEmrFillRgn = 71,
    kEmrFrameRgn = 72,
    kEmrInvertRgn = 73,
    kEmrPaintRgn = 74,
    kEmrExtSelectClipRgn = 75,
    kEmrBitBlt = 76,
    kEmrStretchBlt = 77,
    kEmrMaskBlt = 78,
    kEmrPlgBlt = 79,
    kEmrSetDiBitsToDevice = 80,
    kEmrStretchDiBits = 81,
    kEmrExtCreateFontIndirectW = 82,
    kEmrExtTextOutA = 83,
    kEmrExtTextOutW = 84,
    kEmrPolyBezier16 = 85,
    kEmrPolygon16 = 86,
    kEmrPolyline16 = 87,
    kEmrPolyBezierTo16 = 88,
    kEmrPolylineTo16 = 89,
    kEmrPolyPolyline16 = 90,
    kEmrPolyPolygon16 = 91,
    kEmrPolyDraw16 = 92,
    kEmrCreateMonoBrush = 93,
    kEmrCreateDibPatternBrushPt = 94,
    kEmrExtCreatePen = 95,
    kEmrPolyTextOutA = 96,
    kEmrPolyTextOutW = 97,
    kEmrSetIcmMode = 98,
    kEmrCreateColorSpace = 99,
    kEmrSetColorSpace = 100,
    kEmrDeleteColorSpace = 101,
    kEmrSmallTextOut = 108,
    kEmrForceUfiMapping = 109,
    kEmrSetIcmProfileA = 112,
    kEmrSetIcmProfileW = 113,
    kEmrAlphaBlend = 114,
    kEmrSetLayout = 115,
    kEmrTransparentBlt = 116,
    kEmrGradientFill = 118,
    kEmrSetLinkedUfis = 119,
    kEmrSetTextJustification = 120,
    kEmrColorMatchToTargetW = 121,
    kEmrCreateColorSpaceW = 122,
};

// What a record handler needs: the device context and the drawing backend.
struct EmfContext {
    DeviceContext& dc;
    GdiPainter& out;
};

// Each returns true if it knows the record type (and played it), false if
// the type is not its kind. Malformed records throw RecordError.
bool PlayEmfStateRecord(EmfContext& c, uint32_t type, const RecordReader& r);
bool PlayEmfDrawRecord(EmfContext& c, uint32_t type, const RecordReader& r);
bool PlayEmfTextRecord(EmfContext& c, uint32_t type, const RecordReader& r);
bool PlayEmfBitmapRecord(EmfContext& c, uint32_t type, const RecordReader& r);

// A COLORREF (0x00bbggrr) as an opaque colour.
inline QRgb ColorRef(uint32_t c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Reads a RECTL (left, top, right, bottom) at off as a rectangle from its corners.
QRectF ReadRectL(const RecordReader& r, size_t off);
// Reads a region's RGNDATA at off (length bytes) as a device-space shape.
QPainterPath ReadRegionData(const RecordReader& r, size_t off, size_t length);
QRegion ReadRegion(const RecordReader& r, size_t off, size_t length);

}  // namespace qv::gdi
