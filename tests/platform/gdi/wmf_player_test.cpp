#include "platform/gdi/wmf_player.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <string>

#include "wmf_test_util.h"

namespace qv::gdi {
namespace {

using test::ColorHigh;
using test::ColorLow;
using test::Cref;
using test::WmfBuilder;

const QRgb kWhite = qRgb(255, 255, 255);
const uint32_t kRedRef = Cref(255, 0, 0);
const uint32_t kGreenRef = Cref(0, 255, 0);
const uint32_t kBlueRef = Cref(0, 0, 255);

QImage Render(const QByteArray& wmf, QSize size = QSize(100, 100)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(kWhite);
    const auto file = ParseWmf(wmf);
    EXPECT_TRUE(file);
    if (!file)
        return image;
    QPainter painter(&image);
    PlayWmf(painter, QRectF(QPointF(0, 0), QSizeF(size)), *file);
    return image;
}

// A 100 x 100 unit picture at 96 units per inch, with a null pen selected.
WmfBuilder Canvas() {
    WmfBuilder b;
    b.placeable(QRect(0, 0, 100, 100), 96);
    return b;
}

WmfBuilder& SolidBrush(WmfBuilder& b, uint32_t ref) {
    return b.record(kMetaCreateBrushIndirect, {0, ColorLow(ref), ColorHigh(ref), 0});
}

TEST(WmfPlayer, ObjectsTakeTheLowestFreeSlotAndCoordinatesAreYFirst) {
    WmfBuilder b = Canvas();
    b.record(kMetaCreatePenIndirect, {5, 0, 0, 0, 0});  // slot 0: null pen
    b.record(kMetaSelectObject, {0});
    SolidBrush(b, kRedRef);   // slot 1
    SolidBrush(b, kBlueRef);  // slot 2
    b.record(kMetaDeleteObject, {1});
    SolidBrush(b, kGreenRef);  // into the freed slot 1
    b.record(kMetaSelectObject, {1});
    b.record(kMetaRectangle, {40, 30, 10, 20});  // bottom, right, top, left
    const QImage image = Render(b.bytes());
    EXPECT_EQ(image.pixel(25, 35), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(25, 5), kWhite);
    EXPECT_EQ(image.pixel(35, 25), kWhite);
    // The compatible graphics mode leaves out the right and bottom edge.
    EXPECT_EQ(image.pixel(28, 38), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(30, 35), kWhite);
    EXPECT_EQ(image.pixel(25, 40), kWhite);
}

TEST(WmfPlayer, ObjectDeletedWhileSavedComesBackWithRestoreDc) {
    WmfBuilder b = Canvas();
    b.record(kMetaCreatePenIndirect, {5, 0, 0, 0, 0});
    b.record(kMetaSelectObject, {0});
    SolidBrush(b, kRedRef);  // slot 1
    b.record(kMetaSelectObject, {1});
    b.record(kMetaSaveDc, {});
    SolidBrush(b, kBlueRef);  // slot 2
    b.record(kMetaSelectObject, {2});
    b.record(kMetaDeleteObject, {1});
    SolidBrush(b, kGreenRef);  // reuses slot 1
    b.record(kMetaRestoreDc, {-1});
    b.record(kMetaRectangle, {90, 90, 10, 10});
    EXPECT_EQ(Render(b.bytes()).pixel(50, 50), qRgb(255, 0, 0));
}

TEST(WmfPlayer, PolyPolygonWithAOnePointPolygonDrawsNothing) {
    auto picture = [](int secondCount) {
        WmfBuilder b = Canvas();
        SolidBrush(b, kBlueRef);
        b.record(kMetaSelectObject, {0});
        std::vector<int> words = {2, 4, secondCount, 10, 10, 90, 10, 90, 90, 10, 90};
        for (int i = 0; i < secondCount; ++i)
            words.insert(words.end(), {50, 50});
        std::vector<uint8_t> params;
        for (int w : words)
            WmfBuilder::Put16(params, static_cast<uint16_t>(w));
        b.raw(kMetaPolyPolygon, params);
        return Render(b.bytes());
    };
    EXPECT_EQ(picture(1).pixel(30, 30), kWhite);
    EXPECT_EQ(picture(2).pixel(30, 30), qRgb(0, 0, 255));
}

// A rule drawn as a polygon one device pixel high whose edges fall just off
// pixel centres (as office suites write table lines): GDI rounds the corners
// to whole pixels and draws one row; unrounded, the row could vanish.
TEST(WmfPlayer, ThinPolygonRulesSnapToDevicePixels) {
    WmfBuilder b;
    b.placeable(QRect(0, 0, 100, 29700), 2540);
    SolidBrush(b, Cref(0, 0, 0));
    b.record(kMetaSelectObject, {0});
    b.record(kMetaCreatePenIndirect, {5, 0, 0, 0, 0});
    b.record(kMetaSelectObject, {1});
    b.record(kMetaPolygon, {4, 0, 7287, 100, 7287, 100, 7313, 0, 7313});
    const QImage image = Render(b.bytes(), QSize(10, 1131));
    int dark = 0;
    for (int y = 270; y < 286; ++y)
        dark += qGray(image.pixel(5, y)) < 128;
    EXPECT_EQ(dark, 1);
}

TEST(WmfPlayer, StretchDibFillsItsRectangle) {
    std::vector<uint8_t> p;
    WmfBuilder::Put32(p, 0x00CC0020);  // SRCCOPY
    for (int w : {0, 1, 2, 0, 0, 100, 100, 0, 0})
        WmfBuilder::Put16(p, static_cast<uint16_t>(w));
    // usage, src h, src w, src y, src x, dest h, dest w, dest y, dest x; then the DIB
    WmfBuilder::Put32(p, 40);
    WmfBuilder::Put32(p, 2);
    WmfBuilder::Put32(p, 1);
    WmfBuilder::Put16(p, 1);
    WmfBuilder::Put16(p, 24);
    for (int i = 0; i < 6; ++i)
        WmfBuilder::Put32(p, 0);
    p.insert(p.end(), {0, 0, 255, 255, 0, 0, 0, 0});  // red, blue
    WmfBuilder b = Canvas();
    b.raw(kMetaStretchDib, p);
    const QImage image = Render(b.bytes());
    EXPECT_EQ(image.pixel(25, 50), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(75, 50), qRgb(0, 0, 255));
}

TEST(WmfPlayer, DibPatternBrushTilesFromTheDeviceOrigin) {
    std::vector<uint8_t> p;
    WmfBuilder::Put16(p, 6);  // BS_DIBPATTERNPT
    WmfBuilder::Put16(p, 0);  // DIB_RGB_COLORS
    for (uint32_t v : {40u, 2u, 2u})
        WmfBuilder::Put32(p, v);
    WmfBuilder::Put16(p, 1);
    WmfBuilder::Put16(p, 1);
    for (int i = 0; i < 6; ++i)
        WmfBuilder::Put32(p, 0);
    p.insert(p.end(), {0, 0, 255, 0, 255, 0, 0, 0});    // red, blue
    p.insert(p.end(), {0x40, 0, 0, 0, 0x80, 0, 0, 0});  // bottom row 01, top row 10
    WmfBuilder b = Canvas();
    b.raw(kMetaDibCreatePatternBrush, p);
    b.record(kMetaSelectObject, {0});
    b.record(kMetaCreatePenIndirect, {5, 0, 0, 0, 0});
    b.record(kMetaSelectObject, {1});
    b.record(kMetaRectangle, {100, 100, 0, 0});
    const QImage image = Render(b.bytes());
    const QRgb red = qRgb(255, 0, 0);
    const QRgb blue = qRgb(0, 0, 255);
    EXPECT_EQ(image.pixel(0, 0), blue);
    EXPECT_EQ(image.pixel(1, 0), red);
    EXPECT_EQ(image.pixel(0, 1), red);
    EXPECT_EQ(image.pixel(11, 11), blue);
}

TEST(WmfPlayer, MonochromeDevicePatternTakesTextAndBackgroundColours) {
    std::vector<uint8_t> p;
    for (int w : {0, 2, 1, 2})
        WmfBuilder::Put16(p, static_cast<uint16_t>(w));
    p.insert(p.end(), {1, 1});     // planes, bits per pixel
    p.resize(32, 0);               // bits pointer and reserved bytes
    p.insert(p.end(), {0x40, 0});  // 0 1
    WmfBuilder b = Canvas();
    b.record(kMetaSetTextColor, {ColorLow(kRedRef), ColorHigh(kRedRef)});
    b.record(kMetaSetBkColor, {ColorLow(kGreenRef), ColorHigh(kGreenRef)});
    b.raw(kMetaCreatePatternBrush, p);
    b.record(kMetaSelectObject, {0});
    b.record(kMetaCreatePenIndirect, {5, 0, 0, 0, 0});
    b.record(kMetaSelectObject, {1});
    b.record(kMetaRectangle, {100, 100, 0, 0});
    const QImage image = Render(b.bytes());
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 5), qRgb(255, 0, 0));
}

