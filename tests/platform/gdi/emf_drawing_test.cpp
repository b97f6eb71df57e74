// Pens, brushes, fill modes, clipping, paths, arcs and bitmaps of the EMF player.

#include <gtest/gtest.h>

#include <QPicture>

#include "emf_builder.h"

namespace qv::gdi::testing {
namespace {

constexpr uint32_t kStock = 0x80000000u;
constexpr int kRed = 0x0000FF;  // COLORREF

// Dark pixels along column x (vertical run) or row y.
int darkInColumn(const QImage& img, int x, int y0, int y1) {
    return DarkPixels(img, QRect(x, y0, 1, y1 - y0 + 1));
}

TEST(EmfPens, CosmeticPensStayOnePixelGeometricPensScale) {
    const struct {
        int width;
        int expected;  // thickness in pixels at a zoom of 4
    } cases[] = {{0, 1}, {1, 4}, {4, 16}};
    for (const auto& c : cases) {
        EmfBuilder b;
        b.rec(38, {1, 0, c.width, 0, 0}).rec(37, {1}).rec(27, {10, 50}).rec(54, {90, 50});
        const QImage img = RenderEmf(b.finish(), QSize(400, 400));
        EXPECT_NEAR(darkInColumn(img, 200, 150, 250), c.expected, 1) << c.width;
    }
}

// A thin line lands on the pixel row nearest its coordinate, as GDI rounds it:
// drawn at a tenth of the size, y = 10.6 is row 11 and y = 30.4 row 30.
TEST(EmfPens, ThinLinesRoundToTheNearestPixelRow) {
    EmfBuilder b(1000, 1000);
    b.rec(27, {0, 106}).rec(54, {900, 106}).rec(27, {0, 304}).rec(54, {900, 304});
    const QImage img = RenderEmf(b.finish(), QSize(100, 100));
    EXPECT_EQ(darkInColumn(img, 50, 8, 13), 1);
    EXPECT_EQ(At(img, 50, 11), 0u);
    EXPECT_EQ(darkInColumn(img, 50, 28, 33), 1);
    EXPECT_EQ(At(img, 50, 30), 0u);
}

// On pixels a pen has a whole width: rounded from its scaled width, centred
// on the rounded coordinate when odd, reaching one more pixel up when even.
TEST(EmfPens, WidePensTakeWholePixelWidths) {
    const struct {
        int width, y;        // logical width and y, drawn at 0.8
        int firstRow, rows;  // expected rows at x = 400
    } cases[] = {{3, 226, 180, 2}, {4, 314, 250, 3}, {5, 402, 320, 4}};
    for (const auto& c : cases) {
        EmfBuilder b(1000, 1000);
        b.rec(38, {1, 0, c.width, 0, 0}).rec(37, {1}).rec(27, {100, c.y}).rec(54, {900, c.y});
        const QImage img = RenderEmf(b.finish(), QSize(800, 800));
        EXPECT_EQ(darkInColumn(img, 400, c.firstRow - 4, c.firstRow + c.rows + 4), c.rows)
            << c.width;
        EXPECT_EQ(At(img, 400, c.firstRow), 0u) << c.width;
        EXPECT_EQ(At(img, 400, c.firstRow + c.rows - 1), 0u) << c.width;
    }
}

TEST(EmfPens, DashesTurnSolidAboveWidthOneAndGapsTakeTheOpaqueBackground) {
    const struct {
        int width, bkMode;
        bool gaps;
        QRgb gapColor;
    } cases[] = {{1, 1, true, 0xFFFFFF}, {3, 1, false, 0}, {1, 2, true, 0xFF0000}};
    for (const auto& c : cases) {
        EmfBuilder b(200, 20);
        b.rec(25, {kRed}).rec(18, {c.bkMode});
        b.rec(38, {1, 1 /*PS_DASH*/, c.width, 0, 0})
            .rec(37, {1})
            .rec(27, {0, 10})
            .rec(54, {200, 10});
        const QImage img = RenderEmf(b.finish(), QSize(200, 20));
        int gap = 0, ink = 0;
        for (int x = 0; x < 200; ++x) {
            const QRgb p = At(img, x, 10);
            if (p == 0)
                ++ink;
            else if (p == c.gapColor)
                ++gap;
        }
        EXPECT_GT(ink, 50) << c.width << " " << c.bkMode;
        if (c.gaps)
            EXPECT_GT(gap, 20) << c.width << " " << c.bkMode;
        else
            EXPECT_EQ(ink, 200) << c.width;
    }
}

TEST(EmfPens, RoundCapsByDefaultFlatWhenAsked) {
    for (bool flat : {false, true}) {
        EmfBuilder b;
        if (flat) {
            b.rec(95, {1, 0, 0, 0, 0, 0x10000 | 0x200, 20, 0, 0, 0, 0});
        } else {
            b.rec(38, {1, 0, 20, 0, 0});
        }
        b.rec(37, {1}).rec(27, {30, 50}).rec(54, {70, 50});
        const QImage img = RenderEmf(b.finish());
        EXPECT_EQ(At(img, 24, 50) == 0, !flat) << flat;
        EXPECT_EQ(At(img, 31, 50), 0u);
    }
}

TEST(EmfPens, InsideFramePenStaysInsideTheBox) {
    EmfBuilder b;
    b.rec(38, {1, 6 /*PS_INSIDEFRAME*/, 10, 0, 0}).rec(37, {1}).rec(37, {kStock | 5});
    b.rec(43, {20, 20, 80, 80});
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 17, 50), 0xFFFFFFu);
    EXPECT_EQ(At(img, 22, 50), 0u);
    EXPECT_EQ(At(img, 28, 50), 0u);
    EXPECT_EQ(At(img, 32, 50), 0xFFFFFFu);
}

