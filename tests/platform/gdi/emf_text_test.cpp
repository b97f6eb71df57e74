// Text records: font height, width, escapement, alignment, advances, opaque
// backgrounds, clipping, glyph indices and code pages.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "emf_builder.h"
#include "platform/gdi/gdi_text.h"
#include "platform/gdi/glyph_raster.h"

namespace qv::gdi::testing {
namespace {

// EXTCREATEFONTINDIRECTW in slot 1 and its selection.
void addFont(EmfBuilder& b, int height, const char* face = "Arial", int escapement = 0,
             int width = 0, int charSet = 0, int weight = 400) {
    std::vector<uint8_t> body;
    EmfBuilder::put32(body, 1);
    for (int v : {height, width, escapement, escapement, weight})
        EmfBuilder::put32(body, v);
    body.insert(body.end(), {0, 0, 0, static_cast<uint8_t>(charSet), 0, 0, 0, 0});
    std::vector<uint8_t> name(64, 0);
    for (int i = 0; face[i]; ++i)
        name[2 * i] = static_cast<uint8_t>(face[i]);
    body.insert(body.end(), name.begin(), name.end());
    b.raw(82, body).rec(37, {1});
}

// EXTTEXTOUTW (or A with narrow bytes) at (x, y) with options, rectangle and advances.
void addText(EmfBuilder& b, int x, int y, const std::u16string& text, uint32_t options = 0,
             QRect rect = QRect(), std::vector<int> dx = {}, bool narrow = false,
             const std::vector<uint8_t>& bytes = {}) {
    std::vector<uint8_t> body;
    for (int v : {0, 0, -1, -1, 1})
        EmfBuilder::put32(body, v);  // bounds, graphics mode
    EmfBuilder::put32(body, 0);      // exScale, eyScale
    EmfBuilder::put32(body, 0);
    const size_t chars = narrow ? bytes.size() : text.size();
    const uint32_t stringAt = 76;  // the string follows the EMRTEXT
    const size_t stringBytes = ((narrow ? chars : chars * 2) + 3) & ~size_t(3);
    const uint32_t dxAt = dx.empty() ? 0 : stringAt + static_cast<uint32_t>(stringBytes);
    for (int v : {x, y})
        EmfBuilder::put32(body, v);
    EmfBuilder::put32(body, static_cast<uint32_t>(chars));
    EmfBuilder::put32(body, stringAt);
    EmfBuilder::put32(body, options);
    for (int v : {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1})
        EmfBuilder::put32(body, rect.isNull() ? 0 : v);
    EmfBuilder::put32(body, dxAt);
    if (narrow)
        body.insert(body.end(), bytes.begin(), bytes.end());
    else
        for (char16_t c : text)
            EmfBuilder::put16(body, c);
    while (body.size() + 8 < (dx.empty() ? 0 : dxAt))
        body.push_back(0);
    for (int d : dx)
        EmfBuilder::put32(body, d);
    b.raw(narrow ? 83 : 84, body);
}

QRect inkBox(const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 160)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(EmfText, PositiveHeightIsTheCellNegativeTheEm) {
    // Top-aligned "H": the cap height is about 0.716 em in Arial's metrics;
    // a cell of 40 is an em of about 40 / 1.149.
    for (int height : {-40, 40}) {
        EmfBuilder b(200, 100);
        addFont(b, height);
        addText(b, 10, 10, u"H");
        const QRect ink = inkBox(RenderEmf(b.finish(), QSize(200, 100)));
        const double em = height < 0 ? 40 : 40 / 1.149;
        EXPECT_NEAR(ink.height(), 0.716 * em, 2.0) << height;
    }
}

TEST(EmfText, FontWidthStretchesTheGlyphs) {
    int widths[2];
    for (int i = 0; i < 2; ++i) {
        EmfBuilder b(300, 100);
        addFont(b, -40, "Arial", 0, i == 0 ? 0 : 60);  // 60 is far wider than the average
        addText(b, 10, 10, u"HHH");
        widths[i] = inkBox(RenderEmf(b.finish(), QSize(300, 100))).width();
    }
    EXPECT_GT(widths[1], widths[0] * 1.5);
}

TEST(EmfText, AlignmentFieldsAndUpdateCp) {
    const struct {
        uint32_t align;
        bool inkAboveY;  // baseline/bottom put the glyph above y = 50
        int inkRightOf;  // horizontal: ink starts right of x (left) or ends left of it
    } cases[] = {{0, false, 1}, {24, true, 1}, {8, true, 1}, {2, false, -1}, {6, false, 0}};
    for (const auto& c : cases) {
        EmfBuilder b(200, 100);
        addFont(b, -30);
        b.rec(22, {c.align});
        addText(b, 100, 50, u"HH");
        const QRect ink = inkBox(RenderEmf(b.finish(), QSize(200, 100)));
        if (c.inkAboveY) {
            EXPECT_LE(ink.bottom(), 51) << c.align;
        } else {
            EXPECT_GE(ink.top(), 50) << c.align;
        }
        if (c.inkRightOf > 0) {
            EXPECT_GE(ink.left(), 100) << c.align;
        } else if (c.inkRightOf < 0) {
            EXPECT_LE(ink.right(), 100) << c.align;
        } else {
            EXPECT_NEAR(ink.center().x(), 100, 3) << c.align;
        }
    }
    // TA_UPDATECP: the second string continues where the first ended.
    EmfBuilder b(200, 100);
    addFont(b, -30);
    b.rec(22, {1}).rec(27, {10, 10});
    addText(b, 0, 0, u"H", 0, QRect(), {50});
    addText(b, 0, 0, u"H", 0, QRect(), {50});
    const QRect ink = inkBox(RenderEmf(b.finish(), QSize(200, 100)));
    EXPECT_GE(ink.left(), 10);
    EXPECT_NEAR(ink.right(), 60 + 20, 4);
}

TEST(EmfText, DxAdvancesAreAuthoritativeAndPerByteForNarrowStrings) {
    EmfBuilder b(300, 60);
    addFont(b, -20);
    addText(b, 10, 10, u"", 0, QRect(), {100, 100}, true, {'I', 'I'});
    const QImage img = RenderEmf(b.finish(), QSize(300, 60));
    EXPECT_GT(DarkPixels(img, QRect(108, 10, 8, 20)), 10);  // second I at 110
    EXPECT_EQ(DarkPixels(img, QRect(30, 0, 70, 60)), 0);
}

// With ETO_PDY the advances come in pairs: across, then up the page.
TEST(EmfText, PdyAdvancesMoveTheNextGlyphUp) {
    EmfBuilder b(200, 100);
    addFont(b, -20);
    addText(b, 10, 50, u"HH", 0x2000, QRect(), {40, 25, 0, 0});
    const QImage img = RenderEmf(b.finish(), QSize(200, 100));
    const QRect first = inkBox(img.copy(0, 0, 45, 100));
    const QRect second = inkBox(img.copy(45, 0, 155, 100)).translated(45, 0);
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NEAR(second.left() - first.left(), 40, 1);
    EXPECT_NEAR(first.top() - second.top(), 25, 1);
}

TEST(EmfText, EscapementRotatesCounterClockwise) {
    EmfBuilder b(200, 200);
    addFont(b, -20, "Arial", 900);
    addText(b, 100, 150, u"HHHHH");
    const QRect ink = inkBox(RenderEmf(b.finish(), QSize(200, 200)));
    EXPECT_GT(ink.height(), ink.width() * 2);
    EXPECT_LE(ink.bottom(), 152);  // runs upwards from the reference point
}

TEST(EmfText, EscapementTurnsTheOtherWayWhenAnAxisIsFlipped) {
    EmfBuilder b(200, 200);
    b.rec(17, {8}).rec(9, {200, -200}).rec(11, {200, 200}).rec(12, {0, 200});  // y up
    addFont(b, -20, "Arial", 900);
    addText(b, 100, 50, u"HHHHH");  // device (100, 150)
    const QRect ink = inkBox(RenderEmf(b.finish(), QSize(200, 200)));
    EXPECT_GT(ink.height(), ink.width() * 2);
    EXPECT_GE(ink.top(), 148);  // runs downwards on the device
}

TEST(EmfText, MostNegativeEscapementWithAFlippedAxisStillDraws) {
    // Turning the escapement round for a flipped axis must not negate the
    // most negative integer.
    EmfBuilder b(200, 200);
    b.rec(17, {8}).rec(9, {200, -200}).rec(11, {200, 200}).rec(12, {0, 200});  // y up
    addFont(b, -20, "Arial", std::numeric_limits<int32_t>::min());
    addText(b, 100, 100, u"HHHHH");
    EXPECT_FALSE(inkBox(RenderEmf(b.finish(), QSize(200, 200))).isEmpty());
}

TEST(EmfText, WorldTransformTurnsText) {
    EmfBuilder b(200, 200);
    const float c = std::cos(M_PI / 2), s = std::sin(M_PI / 2);
    auto bits = [](float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        return int64_t(u);
    };
    b.rec(35, {bits(c), bits(s), bits(-s), bits(c), bits(100.f), bits(20.f)});
    addFont(b, -20);
    addText(b, 0, 0, u"HHHHH");
    const QRect ink = inkBox(RenderEmf(b.finish(), QSize(200, 200)));
    EXPECT_GT(ink.height(), ink.width() * 2);
}

TEST(EmfText, OpaqueRectangleAndOpaqueBackground) {
    EmfBuilder b(200, 100);
    addFont(b, -20);
    b.rec(25, {0x0000FF}).rec(18, {1});                 // red background, TRANSPARENT mode
    addText(b, 10, 10, u"", 2, QRect(10, 10, 30, 30));  // ETO_OPAQUE, no text
    b.rec(18, {2});                                     // OPAQUE: the text cell is filled
    addText(b, 100, 10, u"i");
    const QImage img = RenderEmf(b.finish(), QSize(200, 100));
    EXPECT_EQ(At(img, 20, 20), 0xFF0000u);
    EXPECT_EQ(At(img, 40, 40), 0xFFFFFFu);
    EXPECT_EQ(At(img, 100, 12), 0xFF0000u);
}

TEST(EmfText, ClippedOptionClipsToTheRectangle) {
    EmfBuilder b(200, 100);
    addFont(b, -40);
    addText(b, 10, 10, u"WWWW", 4, QRect(0, 0, 40, 100));
    const QImage img = RenderEmf(b.finish(), QSize(200, 100));
    EXPECT_GT(DarkPixels(img, QRect(10, 10, 30, 40)), 20);
    EXPECT_EQ(DarkPixels(img, QRect(41, 0, 150, 100)), 0);
}

TEST(EmfText, TextInAPathBracketBecomesOutlines) {
    EmfBuilder b(200, 100);
    addFont(b, -60);
    b.rec(59, {});
    addText(b, 10, 10, u"II");
    b.rec(60, {}).rec(37, {0x80000004}).rec(62, {});  // black brush, FillPath
    const QImage img = RenderEmf(b.finish(), QSize(200, 100));
    EXPECT_GT(DarkPixels(img, QRect(0, 0, 200, 100)), 100);
    b = EmfBuilder(200, 100);
    addFont(b, -60);
    b.rec(59, {});
    addText(b, 10, 10, u"II");
    b.rec(68, {});  // AbortPath: nothing drawn
    EXPECT_EQ(DarkPixels(RenderEmf(b.finish(), QSize(200, 100)), QRect(0, 0, 200, 100)), 0);
}

TEST(EmfText, NarrowStringsFollowTheCodePageOfTheCharSet) {
    std::vector<double> dx = {1, 2, 3};
    EXPECT_EQ(DecodeNarrowText(std::vector<uint8_t>{0x8A, 0xE8, 0x41}, 238, &dx),
              QStringLiteral("Šč") + QLatin1Char('A'));
    EXPECT_EQ(DecodeNarrowText(std::vector<uint8_t>{0x8A}, 0), QStringLiteral("Š"));
    EXPECT_EQ(DecodeNarrowText(std::vector<uint8_t>{0xC8}, 204), QStringLiteral("И"));
    EXPECT_EQ(DecodeNarrowText(std::vector<uint8_t>{0x41}, 2), QString(QChar(0xF041)));
    std::vector<double> wide = {5, 7, 1};
    EXPECT_EQ(DecodeNarrowText(std::vector<uint8_t>{0x82, 0xA0, 0x41}, 128, &wide).size(), 2);
    EXPECT_EQ(wide, (std::vector<double>{12, 1}));
}

TEST(EmfText, WindowsFacesMapToMetricCompatibleFonts) {
    EXPECT_EQ(MapFaceName(QStringLiteral("Arial"), 0), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(MapFaceName(QStringLiteral("Times New Roman"), 0),
              QStringLiteral("Liberation Serif"));
    EXPECT_EQ(MapFaceName(QStringLiteral("Courier New"), 0), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(MapFaceName(QStringLiteral("Verdana"), 0), QStringLiteral("DejaVu Sans"));
    // Office's faces have metric twins, installed with the other fonts.
    EXPECT_EQ(MapFaceName(QStringLiteral("Calibri"), 0), QStringLiteral("Carlito"));
    EXPECT_EQ(MapFaceName(QStringLiteral("Cambria"), 0), QStringLiteral("Caladea"));
    EXPECT_EQ(MapFaceName(QStringLiteral("No Such Face"), 0x12),
              QStringLiteral("Liberation Serif"));
}

// Share of inked pixels that are neither the background nor the text colour.
double greyShare(const QImage& img) {
    int ink = 0, grey = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int g = qGray(img.pixel(x, y));
            ink += g < 255;
            grey += g > 0 && g < 255;
        }
    return ink ? double(grey) / ink : 0;
}

TEST(EmfText, GaspTableDecidesSmoothingBySize) {
    // Liberation Sans: smoothed up to 8 ppem, two levels up to 17, then smoothed.
    const QByteArray sans = QByteArray::fromHex(
        "0000"
        "0003"
        "00080002"
        "00110001"
        "ffff0003");
    const GaspTable table = GaspTable::Parse(sans);
    const struct {
        int ppem;
        bool smoothed;
    } cases[] = {{1, true}, {8, true}, {9, false}, {17, false}, {18, true}, {400, true}};
    for (const auto& c : cases)
        EXPECT_EQ(table.smoothed(c.ppem), c.smoothed) << c.ppem;
    // Missing, short and truncated tables smooth every size.
    for (const char* hex : {"", "0000", "0000000200080002", "00000001000800"})
        EXPECT_TRUE(GaspTable::Parse(QByteArray::fromHex(hex)).smoothed(12)) << hex;
    // GDI realises a font at whole pixels, dropping the fraction.
    EXPECT_EQ(RealisedPpem(10.74), 10);
    EXPECT_EQ(RealisedPpem(-3), 0);
    EXPECT_EQ(RealisedPpem(-1e20), 0);
    EXPECT_EQ(RealisedPpem(std::numeric_limits<double>::quiet_NaN()), 65535);
}

TEST(EmfText, SmallTextIsTwoLevelWhereTheFontSaysSo) {
    // Arial maps to Liberation Sans, whose gasp table asks for no smoothing
    // from 9 to 17 pixels per em; below and above, glyphs are smoothed.
    const struct {
        int height;
        bool twoLevel;
    } cases[] = {{-6, false}, {-12, true}, {-16, true}, {-40, false}};
    for (const auto& c : cases) {
        EmfBuilder b(300, 60);
        addFont(b, c.height);
        addText(b, 4, 4, u"Mzdový list");
        const double grey = greyShare(RenderEmf(b.finish(), QSize(300, 60)));
        if (c.twoLevel)
            EXPECT_EQ(grey, 0) << c.height;
        else
            EXPECT_GT(grey, 0.2) << c.height;
    }
}

// On pixels a font is realised at whole pixels per em, dropping the fraction,
// with its outlines fitted to the pixel rows: an em of 20.9 pixels draws the
// glyphs of the 20-pixel font, whose capitals stand 14 rows high.
TEST(EmfText, GlyphsComeFromTheFontRealisedAtWholePixels) {
    for (int height : {-200, -209}) {
        EmfBuilder b(2000, 1000);
        addFont(b, height);
        addText(b, 100, 100, u"H");
        const QImage img = RenderEmf(b.finish(), QSize(200, 100));
        EXPECT_EQ(inkBox(img).height(), 14) << height;
    }
}

// Top-aligned text hangs from the realised font's ascent in whole pixels:
// at 30.4 pixels per em the font is realised at 30, whose ascent is 27
// pixels (Liberation Sans: 0.905 em), so the baseline is 27 rows down.
TEST(EmfText, TopAlignedTextHangsFromTheRealisedAscent) {
    EmfBuilder b(2000, 1000);
    addFont(b, -304);
    addText(b, 100, 100, u"H");
    const QImage img = RenderEmf(b.finish(), QSize(200, 100));
    EXPECT_EQ(inkBox(img).bottom(), 10 + 27 - 1);
}

TEST(EmfText, SmoothedDarkTextIsThinnerLightTextFuller) {
    QRawFont font = QRawFont::fromFont(QFont(QStringLiteral("Liberation Sans")));
    font.setPixelSize(7);
    QGlyphRun run;
    run.setRawFont(font);
    const QList<quint32> glyphs = font.glyphIndexesForString(QStringLiteral("Odpracované dny"));
    run.setGlyphIndexes(glyphs);
    QList<QPointF> positions;
    for (qsizetype i = 0; i < glyphs.size(); ++i)
        positions.append(QPointF(2 + 4.3 * i, 12));
    run.setPositions(positions);
    // Total ink of one colour over the other, smoothed through the curve or plain.
    const auto ink = [&](QColor text, QColor ground, bool smoothed) {
        QImage img(80, 16, QImage::Format_RGB32);
        img.fill(ground);
        QPainter p(&img);
        if (smoothed) {
            DrawSmoothedGlyphRun(p, run, text);
        } else {
            p.setPen(text);
            p.drawGlyphRun(QPointF(0, 0), run);
        }
        p.end();
        double sum = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                sum += std::abs(qGray(img.pixel(x, y)) - qGray(ground.rgb()));
        return sum;
    };
    const double darkPlain = ink(Qt::black, Qt::white, false);
    const double darkSmoothed = ink(Qt::black, Qt::white, true);
    EXPECT_GT(darkPlain, 0);
    EXPECT_LT(darkSmoothed, 0.9 * darkPlain);
    EXPECT_GT(darkSmoothed, 0.4 * darkPlain);
    EXPECT_GT(ink(Qt::white, Qt::black, true), 1.1 * ink(Qt::white, Qt::black, false));
}

}  // namespace
}  // namespace qv::gdi::testing
