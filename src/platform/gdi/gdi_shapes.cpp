// Lines, closed shapes and arcs of the drawing backend.

#include <cmath>

#include "gdi_painter.h"

namespace qv::gdi {
namespace {

bool near(QPointF a, QPointF b) {
    return std::fabs(a.x() - b.x()) + std::fabs(a.y() - b.y()) < 1e-6;
}

// Starts a new figure at p unless the path already ends there.
void continueFrom(QPainterPath& path, QPointF p) {
    if (path.elementCount() == 0 || !near(path.currentPosition(), p))
        path.moveTo(p);
}

// Angle in degrees, counter-clockwise as seen on the device, of the point
// where the radial through p meets the ellipse in box.
double radialAngle(const QRectF& box, QPointF p) {
    const QPointF c = box.center();
    const double rx = std::max(box.width() / 2, 1e-9);
    const double ry = std::max(box.height() / 2, 1e-9);
    return std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx) * 180.0 / M_PI;
}

QPointF ellipsePoint(const QRectF& box, double degrees) {
    const double a = degrees * M_PI / 180.0;
    return QPointF(box.center().x() + box.width() / 2 * std::cos(a),
                   box.center().y() - box.height() / 2 * std::sin(a));
}

}  // namespace

void GdiPainter::moveTo(DeviceContext& dc, QPointF p) {
    DcState& s = dc.state();
    s.currentPosition = p;
    if (s.pathOpen)
        s.path.moveTo(s.logicalToDevice().map(p));
}

void GdiPainter::lineTo(DeviceContext& dc, QPointF p) {
    const QPointF points[] = {dc.state().currentPosition, p};
    polylineTo(dc, std::span<const QPointF>(points + 1, 1));
}

void GdiPainter::polyline(DeviceContext& dc, std::span<const QPointF> points) {
    DcState& s = dc.state();
    if (points.size() < 2)
        return;
    const QPolygonF line = toDevice(dc, points);
    if (s.pathOpen) {
        s.path.moveTo(line[0]);
        for (int i = 1; i < line.size(); ++i)
            s.path.lineTo(line[i]);
        return;
    }
    syncClip(s);
    strokeDevicePolyline(s, line);
}

void GdiPainter::polylineTo(DeviceContext& dc, std::span<const QPointF> points) {
    DcState& s = dc.state();
    if (points.empty())
        return;
    QPolygonF line = toDevice(dc, points);
    const QPointF from = s.logicalToDevice().map(s.currentPosition);
    s.currentPosition = points.back();
    if (s.pathOpen) {
        continueFrom(s.path, from);
        for (const QPointF& p : line)
            s.path.lineTo(p);
        return;
    }
    line.prepend(from);
    syncClip(s);
    strokeDevicePolyline(s, line);
}

void GdiPainter::polyBezier(DeviceContext& dc, std::span<const QPointF> points) {
    if (points.size() < 4)
        return;
    const QPolygonF d = toDevice(dc, points);
    QPainterPath path(d[0]);
    for (int i = 1; i + 2 < d.size(); i += 3)
        path.cubicTo(d[i], d[i + 1], d[i + 2]);
    DcState& s = dc.state();
    if (s.pathOpen) {
        s.path.addPath(path);
        return;
    }
    syncClip(s);
    strokeDevicePath(s, path);
}

void GdiPainter::polyBezierTo(DeviceContext& dc, std::span<const QPointF> points) {
    if (points.size() < 3)
        return;
    DcState& s = dc.state();
    const QPolygonF d = toDevice(dc, points);
    const QPointF from = s.logicalToDevice().map(s.currentPosition);
    const size_t used = points.size() / 3 * 3;
    s.currentPosition = points[used - 1];
    QPainterPath local(from);
    QPainterPath& path = s.pathOpen ? s.path : local;
    continueFrom(path, from);
    for (size_t i = 0; i + 2 < used; i += 3)
        path.cubicTo(d[i], d[i + 1], d[i + 2]);
    if (!s.pathOpen) {
        syncClip(s);
        strokeDevicePath(s, path);
    }
}