TEST(EmfBrushes, HatchesAreEightDevicePixelsWithBackgroundOnlyWhenOpaque) {
    for (int bkMode : {1, 2}) {
        EmfBuilder b;
        b.rec(25, {kRed}).rec(18, {bkMode}).rec(37, {kStock | 8});
        b.rec(39, {1, 2 /*BS_HATCHED*/, 0, 0 /*HS_HORIZONTAL*/}).rec(37, {1});
        b.rec(43, {0, 0, 100, 100});
        const QImage img = RenderEmf(b.finish(), QSize(400, 400));  // zoom 4: tiles unscaled
        int lines = 0;
        for (int y = 100; y < 164; ++y)
            lines += At(img, 200, y) == 0 ? 1 : 0;
        EXPECT_EQ(lines, 8) << bkMode;
        int red = 0;
        for (int y = 100; y < 164; ++y)
            red += At(img, 200, y) == 0xFF0000 ? 1 : 0;
        EXPECT_EQ(red, bkMode == 2 ? 56 : 0) << bkMode;
    }
}

// Two nested squares, same orientation: ALTERNATE leaves the inner one empty.
TEST(EmfGeometry, AlternateIsTheDefaultFillRule) {
    for (int mode : {0, 2}) {
        EmfBuilder b;
        if (mode)
            b.rec(19, {mode});
        b.rec(37, {kStock | 4}).rec(37, {kStock | 8});
        b.rec(8, {0,  0,  100, 100, 2,  8,  4,  4,  10, 10, 90, 10,
                  90, 90, 10,  90,  30, 30, 70, 30, 70, 70, 30, 70});
        const QImage img = RenderEmf(b.finish());
        EXPECT_EQ(At(img, 20, 20), 0u);
        EXPECT_EQ(At(img, 50, 50), mode == 2 ? 0u : 0xFFFFFFu) << mode;
    }
}

TEST(EmfGeometry, SixteenBitPolygon) {
    std::vector<uint8_t> body;
    for (int v : {0, 0, 100, 100, 3})
        EmfBuilder::put32(body, v);
    for (int v : {10, 10, 90, 10, 50, 90})
        EmfBuilder::put16(body, static_cast<uint16_t>(v));
    EmfBuilder b;
    b.rec(37, {kStock | 4}).raw(86, body);
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 50, 40), 0u);
    EXPECT_EQ(At(img, 15, 80), 0xFFFFFFu);
}

