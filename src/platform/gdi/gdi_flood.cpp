// Flood fills: they read the pixels already drawn, so they work only where
// the target is an image; on other targets they draw nothing.

#include <QBitmap>
#include <QRegion>
#include <cmath>
#include <vector>

#include "gdi_painter.h"

namespace qv::gdi {

void GdiPainter::floodFill(DeviceContext& dc, QPointF start, QRgb color, bool surface) {
    if (!painter_.device() || painter_.device()->devType() != QInternal::Image)
        return;
    DcState& s = dc.state();
    const QImage& pixels = *static_cast<QImage*>(painter_.device());
    // The start pixel, checked against the image before it becomes an int.
    const QPointF at = (s.logicalToDevice() * placement_).map(start);
    const double seedX = std::floor(at.x() + 0.5), seedY = std::floor(at.y() + 0.5);
    if (!(seedX >= 0 && seedX < pixels.width() && seedY >= 0 && seedY < pixels.height()))
        return;
    const QPoint seed(static_cast<int>(seedX), static_cast<int>(seedY));
    // FLOODFILLSURFACE fills the area of the given colour; FLOODFILLBORDER
    // fills everything up to a border of that colour.
    const QRgb key = color & 0xFFFFFF;
    const auto fillable = [&](int x, int y) {
        const bool same = (pixels.pixel(x, y) & 0xFFFFFF) == key;
        return surface ? same : !same;
    };
    if (!fillable(seed.x(), seed.y()))
        return;

    // Scan-line fill into a mask of the area.
    const int w = pixels.width(), h = pixels.height();
    if (!spendPixels(int64_t{w} * h))
        return;
    QImage area(w, h, QImage::Format_Mono);
    area.fill(0);
    std::vector<QPoint> todo{seed};
    while (!todo.empty()) {
        const QPoint p = todo.back();
        todo.pop_back();
        if (area.pixelIndex(p.x(), p.y()) || !fillable(p.x(), p.y()))
            continue;
        int left = p.x(), right = p.x();
        while (left > 0 && !area.pixelIndex(left - 1, p.y()) && fillable(left - 1, p.y()))
            --left;
        while (right + 1 < w && !area.pixelIndex(right + 1, p.y()) && fillable(right + 1, p.y()))
            ++right;
        for (int x = left; x <= right; ++x)
            area.setPixel(x, p.y(), 1);
        // One seed per run of fillable pixels above and below keeps the
        // stack about as long as the area's outline.
        for (int dy : {-1, 1}) {
            const int y = p.y() + dy;
            if (y < 0 || y >= h)
                continue;
            bool inRun = false;
            for (int x = left; x <= right; ++x) {
                const bool open = !area.pixelIndex(x, y) && fillable(x, y);
                if (open && !inRun)
                    todo.emplace_back(x, y);
                inRun = open;
            }
        }
    }
    area.setColor(0, qRgb(255, 255, 255));
    area.setColor(1, qRgb(0, 0, 0));
    QPainterPath shape;
    shape.addRegion(QRegion(QBitmap::fromImage(area)));
    syncClip(s);
    fillDevicePath(s, placement_.inverted().map(shape), *s.brush);
}

}  // namespace qv::gdi
