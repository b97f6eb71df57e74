// Bitmaps, pattern fills and gradients of the drawing backend.

#include <cmath>
#include <optional>

#include "gdi_painter.h"
#include "raster_ops.h"

namespace qv::gdi {
namespace {

// The source with the destination kept where a monochrome mask is 0: the
// mask becomes transparency. The mask's origin lines up with the source
// rectangle's top-left corner.
QImage MaskedSource(const QImage& source, QPointF sourceOrigin, const QImage& mask,
                    QPoint maskOrigin) {
    QImage img = source.convertToFormat(QImage::Format_ARGB32);
    const QImage m = mask.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const int my = y - static_cast<int>(sourceOrigin.y()) + maskOrigin.y();
        for (int x = 0; x < img.width(); ++x) {
            const int mx = x - static_cast<int>(sourceOrigin.x()) + maskOrigin.x();
            const bool set = my >= 0 && mx >= 0 && my < m.height() && mx < m.width() &&
                             (m.pixel(mx, my) & 0xFFFFFF) != 0;
            if (!set)
                line[x] = 0;
        }
    }
    return img;
}

struct Composition {
    bool draw = true;
    bool invertSource = false;
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    // On vector targets: source pixels of this colour leave the destination
    // alone (white for AND, black for OR and XOR) and become transparent.
    std::optional<QRgb> transparentKey;
};

// How a ternary raster operation with a source is composed. On pixel targets
// the painter's raster operations give the exact result for the common codes;
// on vector targets the pixels that would leave the destination unchanged are
// made transparent, so that a mask pair (AND then OR, or XOR-AND-XOR) ends up
// as a transparent image.
Composition composeSource(uint32_t rop, bool raster) {
    Composition c;
    switch (rop) {
        case kSrcCopy:
            break;
        case kNotSrcCopy:
            c.invertSource = true;
            break;
        case kSrcAnd:
            if (raster)
                c.mode = QPainter::RasterOp_SourceAndDestination;
            else
                c.transparentKey = qRgb(255, 255, 255);
            break;
        case kSrcPaint:
        case kSrcInvert:
            if (raster) {
                c.mode = rop == kSrcPaint ? QPainter::RasterOp_SourceOrDestination
                                          : QPainter::RasterOp_SourceXorDestination;
            } else {
                c.transparentKey = qRgb(0, 0, 0);
            }
            break;
        case kSrcErase:
            if (raster)
                c.mode = QPainter::RasterOp_SourceAndNotDestination;
            break;
        case kNotSrcErase:
            c.mode = QPainter::RasterOp_NotSourceAndNotDestination;
            c.draw = raster;
            break;
        case kMergePaint:
            c.invertSource = true;
            if (raster)
                c.mode = QPainter::RasterOp_SourceOrDestination;
            else
                c.transparentKey = qRgb(0, 0, 0);
            break;
        case 0x00AA0029:  // destination unchanged
            c.draw = false;
            break;
        default:
            break;
    }
    return c;
}

QImage withTransparentKey(const QImage& image, QRgb key) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == (key & 0xFFFFFF))
                line[x] = 0;
        }
    }
    return out;
}

bool needsDestination(uint32_t rop) {
    return rop != kSrcCopy && rop != kNotSrcCopy && rop != kPatCopy && rop != kBlackness &&
           rop != kWhiteness;
}

}  // namespace

