// Drawing, text and bitmap records of the WMF player.

#include <algorithm>
#include <cmath>

#include "gdi_text.h"
#include "raster_ops.h"
#include "wmf_playback.h"

namespace qv::gdi {
namespace {

// Points stored as x, y pairs of 16-bit values.
std::vector<QPointF> Points(const WmfRecord& r, size_t at, size_t count) {
    count = std::min(count, (r.size() - std::min(r.size(), at)) / 4);
    std::vector<QPointF> points;
    points.reserve(count);
    for (size_t i = 0; i < count; ++i)
        points.emplace_back(r.s16(at + 4 * i), r.s16(at + 4 * i + 2));
    return points;
}

// Left, top, right, bottom stored as bottom, right, top, left from word n.
QRectF Box(const WmfRecord& r, size_t n) {
    return QRectF(QPointF(r.word(n + 3), r.word(n + 2)), QPointF(r.word(n + 1), r.word(n)));
}

// The parameter bytes a bitmap record has when it carries no bitmap: GDI
// writes such records with ((function >> 8) + 3) words in all.
size_t SourcelessParams(uint16_t function) {
    return ((function >> 8) + 3) * 2 - 6;
}

}  // namespace

bool WmfPlayback::drawRecord(const WmfRecord& r) {
    const QPointF xy = snap(QPointF(r.word(1), r.word(0)));
    switch (r.function) {
        case kMetaMoveTo:
            painter_.moveTo(dc_, xy);
            break;
        case kMetaLineTo:
            painter_.lineTo(dc_, xy);
            break;
        case kMetaPolyline: {
            const auto points = snap(Points(r, 2, r.u16(0)));
            painter_.polyline(dc_, points);
            break;
        }
        case kMetaPolygon: {
            const auto points = snap(Points(r, 2, r.u16(0)));
            painter_.polygon(dc_, points);
            break;
        }
        case kMetaPolyPolygon:
            polyPolygon(r);
            break;
        case kMetaRectangle:
            painter_.rectangle(dc_, snapCorners(Box(r, 0)));
            break;
        case kMetaEllipse:
            painter_.ellipse(dc_, snapCorners(Box(r, 0)));
            break;
        case kMetaRoundRect:
            painter_.roundRect(dc_, snapCorners(Box(r, 2)), QSizeF(r.word(1), r.word(0)));
            break;
        case kMetaArc:
        case kMetaPie:
        case kMetaChord: {
            const ArcKind kind = r.function == kMetaArc   ? ArcKind::Arc
                                 : r.function == kMetaPie ? ArcKind::Pie
                                                          : ArcKind::Chord;
            painter_.arc(dc_, kind, snapCorners(Box(r, 4)), QPointF(r.word(3), r.word(2)),
                         QPointF(r.word(1), r.word(0)));
            break;
        }
        case kMetaFloodFill:
            painter_.floodFill(dc_, snap(QPointF(r.word(3), r.word(2))), ColorRef(r.u32(0)), false);
            break;
        case kMetaExtFloodFill:
            painter_.floodFill(dc_, snap(QPointF(r.word(4), r.word(3))), ColorRef(r.u32(2)),
                               r.word(0) == 1);
            break;
        case kMetaSetPixel:
            painter_.setPixel(dc_, snap(QPointF(r.word(3), r.word(2))), ColorRef(r.u32(0)));
            break;
        case kMetaTextOut:
            textOut(r);
            break;
        case kMetaExtTextOut:
            extTextOut(r);
            break;
        case kMetaFillRegion:
        case kMetaFrameRegion: {
            const auto rgn = region(r.u16(0));
            const auto b = brush(r.u16(2));
            if (!rgn || !b)
                break;
            if (r.function == kMetaFillRegion) {
                painter_.fillRegion(dc_, rgn->shape, *b);
            } else {
                painter_.frameRegion(dc_, rgn->shape, *b, QSizeF(r.word(3), r.word(2)));
            }
            break;
        }
        case kMetaPaintRegion:
        case kMetaInvertRegion: {
            const auto rgn = region(r.u16(0));
            if (!rgn)
                break;
            if (r.function == kMetaPaintRegion) {
                painter_.paintRegion(dc_, rgn->shape);
            } else {
                painter_.invertRegion(dc_, rgn->shape);
            }
            break;
        }
        default:
            return false;
    }
    return true;
}

// GDI refuses a whole PolyPolygon when one of its polygons has fewer than two
// points; the record then draws nothing.
void WmfPlayback::polyPolygon(const WmfRecord& r) {
    const size_t count = r.u16(0);
    if (count == 0 || !r.has(2 + 2 * count))
        return;
    std::vector<QPolygonF> polygons;
    size_t at = 2 + 2 * count;
    for (size_t i = 0; i < count; ++i) {
        const size_t n = r.u16(2 + 2 * i);
        if (n < 2 || !r.has(at + 4 * n))
            return;
        const auto points = snap(Points(r, at, n));
        polygons.emplace_back(QPolygonF(QList<QPointF>(points.begin(), points.end())));
        at += 4 * n;
    }
    painter_.polyPolygon(dc_, polygons);
}

void WmfPlayback::textOut(const WmfRecord& r) {
    const size_t length = r.u16(0);
    const size_t padded = (length + 1) & ~size_t{1};
    if (!r.has(2 + padded + 4))
        return;
    TextRun run;
    const uint8_t charSet = dc_.state().font ? dc_.state().font->charSet : 0;
    run.text = DecodeNarrowText(r.bytes(2, length), charSet);
    run.reference = snap(QPointF(r.s16(2 + padded + 2), r.s16(2 + padded)));
    painter_.textOut(dc_, run);
}

void WmfPlayback::extTextOut(const WmfRecord& r) {
    TextRun run;
    run.reference = snap(QPointF(r.word(1), r.word(0)));
    const size_t length = r.u16(4);
    run.options = r.u16(6);
    size_t at = 8;
    // The rectangle is there with ETO_OPAQUE or ETO_CLIPPED; some writers store
    // it always, which the record's size shows.
    const size_t text = (length + 1) & ~size_t{1};
    const bool sizedWithRect = r.size() == 16 + text || r.size() == 16 + text + 2 * length;
    const bool sizedWithout = r.size() == 8 + text || r.size() == 8 + text + 2 * length;
    if ((run.options & (kEtoOpaque | kEtoClipped)) || (sizedWithRect && !sizedWithout)) {
        if (run.options & (kEtoOpaque | kEtoClipped)) {
            run.rect =
                snapCorners(QRectF(QPointF(r.s16(8), r.s16(10)), QPointF(r.s16(12), r.s16(14))));
        }
        at = 16;
    }
    if (!r.has(at + length))
        return;
    const auto bytes = r.bytes(at, length);
    at += (length + 1) & ~size_t{1};
    std::vector<double> byteDx;
    if (r.has(at + 2 * length)) {
        for (size_t i = 0; i < length; ++i)
            byteDx.push_back(r.s16(at + 2 * i));
    }
    if (run.options & kEtoGlyphIndex) {
        for (uint8_t b : bytes)
            run.glyphs.push_back(b);
        run.dx = byteDx;
    } else {
        const uint8_t charSet = dc_.state().font ? dc_.state().font->charSet : 0;
        run.dx = std::move(byteDx);  // one advance per byte, made one per character
        run.text = DecodeNarrowText(bytes, charSet, run.dx.empty() ? nullptr : &run.dx);
    }
    painter_.textOut(dc_, run);
}

QPointF WmfPlayback::snap(QPointF logical) const {
    return snap(std::vector<QPointF>{logical}).front();
}

std::vector<QPointF> WmfPlayback::snap(std::vector<QPointF> points) const {
    const QTransform toDevice = dc_.state().logicalToDevice();
    bool invertible = false;
    const QTransform toLogical = toDevice.inverted(&invertible);
    if (!invertible)
        return points;
    for (QPointF& p : points) {
        const QPointF d = toDevice.map(p);
        p = toLogical.map(QPointF(std::floor(d.x() + 0.5), std::floor(d.y() + 0.5)));
    }
    return points;
}

// Works for boxes given as x, y, width, height too: both corners are snapped.
QRectF WmfPlayback::snapCorners(const QRectF& logical) const {
    const auto corners = snap(std::vector<QPointF>{logical.topLeft(), logical.bottomRight()});
    return QRectF(corners[0], corners[1]);
}

DibColors WmfPlayback::dibColors() const {
    DibColors colors;
    const DcState& s = dc_.state();
    if (s.palette)
        colors.palette = s.palette->entries;
    colors.textColor = s.textColor;
    colors.backgroundColor = s.bkColor;
    return colors;
}

void WmfPlayback::dibBlit(const WmfRecord& r, size_t dibAt, uint32_t usage, QRectF dest, QRectF src,
                          uint32_t rop) {
    std::span<const uint8_t> info;
    std::span<const uint8_t> bits;
    if (SplitPackedDib(r.bytes(dibAt, r.size()), usage, &info, &bits))
        dibBlit(info, bits, usage, dest, src, rop);
}

void WmfPlayback::dibBlit(std::span<const uint8_t> info, std::span<const uint8_t> bits,
                          uint32_t usage, QRectF dest, QRectF src, uint32_t rop) {
    const QImage image = DecodeDib(info, bits, usage, dibColors());
    if (image.isNull())
        return;
    DibHeader header;
    ParseDibHeader(info, usage, header);
    // A bottom-up DIB counts source rows from its lower edge.
    if (!header.topDown)
        src.moveTop(image.height() - src.top() - src.height());
    BlitOp op;
    op.destination = snapCorners(dest);
    op.source = &image;
    op.sourceRect = src;
    op.rop = rop;
    painter_.blit(dc_, op);
}

bool WmfPlayback::bitmapRecord(const WmfRecord& r) {
    const auto w = [&](size_t n) { return static_cast<double>(r.word(n)); };
    switch (r.function) {
        case kMetaPatBlt:
            painter_.patBlt(dc_, snapCorners(QRectF(w(5), w(4), w(3), w(2))), r.u32(0));
            return true;
        case kMetaDibBitBlt:
        case kMetaBitBlt: {
            const bool sourceless = r.size() == SourcelessParams(r.function);
            const size_t d = sourceless ? 1 : 0;  // a reserved word before the height
            const QRectF dest(w(7 + d), w(6 + d), w(5 + d), w(4 + d));
            if (sourceless || !Rop3UsesSource(r.u32(0))) {
                painter_.patBlt(dc_, snapCorners(dest), r.u32(0));
            } else if (r.function == kMetaDibBitBlt) {
                dibBlit(r, 16, kDibRgbColors, dest, QRectF(w(3), w(2), w(5), w(4)), r.u32(0));
            } else {
                const QImage image = DecodeBitmap16(r.bytes(16, r.size()), dibColors());
                if (image.isNull())
                    return true;
                BlitOp op{snapCorners(dest), &image, QRectF(w(3), w(2), w(5), w(4)), r.u32(0)};
                painter_.blit(dc_, op);
            }
            return true;
        }
        case kMetaDibStretchBlt:
        case kMetaStretchBlt: {
            const bool sourceless = r.size() == SourcelessParams(r.function);
            const size_t d = sourceless ? 1 : 0;
            const QRectF dest(w(9 + d), w(8 + d), w(7 + d), w(6 + d));
            const QRectF src(w(5), w(4), w(3), w(2));
            if (sourceless || !Rop3UsesSource(r.u32(0))) {
                painter_.patBlt(dc_, snapCorners(dest), r.u32(0));
            } else if (r.function == kMetaDibStretchBlt) {
                dibBlit(r, 20, kDibRgbColors, dest, src, r.u32(0));
            } else {
                const QImage image = DecodeBitmap16(r.bytes(20, r.size()), dibColors());
                if (image.isNull())
                    return true;
                BlitOp op{snapCorners(dest), &image, src, r.u32(0)};
                painter_.blit(dc_, op);
            }
            return true;
        }
        case kMetaStretchDib: {
            const QRectF dest(w(10), w(9), w(8), w(7));
            const QRectF src(w(6), w(5), w(4), w(3));
            if (!Rop3UsesSource(r.u32(0))) {
                painter_.patBlt(dc_, snapCorners(dest), r.u32(0));
            } else {
                dibBlit(r, 22, r.u16(4), dest, src, r.u32(0));
            }
            return true;
        }
        case kMetaSetDibToDev:
            setDibToDevice(r);
            return true;
        default:
            return false;
    }
}

// SetDIBitsToDevice: the image is placed pixel for pixel on the device, at a
// logical position. The record may carry only a band of scan lines (from
// startScan, scanCount lines); source rows are then counted from the band.
void WmfPlayback::setDibToDevice(const WmfRecord& r) {
    const auto w = [&](size_t n) { return static_cast<double>(r.word(n)); };
    bool invertible = false;
    const QTransform toDevice = dc_.state().logicalToDevice();
    const QTransform toLogical = toDevice.inverted(&invertible);
    const uint32_t usage = r.u16(0);
    std::span<const uint8_t> info;
    std::span<const uint8_t> bits;
    if (!invertible || !SplitPackedDib(r.bytes(18, r.size()), usage, &info, &bits))
        return;
    QRectF src(w(4), w(3), w(6), w(5));
    std::vector<uint8_t> band;
    DibHeader header;
    const uint32_t scans = r.u16(2);
    if (ParseDibHeader(info, usage, header) && header.headerSize >= 40 && scans > 0 &&
        scans < static_cast<uint32_t>(header.height) &&
        (header.compression == kBiRgb || header.compression == kBiBitfields)) {
        band.assign(info.begin(), info.end());
        const int32_t height =
            header.topDown ? -static_cast<int32_t>(scans) : static_cast<int32_t>(scans);
        for (int i = 0; i < 4; ++i)
            band[8 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (8 * i));
        info = band;
        src.translate(0, -static_cast<double>(r.u16(4)));
    }
    const QPointF origin = toDevice.map(QPointF(w(8), w(7)));
    const QRectF dest = toLogical.mapRect(QRectF(origin, QSizeF(w(6), w(5))));
    dibBlit(info, bits, usage, dest, src, kSrcCopy);
}

}  // namespace qv::gdi
