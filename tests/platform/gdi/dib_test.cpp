#include "platform/gdi/dib.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <cstdint>
#include <vector>

namespace qv {
namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A BITMAPINFOHEADER (or a longer header of headerSize bytes, zero padded)
// followed by extra bytes (masks or colour table).
Bytes Info(int32_t w, int32_t h, uint16_t bpp, uint32_t compression = kBiRgb,
           const Bytes& extra = {}, uint32_t clrUsed = 0, uint32_t headerSize = 40) {
    Bytes b;
    Put32(b, headerSize);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, compression);
    for (int i = 0; i < 3; ++i)
        Put32(b, 0);  // size image, resolution
    Put32(b, clrUsed);
    Put32(b, 0);
    b.resize(headerSize, 0);
    b.insert(b.end(), extra.begin(), extra.end());
    return b;
}

Bytes Quads(std::initializer_list<QRgb> colors) {
    Bytes b;
    for (QRgb c : colors) {
        b.push_back(qBlue(c));
        b.push_back(qGreen(c));
        b.push_back(qRed(c));
        b.push_back(0);
    }
    return b;
}

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);

struct PixelCase {
    const char* name;
    Bytes info;
    Bytes bits;
    std::vector<QRgb> expected;  // row by row, top row first
    int width;
};

// Rows are stored bottom-up unless noted; expected lists the top row first.
std::vector<PixelCase> PixelCases() {
    return {
        {"1 bit",
         Info(3, 2, 1, kBiRgb, Quads({kRed, kBlue})),
         {0x40, 0, 0, 0, 0xA0, 0, 0, 0},  // bottom row 010, top row 101
         {kBlue, kRed, kBlue, kRed, kBlue, kRed},
         3},
        {"4 bit, used colours",
         Info(2, 1, 4, kBiRgb, Quads({kRed, kGreen, kBlue}), 3),
         {0x21, 0, 0, 0},
         {kBlue, kGreen},
         2},
        {"8 bit",
         Info(2, 2, 8, kBiRgb, Quads({kRed, kGreen, kBlue}), 3),
         {0, 1, 0, 0, 2, 2, 0, 0},
         {kBlue, kBlue, kRed, kGreen},
         2},
        {"top-down 8 bit",
         Info(2, -2, 8, kBiRgb, Quads({kRed, kGreen, kBlue}), 3),
         {0, 1, 0, 0, 2, 2, 0, 0},
         {kRed, kGreen, kBlue, kBlue},
         2},
        {"16 bit is 5-5-5", Info(2, 1, 16), {0x00, 0x7C, 0x1F, 0x00, 0, 0, 0, 0}, {kRed, kBlue}, 2},
        {"16 bit 5-6-5 masks after the header",
         Info(2, 1, 16, kBiBitfields,
              [] {
                  Bytes m;
                  Put32(m, 0xF800);
                  Put32(m, 0x07E0);
                  Put32(m, 0x001F);
                  return m;
              }()),
         {0xE0, 0x07, 0x00, 0xF8, 0, 0, 0, 0},
         {kGreen, kRed},
         2},
        {"24 bit", Info(2, 1, 24), {0, 0, 255, 255, 0, 0, 0, 0}, {kRed, kBlue}, 2},
        {"32 bit ignores alpha", Info(1, 1, 32), {0, 255, 0, 0}, {kGreen}, 1},
        {"32 bit masks in a V5 header",
         [] {
             Bytes b = Info(1, 1, 32, kBiBitfields, {}, 0, 124);
             for (int i = 0; i < 4; ++i) {
                 const uint32_t m[4] = {0xFF, 0xFF00, 0xFF0000, 0xFF000000u};
                 for (int k = 0; k < 4; ++k)
                     b[40 + 4 * i + k] = (m[i] >> (8 * k)) & 0xFF;
             }
             return b;
         }(),
         {255, 0, 0, 0},
         {kRed},
         1},
    };
}

TEST(Dib, DecodesEveryPixelFormat) {
    for (const PixelCase& c : PixelCases()) {
        SCOPED_TRACE(c.name);
        QImage image = DecodeDib(c.info, c.bits, kDibRgbColors, {});
        ASSERT_FALSE(image.isNull());
        ASSERT_EQ(image.width(), c.width);
        ASSERT_EQ(image.width() * image.height(), static_cast<int>(c.expected.size()));
        for (size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(image.pixel(i % c.width, i / c.width), c.expected[i]) << "pixel " << i;
        }
    }
}