bool GdiPainter::composeOnPixels(const DcState& s, const QRectF& dest, const QImage* source,
                                 const QRectF& src, uint32_t rop) {
    if (!painter_.device() || painter_.device()->devType() != QInternal::Image)
        return false;
    auto* target = static_cast<QImage*>(painter_.device());
    const QTransform toTarget = s.logicalToDevice() * placement_;
    if (toTarget.type() > QTransform::TxScale)
        return false;
    const QRectF mapped = toTarget.mapRect(dest.normalized());
    const QRect pixels =
        QRect(QPoint(std::lround(mapped.left()), std::lround(mapped.top())),
              QPoint(std::lround(mapped.right()) - 1, std::lround(mapped.bottom()) - 1));
    // Stretching a source onto far more pixels than the target has is not
    // worth an exact composition.
    if (static_cast<int64_t>(pixels.width()) * pixels.height() >
        4 * static_cast<int64_t>(target->width()) * target->height() + 1000000) {
        return false;
    }
    const QRect area = pixels.intersected(target->rect());
    if (area.isEmpty())
        return true;
    QImage destination = target->copy(area).convertToFormat(QImage::Format_ARGB32);
    QImage stretched;
    if (source) {
        // The source rectangle scaled onto the destination pixels, mirrored by
        // negative extents on either side.
        const QRect srcPixels = src.normalized().toRect();
        QImage part = source->copy(srcPixels).convertToFormat(QImage::Format_ARGB32);
        const QPointF corner0 = toTarget.map(dest.topLeft());
        const QPointF corner1 = toTarget.map(dest.bottomRight());
        const bool flipX = (corner1.x() < corner0.x()) != (src.width() < 0);
        const bool flipY = (corner1.y() < corner0.y()) != (src.height() < 0);
        part = part.mirrored(flipX, flipY);
        stretched = part.scaled(pixels.size(), Qt::IgnoreAspectRatio,
                                s.stretchMode == kHalftone ? Qt::SmoothTransformation
                                                           : Qt::FastTransformation)
                        .copy(area.translated(-pixels.topLeft()));
        if (stretched.size() != destination.size())
            return true;
    }
    const QImage pattern = brushImage(s, *s.brush);
    QImage solid;
    const QImage* patternTile = nullptr;
    if (s.brush->style == kBsSolid) {
        solid = QImage(1, 1, QImage::Format_ARGB32);
        solid.fill(QColor(s.brush->color | 0xFF000000));
        patternTile = &solid;
    } else if (!pattern.isNull()) {
        patternTile = &pattern;
    }
    ApplyRop3(destination, source ? &stretched : nullptr, patternTile,
              s.brushOrigin - area.topLeft(), rop);
    painter_.save();
    painter_.resetTransform();
    painter_.setCompositionMode(QPainter::CompositionMode_Source);
    painter_.drawImage(area.topLeft(), destination);
    painter_.restore();
    return true;
}

// Maps source pixels onto the logical destination rectangle, mirrored by
// negative sizes, and draws with the composition of the raster operation.
void GdiPainter::drawImage(const DcState& s, const QPainterPath&, const QRectF& dest,
                           const QImage& image, const QRectF& src, uint32_t rop) {
    if (image.isNull() || src.width() == 0 || src.height() == 0)
        return;
    Composition c = composeSource(rop, raster_);
    if (!c.draw)
        return;
    QImage img = image;
    if (c.invertSource) {
        img = image.convertToFormat(QImage::Format_RGB32);
        img.invertPixels();
    }
    if (c.transparentKey)
        img = withTransparentKey(img, *c.transparentKey);
    const QTransform toDest(dest.width() / src.width(), 0, 0, dest.height() / src.height(),
                            dest.x() - src.x() * dest.width() / src.width(),
                            dest.y() - src.y() * dest.height() / src.height());
    painter_.setTransform(toDest * s.logicalToDevice() * placement_);
    painter_.setCompositionMode(c.mode);
    // Smooth scaling only where GDI would halftone; otherwise pixels stay crisp.
    const bool shrink = std::fabs(toDest.m11()) * targetScale_ < 1.0;
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, s.stretchMode == kHalftone || shrink);
    painter_.drawImage(src, img, src);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setTransform(placement_);
}

void GdiPainter::blit(DeviceContext& dc, const BlitOp& op) {
    DcState& s = dc.state();
    if (!op.source) {
        patBlt(dc, op.destination, op.rop);
        return;
    }
    syncClip(s);
    drawImage(s, QPainterPath(), op.destination, *op.source, op.sourceRect, op.rop);
}

