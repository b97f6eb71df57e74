#include <gtest/gtest.h>

#include "platform/preview/page_cache.h"
#include "platform/preview/page_tiles.h"

namespace qv {
namespace {

// 100 x 100 ARGB pieces: 40000 bytes each.
constexpr QSize kFull(100, 100);

CachedImage Piece(quint64 key) {
    return CachedImage{QImage(kFull, QImage::Format_ARGB32_Premultiplied), key, kFull,
                       QRect(QPoint(0, 0), kFull)};
}

TEST(PageImageCacheTest, EvictsFarthestPagesFirstDownToTheBound) {
    PageImageCache cache(3 * 40000);
    const quint64 key = MakeRenderKey(1, kFull);
    for (int i = 0; i < 10; ++i) {
        cache.insert(SlotOf(i, 0), Piece(key));
    }
    EXPECT_EQ(cache.bytes(), 10 * 40000);
    cache.evict({SlotOf(6, 0)}, 6, 6, key);  // page 6 in view
    EXPECT_EQ(cache.count(), 3);
    EXPECT_LE(cache.bytes(), cache.limit());
    for (int i : {5, 6, 7}) {
        EXPECT_TRUE(cache.isFresh(SlotOf(i, 0), key)) << i;
    }
}

TEST(PageImageCacheTest, WantedPiecesStayEvenOverTheBound) {
    PageImageCache cache(40000);
    const quint64 key = MakeRenderKey(1, kFull);
    for (int i = 0; i < 4; ++i) {
        cache.insert(SlotOf(i, 0), Piece(key));
    }
    cache.evict({SlotOf(1, 0), SlotOf(2, 0)}, 1, 2, key);
    EXPECT_EQ(cache.count(), 2);
    EXPECT_TRUE(cache.isFresh(SlotOf(1, 0), key));
    EXPECT_TRUE(cache.isFresh(SlotOf(2, 0), key));
}

TEST(PageImageCacheTest, StalePiecesStandInOnlyUntilTheFreshOnesCome) {
    PageImageCache cache(qint64(1) << 30);
    const quint64 old = MakeRenderKey(1, kFull);
    const quint64 now = MakeRenderKey(1, {120, 120});
    cache.insert(SlotOf(0, 0), Piece(old));
    cache.insert(SlotOf(1, 0), Piece(old));
    cache.evict({SlotOf(1, 1)}, 1, 1, now);
    EXPECT_EQ(cache.find(SlotOf(0, 0)), nullptr);  // out of view: gone at once
    ASSERT_NE(cache.find(SlotOf(1, 0)), nullptr);  // in view: kept as a stand-in
    cache.insert(SlotOf(1, 1), Piece(now));
    cache.evict({SlotOf(1, 1)}, 1, 1, now);
    EXPECT_EQ(cache.find(SlotOf(1, 0)), nullptr);  // covered by the fresh piece now
    EXPECT_EQ(cache.count(), 1);
}

TEST(PageImageCacheTest, PiecesOfAPageComeStaleFirst) {
    PageImageCache cache(qint64(1) << 30);
    const quint64 old = MakeRenderKey(1, kFull);
    const quint64 now = MakeRenderKey(2, kFull);
    cache.insert(SlotOf(3, 1), Piece(now));
    cache.insert(SlotOf(3, 2), Piece(old));
    cache.insert(SlotOf(4, 0), Piece(now));
    std::vector<quint64> keys;
    cache.forEachOfPage(3, now, [&](const CachedImage& piece) { keys.push_back(piece.key); });
    EXPECT_EQ(keys, (std::vector<quint64>{old, now}));
}

TEST(PageTilesTest, SmallPagesAreWholeLargeOnesTiled) {
    const TileGrid small = MakeTileGrid({800, 1100}, qint64(32) << 20);
    EXPECT_TRUE(small.whole);
    EXPECT_EQ(small.tilesIn({0, 0, 10, 10}), std::vector<int>{0});
    EXPECT_TRUE(small.tilesIn({900, 0, 10, 10}).empty());

    const TileGrid big = MakeTileGrid({2500, 3000}, qint64(1) << 20);
    ASSERT_FALSE(big.whole);
    EXPECT_EQ(big.cols, 3);
    EXPECT_EQ(big.rows, 3);
    EXPECT_EQ(big.tilesIn({1000, 1000, 100, 100}), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(big.tileRect(9), QRect(2048, 2048, 452, 952));  // cut at the page's edge
    EXPECT_EQ(PageOfSlot(SlotOf(123456, 9)), 123456);
    EXPECT_EQ(TileOfSlot(SlotOf(123456, 9)), 9);
}

}  // namespace
}  // namespace qv
