#include <gtest/gtest.h>

#include "platform/preview/preview_layout.h"

namespace qv {
namespace {

// On a 96 dpi screen the A4 page at 100 percent is 793.6 x 1122.24 pixels.
constexpr double kDpi = 96;

PreviewLayout Layout(ScaleMode mode, int scale, QSize area, int pages = 1, int extent = 0) {
    LayoutOptions o;
    o.mode = mode;
    o.scale = scale;
    o.shadow = 0;
    o.spacing = 8;
    return ComputePreviewLayout(pages, DeviceInfo::Screen(), o, area, extent, kDpi, kDpi);
}

TEST(PreviewLayoutTest, ScaleOfEachMode) {
    struct Case {
        const char* what;
        ScaleMode mode;
        int scale;
        QSize area;
        int expected;
    };
    const Case cases[] = {
        {"custom", ScaleMode::smScale, 250, {100, 100}, 250},
        {"custom below 1", ScaleMode::smScale, 0, {100, 100}, 1},
        {"custom above the bound",
         ScaleMode::smScale,
         999999,
         {100, 100},
         TPreviewControl::kMaxScale},
        {"page width: 800 / 793.6", ScaleMode::smPageWidth, 7, {816, 5000}, 100},
        {"page width, narrow", ScaleMode::smPageWidth, 7, {405, 5000}, 49},  // 389 / 793.6
        {"page width, tiny view", ScaleMode::smPageWidth, 7, {10, 10}, 1},
        {"full page, height rules", ScaleMode::smFullPage, 7, {816, 1138}, 99},  // 1122 / 1122.24
        {"full page, width rules", ScaleMode::smFullPage, 7, {405, 5000}, 49},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Layout(c.mode, c.scale, c.area).scale, c.expected) << c.what;
    }
}

TEST(PreviewLayoutTest, PageSizeFollowsScaleAndRounds) {
    const PreviewLayout l = Layout(ScaleMode::smScale, 250, {100, 100});
    EXPECT_EQ(l.pageSize, QSize(1984, 2806));  // 1984.0 x 2805.6
    EXPECT_EQ(l.pageRect(0), QRect(8, 8, 1984, 2806));
}

TEST(PreviewLayoutTest, ScrollBarTakesItsRoomBeforePageWidthIsComputed) {
    // Three pages do not fit the height, so the vertical bar (16 px) narrows the view.
    const PreviewLayout l = Layout(ScaleMode::smPageWidth, 7, {816, 1000}, 3, 16);
    EXPECT_TRUE(l.vbar);
    EXPECT_FALSE(l.hbar);
    EXPECT_EQ(l.viewport, QSize(800, 1000));
    EXPECT_EQ(l.scale, 98);  // 784 / 793.6
}

TEST(PreviewLayoutTest, RowsAndColumns) {
    LayoutOptions o;
    o.mode = ScaleMode::smScale;
    o.scale = 10;
    o.cols = 3;
    o.shadow = 2;
    const PreviewLayout l =
        ComputePreviewLayout(7, DeviceInfo::Screen(), o, {2000, 2000}, 0, kDpi, kDpi);
    EXPECT_EQ(l.rowCount, 3);
    EXPECT_EQ(l.pageSize, QSize(79, 112));
    EXPECT_EQ(l.pageRect(4).topLeft(), QPoint(8 + 89, 8 + 122));
    EXPECT_EQ(l.pageAt(QPoint(8 + 89 + 5, 8 + 122 + 5), 7), 4);
    EXPECT_EQ(l.pageAt(QPoint(3, 3), 7), -1);                 // the gap
    EXPECT_EQ(l.pageAt(QPoint(8 + 89 + 5, 250 + 5), 7), -1);  // past the last page
}

TEST(PreviewLayoutTest, RowWhoseTopIsScrolledOutCountsAsTheNext) {
    const PreviewLayout l = Layout(ScaleMode::smScale, 100, {800, 600}, 5);
    const int stride = l.strideY();
    EXPECT_EQ(l.topRowAt(0), 0);
    EXPECT_EQ(l.topRowAt(1), 1);
    EXPECT_EQ(l.topRowAt(stride), 1);
    EXPECT_EQ(l.topRowAt(stride + 1), 2);
    EXPECT_EQ(l.topRowAt(100 * stride), 4);  // never past the last row
}

TEST(PreviewLayoutTest, NoPagesNoContent) {
    const PreviewLayout l = Layout(ScaleMode::smPageWidth, 7, {800, 600}, 0, 16);
    EXPECT_EQ(l.rowCount, 0);
    EXPECT_EQ(l.contentHeight, 0);
    EXPECT_FALSE(l.vbar);
    EXPECT_EQ(l.topRowAt(50), 0);
}

}  // namespace
}  // namespace qv