TEST(EmfClipping, IntersectExcludeAndReset) {
    EmfBuilder b;
    b.rec(37, {kStock | 4}).rec(37, {kStock | 8});
    b.rec(30, {0, 0, 50, 100});  // IntersectClipRect: left half
    b.rec(29, {0, 0, 20, 20});   // ExcludeClipRect: top-left corner
    b.rec(43, {0, 0, 100, 50});
    b.rec(75, {0, 5});  // ExtSelectClipRgn RGN_COPY without region: no clip
    b.rec(43, {0, 60, 100, 100});
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 30, 30), 0u);
    EXPECT_EQ(At(img, 10, 10), 0xFFFFFFu);
    EXPECT_EQ(At(img, 70, 30), 0xFFFFFFu);
    EXPECT_EQ(At(img, 90, 80), 0u);
}

TEST(EmfClipping, RegionDataIsInDeviceUnits) {
    EmfBuilder b;
    b.rec(37, {kStock | 4}).rec(37, {kStock | 8});
    b.rec(9, {200, 200}).rec(17, {8}).rec(9, {200, 200}).rec(11, {100, 100});  // half scale
    b.rec(75, {48, 5, 32, 1, 1, 16, 0, 0, 40, 40, 0, 0, 40, 40});              // device rect 0..40
    b.rec(43, {0, 0, 200, 200});
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 35, 35), 0u);
    EXPECT_EQ(At(img, 45, 45), 0xFFFFFFu);
}

TEST(EmfPaths, FillStrokeAndClipToPath) {
    EmfBuilder b;
    b.rec(37, {kStock | 4}).rec(37, {kStock | 8});
    b.rec(59, {}).rec(27, {10, 10}).rec(54, {40, 10}).rec(54, {40, 40}).rec(61, {}).rec(60, {});
    b.rec(62, {});                                                     // FillPath
    b.rec(59, {}).rec(42, {50, 50, 90, 90}).rec(60, {}).rec(67, {5});  // clip to an ellipse
    b.rec(43, {50, 50, 100, 100});
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 35, 20), 0u);  // inside the triangle
    EXPECT_EQ(At(img, 15, 35), 0xFFFFFFu);
    EXPECT_EQ(At(img, 70, 70), 0u);  // inside the ellipse
    EXPECT_EQ(At(img, 52, 52), 0xFFFFFFu);
}

TEST(EmfArcs, PieCoversTheCounterClockwiseQuarter) {
    for (int direction : {1, 2}) {
        EmfBuilder b;
        b.rec(57, {direction}).rec(37, {kStock | 4});
        // From the point at 0 degrees (right) to 90 degrees (top).
        b.rec(47, {10, 10, 90, 90, 90, 50, 50, 10});
        const QImage img = RenderEmf(b.finish());
        const bool ccw = direction == 1;
        EXPECT_EQ(At(img, 70, 30) == 0, ccw) << direction;
        EXPECT_EQ(At(img, 30, 70) == 0, !ccw) << direction;
    }
}

// STRETCHDIBITS with a bottom-up 2 x 2 24-bit DIB: blue, green (bottom row), red, white.
std::vector<uint8_t> stretchDibits(int x, int y, int w, int h, uint32_t rop) {
    std::vector<uint8_t> body;
    for (int v : {0, 0, 100, 100, x, y, 0, 0, 2, 2, 80, 40, 120, 16, 0})
        EmfBuilder::put32(body, v);
    EmfBuilder::put32(body, rop);
    EmfBuilder::put32(body, w);
    EmfBuilder::put32(body, h);
    for (int v : {40, 2, 2})
        EmfBuilder::put32(body, v);
    EmfBuilder::put16(body, 1);
    EmfBuilder::put16(body, 24);
    for (int v : {0, 16, 0, 0, 0, 0})
        EmfBuilder::put32(body, v);
    const uint8_t bits[16] = {255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
    body.insert(body.end(), bits, bits + 16);
    return body;
}

TEST(EmfBitmaps, StretchDibitsIsBottomUpAndScaled) {
    EmfBuilder b;
    b.raw(81, stretchDibits(0, 0, 100, 100, 0x00CC0020));
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 25, 25), 0xFF0000u);
    EXPECT_EQ(At(img, 75, 25), 0xFFFFFFu);
    EXPECT_EQ(At(img, 25, 75), 0x0000FFu);
    EXPECT_EQ(At(img, 75, 75), 0x00FF00u);
}

