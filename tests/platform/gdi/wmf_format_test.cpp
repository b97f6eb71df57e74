#include "platform/gdi/wmf_format.h"

#include <gtest/gtest.h>

#include "platform/gdi/wmf_player.h"
#include "wmf_test_util.h"

namespace qv::gdi {
namespace {

using test::WmfBuilder;

TEST(WmfFormat, PlaceableHeaderGivesBoundsAndSize) {
    const QByteArray bytes = WmfBuilder()
                                 .placeable(QRect(100, 200, 1440, 720), 1440)
                                 .record(kMetaLineTo, {5, 6})
                                 .bytes();
    const auto file = ParseWmf(bytes);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->placeable);
    EXPECT_TRUE(file->checksumOk);
    EXPECT_EQ(WmfLogicalBounds(*file), QRectF(100, 200, 1440, 720));
    EXPECT_EQ(WmfNaturalSize(*file), QSizeF(96, 48));  // one inch by half an inch
    ASSERT_EQ(file->records.size(), 1u);
    EXPECT_EQ(file->records[0].function, kMetaLineTo);
    EXPECT_EQ(file->records[0].word(0), 5);  // y comes first
}

TEST(WmfFormat, BoundsWithoutPlaceableHeader) {
    // From the window records...
    auto file = ParseWmf(WmfBuilder()
                             .record(kMetaSetWindowOrg, {-10, -20})
                             .record(kMetaSetWindowExt, {300, 400})
                             .bytes());
    ASSERT_TRUE(file);
    EXPECT_EQ(WmfLogicalBounds(*file), QRectF(-20, -10, 400, 300));
    // ...else from the coordinates the drawing records use.
    file = ParseWmf(WmfBuilder()
                        .record(kMetaMoveTo, {10, 5})
                        .record(kMetaPolyline, {2, 50, 60, -5, 30})
                        .bytes());
    ASSERT_TRUE(file);
    EXPECT_EQ(WmfLogicalBounds(*file), QRectF(-5, 10, 55, 50));
}

TEST(WmfFormat, ObjectRecords) {
    WmfRecord pen{kMetaCreatePenIndirect, {}};
    const std::vector<uint8_t> penBytes = {2, 0, 7, 0, 0, 0, 0x10, 0x20, 0x30, 0};
    pen.params = penBytes;
    const LogPen p = WmfPen(pen);
    EXPECT_EQ(p.style, 2u);
    EXPECT_EQ(p.width, 7);
    EXPECT_EQ(p.color, qRgb(0x10, 0x20, 0x30));

    std::vector<uint8_t> fontBytes = {0xF4, 0xFF, 0, 0, 0,   0, 0, 0, 0xBC,
                                      2,    1,    1, 0, 238, 0, 0, 0, 0};
    for (char c : std::string("Arial"))
        fontBytes.push_back(static_cast<uint8_t>(c));
    fontBytes.insert(fontBytes.end(), {0, 'x', 'y'});
    const LogFont f = WmfFont(WmfRecord{kMetaCreateFontIndirect, fontBytes});
    EXPECT_EQ(f.height, -12);
    EXPECT_EQ(f.weight, 700);
    EXPECT_TRUE(f.italic);
    EXPECT_TRUE(f.underline);
    EXPECT_EQ(f.charSet, 238);
    EXPECT_EQ(f.faceName, QStringLiteral("Arial"));

    // One scan with two spans: 0..10 and 20..30, rows 5..8.
    std::vector<uint8_t> region(22, 0);
    region[10] = 1;
    for (int v : {4, 5, 8, 0, 10, 20, 30, 4})
        WmfBuilder::Put16(region, static_cast<uint16_t>(v));
    const QPainterPath shape = WmfRegion(WmfRecord{kMetaCreateRegion, region});
    EXPECT_TRUE(shape.contains(QPointF(5, 6)));
    EXPECT_FALSE(shape.contains(QPointF(15, 6)));
    EXPECT_TRUE(shape.contains(QPointF(25, 7)));
}

// An MFCOMMENT escape carrying one chunk of an embedded enhanced metafile.
std::vector<uint8_t> WmfcChunk(const std::string& data, uint32_t remaining, uint32_t total) {
    std::vector<uint8_t> p;
    WmfBuilder::Put16(p, 15);
    WmfBuilder::Put16(p, static_cast<uint16_t>(34 + data.size()));
    WmfBuilder::Put32(p, 0x43464D57);
    WmfBuilder::Put32(p, 1);
    WmfBuilder::Put32(p, 0x10000);
    WmfBuilder::Put16(p, 0);
    WmfBuilder::Put32(p, 0);
    WmfBuilder::Put32(p, 2);
    WmfBuilder::Put32(p, static_cast<uint32_t>(data.size()));
    WmfBuilder::Put32(p, remaining);
    WmfBuilder::Put32(p, total);
    p.insert(p.end(), data.begin(), data.end());
    return p;
}

TEST(WmfFormat, EmbeddedEnhancedMetafileIsReassembled) {
    auto file = ParseWmf(WmfBuilder()
                             .raw(kMetaEscape, WmfcChunk("EMF-", 4, 8))
                             .record(kMetaLineTo, {1, 1})
                             .raw(kMetaEscape, WmfcChunk("DATA", 0, 8))
                             .bytes());
    ASSERT_TRUE(file);
    EXPECT_EQ(EmbeddedEmf(*file), QByteArray("EMF-DATA"));
    // Inconsistent sizes give nothing.
    file = ParseWmf(WmfBuilder().raw(kMetaEscape, WmfcChunk("EMF-", 9, 8)).bytes());
    ASSERT_TRUE(file);
    EXPECT_TRUE(EmbeddedEmf(*file).isEmpty());
}

TEST(WmfFormat, DamagedFilesAreRefusedOrCut) {
    EXPECT_FALSE(ParseWmf(QByteArray("not a metafile at all")));
    EXPECT_FALSE(ParseWmf(QByteArray()));
    QByteArray bytes = WmfBuilder().record(kMetaLineTo, {1, 2}).record(kMetaMoveTo, {3, 4}).bytes();
    // The second record claims far more than the file holds: playback keeps the first.
    bytes[18 + 10] = char(0x7F);
    bytes[18 + 11] = char(0x7F);
    auto file = ParseWmf(bytes);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->records.size(), 1u);
    // A record shorter than its own prefix ends the stream.
    bytes = WmfBuilder().record(kMetaLineTo, {1, 2}).bytes();
    bytes[18] = 1;
    file = ParseWmf(bytes);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->records.empty());
    // Parameters past a record's end read as zero.
    const WmfRecord shortRecord{kMetaLineTo, {}};
    EXPECT_EQ(shortRecord.u32(0), 0u);
    EXPECT_EQ(shortRecord.word(3), 0);
}

}  // namespace
}  // namespace qv::gdi