void GdiPainter::polyPolyline(DeviceContext& dc, const std::vector<QPolygonF>& lines) {
    for (const QPolygonF& l : lines)
        polyline(dc, std::span<const QPointF>(l.data(), l.size()));
}

void GdiPainter::polyDraw(DeviceContext& dc, std::span<const QPointF> points,
                          std::span<const uint8_t> types) {
    DcState& s = dc.state();
    const QPolygonF d = toDevice(dc, points);
    QPainterPath local;
    QPainterPath& path = s.pathOpen ? s.path : local;
    continueFrom(path, s.logicalToDevice().map(s.currentPosition));
    const size_t n = std::min(points.size(), types.size());
    for (size_t i = 0; i < n; ++i) {
        const uint8_t kind = types[i] & 0x06;
        if (kind == 0x06) {
            path.moveTo(d[i]);
        } else if (kind == 0x04 && i + 2 < n) {
            path.cubicTo(d[i], d[i + 1], d[i + 2]);
            i += 2;
        } else {
            path.lineTo(d[i]);
        }
        if (types[i] & 0x01)
            path.closeSubpath();
        s.currentPosition = points[i];
    }
    if (!s.pathOpen) {
        syncClip(s);
        strokeDevicePath(s, path);
    }
}

void GdiPainter::polygon(DeviceContext& dc, std::span<const QPointF> points) {
    if (points.size() < 2)
        return;
    QPainterPath path;
    path.addPolygon(toDevice(dc, points));
    path.closeSubpath();
    drawShape(dc, path, true, true);
}

void GdiPainter::polyPolygon(DeviceContext& dc, const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    for (const QPolygonF& p : polygons) {
        if (p.size() < 2)
            continue;
        path.addPolygon(toDevice(dc, std::span<const QPointF>(p.data(), p.size())));
        path.closeSubpath();
    }
    drawShape(dc, path, true, true);
}

// The device-space box of a rectangle-like shape: the right and bottom edge
// left out in the compatible mode, inset by half the pen for PS_INSIDEFRAME.
QRectF GdiPainter::shapeBox(const DeviceContext& dc, const QRectF& logicalBox,
                            bool insideFrame) const {
    const DcState& s = dc.state();
    QRectF r = s.logicalToDevice().mapRect(logicalBox.normalized());
    if (raster_ && placement_.type() <= QTransform::TxScale) {
        // GDI rounds the box to whole pixels of the device it draws on.
        const QRectF t = placement_.mapRect(r);
        r = placement_.inverted().mapRect(
            QRectF(QPointF(std::round(t.left()), std::round(t.top())),
                   QPointF(std::round(t.right()), std::round(t.bottom()))));
    }
    const double cut = edgeExclusion(s);
    r.setRight(r.right() - cut);
    r.setBottom(r.bottom() - cut);
    const LogPen& pen = *s.pen;
    if (insideFrame && pen.penStyle() == kPsInsideFrame && pen.width > 1) {
        const double half = pen.width * std::sqrt(std::fabs(s.logicalToDevice().determinant())) / 2;
        const double hx = std::min(half, r.width() / 2);
        const double hy = std::min(half, r.height() / 2);
        r.adjust(hx, hy, -hx, -hy);
    }
    return r;
}

void GdiPainter::rectangle(DeviceContext& dc, const QRectF& box) {
    const QTransform t = dc.state().logicalToDevice();
    QPainterPath path;
    if (t.type() <= QTransform::TxScale) {
        path.addRect(shapeBox(dc, box, true));
    } else {
        QPainterPath logical;
        logical.addRect(box.normalized());
        path = t.map(logical);
    }
    drawShape(dc, path, true, true);
}

void GdiPainter::roundRect(DeviceContext& dc, const QRectF& box, QSizeF corner) {
    const QTransform t = dc.state().logicalToDevice();
    QPainterPath path;
    if (t.type() <= QTransform::TxScale) {
        const double rx = std::fabs(corner.width() * t.m11()) / 2;
        const double ry = std::fabs(corner.height() * t.m22()) / 2;
        path.addRoundedRect(shapeBox(dc, box, true), rx, ry);
    } else {
        QPainterPath logical;
        logical.addRoundedRect(box.normalized(), std::fabs(corner.width()) / 2,
                               std::fabs(corner.height()) / 2);
        path = t.map(logical);
    }
    drawShape(dc, path, true, true);
}