TEST(EmfBitmaps, RasterOperationsUseTheDestinationOnImages) {
    EmfBuilder b;
    b.rec(37, {kStock | 2}).rec(37, {kStock | 8}).rec(43, {0, 0, 101, 101});  // grey 128
    b.raw(81, stretchDibits(0, 0, 100, 100, 0x008800C6));                     // SRCAND
    b.rec(76, {0, 0, 0, 0, 50, 0, 50, 100, 0x00550009});  // DSTINVERT, right half
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 25, 25), 0x800000u);
    EXPECT_EQ(At(img, 75, 25), 0x7F7F7Fu);
    EXPECT_EQ(At(img, 25, 75), 0x000080u);
    EXPECT_EQ(At(img, 75, 75), 0xFF7FFFu);
}

// SetDIBitsToDevice with a band of two scan lines of a bitmap four lines high.
TEST(EmfBitmaps, SetDibitsToDeviceTakesABandOfScanLines) {
    std::vector<uint8_t> body;
    for (int v : {0, 0, 100, 100, 10, 10, 0, 0, 2, 2, 76, 40, 116, 16, 0, 0, 2})
        EmfBuilder::put32(body, v);
    for (int v : {40, 2, 4})
        EmfBuilder::put32(body, v);
    EmfBuilder::put16(body, 1);
    EmfBuilder::put16(body, 24);
    for (int v : {0, 16, 0, 0, 0, 0})
        EmfBuilder::put32(body, v);
    const uint8_t bits[16] = {255, 0, 0, 255, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0};
    body.insert(body.end(), bits, bits + 16);  // bottom row blue, the next green
    EmfBuilder b;
    b.raw(80, body);
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 10, 10), 0x00FF00u);
    EXPECT_EQ(At(img, 11, 11), 0x0000FFu);
    EXPECT_EQ(At(img, 10, 12), 0xFFFFFFu);
}

// On a vector target (here a QPicture) an AND blit cannot read the page:
// its white pixels, which would leave the page alone, become transparent.
TEST(EmfBitmaps, MaskBlitsBecomeTransparencyOnVectorTargets) {
    EmfBuilder b;
    b.rec(39, {1, 0, kRed, 0}).rec(37, {1}).rec(37, {kStock | 8}).rec(43, {0, 0, 101, 101});
    b.raw(81, stretchDibits(0, 0, 100, 100, 0x008800C6));  // SRCAND
    const EmfDocument doc(b.finish());
    QPicture recording;
    {
        QPainter p(&recording);
        doc.play(p, QRectF(0, 0, 100, 100));
    }
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.drawPicture(0, 0, recording);
    }
    EXPECT_EQ(At(img, 75, 25), 0xFF0000u);  // white source pixel: the red page stays
    EXPECT_EQ(At(img, 25, 75), 0x0000FFu);
}

TEST(EmfBitmaps, BitBltWithoutSourceFillsWithTheBrush) {
    EmfBuilder b;
    b.rec(39, {1, 0, kRed, 0}).rec(37, {1});
    b.rec(76, {0, 0, 0, 0, 10, 10, 30, 30, 0x00F00021});  // PATCOPY
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 20, 20), 0xFF0000u);
    EXPECT_EQ(At(img, 45, 45), 0xFFFFFFu);
}

// GRADIENTFILL in triangle mode shades linearly between the corner colours.
TEST(EmfGradient, TriangleColoursRunBetweenItsCorners) {
    std::vector<uint8_t> body;
    for (int v : {0, 0, 100, 100, 3, 1, 2})  // bounds, vertices, triangles, GRADIENT_FILL_TRIANGLE
        EmfBuilder::put32(body, static_cast<uint32_t>(v));
    const struct {
        int x, y;
        int r, g, b;
    } corners[] = {{0, 0, 255, 0, 0}, {100, 0, 0, 255, 0}, {0, 100, 0, 0, 255}};
    for (const auto& c : corners) {
        EmfBuilder::put32(body, static_cast<uint32_t>(c.x));
        EmfBuilder::put32(body, static_cast<uint32_t>(c.y));
        for (int v : {c.r, c.g, c.b, 0})
            EmfBuilder::put16(body, static_cast<uint16_t>(v << 8));
    }
    for (int v : {0, 1, 2})
        EmfBuilder::put32(body, static_cast<uint32_t>(v));
    EmfBuilder b;
    b.raw(118, body);
    const QImage img = RenderEmf(b.finish());
    const auto near = [](QRgb got, int r, int g, int bl) {
        return std::abs(qRed(got) - r) <= 8 && std::abs(qGreen(got) - g) <= 8 &&
               std::abs(qBlue(got) - bl) <= 8;
    };
    EXPECT_TRUE(near(img.pixel(2, 2), 246, 5, 5)) << std::hex << img.pixel(2, 2);
    EXPECT_TRUE(near(img.pixel(90, 5), 13, 230, 13)) << std::hex << img.pixel(90, 5);
    EXPECT_TRUE(near(img.pixel(33, 33), 86, 85, 85)) << std::hex << img.pixel(33, 33);
    EXPECT_EQ(At(img, 80, 80), 0xFFFFFFu);  // outside the triangle
}

