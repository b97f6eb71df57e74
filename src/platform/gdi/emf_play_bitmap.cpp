// EMF bitmap records: blits, DIB transfers, pattern brushes and gradients.

#include <cmath>

#include "dib.h"
#include "emf_records.h"

namespace qv::gdi {
namespace {

DibColors colorsFor(const DcState& s, bool monochromeFromDc) {
    DibColors colors;
    if (s.palette)
        colors.palette = s.palette->entries;
    colors.textColor = s.textColor;
    colors.backgroundColor = s.bkColor;
    colors.monochromeUsesDcColors = monochromeFromDc;
    return colors;
}

// The BITMAPINFO and bits a record points at, both checked to lie inside it.
struct DibRef {
    std::span<const uint8_t> info;
    std::span<const uint8_t> bits;
    uint32_t usage = 0;
};

DibRef dibAt(const RecordReader& r, size_t infoOffField, size_t usageField) {
    DibRef d;
    const uint32_t infoAt = r.u32(infoOffField), infoSize = r.u32(infoOffField + 4);
    const uint32_t bitsAt = r.u32(infoOffField + 8), bitsSize = r.u32(infoOffField + 12);
    d.info = r.bytes(infoAt, infoSize);
    d.bits = r.bytes(bitsAt, bitsSize);
    d.usage = r.u32(usageField);
    return d;
}

QImage decode(const DibRef& d, const DcState& s, bool monochromeFromDc, bool alpha = false) {
    if (d.info.empty())
        return QImage();
    const DibColors colors = colorsFor(s, monochromeFromDc);
    return alpha ? DecodeDibWithAlpha(d.info, d.bits, d.usage, colors)
                 : DecodeDib(d.info, d.bits, d.usage, colors);
}

// Source rectangle of a DIB transfer: DIB coordinates count rows from the
// bottom for bottom-up bitmaps.
QRectF dibSourceRect(const DibRef& d, const QImage& img, double x, double y, double w, double h) {
    DibHeader header;
    if (ParseDibHeader(d.info, d.usage, header) && !header.topDown) {
        y = img.height() - (y + h);
    }
    return QRectF(x, y, w, h);
}

// BitBlt's source transform scales destination sizes to source pixels.
QSizeF sourceSize(const RecordReader& r, double cx, double cy) {
    const float m11 = r.f32(52), m22 = r.f32(64);
    const bool sane = std::isfinite(m11) && std::isfinite(m22) && m11 != 0 && m22 != 0 &&
                      std::fabs(m11) < 1e4 && std::fabs(m22) < 1e4;
    return sane ? QSizeF(cx * m11, cy * m22) : QSizeF(cx, cy);
}

// SetDIBitsToDevice may carry only a band of scan lines (startScan, scans):
// the header is rewritten to the band's height. Returns the band's first
// line, which source coordinates are relative to.
uint32_t bandOfScans(DibRef* d, std::vector<uint8_t>* band, uint32_t startScan, uint32_t scans) {
    DibHeader header;
    if (!ParseDibHeader(d->info, d->usage, header) || header.headerSize < 40 || scans == 0 ||
        scans >= static_cast<uint32_t>(header.height) ||
        (header.compression != kBiRgb && header.compression != kBiBitfields)) {
        return 0;
    }
    band->assign(d->info.begin(), d->info.end());
    const int32_t height =
        header.topDown ? -static_cast<int32_t>(scans) : static_cast<int32_t>(scans);
    for (int i = 0; i < 4; ++i)
        (*band)[8 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (8 * i));
    d->info = *band;
    return startScan;
}

void createPatternBrush(EmfContext& c, const RecordReader& r, bool mono) {
    auto brush = std::make_shared<LogBrush>();
    brush->style = mono ? kBsPattern : kBsDibPatternPt;
    brush->monochrome = mono;
    brush->usage = r.u32(12);
    const auto info = r.bytes(r.u32(16), r.u32(20));
    const auto bits = r.bytes(r.u32(24), r.u32(28));
    brush->bitmapInfo.assign(info.begin(), info.end());
    brush->bits.assign(bits.begin(), bits.end());
    c.dc.putObject(r.u32(8), brush);
}

void gradientFill(EmfContext& c, const RecordReader& r) {
    const uint32_t nVer = r.u32(24), nTri = r.u32(28), mode = r.u32(32);
    if (mode > 2)
        return;
    r.requireArray(36, nVer, 16);
    const size_t per = mode == 2 ? 3 : 2;
    const size_t indicesAt = 36 + static_cast<size_t>(nVer) * 16;
    r.requireArray(indicesAt, nTri, per * 4);
    std::vector<GdiPainter::GradientVertex> vertices;
    vertices.reserve(nVer);
    for (uint32_t i = 0; i < nVer; ++i) {
        const size_t at = 36 + 16 * i;
        vertices.push_back({QPointF(r.i32(at), r.i32(at + 4)),
                            QColor(r.u16(at + 8) >> 8, r.u16(at + 10) >> 8, r.u16(at + 12) >> 8)});
    }
    std::vector<uint32_t> indices;
    indices.reserve(nTri * per);
    for (size_t i = 0; i < nTri * per; ++i)
        indices.push_back(r.u32(indicesAt + 4 * i));
    c.out.gradientFill(c.dc, vertices, indices, mode);
}

}  // namespace

bool PlayEmfBitmapRecord(EmfContext& c, uint32_t type, const RecordReader& r) {
    DeviceContext& dc = c.dc;
    const DcState& s = dc.state();
    switch (type) {
        case kEmrBitBlt:
        case kEmrStretchBlt: {
            BlitOp op;
            op.destination = QRectF(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
            op.rop = r.u32(40);
            if (!r.has(88, 4) || r.u32(88) == 0) {  // no source bitmap: a pattern operation
                c.out.patBlt(dc, op.destination, op.rop);
                return true;
            }
            const DibRef d = dibAt(r, 84, 80);
            const QImage img = decode(d, s, true);
            if (img.isNull())
                throw RecordError("bad bitmap");
            const QSizeF size = type == kEmrStretchBlt ? QSizeF(r.i32(100), r.i32(104))
                                                       : sourceSize(r, op.destination.width(),
                                                                    op.destination.height());
            op.source = &img;
            op.sourceRect = QRectF(QPointF(r.i32(44), r.i32(48)), size);
            c.out.blit(dc, op);
            return true;
        }
        case kEmrStretchDiBits:
        case kEmrSetDiBitsToDevice: {
            const bool stretch = type == kEmrStretchDiBits;
            DibRef d = dibAt(r, 48, 64);
            std::vector<uint8_t> band;
            double ySrc = r.i32(36);
            if (!stretch)
                ySrc -= bandOfScans(&d, &band, r.u32(68), r.u32(72));
            const QImage img = decode(d, s, false);
            if (img.isNull())
                throw RecordError("bad bitmap");
            BlitOp op;
            const double cx = r.i32(40), cy = r.i32(44);
            op.source = &img;
            op.sourceRect = dibSourceRect(d, img, r.i32(32), ySrc, cx, cy);
            if (stretch) {
                op.destination = QRectF(r.i32(24), r.i32(28), r.i32(72), r.i32(76));
                op.rop = r.u32(68);
            } else {
                // One source pixel per device pixel.
                const QTransform t = s.logicalToDevice();
                const double sx = std::fabs(t.m11()) > 1e-12 ? 1 / std::fabs(t.m11()) : 1;
                const double sy = std::fabs(t.m22()) > 1e-12 ? 1 / std::fabs(t.m22()) : 1;
                op.destination = QRectF(r.i32(24), r.i32(28), cx * sx, cy * sy);
            }
            c.out.blit(dc, op);
            return true;
        }
        case kEmrMaskBlt: {
            BlitOp op;
            op.destination = QRectF(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
            const DibRef d = dibAt(r, 84, 80);
            const QImage img = decode(d, s, true);
            if (img.isNull())
                throw RecordError("bad bitmap");
            op.source = &img;
            op.sourceRect =
                QRectF(r.i32(44), r.i32(48), op.destination.width(), op.destination.height());
            QImage mask;
            if (r.u32(116) != 0)
                mask = decode(dibAt(r, 112, 108), s, true);
            c.out.maskBlt(dc, op, mask, QPoint(r.i32(100), r.i32(104)), r.u32(40));
            return true;
        }
        case kEmrPlgBlt: {
            const std::array<QPointF, 3> corners = {QPointF(r.i32(24), r.i32(28)),
                                                    QPointF(r.i32(32), r.i32(36)),
                                                    QPointF(r.i32(40), r.i32(44))};
            const QImage img = decode(dibAt(r, 96, 92), s, true);
            if (img.isNull())
                throw RecordError("bad bitmap");
            QImage mask;
            if (r.u32(128) != 0)
                mask = decode(dibAt(r, 124, 120), s, true);
            c.out.plgBlt(dc, corners, img, QRectF(r.i32(48), r.i32(52), r.i32(56), r.i32(60)), mask,
                         QPoint(r.i32(112), r.i32(116)));
            return true;
        }
        case kEmrAlphaBlend:
        case kEmrTransparentBlt: {
            BlitOp op;
            op.destination = QRectF(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
            const bool alpha = type == kEmrAlphaBlend;
            const bool perPixel = alpha && (r.u8(43) & 0x01);
            const DibRef d = dibAt(r, 84, 80);
            const QImage img = decode(d, s, !alpha, perPixel);
            if (img.isNull())
                throw RecordError("bad bitmap");
            op.source = &img;
            op.sourceRect = QRectF(r.i32(44), r.i32(48), r.i32(100), r.i32(104));
            if (alpha)
                c.out.alphaBlend(dc, op, r.u8(42), perPixel);
            else
                c.out.transparentBlt(dc, op, ColorRef(r.u32(40)));
            return true;
        }
        case kEmrCreateDibPatternBrushPt:
            createPatternBrush(c, r, false);
            return true;
        case kEmrCreateMonoBrush:
            createPatternBrush(c, r, true);
            return true;
        case kEmrGradientFill:
            gradientFill(c, r);
            return true;
        default:
            return false;
    }
}

}  // namespace qv::gdi