void GdiPainter::patBlt(DeviceContext& dc, const QRectF& box, uint32_t rop) {
    DcState& s = dc.state();
    syncClip(s);
    QPainterPath area;
    area.addRect(box);
    area = s.logicalToDevice().map(area);
    if (needsDestination(rop) && composeOnPixels(s, box, nullptr, QRectF(), rop))
        return;
    switch (rop) {
        case kBlackness:
            painter_.fillPath(area, Qt::black);
            break;
        case kWhiteness:
            painter_.fillPath(area, Qt::white);
            break;
        case kPatCopy: {
            LogBrush brush = *s.brush;
            DcState plain = s;
            plain.rop2 = kR2CopyPen;
            fillDevicePath(plain, area, brush);
            break;
        }
        case kDstInvert:
            if (raster_) {
                painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
                painter_.fillPath(area, Qt::black);
            }
            break;
        case kPatInvert:
            if (raster_ && s.brush->style == kBsSolid) {
                painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
                painter_.fillPath(area, QColor(s.brush->color | 0xFF000000));
            }
            break;
        default:
            break;  // 0xAA0029 and unknown codes leave the destination
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void GdiPainter::transparentBlt(DeviceContext& dc, const BlitOp& op, QRgb transparent) {
    if (!op.source)
        return;
    QImage img = op.source->convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent & 0xFFFFFF;
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == key)
                line[x] = 0;
        }
    }
    DcState& s = dc.state();
    syncClip(s);
    drawImage(s, QPainterPath(), op.destination, img, op.sourceRect, kSrcCopy);
}

void GdiPainter::alphaBlend(DeviceContext& dc, const BlitOp& op, int constantAlpha, bool perPixel) {
    if (!op.source)
        return;
    DcState& s = dc.state();
    syncClip(s);
    QImage img = *op.source;
    if (perPixel) {
        // The source holds premultiplied alpha.
        img = img.convertToFormat(QImage::Format_ARGB32);
        img.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        img = img.convertToFormat(QImage::Format_RGB32);
    }
    painter_.setOpacity(std::clamp(constantAlpha, 0, 255) / 255.0);
    drawImage(s, QPainterPath(), op.destination, img, op.sourceRect, kSrcCopy);
    painter_.setOpacity(1.0);
}

void GdiPainter::maskBlt(DeviceContext& dc, const BlitOp& op, const QImage& mask, QPoint maskOrigin,
                         uint32_t rop4) {
    if (!op.source)
        return;
    const uint32_t fore = rop4 & 0x00FFFFFF;
    const uint32_t backIndex = (rop4 >> 24) & 0xFF;
    DcState& s = dc.state();
    syncClip(s);
    if (backIndex != 0xAA || mask.isNull()) {
        drawImage(s, QPainterPath(), op.destination, *op.source, op.sourceRect, fore);
        return;
    }
    const QImage img = MaskedSource(*op.source, op.sourceRect.topLeft(), mask, maskOrigin);
    drawImage(s, QPainterPath(), op.destination, img, op.sourceRect, fore);
}

void GdiPainter::plgBlt(DeviceContext& dc, const std::array<QPointF, 3>& corners,
                        const QImage& source, const QRectF& sourceRect, const QImage& mask,
                        QPoint maskOrigin) {
    if (source.isNull() || sourceRect.width() == 0 || sourceRect.height() == 0)
        return;
    DcState& s = dc.state();
    syncClip(s);
    // The source rectangle's top-left, top-right and bottom-left corners go
    // to the three points: an affine map onto the parallelogram.
    const QPointF across = corners[1] - corners[0];
    const QPointF down = corners[2] - corners[0];
    const double m11 = across.x() / sourceRect.width(), m12 = across.y() / sourceRect.width();
    const double m21 = down.x() / sourceRect.height(), m22 = down.y() / sourceRect.height();
    const QTransform toLogical(m11, m12, m21, m22,
                               corners[0].x() - sourceRect.x() * m11 - sourceRect.y() * m21,
                               corners[0].y() - sourceRect.x() * m12 - sourceRect.y() * m22);
    const QTransform full = toLogical * s.logicalToDevice() * placement_;
    if (!full.isInvertible())
        return;
    const QImage img =
        mask.isNull() ? source : MaskedSource(source, sourceRect.topLeft(), mask, maskOrigin);
    painter_.setTransform(full);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, s.stretchMode == kHalftone);
    painter_.drawImage(sourceRect, img, sourceRect);
    painter_.setTransform(placement_);
}

