// EMF drawing records: lines, shapes, arcs, paths and regions.

#include <cmath>

#include "emf_records.h"

namespace qv::gdi {
namespace {

// Reads count points at off, 32-bit (POINTL) or 16-bit (POINTS) pairs.
std::vector<QPointF> readPoints(const RecordReader& r, size_t off, uint32_t count, bool small) {
    const size_t each = small ? 4 : 8;
    r.requireArray(off, count, each);
    std::vector<QPointF> points;
    points.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = off + i * each;
        points.emplace_back(small ? r.i16(at) : r.i32(at), small ? r.i16(at + 2) : r.i32(at + 4));
    }
    return points;
}

std::vector<QPolygonF> readPolyPoly(const RecordReader& r, bool small) {
    const uint32_t polys = r.u32(24);
    const uint32_t total = r.u32(28);
    r.requireArray(32, polys, 4);
    const size_t pointsAt = 32 + static_cast<size_t>(polys) * 4;
    const std::vector<QPointF> points = readPoints(r, pointsAt, total, small);
    std::vector<QPolygonF> out;
    size_t next = 0;
    for (uint32_t i = 0; i < polys; ++i) {
        const uint32_t n = r.u32(32 + 4 * i);
        if (n > points.size() - next)
            throw RecordError("polygon counts exceed points");
        out.emplace_back(QList<QPointF>(points.begin() + next, points.begin() + next + n));
        next += n;
    }
    return out;
}

std::shared_ptr<const LogBrush> brushAt(const DeviceContext& dc, uint32_t index) {
    if (index & kStockObjectFlag) {
        DeviceContext scratch(dc.reference());
        scratch.selectObject(index);
        return scratch.state().brush;
    }
    const GdiObject* o = dc.object(index);
    auto b = o ? std::get_if<std::shared_ptr<const LogBrush>>(o) : nullptr;
    return b ? *b : nullptr;
}

bool playPoly(EmfContext& c, uint32_t type, const RecordReader& r) {
    const bool small = type >= kEmrPolyBezier16 && type <= kEmrPolyDraw16;
    const uint32_t base = small ? type - kEmrPolyBezier16 + kEmrPolyBezier : type;
    if (base == kEmrPolyPolyline || base == kEmrPolyPolygon) {
        const auto polys = readPolyPoly(r, small);
        if (base == kEmrPolyPolygon)
            c.out.polyPolygon(c.dc, polys);
        else
            c.out.polyPolyline(c.dc, polys);
        return true;
    }
    const uint32_t count = r.u32(24);
    const std::vector<QPointF> pts = readPoints(r, 28, count, small);
    switch (base) {
        case kEmrPolyBezier:
            c.out.polyBezier(c.dc, pts);
            break;
        case kEmrPolygon:
            c.out.polygon(c.dc, pts);
            break;
        case kEmrPolyline:
            c.out.polyline(c.dc, pts);
            break;
        case kEmrPolyBezierTo:
            c.out.polyBezierTo(c.dc, pts);
            break;
        case kEmrPolylineTo:
            c.out.polylineTo(c.dc, pts);
            break;
        default: {  // PolyDraw: the point types follow the points
            const size_t typesAt = 28 + static_cast<size_t>(count) * (small ? 4 : 8);
            const auto types = r.bytes(typesAt, count);
            c.out.polyDraw(c.dc, pts, types);
        }
    }
    return true;
}

}  // namespace

