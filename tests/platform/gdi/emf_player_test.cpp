// Placement, state and basic shapes of the EMF player.

#include <gtest/gtest.h>

#include <QBuffer>
#include "emf_builder.h"

#include "platform/gdi/picture.h"

namespace qv::gdi::testing {
namespace {

constexpr uint32_t kStock = 0x80000000u;

TEST(EmfPlacement, FrameIsPlacedIntoTargetWhateverTheBounds) {
    // Frame 100 x 100 device pixels; drawn into 200 x 200 everything doubles.
    EmfBuilder b;
    b.rec(37, {kStock | 4}).rec(43, {50, 50, 100, 100});
    const QImage img = RenderEmf(b.finish(), QSize(200, 200));
    EXPECT_EQ(At(img, 150, 150), 0x000000u);
    EXPECT_EQ(At(img, 90, 90), 0xFFFFFFu);
    EXPECT_EQ(At(img, 101, 101), 0x000000u);
}

TEST(EmfPlacement, NaturalSizeComesFromTheFrameAt96Dpi) {
    EmfBuilder b(254, 127);  // 63.5 x 31.75 mm
    const EmfDocument doc(b.finish());
    EXPECT_NEAR(doc.naturalSize().width(), 240, 0.01);
    EXPECT_NEAR(doc.naturalSize().height(), 120, 0.01);
}

// An enhanced metafile plays in the advanced graphics mode: the rectangle
// keeps its right and bottom edge. A Windows metafile plays in the compatible
// mode, which leaves them out.
TEST(EmfGeometry, RectangleKeepsItsRightAndBottomEdgeInPlayback) {
    EmfBuilder b;
    b.rec(37, {kStock | 4}).rec(43, {10, 10, 20, 20});
    const QImage img = RenderEmf(b.finish());
    EXPECT_EQ(At(img, 10, 10), 0u);
    EXPECT_EQ(At(img, 20, 20), 0u);
    EXPECT_EQ(At(img, 21, 15), 0xFFFFFFu);
    EXPECT_EQ(At(img, 15, 21), 0xFFFFFFu);
}

TEST(EmfObjects, StockGreyBrushes) {
    const struct {
        uint32_t stock;
        QRgb color;
    } cases[] = {{0, 0xFFFFFF}, {1, 0xC0C0C0}, {2, 0x808080}, {3, 0x404040}, {4, 0x000000}};
    for (const auto& c : cases) {
        EmfBuilder b;
        b.rec(37, {kStock | 8}).rec(37, {kStock | c.stock}).rec(43, {0, 0, 50, 50});
        const QImage img = RenderEmf(b.finish());
        EXPECT_EQ(At(img, 25, 25), c.color) << c.stock;
    }
}

TEST(EmfObjects, SaveAndRestoreBringBackTheBrush) {
    EmfBuilder b;
    b.rec(37, {kStock | 8})
        .rec(37, {kStock | 4})
        .rec(33, {})            // SaveDC (1)
        .rec(37, {kStock | 2})  // grey
        .rec(33, {})            // SaveDC (2)
        .rec(37, {kStock | 0})
        .rec(34, {-2})  // back to black
        .rec(43, {0, 0, 50, 50});
    EXPECT_EQ(At(RenderEmf(b.finish()), 25, 25), 0u);
}

TEST(EmfPlayback, UnknownAndMalformedRecordsAreSkipped) {
    EmfBuilder b;
    b.rec(37, {kStock | 4})
        .rec(9999, {1, 2, 3})
        .rec(43, {1, 2})  // too short: skipped
        .rec(43, {0, 0, 50, 50});
    const EmfDocument doc(b.finish());
    QImage img(100, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    PlaybackLog log(QStringLiteral("EMF"));
    {
        QPainter p(&img);
        doc.play(p, QRectF(0, 0, 100, 100), &log);
    }
    EXPECT_EQ(At(img, 25, 25), 0u);
    ASSERT_EQ(log.entries().size(), 2u);
    EXPECT_TRUE(log.summary().contains(QStringLiteral("9999")));
}

TEST(PictureLoader, RejectsUnknownExtensionsAndBrokenMetafiles) {
    EXPECT_THROW(LoadPictureFromFile(QStringLiteral("/nonexistent/x.emf2")), PictureError);
    EXPECT_THROW(LoadPictureFromBytes(QByteArray("not a metafile"), QStringLiteral(".emf")),
                 PictureError);
    EmfBuilder b(96, 48);
    const auto picture = LoadPictureFromBytes(b.finish(), QStringLiteral(".EMF"));
    EXPECT_NEAR(picture->size().width(), 96 * 0.25 / 25.4 * 96, 0.01);
}

TEST(PictureLoader, BitmapsAndIconsGetTheirSizeAt96DotsPerInch) {
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setDotsPerMeterX(7874);  // 200 dots per inch
    image.setDotsPerMeterY(7874);
    for (const char* format : {"BMP", "PNG", "ICO"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        const QImage source = QByteArray(format) == "ICO" ? image.scaled(64, 32) : image;
        ASSERT_TRUE(source.save(&buffer, format)) << format;
        const auto picture = LoadPictureFromBytes(bytes, QStringLiteral(".") + format);
        if (QByteArray(format) == "ICO") {
            EXPECT_NEAR(picture->size().width(), 64, 0.1);
            EXPECT_NEAR(picture->size().height(), 32, 0.1);
        } else {
            EXPECT_NEAR(picture->size().width(), 200 * 96 / 200.0, 0.2) << format;
        }
        QImage target(20, 10, QImage::Format_RGB32);
        target.fill(Qt::white);
        QPainter p(&target);
        picture->draw(p, QRectF(0, 0, 20, 10));
        p.end();
        EXPECT_EQ(At(target, 10, 5), 0xFF0000u) << format;
    }
}

}  // namespace
}  // namespace qv::gdi::testing
