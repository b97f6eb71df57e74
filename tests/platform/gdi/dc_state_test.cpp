// The device-context state machine: mapping modes, save/restore, objects, clipping.

#include <gtest/gtest.h>

#include "emf_builder.h"
#include "platform/gdi/dc_state.h"

namespace qv::gdi::testing {
namespace {

ReferenceDevice referenceDevice() {
    ReferenceDevice r;
    r.pixels = QSizeF(1000, 500);
    r.millimeters = QSizeF(250, 125);  // 4 pixels per millimetre both ways
    return r;
}

TEST(DcState, MetricMapModesPointTheYAxisUp) {
    DeviceContext dc(referenceDevice());
    dc.setMapMode(kMmLoMetric);  // 0.1 mm
    const QPointF p = dc.state().logicalToDevice().map(QPointF(100, 100));
    EXPECT_NEAR(p.x(), 40, 1e-9);
    EXPECT_NEAR(p.y(), -40, 1e-9);
}

TEST(DcState, IsotropicModeShrinksTheLongerViewportSide) {
    DeviceContext dc(referenceDevice());
    dc.setMapMode(kMmIsotropic);
    dc.setWindowExt(QSizeF(100, 100));
    dc.setViewportExt(QSizeF(400, -200));
    EXPECT_EQ(dc.state().viewportExt, QSizeF(200, -200));  // sign kept: y flipped
    // Extents are ignored outside the scalable modes.
    DeviceContext text(referenceDevice());
    text.setWindowExt(QSizeF(10, 10));
    EXPECT_EQ(text.state().windowExt, QSizeF(1, 1));
    EXPECT_FALSE(dc.setWindowExt(QSizeF(0, 5)));
}

TEST(DcState, NegativeExtentsFlipTheAxes) {
    DeviceContext dc(referenceDevice());
    dc.setMapMode(kMmAnisotropic);
    dc.setWindowExt(QSizeF(-100, 100));
    dc.setViewportExt(QSizeF(100, 100));
    EXPECT_EQ(dc.state().logicalToDevice().map(QPointF(10, 10)), QPointF(-10, 10));
}

TEST(DcState, RestoreIsRelativeWhenNegativeAbsoluteWhenPositive) {
    DeviceContext dc(referenceDevice());
    for (int i = 1; i <= 3; ++i) {
        dc.state().textAlign = static_cast<uint32_t>(i);
        dc.save();
    }
    dc.state().textAlign = 99;
    ASSERT_TRUE(dc.restore(-1));
    EXPECT_EQ(dc.state().textAlign, 3u);
    ASSERT_TRUE(dc.restore(1));
    EXPECT_EQ(dc.state().textAlign, 1u);
    EXPECT_EQ(dc.saveDepth(), 0u);
    EXPECT_FALSE(dc.restore(-1));
    EXPECT_FALSE(dc.restore(5));
}

TEST(DcState, DeletingASelectedObjectKeepsItInUse) {
    DeviceContext dc(referenceDevice(), 4);
    auto pen = std::make_shared<LogPen>();
    pen->color = 0xFF123456;
    ASSERT_TRUE(dc.putObject(1, pen));
    ASSERT_TRUE(dc.selectObject(1));
    ASSERT_TRUE(dc.deleteObject(1));
    EXPECT_EQ(dc.state().pen->color, 0xFF123456u);
    EXPECT_FALSE(dc.selectObject(1));
    EXPECT_TRUE(dc.selectObject(kStockObjectFlag | kNullPen));
    EXPECT_EQ(dc.state().pen->penStyle(), static_cast<uint32_t>(kPsNull));
    // The lowest free slot is reused first.
    EXPECT_EQ(dc.putObjectLowestFree(pen), 0);
    EXPECT_EQ(dc.putObjectLowestFree(pen), 1);
}

TEST(DcState, ClipIsKeptInDeviceSpace) {
    DeviceContext dc(referenceDevice());
    dc.intersectClipRect(QRectF(QPointF(0, 0), QPointF(10, 10)));
    dc.setViewportOrg(QPointF(100, 100));  // later mapping changes do not move it
    const auto clip = dc.state().effectiveClip();
    ASSERT_TRUE(clip.has_value());
    EXPECT_EQ(clip->boundingRect(), QRectF(0, 0, 10, 10));
    dc.setMetaRegion();
    dc.intersectClipRect(QRectF(QPointF(-100, -100), QPointF(-95, -95)));  // device (0..5)
    EXPECT_EQ(dc.state().effectiveClip()->boundingRect(), QRectF(0, 0, 5, 5));
    dc.selectClipRegion(std::nullopt, kRgnCopy);  // the meta region stays
    EXPECT_EQ(dc.state().effectiveClip()->boundingRect(), QRectF(0, 0, 10, 10));
}

TEST(DcState, WorldTransformRejectsSingularAndNonFinite) {
    DeviceContext dc(referenceDevice());
    EXPECT_FALSE(dc.setWorldTransform(QTransform(0, 0, 0, 0, 1, 1)));
    EXPECT_FALSE(dc.setWorldTransform(QTransform(qInf(), 0, 0, 1, 0, 0)));
    EXPECT_TRUE(dc.modifyWorldTransform(QTransform::fromScale(2, 2), 2));
    EXPECT_TRUE(dc.modifyWorldTransform(QTransform::fromTranslate(5, 0), 3));
    EXPECT_EQ(dc.state().world.map(QPointF(1, 1)), QPointF(7, 2));
    EXPECT_TRUE(dc.modifyWorldTransform(QTransform(), 1));
    EXPECT_TRUE(dc.state().world.isIdentity());
}

// Dual EMF+ files: GDI ignores the EMF+ comments and draws the plain records.
TEST(EmfPlusDual, CommentsAreIgnoredAndPlainRecordsDrawn) {
    EmfBuilder b;
    std::vector<uint8_t> comment;
    EmfBuilder::put32(comment, 28);          // data size
    EmfBuilder::put32(comment, 0x2B464D45);  // "EMF+"
    for (uint32_t v : {0x4001u, 28u, 16u, 0xDBC01001u, 1u, 96u, 96u})
        EmfBuilder::put32(comment, v);
    b.raw(70, comment).rec(37, {0x80000004}).rec(43, {0, 0, 50, 50});
    EXPECT_EQ(At(RenderEmf(b.finish()), 25, 25), 0u);
}

}  // namespace
}  // namespace qv::gdi::testing
