#include "gdi_painter.h"

#include <QPaintDevice>
#include <cmath>
#include <numeric>

#include "dib.h"
#include "gdi_text.h"
#include "hatch.h"

namespace qv::gdi {
namespace {

double linearScale(const QTransform& t) {
    return std::sqrt(std::fabs(t.determinant()));
}

QColor opaque(QRgb c) {
    return QColor::fromRgb(qRed(c), qGreen(c), qBlue(c));
}

// GDI's dash patterns: cosmetic ones in device pixels, geometric ones in
// multiples of the pen width.
std::vector<double> dashPattern(uint32_t style, bool cosmetic) {
    if (cosmetic) {
        switch (style) {
            case kPsDash:
                return {18, 6};
            case kPsDot:
                return {3, 3};
            case kPsDashDot:
                return {9, 6, 3, 6};
            case kPsDashDotDot:
                return {9, 3, 3, 3, 3, 3};
            case kPsAlternate:
                return {1, 1};
            default:
                return {};
        }
    }
    switch (style) {
        case kPsDash:
            return {3, 1};
        case kPsDot:
            return {1, 1};
        case kPsDashDot:
            return {3, 1, 1, 1};
        case kPsDashDotDot:
            return {3, 1, 1, 1, 1, 1};
        case kPsAlternate:
            return {1, 1};
        default:
            return {};
    }
}

}  // namespace

GdiPainter::GdiPainter(QPainter& painter, const QTransform& deviceToTarget)
    : painter_(painter), text_(std::make_unique<TextRenderer>()) {
    painter_.save();
    const QPaintDevice* device = painter_.device();
    const int type = device ? device->devType() : 0;
    raster_ = type == QInternal::Image || type == QInternal::Pixmap || type == QInternal::Widget;
    constexpr int64_t kBudgetFloor = int64_t{16} << 20;
    const int64_t devicePixels =
        device ? int64_t{device->width()} * std::max(device->height(), 0) : 0;
    pixelBudget_ = std::max(kBudgetFloor, 16 * devicePixels);
    original_ = painter_.worldTransform();
    if (painter_.hasClipping())
        callerClip_ = painter_.clipPath();
    placement_ = deviceToTarget * original_;
    targetScale_ = std::max(linearScale(placement_), 1e-9);
    painter_.setTransform(placement_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.setBackgroundMode(Qt::TransparentMode);
}

GdiPainter::~GdiPainter() {
    painter_.restore();
}

QPolygonF GdiPainter::toDevice(const DeviceContext& dc, std::span<const QPointF> points) {
    const QTransform t = dc.state().logicalToDevice();
    QPolygonF out;
    out.reserve(static_cast<int>(points.size()));
    for (const QPointF& p : points)
        out.append(t.map(p));
    return out;
}

void GdiPainter::syncClip(const DcState& s) {
    if (s.clipId == appliedClip_)
        return;
    appliedClip_ = s.clipId;
    const std::optional<QPainterPath> clip = s.effectiveClip();
    if (callerClip_) {
        painter_.setTransform(original_);
        painter_.setClipPath(*callerClip_);
        painter_.setTransform(placement_);
        if (clip)
            painter_.setClipPath(*clip, Qt::IntersectClip);
    } else if (clip) {
        painter_.setClipPath(*clip);
    } else {
        painter_.setClipping(false);
    }
}

// Applies the binary raster operation to a pen or brush colour. Returns false
// when nothing is to be drawn. Operations that need the pixels below use the
// painter's raster operations on pixel targets; elsewhere they draw plainly.
bool GdiPainter::applyRop2(const DcState& s, QColor* color) {
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    switch (s.rop2) {
        case kR2Nop:
            return false;
        case kR2Black:
            *color = Qt::black;
            return true;
        case kR2White:
            *color = Qt::white;
            return true;
        case kR2NotCopyPen:
            *color = QColor(0xFFFFFF & ~color->rgb());
            return true;
        case kR2XorPen:
            if (!raster_)
                return true;
            painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            return true;
        case kR2Not:
            if (!raster_)
                return false;
            *color = Qt::white;
            painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            return true;
        case kR2MaskPen:
            if (raster_)
                painter_.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            return true;
        case kR2MergePen:
            if (raster_)
                painter_.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
            return true;
        case kR2NotXorPen:
            if (!raster_)
                return true;
            painter_.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
            return true;
        default:
            return true;
    }
}

bool GdiPainter::makePen(const DcState& s, double length, QPen* out, std::optional<QPen>* gap) {
    const LogPen& lp = *s.pen;
    const uint32_t style = lp.penStyle();
    if (style == kPsNull)
        return false;
    QColor color = opaque(lp.color);
    if (!applyRop2(s, &color))
        return false;
    const double deviceWidth = lp.width * linearScale(s.logicalToDevice());
    const double targetWidth = deviceWidth * targetScale_;
    const bool cosmetic = (lp.extended && lp.cosmetic()) || lp.width == 0 || targetWidth < 1.5;
    const double realisedWidth = std::max(1.0, std::round(targetWidth));
    QPen pen(color);
    if (cosmetic) {
        pen.setCosmetic(true);
        pen.setWidth(0);
        pen.setCapStyle(Qt::FlatCap);
    } else {
        // On pixels GDI realises a pen at a whole number of them.
        pen.setWidthF(raster_ ? realisedWidth / targetScale_ : deviceWidth);
        const uint32_t cap = lp.extended ? (lp.style & kPsEndcapMask) : kPsEndcapRound;
        const uint32_t join = lp.extended ? (lp.style & kPsJoinMask) : kPsJoinRound;
        pen.setCapStyle(cap == kPsEndcapFlat     ? Qt::FlatCap
                        : cap == kPsEndcapSquare ? Qt::SquareCap
                                                 : Qt::RoundCap);
        pen.setJoinStyle(join == kPsJoinBevel   ? Qt::BevelJoin
                         : join == kPsJoinMiter ? Qt::MiterJoin
                                                : Qt::RoundJoin);
        pen.setMiterLimit(s.miterLimit);
    }
    // CreatePen draws wide pens solid whatever their style.
    const bool dashed =
        style != kPsSolid && style != kPsInsideFrame && !(!lp.extended && lp.width > 1);
    if (dashed) {
        std::vector<double> pattern;
        if (style == kPsUserStyle) {
            // Entries are logical lengths; Qt counts them in pen widths.
            double unit = cosmetic ? 1.0 : std::max(lp.width, 1e-9);
            if (!cosmetic && raster_)
                unit *= realisedWidth / targetWidth;
            for (double d : lp.dashes)
                pattern.push_back(std::max(d / unit, 0.01));
        } else {
            pattern = dashPattern(style, cosmetic || !lp.extended);
            if (!cosmetic && !lp.extended) {
                for (double& d : pattern)
                    d /= std::max(targetWidth, 1.0);
            }
        }
        if (pattern.size() % 2 == 1)
            pattern.push_back(pattern.back());
        // A pattern with far too many repetitions would take too long: solid.
        const double period = std::accumulate(pattern.begin(), pattern.end(), 0.0) *
                              (cosmetic ? 1.0 : std::max(targetWidth, 1.0));
        if (!pattern.empty() && period > 0 && length * targetScale_ / period < 200000) {
            if (s.bkMode == kOpaque) {
                QPen g = pen;
                g.setColor(opaque(s.bkColor));
                *gap = g;
            }
            pen.setDashPattern(QList<qreal>(pattern.begin(), pattern.end()));
        }
    }
    *out = pen;
    return true;
}

bool GdiPainter::spendPixels(int64_t pixels) {
    if (pixels > pixelBudget_)
        return false;
    pixelBudget_ -= pixels;
    return true;
}

void GdiPainter::strokeDevicePath(const DcState& s, const QPainterPath& path) {
    QPen pen;
    std::optional<QPen> gap;
    if (!makePen(s, path.length(), &pen, &gap))
        return;
    // Curves flatten into segments shorter than a pixel; a cosmetic pen that
    // left out every segment's last pixel would leave gaps in small shapes.
    if (pen.isCosmetic()) {
        pen.setCapStyle(Qt::SquareCap);
        if (gap)
            gap->setCapStyle(Qt::SquareCap);
    }
    const QRectF extent = placement_.mapRect(path.boundingRect());
    // Snapping works in whole pixels, so only outlines within the integer
    // range take that road; anything farther out is off the target anyway.
    constexpr double kPixelRange = 1 << 30;
    if ((pen.isCosmetic() || pen.widthF() * targetScale_ < 2.5) && extent.width() < 8 &&
        extent.height() < 8 && std::abs(extent.left()) < kPixelRange &&
        std::abs(extent.top()) < kPixelRange) {
        strokeTinyPath(path, pen);
        return;
    }
    if (raster_ && strokeOnPixels(placement_.map(path), pen, gap))
        return;
    if (gap)
        painter_.strokePath(path, *gap);
    painter_.strokePath(path, pen);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// GDI draws lines in whole pixels: it rounds every coordinate and realises
// the pen at a whole width, a line of odd width centred on the pixel at its
// coordinate and one of even width reaching half its width above and to the
// left. Qt's pixel n spans n to n + 1, so odd widths move half a pixel. The
// path is in target pixels; false when it lies too far out to snap.
bool GdiPainter::strokeOnPixels(const QPainterPath& target, QPen pen, std::optional<QPen> gap) {
    constexpr double kPixelRange = 1 << 30;
    const QRectF extent = target.controlPointRect();
    if (!(std::abs(extent.left()) < kPixelRange && std::abs(extent.right()) < kPixelRange &&
          std::abs(extent.top()) < kPixelRange && std::abs(extent.bottom()) < kPixelRange))
        return false;
    QPainterPath snapped;
    for (const QPolygonF& polygon : target.toSubpathPolygons()) {
        QPolygonF whole;
        for (const QPointF& p : polygon)
            whole.append(QPointF(std::round(p.x()), std::round(p.y())));
        const bool closed = whole.size() > 2 && whole.front() == whole.back();
        snapped.addPolygon(whole);
        if (closed)
            snapped.closeSubpath();
    }
    double shift = 0;
    if (!pen.isCosmetic()) {
        const double width = std::round(pen.widthF() * targetScale_);
        pen.setWidthF(width);
        if (gap)
            gap->setWidthF(width);
        if (std::fmod(width, 2.0) == 1.0)
            shift = 0.5;
    }
    const QTransform keep = painter_.transform();
    painter_.setTransform(QTransform::fromTranslate(shift, shift));
    if (gap)
        painter_.strokePath(snapped, *gap);
    painter_.strokePath(snapped, pen);
    painter_.setTransform(keep);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    return true;
}

void GdiPainter::strokeDevicePolyline(const DcState& s, const QPolygonF& line) {
    double length = 0;
    for (int i = 1; i < line.size(); ++i)
        length += QLineF(line[i - 1], line[i]).length();
    QPen pen;
    std::optional<QPen> gap;
    if (!makePen(s, length, &pen, &gap))
        return;
    painter_.setBrush(Qt::NoBrush);
    if (raster_) {
        QPainterPath path;
        path.addPolygon(line);
        if (strokeOnPixels(placement_.map(path), pen, gap))
            return;
    }
    if (gap) {
        painter_.setPen(*gap);
        painter_.drawPolyline(line);
    }
    painter_.setPen(pen);
    painter_.drawPolyline(line);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// A few pixels across, Qt's aliased curves fall apart into dots; GDI draws a
// closed ring. The outline is snapped to whole device pixels and drawn as
// polygons instead.
void GdiPainter::strokeTinyPath(const QPainterPath& path, const QPen& pen) {
    painter_.save();
    painter_.resetTransform();
    QPen thin = pen;
    thin.setCosmetic(true);
    thin.setWidth(0);
    thin.setCapStyle(Qt::SquareCap);
    painter_.setPen(thin);
    painter_.setBrush(Qt::NoBrush);
    for (const QPolygonF& polygon : path.toSubpathPolygons(placement_)) {
        QPolygon snapped;
        for (const QPointF& p : polygon) {
            const QPoint q(static_cast<int>(std::floor(p.x())),
                           static_cast<int>(std::floor(p.y())));
            if (snapped.isEmpty() || snapped.back() != q)
                snapped.append(q);
        }
        if (snapped.size() == 1)
            painter_.drawPoint(snapped[0]);
        else
            painter_.drawPolyline(snapped);
    }
    painter_.restore();
}

// In the compatible graphics mode GDI leaves out the right and bottom edge of
// rectangles and ellipses: one pixel of the device drawn on.
double GdiPainter::edgeExclusion(const DcState& s) const {
    return s.graphicsMode == kGmAdvanced ? 0.0 : 1.0 / targetScale_;
}

// A pattern brush's tile; a monochrome brush takes the DC's text (0 bits) and
// background (1 bits) colours.
QImage GdiPainter::brushImage(const DcState& s, const LogBrush& lb) const {
    DibColors colors;
    if (s.palette)
        colors.palette = s.palette->entries;
    colors.textColor = s.textColor;
    colors.backgroundColor = s.bkColor;
    colors.monochromeUsesDcColors = lb.monochrome;
    return DecodeDib(lb.bitmapInfo, lb.bits, lb.usage, colors);
}

void GdiPainter::fillDevicePath(const DcState& s, const QPainterPath& path, const LogBrush& lb) {
    if (lb.style == kBsNull)
        return;
    QColor color = opaque(lb.color);
    if (!applyRop2(s, &color))
        return;
    QPainterPath area = path;
    area.setFillRule(s.polyFillMode == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
    // Patterns are tiles of device pixels anchored at the brush origin.
    const QTransform tile =
        QTransform::fromTranslate(s.brushOrigin.x(), s.brushOrigin.y()) * placement_.inverted();
    if (lb.style != kBsSolid) {
        QImage image;
        if (lb.style == kBsHatched) {
            image =
                HatchTile(static_cast<int>(lb.hatch), color.rgb(), s.bkColor, s.bkMode == kOpaque);
        } else {
            image = brushImage(s, lb);
        }
        // An unreadable pattern draws nothing: GDI would not have made the brush.
        if (!image.isNull()) {
            QBrush brush(image);
            brush.setTransform(tile);
            painter_.fillPath(area, brush);
        }
    } else {
        painter_.fillPath(area, color);
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void GdiPainter::drawShape(DeviceContext& dc, const QPainterPath& path, bool fill, bool stroke) {
    DcState& s = dc.state();
    if (s.pathOpen) {
        appendToPath(dc, path, false);
        return;
    }
    syncClip(s);
    if (fill)
        fillDevicePath(s, path, *s.brush);
    if (stroke)
        strokeDevicePath(s, path);
}

void GdiPainter::appendToPath(DeviceContext& dc, const QPainterPath& devicePath, bool) {
    dc.state().path.addPath(devicePath);
}

}  // namespace qv::gdi
