#include "platform/gdi/raster_ops.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cstdint>

namespace qv {
namespace {

// A 7 x 5 image whose pixels cover many bit combinations.
QImage Noise(uint32_t seed) {
    QImage image(7, 5, QImage::Format_RGB32);
    uint32_t v = seed;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            v = v * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xFF000000u | (v >> 8));
        }
    }
    return image;
}

TEST(RasterOps, FastPathsMatchTheTruthTable) {
    const uint32_t codes[] = {kSrcCopy,    kSrcPaint,    kSrcAnd,    kSrcInvert,  kSrcErase,
                              kNotSrcCopy, kNotSrcErase, kMergeCopy, kMergePaint, kPatCopy,
                              kPatPaint,   kPatInvert,   kDstInvert, kBlackness,  kWhiteness,
                              0x00B8074A /* PSDPxax, no fast path */};
    const QImage source = Noise(1);
    const QImage pattern = Noise(2).copy(0, 0, 3, 2);
    const QPoint origin(1, -1);
    for (uint32_t code : codes) {
        SCOPED_TRACE(code);
        QImage destination = Noise(3);
        const QImage before = destination.copy();
        ApplyRop3(destination, &source, &pattern, origin, code);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                const int px = ((x - origin.x()) % 3 + 3) % 3;
                const int py = ((y - origin.y()) % 2 + 2) % 2;
                const uint32_t want = Rop3Pixel(Rop3Index(code), pattern.pixel(px, py),
                                                source.pixel(x, y), before.pixel(x, y));
                ASSERT_EQ(destination.pixel(x, y), (want & 0xFFFFFFu) | 0xFF000000u)
                    << x << "," << y;
            }
        }
    }
}

TEST(RasterOps, TruthTableKnowsWhatEachCodeReads) {
    EXPECT_TRUE(Rop3UsesSource(kSrcCopy));
    EXPECT_FALSE(Rop3UsesPattern(kSrcCopy));
    EXPECT_FALSE(Rop3UsesDestination(kSrcCopy));
    EXPECT_TRUE(Rop3UsesPattern(kPatInvert));
    EXPECT_TRUE(Rop3UsesDestination(kPatInvert));
    EXPECT_FALSE(Rop3UsesSource(kPatInvert));
    EXPECT_FALSE(Rop3UsesSource(kWhiteness));
    EXPECT_EQ(Rop3Pixel(Rop3Index(kSrcErase), 0, 0xF0, 0xCC), 0xF0u & ~0xCCu);
}

TEST(RasterOps, MissingSourceOrPatternDrawsNothing) {
    QImage destination = Noise(4);
    const QImage before = destination.copy();
    ApplyRop3(destination, nullptr, nullptr, {}, kSrcCopy);
    ApplyRop3(destination, nullptr, nullptr, {}, kPatCopy);
    EXPECT_EQ(destination, before);
}

TEST(RasterOps, TransparentPixelsOfSourceAndPatternLeaveTheDestination) {
    QImage destination(2, 1, QImage::Format_RGB32);
    destination.fill(qRgb(1, 2, 3));
    QImage tile(2, 1, QImage::Format_ARGB32);
    tile.setPixel(0, 0, qRgb(200, 0, 0));
    tile.setPixel(1, 0, 0);  // a hatch gap in transparent mode
    ApplyRop3(destination, nullptr, &tile, {}, kPatCopy);
    EXPECT_EQ(destination.pixel(0, 0), qRgb(200, 0, 0));
    EXPECT_EQ(destination.pixel(1, 0), qRgb(1, 2, 3));
}

TEST(RasterOps, Rop2Modes) {
    struct Case {
        int rop2;
        QRgb expected;
    };
    const QRgb pen = qRgb(0xF0, 0x0F, 0xAA);
    const QRgb dst = qRgb(0xCC, 0x33, 0x0F);
    const Case cases[] = {
        {kR2Black, qRgb(0, 0, 0)},
        {kR2CopyPen, pen},
        {kR2Nop, dst},
        {kR2XorPen, qRgb(0xF0 ^ 0xCC, 0x0F ^ 0x33, 0xAA ^ 0x0F)},
        {kR2MaskPen, qRgb(0xF0 & 0xCC, 0x0F & 0x33, 0xAA & 0x0F)},
        {kR2MergePen, qRgb(0xF0 | 0xCC, 0x0F | 0x33, 0xAA | 0x0F)},
        {kR2Not, qRgb(0x33, 0xCC, 0xF0)},
        {kR2NotCopyPen, qRgb(0x0F, 0xF0, 0x55)},
        {kR2White, qRgb(255, 255, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rop2);
        QImage destination(2, 1, QImage::Format_RGB32);
        destination.fill(dst);
        QImage layer(2, 1, QImage::Format_ARGB32);
        layer.fill(0);
        layer.setPixel(0, 0, pen);
        ApplyRop2(destination, layer, c.rop2);
        EXPECT_EQ(destination.pixel(0, 0), c.expected);
        EXPECT_EQ(destination.pixel(1, 0), dst);  // not drawn
    }
}

TEST(RasterOps, TransparentCopySkipsTheKeyColour) {
    QImage destination(2, 1, QImage::Format_RGB32);
    destination.fill(qRgb(9, 9, 9));
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 255));
    source.setPixel(1, 0, qRgb(1, 2, 3));
    TransparentCopy(destination, source, qRgb(255, 0, 255));
    EXPECT_EQ(destination.pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_EQ(destination.pixel(1, 0), qRgb(1, 2, 3));
}

TEST(RasterOps, MaskChoosesForegroundOrBackgroundRop) {
    QImage destination(2, 1, QImage::Format_RGB32);
    destination.fill(qRgb(10, 20, 30));
    QImage source(2, 1, QImage::Format_RGB32);
    source.fill(qRgb(200, 100, 50));
    QImage mask(2, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, qRgb(255, 255, 255));
    mask.setPixel(1, 0, qRgb(0, 0, 0));
    // foreground SRCCOPY, background leaves the destination (0xAA)
    const uint32_t rop4 = 0xAA000000u | kSrcCopy;
    ApplyMaskedRop(destination, &source, nullptr, {}, mask, rop4);
    EXPECT_EQ(destination.pixel(0, 0), qRgb(200, 100, 50));
    EXPECT_EQ(destination.pixel(1, 0), qRgb(10, 20, 30));
}

TEST(RasterOps, AlphaBlendConstantAndPerPixel) {
    QImage destination(2, 1, QImage::Format_RGB32);
    destination.fill(qRgb(0, 0, 200));
    QImage source(2, 1, QImage::Format_ARGB32_Premultiplied);
    source.setPixel(0, 0, qRgba(255, 0, 0, 255));
    source.setPixel(1, 0, qRgba(0, 0, 0, 0));
    QImage constant = destination.copy();
    AlphaBlendOnto(constant, source, 128, false);
    EXPECT_NEAR(qRed(constant.pixel(0, 0)), 128, 1);
    EXPECT_NEAR(qBlue(constant.pixel(0, 0)), 100, 1);
    AlphaBlendOnto(destination, source, 255, true);
    EXPECT_EQ(destination.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(destination.pixel(1, 0), qRgb(0, 0, 200));  // transparent source pixel
}

}  // namespace
}  // namespace qv
