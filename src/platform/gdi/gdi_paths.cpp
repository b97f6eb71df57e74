// Path brackets and region drawing of the drawing backend.

#include "gdi_painter.h"

namespace qv::gdi {

void GdiPainter::beginPath(DeviceContext& dc) {
    DcState& s = dc.state();
    s.path = QPainterPath();
    s.pathOpen = true;
    s.pathDefined = false;
}

void GdiPainter::endPath(DeviceContext& dc) {
    DcState& s = dc.state();
    if (!s.pathOpen)
        return;
    s.pathOpen = false;
    s.pathDefined = true;
}

void GdiPainter::closeFigure(DeviceContext& dc) {
    DcState& s = dc.state();
    if (s.pathOpen && s.path.elementCount() > 0) {
        const QPointF end = s.path.currentPosition();
        s.path.closeSubpath();
        // GDI continues the next figure from where the closed one ended.
        s.path.moveTo(end);
    }
}

void GdiPainter::abortPath(DeviceContext& dc) {
    DcState& s = dc.state();
    s.path = QPainterPath();
    s.pathOpen = false;
    s.pathDefined = false;
}

void GdiPainter::flattenPath(DeviceContext& dc) {
    DcState& s = dc.state();
    if (!s.pathDefined)
        return;
    QPainterPath flat;
    for (const QPolygonF& poly : s.path.toSubpathPolygons())
        flat.addPolygon(poly);
    s.path = flat;
}

void GdiPainter::widenPath(DeviceContext& dc) {
    DcState& s = dc.state();
    if (!s.pathDefined)
        return;
    QPen pen;
    std::optional<QPen> gap;
    if (!makePen(s, s.path.length(), &pen, &gap))
        return;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPainterPathStroker stroker(pen);
    if (pen.isCosmetic())
        stroker.setWidth(1.0 / targetScale_);
    s.path = stroker.createStroke(s.path).simplified();
}

void GdiPainter::fillPath(DeviceContext& dc) {
    DcState& s = dc.state();
    if (!s.pathDefined)
        return;
    syncClip(s);
    fillDevicePath(s, s.path, *s.brush);
    abortPath(dc);
}

void GdiPainter::strokePath(DeviceContext& dc) {
    DcState& s = dc.state();
    if (!s.pathDefined)
        return;
    syncClip(s);
    strokeDevicePath(s, s.path);
    abortPath(dc);
}

void GdiPainter::strokeAndFillPath(DeviceContext& dc) {
    DcState& s = dc.state();
    if (!s.pathDefined)
        return;
    syncClip(s);
    fillDevicePath(s, s.path, *s.brush);
    strokeDevicePath(s, s.path);
    abortPath(dc);
}

void GdiPainter::selectClipPath(DeviceContext& dc, int mode) {
    DcState& s = dc.state();
    if (!s.pathDefined)
        return;
    QPainterPath area = s.path;
    area.setFillRule(s.polyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    dc.selectClipRegion(area.simplified(), mode);
    abortPath(dc);
}

void GdiPainter::fillRegion(DeviceContext& dc, const QPainterPath& region, const LogBrush& brush) {
    DcState& s = dc.state();
    syncClip(s);
    fillDevicePath(s, region, brush);
}

void GdiPainter::paintRegion(DeviceContext& dc, const QPainterPath& region) {
    fillRegion(dc, region, *dc.state().brush);
}

// FrameRgn: a border of the given logical width and height drawn inside the
// region's edge with the brush.
void GdiPainter::frameRegion(DeviceContext& dc, const QPainterPath& region, const LogBrush& brush,
                             QSizeF logicalFrame) {
    const QTransform t = dc.state().pageToDevice();
    const double w = std::fabs(logicalFrame.width() * t.m11());
    const double h = std::fabs(logicalFrame.height() * t.m22());
    QPainterPath inner = region;
    const QRectF b = region.boundingRect();
    if (b.width() > 2 * w && b.height() > 2 * h) {
        QTransform shrink;
        shrink.translate(b.center().x(), b.center().y());
        shrink.scale((b.width() - 2 * w) / b.width(), (b.height() - 2 * h) / b.height());
        shrink.translate(-b.center().x(), -b.center().y());
        inner = region.intersected(shrink.map(region));
    } else {
        inner = QPainterPath();
    }
    fillRegion(dc, region.subtracted(inner), brush);
}

void GdiPainter::invertRegion(DeviceContext& dc, const QPainterPath& region) {
    if (!raster_)
        return;
    DcState& s = dc.state();
    syncClip(s);
    painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_.fillPath(region, Qt::black);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

}  // namespace qv::gdi
