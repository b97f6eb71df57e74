#include "clip_area.h"

#include <cmath>

namespace qv::gdi {
namespace {

constexpr double kLimit = 1.0e7;  // device pixels; far beyond any device

int toGrid(double v) {
    return static_cast<int>(std::lround(std::clamp(v, -kLimit, kLimit) * ClipArea::kGrid));
}

bool isAxisRect(const QPainterPath& p, QRectF* rect) {
    const int n = p.elementCount();
    if (n != 4 && n != 5)
        return false;
    const QRectF r = p.boundingRect();
    for (int i = 0; i < n; ++i) {
        const auto e = p.elementAt(i);
        if (!e.isMoveTo() && !e.isLineTo())
            return false;
        const bool onX = e.x == r.left() || e.x == r.right();
        const bool onY = e.y == r.top() || e.y == r.bottom();
        if (!onX || !onY)
            return false;
    }
    *rect = r;
    return true;
}

}  // namespace

ClipArea ClipArea::fromRect(const QRectF& r) {
    ClipArea a;
    const QRectF n = r.normalized();
    const int l = toGrid(n.left()), t = toGrid(n.top()), rt = toGrid(n.right()),
              b = toGrid(n.bottom());
    if (rt > l && b > t)
        a.region_ = QRegion(l, t, rt - l, b - t);
    return a;
}

ClipArea ClipArea::fromPath(const QPainterPath& p) {
    QRectF rect;
    if (isAxisRect(p, &rect))
        return fromRect(rect);
    ClipArea a;
    a.isRegion_ = false;
    a.path_ = p;
    return a;
}

ClipArea ClipArea::fromDeviceRegion(const QRegion& region) {
    ClipArea a;
    QRegion scaled;
    for (const QRect& r : region) {
        scaled += QRect(r.x() * kGrid, r.y() * kGrid, r.width() * kGrid, r.height() * kGrid);
    }
    a.region_ = scaled;
    return a;
}

QPainterPath ClipArea::toPath() const {
    if (!isRegion_)
        return path_;
    QPainterPath p;
    for (const QRect& r : region_) {
        p.addRect(QRectF(double(r.x()) / kGrid, double(r.y()) / kGrid, double(r.width()) / kGrid,
                         double(r.height()) / kGrid));
    }
    return p;
}

QPainterPath ClipArea::path() const {
    return toPath();
}

QRectF ClipArea::boundingRect() const {
    if (!isRegion_)
        return path_.boundingRect();
    const QRect b = region_.boundingRect();
    return QRectF(double(b.x()) / kGrid, double(b.y()) / kGrid, double(b.width()) / kGrid,
                  double(b.height()) / kGrid);
}

ClipArea ClipArea::intersected(const ClipArea& o) const {
    if (isRegion_ && o.isRegion_)
        return fromRegionUnits(region_.intersected(o.region_));
    return fromPath(toPath().intersected(o.toPath()));
}

ClipArea ClipArea::subtracted(const ClipArea& o) const {
    if (isRegion_ && o.isRegion_)
        return fromRegionUnits(region_.subtracted(o.region_));
    return fromPath(toPath().subtracted(o.toPath()));
}

ClipArea ClipArea::united(const ClipArea& o) const {
    if (isRegion_ && o.isRegion_)
        return fromRegionUnits(region_.united(o.region_));
    return fromPath(toPath().united(o.toPath()));
}

ClipArea ClipArea::xored(const ClipArea& o) const {
    if (isRegion_ && o.isRegion_)
        return fromRegionUnits(region_.xored(o.region_));
    const QPainterPath a = toPath(), b = o.toPath();
    return fromPath(a.united(b).subtracted(a.intersected(b)));
}

ClipArea ClipArea::translated(QPointF d) const {
    if (!isRegion_)
        return fromPath(path_.translated(d));
    return fromRegionUnits(region_.translated(toGrid(d.x()), toGrid(d.y())));
}

ClipArea ClipArea::fromRegionUnits(const QRegion& r) {
    ClipArea a;
    a.region_ = r;
    return a;
}

}  // namespace qv::gdi