TEST(WmfPlayer, RegionSelectedAsClipLimitsDrawing) {
    std::vector<uint8_t> region(22, 0);
    region[10] = 1;  // one scan
    for (int v : {2, 20, 40, 20, 40, 2})
        WmfBuilder::Put16(region, static_cast<uint16_t>(v));
    WmfBuilder b = Canvas();
    b.raw(kMetaCreateRegion, region);  // slot 0
    b.record(kMetaSelectClipRegion, {0});
    SolidBrush(b, kRedRef);  // slot 1
    b.record(kMetaSelectObject, {1});
    b.record(kMetaRectangle, {100, 100, 0, 0});
    const QImage image = Render(b.bytes());
    EXPECT_EQ(image.pixel(30, 30), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(10, 10), kWhite);
    EXPECT_EQ(image.pixel(50, 30), kWhite);
}

TEST(WmfPlayer, MonochromeDeviceBitmapTakesTextAndBackgroundColours) {
    std::vector<uint8_t> p;
    WmfBuilder::Put32(p, 0x00CC0020);
    // source height, width, y, x; destination height, width, y, x
    for (int w : {1, 2, 0, 0, 100, 100, 0, 0})
        WmfBuilder::Put16(p, static_cast<uint16_t>(w));
    for (int w : {0, 2, 1, 2})
        WmfBuilder::Put16(p, static_cast<uint16_t>(w));
    p.insert(p.end(), {1, 1, 0x40, 0});  // planes, bits per pixel; bits 01
    WmfBuilder b = Canvas();
    b.record(kMetaSetTextColor, {ColorLow(kRedRef), ColorHigh(kRedRef)});
    b.record(kMetaSetBkColor, {ColorLow(kGreenRef), ColorHigh(kGreenRef)});
    b.raw(kMetaStretchBlt, p);
    const QImage image = Render(b.bytes());
    EXPECT_EQ(image.pixel(25, 50), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(75, 50), qRgb(0, 255, 0));
}

