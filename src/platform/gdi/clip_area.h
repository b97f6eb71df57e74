#pragma once

// A clipping area in device space. Rectangles and unions of rectangles (the
// usual case: IntersectClipRect, ExcludeClipRect, region records) are kept as
// a QRegion on a grid of 1/16 device pixel, whose combinations cost time in
// the number of bands; anything else (paths, turned rectangles) as a path.

#include <QPainterPath>
#include <QRectF>
#include <QRegion>

namespace qv::gdi {

class ClipArea {
  public:
    static constexpr int kGrid = 16;  // region units per device pixel

    ClipArea() = default;
    static ClipArea fromRect(const QRectF& deviceRect);
    // A path that is an axis-aligned rectangle becomes a region.
    static ClipArea fromPath(const QPainterPath& devicePath);
    // A region in whole device pixels.
    static ClipArea fromDeviceRegion(const QRegion& region);

    ClipArea intersected(const ClipArea& other) const;
    ClipArea subtracted(const ClipArea& other) const;
    ClipArea united(const ClipArea& other) const;
    ClipArea xored(const ClipArea& other) const;
    ClipArea translated(QPointF offset) const;

    QPainterPath path() const;
    QRectF boundingRect() const;
    bool isRegion() const { return isRegion_; }
    const QRegion& region() const { return region_; }  // in grid units

  private:
    static ClipArea fromRegionUnits(const QRegion& region);
    QPainterPath toPath() const;
    bool isRegion_ = true;
    QRegion region_;
    QPainterPath path_;
};

}  // namespace qv::gdi