void GdiPainter::ellipse(DeviceContext& dc, const QRectF& box) {
    const QTransform t = dc.state().logicalToDevice();
    QPainterPath path;
    if (t.type() <= QTransform::TxScale) {
        path.addEllipse(shapeBox(dc, box, true));
    } else {
        QPainterPath logical;
        logical.addEllipse(box.normalized());
        path = t.map(logical);
    }
    drawShape(dc, path, true, true);
}

void GdiPainter::arc(DeviceContext& dc, ArcKind kind, const QRectF& box, QPointF start,
                     QPointF end) {
    DcState& s = dc.state();
    const QTransform t = s.logicalToDevice();
    const QRectF r = t.type() <= QTransform::TxScale ? shapeBox(dc, box, kind != ArcKind::ArcTo)
                                                     : t.mapRect(box.normalized());
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const double a0 = radialAngle(r, t.map(start));
    const double a1 = radialAngle(r, t.map(end));
    double sweep;
    if (s.arcDirection == kClockwise) {
        sweep = std::fmod(a0 - a1 + 720.0, 360.0);
        sweep = -(sweep <= 1e-9 ? 360.0 : sweep);
    } else {
        sweep = std::fmod(a1 - a0 + 720.0, 360.0);
        if (sweep <= 1e-9)
            sweep = 360.0;
    }
    const QPointF p0 = ellipsePoint(r, a0);
    QPainterPath path;
    if (kind == ArcKind::ArcTo) {
        const QPointF from = t.map(s.currentPosition);
        path.moveTo(from);
        path.lineTo(p0);
        s.currentPosition = t.inverted().map(ellipsePoint(r, a0 + sweep));
    } else if (kind == ArcKind::Pie) {
        path.moveTo(r.center());
        path.lineTo(p0);
    } else {
        path.moveTo(p0);
    }
    path.arcTo(r, a0, sweep);
    if (kind == ArcKind::Chord || kind == ArcKind::Pie)
        path.closeSubpath();
    const bool closed = kind == ArcKind::Chord || kind == ArcKind::Pie;
    if (s.pathOpen) {
        if (kind == ArcKind::ArcTo) {
            continueFrom(s.path, path.elementAt(0));
            s.path.lineTo(p0);
            s.path.arcTo(r, a0, sweep);
        } else {
            s.path.addPath(path);
        }
        return;
    }
    drawShape(dc, path, closed, true);
}

void GdiPainter::angleArc(DeviceContext& dc, QPointF center, double radius, double startDeg,
                          double sweepDeg) {
    DcState& s = dc.state();
    const QTransform t = s.logicalToDevice();
    const QRectF r =
        t.mapRect(QRectF(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius));
    if (r.width() <= 0 || r.height() <= 0 || !std::isfinite(sweepDeg))
        return;
    sweepDeg = std::clamp(sweepDeg, -3600.0, 3600.0);
    const QPointF from = t.map(s.currentPosition);
    QPainterPath local;
    QPainterPath& path = s.pathOpen ? s.path : local;
    continueFrom(path, from);
    path.lineTo(ellipsePoint(r, startDeg));
    path.arcTo(r, startDeg, sweepDeg);
    s.currentPosition = t.inverted().map(ellipsePoint(r, startDeg + sweepDeg));
    if (!s.pathOpen) {
        syncClip(s);
        strokeDevicePath(s, path);
    }
}

void GdiPainter::setPixel(DeviceContext& dc, QPointF p, QRgb color) {
    DcState& s = dc.state();
    syncClip(s);
    const QPointF d = s.logicalToDevice().map(p);
    const double px = 1.0 / targetScale_;
    painter_.fillRect(QRectF(d, QSizeF(px, px)), QColor::fromRgb(color | 0xFF000000));
}

}  // namespace qv::gdi