TEST(WmfPlayer, SetDibToDevicePlacesABandOfScanLines) {
    std::vector<uint8_t> p;
    // usage, scan count, start scan, source y, source x, height, width, dest y, dest x
    for (int w : {0, 2, 1, 1, 0, 2, 1, 10, 10})
        WmfBuilder::Put16(p, static_cast<uint16_t>(w));
    for (uint32_t v : {40u, 1u, 4u})
        WmfBuilder::Put32(p, v);  // a 1 x 4 picture
    WmfBuilder::Put16(p, 1);
    WmfBuilder::Put16(p, 24);
    for (int i = 0; i < 6; ++i)
        WmfBuilder::Put32(p, 0);
    p.insert(p.end(), {0, 0, 255, 0, 255, 0, 0, 0});  // scan 1 red, scan 2 blue
    WmfBuilder b = Canvas();
    b.raw(kMetaSetDibToDev, p);
    const QImage image = Render(b.bytes());
    EXPECT_EQ(image.pixel(10, 10), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(10, 11), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(10, 12), kWhite);
}

TEST(WmfPlayer, ExtTextOutOpaqueRectangleIsRead) {
    WmfBuilder b = Canvas();
    b.record(kMetaSetBkColor, {ColorLow(kRedRef), ColorHigh(kRedRef)});
    // y, x, length 0, ETO_OPAQUE, rectangle left, top, right, bottom
    b.record(kMetaExtTextOut, {20, 20, 0, 2, 10, 10, 50, 50});
    const QImage image = Render(b.bytes());
    EXPECT_EQ(image.pixel(30, 30), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(60, 30), kWhite);
}

