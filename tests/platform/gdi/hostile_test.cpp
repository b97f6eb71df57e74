// Records whose counts, sizes and offsets lie: each is skipped, none reads
// outside its record, allocates without bound or takes long.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QGlyphRun>
#include <QPdfWriter>
#include <QRawFont>

#include "emf_builder.h"
#include "platform/gdi/glyph_raster.h"
#include "platform/gdi/picture.h"

namespace qv::gdi::testing {
namespace {

TEST(EmfHostile, LyingCountsAndOffsetsAreSkipped) {
    const struct {
        uint32_t type;
        std::initializer_list<int64_t> words;
    } cases[] = {
        {3, {0, 0, 10, 10, 0x40000000, 1, 2}},                    // POLYGON count
        {86, {0, 0, 10, 10, 0x7FFFFFFF, 1}},                      // POLYGON16 count
        {8, {0, 0, 10, 10, 2, 4, 0x7FFFFFFF, 0x7FFFFFFF, 1, 2}},  // POLYPOLYGON counts
        {84, {0, 0, 1, 1, 1, 0, 0, 5, 5, 1000, 0x7FFFFFF0, 0, 0, 0, 1, 1, 0}},  // string offset
        {84, {0, 0, 1, 1, 1, 0, 0, 5, 5, 0x3FFFFFFF, 76, 0, 0, 0, 1, 1, 0}},    // char count
        {81, {0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 80, 40, 0x7FFFFFF0, 16, 0, 0xCC0020, 9, 9}},
        {81, {0, 0, 9, 9, 0, 0, 0, 0, 2, 2, 0xFFFFFFF0, 0x40, 80, 16, 0, 0xCC0020, 9, 9}},
        {75, {0x7FFFFFFF, 1, 32, 1, 0x10000000, 0}},                   // region size
        {75, {48, 1, 32, 1, 0x10000000, 16, 0, 0, 1, 1, 0, 0, 1, 1}},  // region rect count
        {95, {1, 0, 0, 0, 0, 7 | 0x10000, 1, 0, 0, 0, 0x40000000}},    // user style entries
        {118, {0, 0, 1, 1, 0x10000000, 0x10000000, 0}},                // gradient counts
        {34, {0x7FFFFFFF}},                                            // RestoreDC
        {37, {0x7FFFFFFF}},                                            // SelectObject
        {39, {0xFFFFFFFF, 0, 0, 0}},                                   // object index
        {35, {0x7F800000, 0, 0, 0x7F800000, 0, 0}},                    // infinite transform
        {94, {1, 0, 0x7FFFFFF0, 0x100, 0, 0}},                         // pattern brush offsets
    };
    for (const auto& c : cases) {
        EmfBuilder b;
        b.rec(c.type, c.words).rec(37, {0x80000004}).rec(43, {0, 0, 50, 50});
        EXPECT_EQ(At(RenderEmf(b.finish()), 25, 25), 0u) << c.type;
    }
}

TEST(EmfHostile, TruncatedFilesAndHeaders) {
    EmfBuilder b;
    b.rec(37, {0x80000004}).rec(43, {0, 0, 50, 50});
    const QByteArray whole = b.finish();
    for (qsizetype cut : {0, 40, 87, 100, 120, 130}) {
        const QByteArray part = whole.left(cut);
        try {
            const auto picture = LoadPictureFromBytes(part, QStringLiteral(".EMF"));
            QImage img(50, 50, QImage::Format_RGB32);
            QPainter p(&img);
            picture->draw(p, QRectF(0, 0, 50, 50));
        } catch (const PictureError&) {
        }
    }
}

TEST(EmfHostile, ThousandsOfClipExclusionsPlay) {
    EmfBuilder b;
    for (int i = 0; i < 20000; ++i)
        b.rec(29, {i % 97, i % 89, i % 97 + 1, i % 89 + 1});
    b.rec(37, {0x80000004}).rec(43, {0, 0, 100, 100});
    // Combining each exclusion as a path boolean took minutes; the test's
    // time limit in the suite catches a return of that.
    RenderEmf(b.finish());
}

TEST(EmfHostile, TinyOutlineFarOutsideThePixelRangeIsNotSnapped) {
    // A viewport origin of 2e9 puts a 4-unit ellipse near 4e9 device pixels,
    // beyond what whole-pixel snapping can hold.
    EmfBuilder b;
    b.rec(12, {2000000000, 2000000000});
    b.rec(42, {2000000000, 2000000000, 2000000004, 2000000004});
    EXPECT_EQ(At(RenderEmf(b.finish()), 50, 50), 0xFFFFFFu);
}

// Shaded triangles and flood fills compute per pixel; thousands of them over
// a large target would take minutes. Past a budget of pixels per playback
// triangles take their mean colour and fills are skipped; the first ones
// still draw in full. The suite's time limit catches a return of the cost.
TEST(EmfHostile, ShadedTrianglesAndFloodFillsStopAtABudget) {
    EmfBuilder b(1000, 1000);
    std::vector<uint8_t> body;
    for (int v : {0, 0, 1000, 1000, 3, 40, 2})
        EmfBuilder::put32(body, static_cast<uint32_t>(v));
    for (int corner : {0, 1, 2}) {
        EmfBuilder::put32(body, corner == 1 ? 1000 : 0);
        EmfBuilder::put32(body, corner == 2 ? 1000 : 0);
        for (int c : {corner == 0 ? 0xFF00 : 0, corner == 1 ? 0xFF00 : 0, 0, 0})
            EmfBuilder::put16(body, static_cast<uint16_t>(c));
    }
    for (int t = 0; t < 40; ++t)
        for (int v : {0, 1, 2})
            EmfBuilder::put32(body, static_cast<uint32_t>(v));
    b.raw(118, body);
    b.rec(39, {1, 0, 0xFF0000, 0}).rec(37, {1});
    for (int i = 0; i < 3000; ++i)
        b.rec(53, {990, 990, 0xFFFFFF, 1});  // the white corner, as a surface
    const QImage img = RenderEmf(b.finish(), QSize(1000, 1000));
    EXPECT_EQ(At(img, 1, 1), 0x555500u);      // the last triangles in their mean colour
    EXPECT_EQ(At(img, 990, 990), 0xFFFFFFu);  // no budget left for the fills
}

TEST(EmfHostile, FloodFillFarOutsideTheTargetIsNotAPixel) {
    // A viewport origin of 2e9 puts the start point near 4e9 device pixels.
    EmfBuilder b;
    b.rec(12, {2000000000, 2000000000}).rec(37, {0x80000004});
    b.rec(53, {2000000000, 2000000000, 0, 0});
    EXPECT_EQ(At(RenderEmf(b.finish()), 50, 50), 0xFFFFFFu);
}

TEST(EmfHostile, GlyphsFarOutsideTheTargetAreNotMeasuredInWholePixels) {
    // A glyph beyond the largest int: its box on the device fits no QRect.
    QRawFont font = QRawFont::fromFont(QFont(QStringLiteral("Liberation Sans")));
    font.setPixelSize(12);
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(font.glyphIndexesForString(QStringLiteral("H")));
    run.setPositions({QPointF(3e9, 3e9)});
    QImage img(50, 50, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    DrawSmoothedGlyphRun(p, run, Qt::black);
    p.end();
    EXPECT_EQ(At(img, 25, 25), 0xFFFFFFu);
}

// On a vector target a shaded triangle becomes an image; a sliver a
// billion units long must not become an image of millions of pixels.
TEST(EmfHostile, SliverTriangleOnAVectorTargetStaysSmall) {
    std::vector<uint8_t> body;
    for (int v : {0, 0, 100, 100, 3, 1, 2})
        EmfBuilder::put32(body, static_cast<uint32_t>(v));
    const int corners[3][2] = {{0, 0}, {1000000000, 0}, {0, 1}};
    for (const auto& c : corners) {
        EmfBuilder::put32(body, static_cast<uint32_t>(c[0]));
        EmfBuilder::put32(body, static_cast<uint32_t>(c[1]));
        for (int v : {0xFF00, 0, 0, 0})
            EmfBuilder::put16(body, static_cast<uint16_t>(v));
    }
    for (int v : {0, 1, 2})
        EmfBuilder::put32(body, static_cast<uint32_t>(v));
    EmfBuilder b;
    b.raw(118, body);
    const auto picture = LoadPictureFromBytes(b.finish(), QStringLiteral(".EMF"));
    QByteArray pdf;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        QPainter p(&writer);
        picture->draw(p, QRectF(0, 0, 1000, 1000));
    }
    for (qsizetype at = pdf.indexOf("/Width "); at >= 0; at = pdf.indexOf("/Width ", at + 1))
        EXPECT_LE(pdf.mid(at + 7, 12).split(' ').first().split('\n').first().toInt(), 8192);
}

}  // namespace
}  // namespace qv::gdi::testing
