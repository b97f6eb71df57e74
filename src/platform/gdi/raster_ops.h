#pragma once

// Raster operations on images, as GDI combines source, pattern and
// destination bits. All functions work on Format_RGB32, Format_ARGB32 or
// Format_ARGB32_Premultiplied images in place; raster operations act on the
// 24 colour bits and leave the results opaque.

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <cstdint>

namespace qv {

// Ternary raster operation codes (dwRop).
constexpr uint32_t kSrcCopy = 0x00CC0020;
constexpr uint32_t kSrcPaint = 0x00EE0086;
constexpr uint32_t kSrcAnd = 0x008800C6;
constexpr uint32_t kSrcInvert = 0x00660046;
constexpr uint32_t kSrcErase = 0x00440328;
constexpr uint32_t kNotSrcCopy = 0x00330008;
constexpr uint32_t kNotSrcErase = 0x001100A6;
constexpr uint32_t kMergeCopy = 0x00C000CA;
constexpr uint32_t kMergePaint = 0x00BB0226;
constexpr uint32_t kPatCopy = 0x00F00021;
constexpr uint32_t kPatPaint = 0x00FB0A09;
constexpr uint32_t kPatInvert = 0x005A0049;
constexpr uint32_t kDstInvert = 0x00550009;
constexpr uint32_t kBlackness = 0x00000042;
constexpr uint32_t kWhiteness = 0x00FF0062;

// Binary raster modes (SetROP2), 1..16.
constexpr int kR2Black = 1;
constexpr int kR2NotMergePen = 2;
constexpr int kR2MaskNotPen = 3;
constexpr int kR2NotCopyPen = 4;
constexpr int kR2MaskPenNot = 5;
constexpr int kR2Not = 6;
constexpr int kR2XorPen = 7;
constexpr int kR2NotMaskPen = 8;
constexpr int kR2MaskPen = 9;
constexpr int kR2NotXorPen = 10;
constexpr int kR2Nop = 11;
constexpr int kR2MergeNotPen = 12;
constexpr int kR2CopyPen = 13;
constexpr int kR2MergePenNot = 14;
constexpr int kR2MergePen = 15;
constexpr int kR2White = 16;

// The operation index of a ROP3 code: its truth table over pattern (bit
// weight 4), source (2) and destination (1).
inline uint8_t Rop3Index(uint32_t rop3) {
    return static_cast<uint8_t>((rop3 >> 16) & 0xFF);
}
bool Rop3UsesSource(uint32_t rop3);
bool Rop3UsesPattern(uint32_t rop3);
bool Rop3UsesDestination(uint32_t rop3);

// Applies rop3 to every pixel of destination. source, when used, is the
// same size as destination (already stretched by the caller). patternTile
// is repeated with its (0,0) at patternOrigin, in destination pixels. A
// missing source or pattern (a null brush) for an operation that reads one
// leaves destination unchanged, as GDI draws nothing then.
void ApplyRop3(QImage& destination, const QImage* source, const QImage* patternTile,
               QPoint patternOrigin, uint32_t rop3);

// The truth-table evaluation of rop3 for one pixel (colour bits only).
uint32_t Rop3Pixel(uint8_t index, uint32_t pattern, uint32_t source, uint32_t destination);

// Combines layer into destination with the binary raster mode rop2: every
// pixel of layer with alpha above 127 counts as drawn with its colour (the
// pen or brush colour); other pixels leave destination alone.
void ApplyRop2(QImage& destination, const QImage& layer, int rop2);

// The ROP2 result for one pixel (colour bits only).
uint32_t Rop2Pixel(int rop2, uint32_t pen, uint32_t destination);

// TransparentBlt: copies source onto destination (same size) except the
// pixels whose colour equals transparentColor (alpha ignored).
void TransparentCopy(QImage& destination, const QImage& source, QRgb transparentColor);

// MaskBlt: where the mask (same size, any format; a pixel is "1" when it is
// white/bright) is 1 the foreground ROP3 (low byte of rop4's high word, i.e.
// bits 16-23) applies, where it is 0 the background ROP3 (bits 24-31).
void ApplyMaskedRop(QImage& destination, const QImage* source, const QImage* patternTile,
                    QPoint patternOrigin, const QImage& mask, uint32_t rop4);

// AlphaBlend with BLENDFUNCTION: source (same size) is Format_ARGB32_Premultiplied
// when useSourceAlpha (AC_SRC_ALPHA), else treated as opaque; constantAlpha is
// SourceConstantAlpha (255 = opaque).
void AlphaBlendOnto(QImage& destination, const QImage& source, uint8_t constantAlpha,
                    bool useSourceAlpha);

}  // namespace qv