// A 10 x 10 pixel enhanced metafile with a red rectangle from (2, 2) to (8, 8).
std::vector<uint8_t> TinyEmf() {
    std::vector<uint8_t> e;
    auto put = [&](std::initializer_list<uint32_t> values) {
        for (uint32_t v : values)
            WmfBuilder::Put32(e, v);
    };
    put({1, 88, 0, 0, 9, 9,   0,   0,   999, 999, 0x464D4520, 0x10000, 88 + 24 + 12 + 24 + 20,
         5, 2,  0, 0, 0, 100, 100, 100, 100});
    put({39, 24, 1, 0, 0x0000FF, 0});  // CREATEBRUSHINDIRECT red
    put({37, 12, 1});                  // SELECTOBJECT
    put({43, 24, 2, 2, 8, 8});         // RECTANGLE
    put({14, 20, 0, 16, 20});          // EOF
    return e;
}

// One MFCOMMENT escape carrying a whole enhanced metafile.
std::vector<uint8_t> WmfcEscape(const std::vector<uint8_t>& emf) {
    std::vector<uint8_t> p;
    WmfBuilder::Put16(p, 15);
    WmfBuilder::Put16(p, static_cast<uint16_t>(34 + emf.size()));
    for (uint32_t v : {0x43464D57u, 1u, 0x10000u})
        WmfBuilder::Put32(p, v);
    WmfBuilder::Put16(p, 0);
    for (uint32_t v :
         {0u, 1u, static_cast<uint32_t>(emf.size()), 0u, static_cast<uint32_t>(emf.size())}) {
        WmfBuilder::Put32(p, v);
    }
    p.insert(p.end(), emf.begin(), emf.end());
    return p;
}

TEST(WmfPlayer, EmbeddedEmfShowsOnlyWhenTheWmfDrawsNothing) {
    WmfBuilder only = Canvas();
    only.raw(kMetaEscape, WmfcEscape(TinyEmf()));
    EXPECT_EQ(Render(only.bytes()).pixel(50, 50), qRgb(255, 0, 0));

    WmfBuilder both = Canvas();
    both.raw(kMetaEscape, WmfcEscape(TinyEmf()));
    SolidBrush(both, kBlueRef);
    both.record(kMetaSelectObject, {0});
    both.record(kMetaRectangle, {60, 60, 40, 40});
    const QImage image = Render(both.bytes());
    EXPECT_EQ(image.pixel(50, 50), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(30, 30), kWhite);
}

// A writer that stores the rectangle without ETO_OPAQUE or ETO_CLIPPED: the
// record's size tells, and the text after it is still read.
TEST(WmfPlayer, ExtTextOutRectangleStoredWithoutFlagsIsSkipped) {
    std::vector<uint8_t> font;
    for (int w : {-40, 0, 0, 0, 700})
        WmfBuilder::Put16(font, static_cast<uint16_t>(w));
    font.insert(font.end(), {0, 0, 0, 0, 0, 0, 0, 0});
    for (char c : std::string("Arial"))
        font.push_back(static_cast<uint8_t>(c));
    font.push_back(0);
    auto ink = [&](bool storeRect) {
        WmfBuilder b = Canvas();
        b.raw(kMetaCreateFontIndirect, font);
        b.record(kMetaSelectObject, {0});
        b.record(kMetaSetBkMode, {1});
        if (storeRect) {
            b.record(kMetaExtTextOut, {20, 10, 2, 0, 0, 0, 100, 100, 'H' | ('H' << 8)});
        } else {
            b.record(kMetaExtTextOut, {20, 10, 2, 0, 'H' | ('H' << 8)});
        }
        const QImage image = Render(b.bytes());
        int dark = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x)
                dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark;
    };
    const int plain = ink(false);
    EXPECT_GT(plain, 50);
    EXPECT_EQ(ink(true), plain);
}

