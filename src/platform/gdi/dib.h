#pragma once

// Device-independent bitmaps as metafile records carry them: a BITMAPINFO
// block (header plus colour table or masks) and a block of pixel bits.

#include <QImage>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qv {

// How the colour table of a DIB is to be read (the iUsage/ColorUsage field).
constexpr uint32_t kDibRgbColors = 0;  // RGBQUAD entries
constexpr uint32_t kDibPalColors = 1;  // 16-bit indices into the DC's logical palette

// Compression values of the BITMAPINFOHEADER.
constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr uint32_t kBiRle4 = 2;
constexpr uint32_t kBiBitfields = 3;
constexpr uint32_t kBiJpeg = 4;
constexpr uint32_t kBiPng = 5;

// Refuse bitmaps above this many pixels before anything is allocated.
constexpr int64_t kMaxDibPixels = 64ll * 1024 * 1024;

// What the destination DC lends a DIB while it is decoded.
struct DibColors {
    // The DC's selected logical palette, for kDibPalColors. Empty means the
    // default palette (the 20 static colours).
    std::vector<QRgb> palette;
    // Text and background colours of the DC. A monochrome device-dependent
    // bitmap drawn onto a colour device takes them: 0 bits (black) become
    // the text colour, 1 bits (white) the background colour.
    QRgb textColor = qRgb(0, 0, 0);
    QRgb backgroundColor = qRgb(255, 255, 255);
    // Treat a 1-bit DIB as a monochrome device bitmap (its colour table only
    // decides which bits are "black" and which are "white") and colour it
    // with textColor/backgroundColor. Set for BitBlt-family sources and
    // monochrome pattern brushes; leave clear for StretchDIBits-style records,
    // where the DIB's own colour table is used.
    bool monochromeUsesDcColors = false;
};

// The fields of a DIB header that callers may need without decoding pixels.
struct DibHeader {
    uint32_t headerSize = 0;
    int32_t width = 0;
    int32_t height = 0;  // absolute value; topDown tells the row order
    bool topDown = false;
    uint16_t bitCount = 0;
    uint32_t compression = kBiRgb;
    uint32_t colorsUsed = 0;      // entries in the colour table actually present
    uint32_t masks[4] = {};       // red, green, blue, alpha for BI_BITFIELDS / 16 / 32 bits
    size_t colorTableOffset = 0;  // from the start of bitmapInfo
    uint32_t sizeImage = 0;
};

// Parses and validates the header at the start of bitmapInfo (12-byte core
// header, 40-byte info header, 108-byte V4 and 124-byte V5 headers). False
// when the header is short, unknown or its size is absurd.
bool ParseDibHeader(std::span<const uint8_t> bitmapInfo, uint32_t usage, DibHeader& header);

// The length of the BITMAPINFO part (header, masks, colour table) of a
// packed DIB, whose pixel bits follow directly; 0 when the header is invalid
// or the table runs past the bytes.
size_t PackedDibInfoSize(std::span<const uint8_t> packed, uint32_t usage);

// Bytes of one uncompressed row (4-byte aligned), or 0 when out of range.
size_t DibStride(int32_t width, uint16_t bitCount);

// Decodes a DIB to an opaque Format_RGB32 image (Format_ARGB32 only for
// embedded PNG with transparency). Row order and every supported encoding
// are handled; a 32-bit DIB's alpha byte is ignored. Returns a null image
// for anything malformed: short data, unknown header, too many pixels.
QImage DecodeDib(std::span<const uint8_t> bitmapInfo, std::span<const uint8_t> bits, uint32_t usage,
                 const DibColors& colors);

// As DecodeDib, but keeps a 32-bit DIB's per-pixel alpha, as AlphaBlend with
// AC_SRC_ALPHA reads it: the result is Format_ARGB32_Premultiplied with the
// bitmap's bytes taken as already premultiplied (clamped so colour never
// exceeds alpha). A 32-bit bitmap whose alpha is zero everywhere is opaque.
QImage DecodeDibWithAlpha(std::span<const uint8_t> bitmapInfo, std::span<const uint8_t> bits,
                          uint32_t usage, const DibColors& colors);

// Decodes a 16-bit Windows device-dependent bitmap (the BITMAP16 object of
// old WMF blit records): 10-byte header (type, width, height, width bytes,
// planes, bits per pixel) followed by the bits, rows top-down, each padded
// to a 16-bit boundary. One-bit bitmaps take the DC's text and background
// colours; 4 and 8 bits use the default palette; 24 bits is BGR.
QImage DecodeBitmap16(std::span<const uint8_t> record, const DibColors& colors);

// The 20 static colours of the default palette (indices 0-9, then 246-255
// in a 256-entry system palette; here packed as 0..19).
const std::vector<QRgb>& DefaultPalette();

}  // namespace qv