TEST(Dib, CoreHeaderUsesColourTriples) {
    Bytes info;
    Put32(info, 12);
    Put16(info, 2);
    Put16(info, 1);
    Put16(info, 1);
    Put16(info, 1);
    info.insert(info.end(), {0, 0, 255, 255, 0, 0});  // red, blue
    QImage image = DecodeDib(info, Bytes{0x40, 0, 0, 0}, kDibRgbColors, {});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), kRed);
    EXPECT_EQ(image.pixel(1, 0), kBlue);
}

TEST(Dib, PaletteIndicesReadTheLogicalPalette) {
    Bytes table;
    Put16(table, 1);
    Put16(table, 0);
    DibColors colors;
    colors.palette = {kGreen, kBlue};
    Bytes info = Info(2, 1, 1, kBiRgb, table, 2);
    QImage image = DecodeDib(info, Bytes{0x40, 0, 0, 0}, kDibPalColors, colors);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), kBlue);
    EXPECT_EQ(image.pixel(1, 0), kGreen);
    // Without a selected palette the indices address the default palette.
    image = DecodeDib(info, Bytes{0x40, 0, 0, 0}, kDibPalColors, {});
    EXPECT_EQ(image.pixel(0, 0), qRgb(128, 0, 0));
}

TEST(Dib, MonochromeDeviceBitmapTakesTextAndBackgroundColours) {
    DibColors colors;
    colors.textColor = kRed;
    colors.backgroundColor = kGreen;
    colors.monochromeUsesDcColors = true;
    // A white-first table: bit 0 is white, so it takes the background colour.
    Bytes info = Info(2, 1, 1, kBiRgb, Quads({kWhite, kBlack}));
    QImage image = DecodeDib(info, Bytes{0x40, 0, 0, 0}, kDibRgbColors, colors);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), kGreen);
    EXPECT_EQ(image.pixel(1, 0), kRed);
}

TEST(Dib, Rle8RunsEscapesAndSkippedPixels) {
    // 4 x 3, bottom-up: row 0 = run of 2 red then absolute [1,2,1];
    // delta to row 2 column 1, run of 1 green, end of bitmap. Row 1 and the
    // rest of row 2 are never set and stay transparent.
    Bytes bits = {2, 0, 0, 3, 1, 2, 1, 0, 0, 0, 0, 2, 1, 1, 1, 1, 0, 1};
    Bytes info = Info(4, 3, 8, kBiRle8, Quads({kRed, kGreen, kBlue}), 3);
    QImage image = DecodeDib(info, bits, kDibRgbColors, {});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 2), kRed);
    EXPECT_EQ(image.pixel(1, 2), kRed);
    EXPECT_EQ(image.pixel(2, 2), kGreen);
    EXPECT_EQ(image.pixel(3, 2), kBlue);
    EXPECT_EQ(qAlpha(image.pixel(0, 1)), 0);
    EXPECT_EQ(image.pixel(1, 0), kGreen);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(image.pixel(2, 0)), 0);
}

TEST(Dib, Rle4AlternatesNibbles) {
    // run of 3 pixels alternating 1,2,1; absolute 3 pixels 2,0,1 padded to a word
    Bytes bits = {3, 0x12, 0, 3, 0x20, 0x10, 0, 1};
    Bytes info = Info(6, 1, 4, kBiRle4, Quads({kRed, kGreen, kBlue}), 3);
    QImage image = DecodeDib(info, bits, kDibRgbColors, {});
    ASSERT_FALSE(image.isNull());
    const QRgb expected[6] = {kGreen, kBlue, kGreen, kBlue, kRed, kGreen};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(image.pixel(x, 0), expected[x]) << x;
}

TEST(Dib, AlphaIsKeptPremultipliedOnlyWhenPresent) {
    Bytes info = Info(2, 1, 32);
    QImage opaque = DecodeDibWithAlpha(info, Bytes{0, 0, 255, 0, 255, 0, 0, 0}, kDibRgbColors, {});
    ASSERT_FALSE(opaque.isNull());
    EXPECT_EQ(opaque.pixel(0, 0), kRed);  // alpha zero everywhere: opaque
    QImage half = DecodeDibWithAlpha(info, Bytes{0, 0, 128, 128, 0, 0, 0, 0}, kDibRgbColors, {});
    ASSERT_EQ(half.format(), QImage::Format_ARGB32_Premultiplied);
    const QRgb raw = reinterpret_cast<const QRgb*>(half.constScanLine(0))[0];
    EXPECT_EQ(qAlpha(raw), 128);
    EXPECT_EQ(qRed(raw), 128);
    EXPECT_EQ(qAlpha(reinterpret_cast<const QRgb*>(half.constScanLine(0))[1]), 0);
}