// SetTextJustification widens the spaces of text drawn without advances.
TEST(WmfPlayer, TextJustificationWidensTheBreaks) {
    std::vector<uint8_t> font;
    for (int w : {-20, 0, 0, 0, 400})
        WmfBuilder::Put16(font, static_cast<uint16_t>(w));
    font.insert(font.end(), {0, 0, 0, 0, 0, 0, 0, 0});
    for (char c : std::string("Arial"))
        font.push_back(static_cast<uint8_t>(c));
    font.push_back(0);
    auto rightmostInk = [&](int extra) {
        WmfBuilder b = Canvas();
        b.raw(kMetaCreateFontIndirect, font);
        b.record(kMetaSelectObject, {0});
        b.record(kMetaSetBkMode, {1});
        if (extra)
            b.record(kMetaSetTextJustification, {1, extra});
        b.record(kMetaTextOut, {3, 'I' | (' ' << 8), 'I', 10, 5});  // "I I" at (5, 10)
        const QImage image = Render(b.bytes());
        int right = -1;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    right = std::max(right, x);
        return right;
    };
    const int plain = rightmostInk(0);
    EXPECT_GT(plain, 5);
    EXPECT_NEAR(rightmostInk(30), plain + 30, 1);
}

TEST(WmfPlayer, FloodFillsReadTheirParametersInWmfOrder) {
    for (bool extended : {false, true}) {
        WmfBuilder b = Canvas();
        b.record(kMetaCreateBrushIndirect, {1, 0, 0, 0});  // slot 0: hollow brush
        b.record(kMetaSelectObject, {0});
        b.record(kMetaRectangle, {50, 50, 10, 10});
        SolidBrush(b, kRedRef);  // slot 1
        b.record(kMetaSelectObject, {1});
        if (extended)  // mode, colour, y, x: FLOODFILLBORDER from (30, 25)
            b.record(kMetaExtFloodFill, {0, 0, 0, 25, 30});
        else  // colour, y, x
            b.record(kMetaFloodFill, {0, 0, 25, 30});
        const QImage image = Render(b.bytes());
        EXPECT_EQ(image.pixel(30, 30), qRgb(255, 0, 0)) << extended;
        EXPECT_EQ(image.pixel(80, 80), kWhite) << extended;
    }
}

TEST(WmfPlayer, DamagedRecordsNeverCrash) {
    WmfBuilder b = Canvas();
    b.record(kMetaCreatePenIndirect, {0, 3, 0, 0, 0});
    b.record(kMetaSelectObject, {0});
    b.record(kMetaPolyline, {30000, 1, 1, 50, 50});  // claims far more points
    b.record(kMetaPolyPolygon, {9000, 3});
    b.record(kMetaExtTextOut, {10, 10, 30000, 6});
    b.record(kMetaTextOut, {40000});
    b.record(kMetaStretchDib, {0x20, 0xCC, 0, 1, 1});
    b.record(kMetaDibCreatePatternBrush, {5, 0, 40, 0});
    b.record(kMetaCreateRegion, {0, 0, 0, 0, 0, 50000});
    b.record(kMetaRestoreDc, {-30000});
    b.record(kMetaSelectObject, {60000});
    b.record(kMetaDeleteObject, {60000});
    const QByteArray bytes = b.bytes();
    Render(bytes);
    // Every single-byte corruption of the file plays (or is refused) cleanly.
    for (int i = 22; i < bytes.size(); i += 3) {
        QByteArray damaged = bytes;
        damaged[i] = static_cast<char>(damaged[i] ^ 0xA5);
        const auto file = ParseWmf(damaged);
        if (!file)
            continue;
        QImage image(40, 40, QImage::Format_RGB32);
        QPainter painter(&image);
        PlayWmf(painter, QRectF(0, 0, 40, 40), *file);
    }
}

TEST(WmfPlayer, CorpusPlaysWithoutSkippedRecords) {
    for (const char* folder : {"wmf", "reports-wmf"}) {
        const QDir dir(QStringLiteral(ONDIX_CORPUS_DIR "/") + folder);
        for (const QString& name : dir.entryList({"*.wmf"}, QDir::Files)) {
            SCOPED_TRACE(name.toStdString());
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            const auto file = ParseWmf(f.readAll());
            ASSERT_TRUE(file);
            std::map<uint16_t, int> skipped;
            QImage image(160, 160, QImage::Format_RGB32);
            image.fill(kWhite);
            QPainter painter(&image);
            PlayWmf(painter, QRectF(0, 0, 160, 160), *file, {&skipped});
            EXPECT_TRUE(skipped.empty())
                << "first skipped function " << std::hex << skipped.begin()->first;
        }
    }
}

}  // namespace
}  // namespace qv::gdi
