#include <gtest/gtest.h>

#include "platform/preview/page_cache.h"

namespace qv {
namespace {

// 100 x 100 ARGB images: 40000 bytes each.
QImage Image() {
    return QImage(100, 100, QImage::Format_ARGB32_Premultiplied);
}

TEST(PageImageCacheTest, EvictsFarthestPagesFirstDownToTheBound) {
    PageImageCache cache(3 * 40000);
    const quint64 key = MakeRenderKey(1, {100, 100});
    for (int i = 0; i < 10; ++i) {
        cache.insert(i, Image(), key);
    }
    EXPECT_EQ(cache.bytes(), 10 * 40000);
    cache.evict(6, 6, key);  // page 6 in view
    EXPECT_EQ(cache.count(), 3);
    EXPECT_LE(cache.bytes(), cache.limit());
    for (int i : {5, 6, 7}) {
        EXPECT_TRUE(cache.isFresh(i, key)) << i;
    }
}

TEST(PageImageCacheTest, PagesInViewStayEvenOverTheBound) {
    PageImageCache cache(40000);
    const quint64 key = MakeRenderKey(1, {100, 100});
    for (int i = 0; i < 4; ++i) {
        cache.insert(i, Image(), key);
    }
    cache.evict(1, 2, key);
    EXPECT_EQ(cache.count(), 2);
    EXPECT_TRUE(cache.isFresh(1, key));
    EXPECT_TRUE(cache.isFresh(2, key));
}

TEST(PageImageCacheTest, StaleImagesOutsideTheViewGoAtOnce) {
    PageImageCache cache(qint64(1) << 30);
    const quint64 old = MakeRenderKey(1, {100, 100});
    const quint64 now = MakeRenderKey(1, {120, 120});
    cache.insert(0, Image(), old);
    cache.insert(1, Image(), old);
    cache.evict(1, 1, now);
    EXPECT_EQ(cache.find(0), nullptr);
    ASSERT_NE(cache.find(1), nullptr);  // kept as a stand-in until the fresh one comes
    EXPECT_FALSE(cache.isFresh(1, now));
}

TEST(PageImageCacheTest, KeyTellsGenerationsAndSizesApart) {
    EXPECT_NE(MakeRenderKey(1, {100, 100}), MakeRenderKey(2, {100, 100}));
    EXPECT_NE(MakeRenderKey(1, {100, 101}), MakeRenderKey(1, {101, 100}));
}

}  // namespace
}  // namespace qv