// PLGBLT maps the source onto a parallelogram; its mask keeps the
// destination where the mask is 0.
TEST(EmfBitmaps, PlgBltDrawsOntoTheParallelogramThroughItsMask) {
    for (bool masked : {false, true}) {
        std::vector<uint8_t> body;
        const auto put = [&](std::initializer_list<int64_t> words) {
            for (int64_t w : words)
                EmfBuilder::put32(body, static_cast<uint32_t>(w));
        };
        put({0, 0, 100, 100});                      // bounds
        put({10, 10, 60, 10, 30, 60});              // top-left, top-right, bottom-left
        put({0, 0, 2, 2});                          // source rectangle
        put({0x3F800000, 0, 0, 0x3F800000, 0, 0});  // source transform
        put({0, 0});                                // background, usage
        put({140, 40, 180, 16});                    // source header and bits
        put({0, 0, 0});                             // mask origin, usage
        put(masked ? std::initializer_list<int64_t>{196, 48, 244, 8}
                   : std::initializer_list<int64_t>{0, 0, 0, 0});
        put({40, 2, 2, 0x180001, 0, 0, 0, 0, 0, 0});  // 2 x 2, 24 bits
        for (int row = 0; row < 2; ++row)
            body.insert(body.end(), {0, 0, 255, 0, 0, 255, 0, 0});  // red
        put({40, 2, 2, 0x10001, 0, 0, 0, 0, 2, 0});                 // 2 x 2, 1 bit
        put({0x000000, 0xFFFFFF});                                  // colour table
        put({0x80, 0x80});                                          // left column set
        EmfBuilder b;
        b.raw(79, body);
        const QImage img = RenderEmf(b.finish());
        EXPECT_EQ(At(img, 32, 35), 0xFF0000u) << masked;  // left half
        EXPECT_EQ(At(img, 57, 35), masked ? 0xFFFFFFu : 0xFF0000u) << masked;
        EXPECT_EQ(At(img, 13, 55), 0xFFFFFFu) << masked;  // left of the slanted edge
        EXPECT_EQ(At(img, 70, 20), 0xFFFFFFu) << masked;
    }
}

// EXTFLOODFILL fills from a point with the brush: up to a border colour, or
// the area of one colour.
TEST(EmfShapes, FloodFillStopsAtTheBorderOrFillsTheSurface) {
    const struct {
        int x, y, color, mode;
        QRgb inside, outside;
    } cases[] = {{25, 25, 0x000000, 0, 0xFF0000, 0xFFFFFF},   // FLOODFILLBORDER
                 {80, 80, 0xFFFFFF, 1, 0xFFFFFF, 0xFF0000}};  // FLOODFILLSURFACE
    for (const auto& c : cases) {
        EmfBuilder b;
        b.rec(37, {kStock | 5}).rec(43, {10, 10, 50, 50});  // hollow brush, black frame
        b.rec(39, {1, 0, kRed, 0}).rec(37, {1});
        b.rec(53, {c.x, c.y, c.color, c.mode});
        const QImage img = RenderEmf(b.finish());
        EXPECT_EQ(At(img, 30, 30), c.inside) << c.mode;
        EXPECT_EQ(At(img, 80, 20), c.outside) << c.mode;
        EXPECT_EQ(At(img, 10, 30), 0u) << c.mode;  // the frame itself
    }
}

}  // namespace
}  // namespace qv::gdi::testing