bool PlayEmfDrawRecord(EmfContext& c, uint32_t type, const RecordReader& r) {
    DeviceContext& dc = c.dc;
    GdiPainter& out = c.out;
    switch (type) {
        case kEmrPolyBezier:
        case kEmrPolygon:
        case kEmrPolyline:
        case kEmrPolyBezierTo:
        case kEmrPolylineTo:
        case kEmrPolyPolyline:
        case kEmrPolyPolygon:
        case kEmrPolyDraw:
        case kEmrPolyBezier16:
        case kEmrPolygon16:
        case kEmrPolyline16:
        case kEmrPolyBezierTo16:
        case kEmrPolylineTo16:
        case kEmrPolyPolyline16:
        case kEmrPolyPolygon16:
        case kEmrPolyDraw16:
            return playPoly(c, type, r);
        case kEmrMoveToEx:
            out.moveTo(dc, QPointF(r.i32(8), r.i32(12)));
            return true;
        case kEmrLineTo:
            out.lineTo(dc, QPointF(r.i32(8), r.i32(12)));
            return true;
        case kEmrRectangle:
            out.rectangle(dc, ReadRectL(r, 8));
            return true;
        case kEmrEllipse:
            out.ellipse(dc, ReadRectL(r, 8));
            return true;
        case kEmrRoundRect:
            out.roundRect(dc, ReadRectL(r, 8), QSizeF(r.i32(24), r.i32(28)));
            return true;
        case kEmrArc:
        case kEmrArcTo:
        case kEmrChord:
        case kEmrPie: {
            const ArcKind kind = type == kEmrArc     ? ArcKind::Arc
                                 : type == kEmrArcTo ? ArcKind::ArcTo
                                 : type == kEmrChord ? ArcKind::Chord
                                                     : ArcKind::Pie;
            out.arc(dc, kind, ReadRectL(r, 8), QPointF(r.i32(24), r.i32(28)),
                    QPointF(r.i32(32), r.i32(36)));
            return true;
        }
        case kEmrAngleArc: {
            const float start = r.f32(20), sweep = r.f32(24);
            if (!std::isfinite(start) || !std::isfinite(sweep))
                throw RecordError("bad angle");
            out.angleArc(dc, QPointF(r.i32(8), r.i32(12)), r.u32(16), start, sweep);
            return true;
        }
        case kEmrExtFloodFill:
            out.floodFill(dc, QPointF(r.i32(8), r.i32(12)), ColorRef(r.u32(16)), r.u32(20) == 1);
            return true;
        case kEmrSetPixelV:
            out.setPixel(dc, QPointF(r.i32(8), r.i32(12)), ColorRef(r.u32(16)));
            return true;
        case kEmrBeginPath:
            out.beginPath(dc);
            return true;
        case kEmrEndPath:
            out.endPath(dc);
            return true;
        case kEmrCloseFigure:
            out.closeFigure(dc);
            return true;
        case kEmrAbortPath:
            out.abortPath(dc);
            return true;
        case kEmrFlattenPath:
            out.flattenPath(dc);
            return true;
        case kEmrWidenPath:
            out.widenPath(dc);
            return true;
        case kEmrFillPath:
            out.fillPath(dc);
            return true;
        case kEmrStrokePath:
            out.strokePath(dc);
            return true;
        case kEmrStrokeAndFillPath:
            out.strokeAndFillPath(dc);
            return true;
        case kEmrSelectClipPath:
            out.selectClipPath(dc, static_cast<int>(r.u32(8)));
            return true;
        case kEmrFillRgn: {
            const auto brush = brushAt(dc, r.u32(28));
            if (brush)
                out.fillRegion(dc, ReadRegionData(r, 32, r.u32(24)), *brush);
            return true;
        }
        case kEmrFrameRgn: {
            const auto brush = brushAt(dc, r.u32(28));
            if (brush) {
                out.frameRegion(dc, ReadRegionData(r, 40, r.u32(24)), *brush,
                                QSizeF(r.i32(32), r.i32(36)));
            }
            return true;
        }
        case kEmrPaintRgn:
            out.paintRegion(dc, ReadRegionData(r, 28, r.u32(24)));
            return true;
        case kEmrInvertRgn:
            out.invertRegion(dc, ReadRegionData(r, 28, r.u32(24)));
            return true;
        default:
            return false;
    }
}

}  // namespace qv::gdi
