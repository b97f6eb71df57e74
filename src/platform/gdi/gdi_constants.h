#pragma once

// Numeric values of the Windows GDI enumerations that metafiles store. They are
// the published values of the EMF and WMF formats; only the ones this player
// interprets are listed.

#include <cstdint>

namespace qv::gdi {

// Mapping modes.
enum MapMode : int {
    kMmText = 1,
    kMmLoMetric = 2,
    kMmHiMetric = 3,
    kMmLoEnglish = 4,
    kMmHiEnglish = 5,
    kMmTwips = 6,
    kMmIsotropic = 7,
    kMmAnisotropic = 8,
};

enum GraphicsMode : int { kGmCompatible = 1, kGmAdvanced = 2 };
enum BkMode : int { kTransparent = 1, kOpaque = 2 };
enum PolyFillMode : int { kAlternate = 1, kWinding = 2 };
enum ArcDirection : int { kCounterClockwise = 1, kClockwise = 2 };

// Text alignment flags (SetTextAlign).
enum TextAlign : uint32_t {
    kTaUpdateCp = 0x0001,
    kTaRight = 0x0002,
    kTaCenter = 0x0006,
    kTaHorizontalMask = 0x0006,
    kTaBottom = 0x0008,
    kTaBaseline = 0x0018,
    kTaVerticalMask = 0x0018,
    kTaRtlReading = 0x0100,
};

// ExtTextOut options.
enum TextOutOptions : uint32_t {
    kEtoOpaque = 0x0002,
    kEtoClipped = 0x0004,
    kEtoGlyphIndex = 0x0010,
    kEtoRtlReading = 0x0080,
    kEtoNoRect = 0x0100,
    kEtoSmallChars = 0x0200,
    kEtoIgnoreLanguage = 0x1000,
    kEtoPdy = 0x2000,
};

// Pen styles (low nibble), end caps, joins and type.
enum PenStyle : uint32_t {
    kPsSolid = 0,
    kPsDash = 1,
    kPsDot = 2,
    kPsDashDot = 3,
    kPsDashDotDot = 4,
    kPsNull = 5,
    kPsInsideFrame = 6,
    kPsUserStyle = 7,
    kPsAlternate = 8,
    kPsStyleMask = 0x0000000F,
    kPsEndcapRound = 0x00000000,
    kPsEndcapSquare = 0x00000100,
    kPsEndcapFlat = 0x00000200,
    kPsEndcapMask = 0x00000F00,
    kPsJoinRound = 0x00000000,
    kPsJoinBevel = 0x00001000,
    kPsJoinMiter = 0x00002000,
    kPsJoinMask = 0x0000F000,
    kPsGeometric = 0x00010000,
    kPsTypeMask = 0x000F0000,
};

// Brush styles and hatch styles.
enum BrushStyle : uint32_t {
    kBsSolid = 0,
    kBsNull = 1,
    kBsHatched = 2,
    kBsPattern = 3,
    kBsDibPattern = 5,
    kBsDibPatternPt = 6,
};
enum HatchStyle : uint32_t {
    kHsHorizontal = 0,
    kHsVertical = 1,
    kHsFDiagonal = 2,
    kHsBDiagonal = 3,
    kHsCross = 4,
    kHsDiagCross = 5,
};

// Stock objects (an EMF names them with the high bit set).
enum StockObject : uint32_t {
    kWhiteBrush = 0,
    kLtGrayBrush = 1,
    kGrayBrush = 2,
    kDkGrayBrush = 3,
    kBlackBrush = 4,
    kNullBrush = 5,
    kWhitePen = 6,
    kBlackPen = 7,
    kNullPen = 8,
    kOemFixedFont = 10,
    kAnsiFixedFont = 11,
    kAnsiVarFont = 12,
    kSystemFont = 13,
    kDeviceDefaultFont = 14,
    kDefaultPalette = 15,
    kSystemFixedFont = 16,
    kDefaultGuiFont = 17,
    kDcBrush = 18,
    kDcPen = 19,
    kStockObjectFlag = 0x80000000u,
};

// Binary raster operations (SetROP2).
enum Rop2 : int {
    kR2Black = 1,
    kR2NotMergePen = 2,
    kR2MaskNotPen = 3,
    kR2NotCopyPen = 4,
    kR2MaskPenNot = 5,
    kR2Not = 6,
    kR2XorPen = 7,
    kR2NotMaskPen = 8,
    kR2MaskPen = 9,
    kR2NotXorPen = 10,
    kR2Nop = 11,
    kR2MergeNotPen = 12,
    kR2CopyPen = 13,
    kR2MergePenNot = 14,
    kR2MergePen = 15,
    kR2White = 16,
};

// Ternary raster operations (the full 32-bit codes stored in blit records).
enum Rop3 : uint32_t {
    kSrcCopy = 0x00CC0020,
    kSrcPaint = 0x00EE0086,
    kSrcAnd = 0x008800C6,
    kSrcInvert = 0x00660046,
    kSrcErase = 0x00440328,
    kNotSrcCopy = 0x00330008,
    kNotSrcErase = 0x001100A6,
    kMergeCopy = 0x00C000CA,
    kMergePaint = 0x00BB0226,
    kPatCopy = 0x00F00021,
    kPatPaint = 0x00FB0A09,
    kPatInvert = 0x005A0049,
    kDstInvert = 0x00550009,
    kBlackness = 0x00000042,
    kWhiteness = 0x00FF0062,
};

// Region combination modes (CombineRgn, ExtSelectClipRgn).
enum RegionMode : int { kRgnAnd = 1, kRgnOr = 2, kRgnXor = 3, kRgnDiff = 4, kRgnCopy = 5 };

// Stretch modes.
enum StretchMode : int {
    kBlackOnWhite = 1,
    kWhiteOnBlack = 2,
    kColorOnColor = 3,
    kHalftone = 4,
};

// Font character sets that select a code page for narrow strings.
enum CharSet : uint8_t {
    kAnsiCharset = 0,
    kDefaultCharset = 1,
    kSymbolCharset = 2,
    kMacCharset = 77,
    kOemCharset = 255,
};

}  // namespace qv::gdi