TEST(Dib, PngPayloadDecodes) {
    QImage source(3, 2, QImage::Format_RGB32);
    source.fill(kBlue);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "PNG"));
    Bytes bits(png.begin(), png.end());
    QImage image = DecodeDib(Info(3, -2, 0, kBiPng), bits, kDibRgbColors, {});
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(2, 1), kBlue);
}

TEST(Dib, HostileHeadersGiveNullImages) {
    struct Case {
        const char* name;
        Bytes info;
        Bytes bits;
    };
    const Case cases[] = {
        {"huge", Info(0x7FFFFFFF, 0x7FFFFFFF, 24), Bytes(64)},
        {"over the pixel limit", Info(65536, 2048, 1), Bytes(64)},
        {"most negative height", Info(4, INT32_MIN, 8), Bytes(64)},
        {"zero width", Info(0, 4, 8), Bytes(64)},
        {"short bits", Info(16, 16, 24), Bytes(16 * 48 - 1)},
        {"header size past the block",
         [] {
             Bytes b = Info(1, 1, 24);
             b[0] = 200;
             return b;
         }(),
         Bytes(4)},
        {"short header", Bytes{40, 0, 0, 0, 1}, Bytes(4)},
        {"bad bit count", Info(1, 1, 7), Bytes(4)},
        {"RLE with a wrong bit count", Info(4, 4, 4, kBiRle8), Bytes(8)},
        {"RLE far larger than its data", Info(8000, 8000, 8, kBiRle8), Bytes{0, 1}},
        {"bitfields masks missing", Info(1, 1, 16, kBiBitfields), Bytes(4)},
        {"garbage PNG", Info(1, 1, 0, kBiPng), Bytes{1, 2, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(DecodeDib(c.info, c.bits, kDibRgbColors, {}).isNull());
    }
}

TEST(Dib, ColourTableCountIsClampedToWhatIsPresent) {
    // clrUsed claims 0xFFFFFFFF entries but only two are present; the rest read black.
    Bytes info = Info(2, 1, 8, kBiRgb, Quads({kRed, kBlue}), 0xFFFFFFFFu);
    QImage image = DecodeDib(info, Bytes{1, 7, 0, 0}, kDibRgbColors, {});
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(0, 0), kBlue);
    EXPECT_EQ(image.pixel(1, 0), kBlack);
}

TEST(Dib, Bitmap16MonochromeIsTopDownInDcColours) {
    Bytes record;
    Put16(record, 0);
    Put16(record, 3);  // width
    Put16(record, 2);  // height
    Put16(record, 2);  // bytes per row
    record.push_back(1);
    record.push_back(1);
    record.insert(record.end(), {0xA0, 0, 0x40, 0});
    DibColors colors;
    colors.textColor = kRed;
    colors.backgroundColor = kBlue;
    QImage image = DecodeBitmap16(record, colors);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), kBlue);
    EXPECT_EQ(image.pixel(1, 0), kRed);
    EXPECT_EQ(image.pixel(1, 1), kBlue);
    record.pop_back();
    EXPECT_TRUE(DecodeBitmap16(record, colors).isNull());
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(Dib, PackedDibInfoSizeCoversHeaderMasksAndTable) {
    EXPECT_EQ(PackedDibInfoSize(Info(2, 2, 8, kBiRgb, Bytes(12 + 4), 3), kDibRgbColors), 52u);
    EXPECT_EQ(PackedDibInfoSize(Info(2, 2, 8, kBiRgb, Bytes(6 + 4), 3), kDibPalColors), 46u);
    EXPECT_EQ(PackedDibInfoSize(Info(2, 2, 16, kBiBitfields, Bytes(12 + 8)), kDibRgbColors), 52u);
    EXPECT_EQ(PackedDibInfoSize(Info(2, 2, 24, kBiRgb, Bytes(8 + 12), 2), kDibRgbColors), 48u);
    EXPECT_EQ(PackedDibInfoSize(Info(2, 2, 8, kBiRgb, Bytes(4)), kDibRgbColors), 0u);  // table cut
}

}  // namespace
}  // namespace qv