void GdiPainter::gradientFill(DeviceContext& dc, std::span<const GradientVertex> vertices,
                              std::span<const uint32_t> indices, uint32_t mode) {
    DcState& s = dc.state();
    syncClip(s);
    const QTransform t = s.logicalToDevice();
    const size_t per = mode == 2 ? 3 : 2;
    for (size_t i = 0; i + per <= indices.size(); i += per) {
        bool valid = true;
        for (size_t k = 0; k < per; ++k)
            valid = valid && indices[i + k] < vertices.size();
        if (!valid)
            continue;
        const GradientVertex& a = vertices[indices[i]];
        const GradientVertex& b = vertices[indices[i + 1]];
        if (mode == 2) {
            shadeTriangle(t.map(QPolygonF({a.point, b.point, vertices[indices[i + 2]].point})),
                          {a.color, b.color, vertices[indices[i + 2]].color});
            continue;
        }
        const QRectF r = QRectF(a.point, b.point).normalized();
        const QPointF end = mode == 0 ? QPointF(r.right(), r.top()) : QPointF(r.left(), r.bottom());
        QLinearGradient g(t.map(r.topLeft()), t.map(end));
        const bool aFirst = mode == 0 ? a.point.x() <= b.point.x() : a.point.y() <= b.point.y();
        g.setColorAt(0, aFirst ? a.color : b.color);
        g.setColorAt(1, aFirst ? b.color : a.color);
        QPainterPath area;
        area.addRect(r);
        painter_.fillPath(t.map(area), g);
    }
}

// A triangle whose colour runs linearly between its corners (Gouraud
// shading): each channel is an affine function of the position, evaluated
// per pixel of the target into an image that the triangle then clips.
void GdiPainter::shadeTriangle(const QPolygonF& device, const std::array<QColor, 3>& colors) {
    const QPolygonF target = placement_.map(device);
    const QPointF p0 = target[0], p1 = target[1], p2 = target[2];
    const double area =
        (p1.x() - p0.x()) * (p2.y() - p0.y()) - (p2.x() - p0.x()) * (p1.y() - p0.y());
    QPainterPath shape;
    shape.addPolygon(device);
    if (!(std::fabs(area) > 1e-9))
        return;
    // Pixels of the image per target unit: finer on vector targets, and
    // bounded so that a huge triangle cannot ask for a huge image.
    QRectF box = target.boundingRect();
    if (raster_ && painter_.device())
        box &= QRectF(0, 0, painter_.device()->width(), painter_.device()->height());
    if (box.isEmpty())
        return;
    double density = raster_ ? 1.0 : 2.0;
    constexpr double kMaxPixels = 4e6, kMaxSide = 8192;
    if (box.width() * box.height() * density * density > kMaxPixels)
        density = std::sqrt(kMaxPixels / (box.width() * box.height()));
    const double wide = std::ceil(box.width() * density), high = std::ceil(box.height() * density);
    const bool drawable = wide >= 0 && wide <= kMaxSide && high >= 0 && high <= kMaxSide;
    const int w = drawable ? std::max(1, static_cast<int>(wide)) : 0;
    const int h = drawable ? std::max(1, static_cast<int>(high)) : 0;
    if (!drawable || !spendPixels(int64_t{w} * h)) {
        // Too large to shade, or out of budget: the mean of the corners.
        const QColor mean((colors[0].red() + colors[1].red() + colors[2].red()) / 3,
                          (colors[0].green() + colors[1].green() + colors[2].green()) / 3,
                          (colors[0].blue() + colors[1].blue() + colors[2].blue()) / 3);
        painter_.fillPath(shape, mean);
        return;
    }
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull())
        return;
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const double py = box.top() + (y + 0.5) / density;
        for (int x = 0; x < w; ++x) {
            const double px = box.left() + (x + 0.5) / density;
            // Barycentric weights of the pixel centre.
            const double w1 =
                ((px - p0.x()) * (p2.y() - p0.y()) - (p2.x() - p0.x()) * (py - p0.y())) / area;
            const double w2 =
                ((p1.x() - p0.x()) * (py - p0.y()) - (px - p0.x()) * (p1.y() - p0.y())) / area;
            const double w0 = 1 - w1 - w2;
            const auto channel = [&](int (QColor::*get)() const) {
                const double v =
                    w0 * (colors[0].*get)() + w1 * (colors[1].*get)() + w2 * (colors[2].*get)();
                return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
            };
            line[x] = qRgb(channel(&QColor::red), channel(&QColor::green), channel(&QColor::blue));
        }
    }
    QBrush brush(image);
    brush.setTransform(QTransform::fromScale(1 / density, 1 / density) *
                       QTransform::fromTranslate(box.left(), box.top()) * placement_.inverted());
    painter_.fillPath(shape, brush);
}

}  // namespace qv::gdi
