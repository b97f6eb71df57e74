// Grey-smoothed and two-level glyphs as GDI rasterises them.

#include "glyph_raster.h"

#include <QImage>
#include <array>
#include <cmath>

namespace qv::gdi {
namespace {

// GDI's grey smoothing blends in a light-linear space of this gamma.
constexpr double kSmoothingGamma = 1.8;

int ReadU16(const QByteArray& b, qsizetype at) {
    return (static_cast<uint8_t>(b[at]) << 8) | static_cast<uint8_t>(b[at + 1]);
}

// Coverage to alpha. Blending dark text over a light ground in light-linear
// space and converting back gives 1 - (1 - a)^(1/gamma); light text over a
// dark ground gives a^(1/gamma).
const std::array<uint8_t, 256>& CoverageCurve(bool darkText) {
    static const auto make = [](bool dark) {
        std::array<uint8_t, 256> lut{};
        for (int a = 0; a < 256; ++a) {
            const double c = a / 255.0;
            const double out =
                dark ? 1 - std::pow(1 - c, 1 / kSmoothingGamma) : std::pow(c, 1 / kSmoothingGamma);
            lut[a] = static_cast<uint8_t>(std::lround(255 * out));
        }
        return lut;
    };
    static const std::array<uint8_t, 256> dark = make(true);
    static const std::array<uint8_t, 256> light = make(false);
    return darkText ? dark : light;
}

}  // namespace

GaspTable GaspTable::Parse(const QByteArray& bytes) {
    GaspTable table;
    if (bytes.size() < 4)
        return table;
    const int count = ReadU16(bytes, 2);
    if (4 + qsizetype{count} * 4 > bytes.size())
        return table;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = 4 + qsizetype{i} * 4;
        table.ranges_.push_back({ReadU16(bytes, at), ReadU16(bytes, at + 2)});
    }
    return table;
}

int GaspTable::flags(int ppem) const {
    for (const Range& r : ranges_) {
        if (ppem <= r.maxPpem)
            return r.flags;
    }
    return kGridFit | kDoGray;
}

int RealisedPpem(double pixelsPerEm) {
    if (!(pixelsPerEm < 65535))
        return 65535;
    if (!(pixelsPerEm > 0))
        return 0;
    return static_cast<int>(pixelsPerEm);
}

void DrawSmoothedGlyphRun(QPainter& painter, const QGlyphRun& run, QColor color) {
    const QPaintDevice* device = painter.device();
    const QTransform toDevice = painter.combinedTransform();
    if (device->devicePixelRatio() != 1 || !toDevice.isInvertible()) {
        painter.save();
        painter.setPen(color);
        painter.drawGlyphRun(QPointF(0, 0), run);
        painter.restore();
        return;
    }
    // The run's box on the device, clipped in floating point first: a run far
    // off the device has coordinates no int can hold.
    const QRect deviceRect(0, 0, device->width(), device->height());
    const QRectF area =
        toDevice.mapRect(run.boundingRect()).adjusted(-2, -2, 2, 2) & QRectF(deviceRect);
    if (area.isEmpty())
        return;
    const QRect box = area.toAlignedRect() & deviceRect;
    if (box.isEmpty())
        return;

    // Coverage first, in an alpha mask the size of the run's box.
    QImage coverage(box.size(), QImage::Format_Alpha8);
    if (coverage.isNull())
        return;
    coverage.fill(0);
    {
        QPainter mask(&coverage);
        mask.setRenderHint(QPainter::TextAntialiasing, true);
        mask.setTransform(toDevice * QTransform::fromTranslate(-box.x(), -box.y()));
        mask.setPen(Qt::black);
        mask.drawGlyphRun(QPointF(0, 0), run);
    }

    // Then the colour, its alpha from coverage through the curve.
    const bool darkText = qGray(color.rgb()) < 128;
    const std::array<uint8_t, 256>& curve = CoverageCurve(darkText);
    QImage ink(box.size(), QImage::Format_ARGB32_Premultiplied);
    if (ink.isNull())
        return;
    for (int y = 0; y < box.height(); ++y) {
        const uchar* in = coverage.constScanLine(y);
        QRgb* out = reinterpret_cast<QRgb*>(ink.scanLine(y));
        for (int x = 0; x < box.width(); ++x) {
            const int a = curve[in[x]];
            out[x] =
                qRgba(color.red() * a / 255, color.green() * a / 255, color.blue() * a / 255, a);
        }
    }
    // Draw in device pixels: a world transform that undoes the view transform.
    const QTransform keep = painter.transform();
    painter.setTransform(toDevice.inverted() * keep);
    painter.drawImage(box.topLeft(), ink);
    painter.setTransform(keep);
}

}  // namespace qv::gdi
