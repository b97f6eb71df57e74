// EMF records that change the device context: mapping, transforms, objects,
// attributes and clipping.

#include <QRegion>
#include <cmath>

#include "emf_records.h"

namespace qv::gdi {
namespace {

QTransform readXform(const RecordReader& r, size_t off) {
    return QTransform(r.f32(off), r.f32(off + 4), r.f32(off + 8), r.f32(off + 12), r.f32(off + 16),
                      r.f32(off + 20));
}

void createPen(EmfContext& c, const RecordReader& r) {
    auto pen = std::make_shared<LogPen>();
    pen->style = r.u32(12);
    pen->width = std::abs(static_cast<double>(r.i32(16)));
    pen->color = ColorRef(r.u32(24));
    c.dc.putObject(r.u32(8), pen);
}

void extCreatePen(EmfContext& c, const RecordReader& r) {
    auto pen = std::make_shared<LogPen>();
    pen->extended = true;
    pen->style = r.u32(28);
    pen->width = r.u32(32);
    const uint32_t brushStyle = r.u32(36);
    pen->color = ColorRef(r.u32(40));
    if (brushStyle == kBsNull)
        pen->style = (pen->style & ~kPsStyleMask) | kPsNull;
    const uint32_t entries = r.u32(48);
    if (pen->penStyle() == kPsUserStyle) {
        r.requireArray(52, entries, 4);
        for (uint32_t i = 0; i < entries && i < 64; ++i)
            pen->dashes.push_back(r.u32(52 + 4 * i));
        if (pen->dashes.empty())
            pen->style = (pen->style & ~kPsStyleMask) | kPsSolid;
    }
    c.dc.putObject(r.u32(8), pen);
}

void createBrush(EmfContext& c, const RecordReader& r) {
    auto brush = std::make_shared<LogBrush>();
    brush->style = r.u32(12);
    brush->color = ColorRef(r.u32(16));
    brush->hatch = r.u32(20);
    if (brush->style != kBsSolid && brush->style != kBsNull && brush->style != kBsHatched)
        brush->style = kBsSolid;
    c.dc.putObject(r.u32(8), brush);
}

void createFont(EmfContext& c, const RecordReader& r) {
    auto font = std::make_shared<LogFont>();
    font->height = r.i32(12);
    font->width = r.i32(16);
    font->escapement = r.i32(20);
    font->orientation = r.i32(24);
    font->weight = r.i32(28);
    font->italic = r.u8(32) != 0;
    font->underline = r.u8(33) != 0;
    font->strikeOut = r.u8(34) != 0;
    font->charSet = r.u8(35);
    font->pitchAndFamily = r.u8(39);
    for (size_t i = 0; i < 32 && r.has(40 + 2 * i, 2); ++i) {
        const char16_t ch = r.u16(40 + 2 * i);
        if (ch == 0)
            break;
        font->faceName += QChar(ch);
    }
    c.dc.putObject(r.u32(8), font);
}

void createPalette(EmfContext& c, const RecordReader& r) {
    auto pal = std::make_shared<LogPalette>();
    const uint16_t count = r.u16(14);
    r.requireArray(16, count, 4);
    for (uint16_t i = 0; i < count; ++i) {
        pal->entries.push_back(qRgb(r.u8(16 + 4 * i), r.u8(17 + 4 * i), r.u8(18 + 4 * i)));
    }
    c.dc.putObject(r.u32(8), pal);
}

void setPaletteEntries(EmfContext& c, const RecordReader& r) {
    const GdiObject* o = c.dc.object(r.u32(8));
    auto cur = o ? std::get_if<std::shared_ptr<const LogPalette>>(o) : nullptr;
    if (!cur || !*cur)
        return;
    auto pal = std::make_shared<LogPalette>(**cur);
    const uint32_t start = r.u32(12), count = r.u32(16);
    r.requireArray(20, count, 4);
    for (uint32_t i = 0; i < count; ++i) {
        if (start + static_cast<uint64_t>(i) >= pal->entries.size())
            break;
        pal->entries[start + i] = qRgb(r.u8(20 + 4 * i), r.u8(21 + 4 * i), r.u8(22 + 4 * i));
    }
    c.dc.putObject(r.u32(8), pal);
}

}  // namespace

QRectF ReadRectL(const RecordReader& r, size_t off) {
    return QRectF(QPointF(r.i32(off), r.i32(off + 4)), QPointF(r.i32(off + 8), r.i32(off + 12)));
}

QRegion ReadRegion(const RecordReader& r, size_t off, size_t length) {
    r.require(off, length);
    if (length < 32)
        throw RecordError("region header too short");
    const uint32_t count = r.u32(off + 8);
    if (count > (length - 32) / 16)
        throw RecordError("region rectangles exceed record");
    std::vector<QRect> rects;
    rects.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t at = off + 32 + 16 * i;
        const int l = r.i32(at), t = r.i32(at + 4), rt = r.i32(at + 8), b = r.i32(at + 12);
        if (rt > l && b > t && l > -10000000 && t > -10000000 && rt < 10000000 && b < 10000000)
            rects.push_back(QRect(QPoint(l, t), QPoint(rt - 1, b - 1)));
    }
    QRegion region;
    region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

QPainterPath ReadRegionData(const RecordReader& r, size_t off, size_t length) {
    QPainterPath path;
    path.addRegion(ReadRegion(r, off, length));
    return path;
}

bool PlayEmfStateRecord(EmfContext& c, uint32_t type, const RecordReader& r) {
    DeviceContext& dc = c.dc;
    DcState& s = dc.state();
    switch (type) {
        case kEmrSetWindowExtEx:
            dc.setWindowExt(QSizeF(r.i32(8), r.i32(12)));
            return true;
        case kEmrSetWindowOrgEx:
            dc.setWindowOrg(QPointF(r.i32(8), r.i32(12)));
            return true;
        case kEmrSetViewportExtEx:
            dc.setViewportExt(QSizeF(r.i32(8), r.i32(12)));
            return true;
        case kEmrSetViewportOrgEx:
            dc.setViewportOrg(QPointF(r.i32(8), r.i32(12)));
            return true;
        case kEmrScaleViewportExtEx:
            dc.scaleViewportExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
            return true;
        case kEmrScaleWindowExtEx:
            dc.scaleWindowExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
            return true;
        case kEmrSetMapMode:
            dc.setMapMode(static_cast<int>(r.u32(8)));
            return true;
        case kEmrSetWorldTransform:
            dc.setWorldTransform(readXform(r, 8));
            return true;
        case kEmrModifyWorldTransform:
            dc.modifyWorldTransform(readXform(r, 8), r.u32(32));
            return true;
        case kEmrSaveDc:
            dc.save();
            return true;
        case kEmrRestoreDc:
            dc.restore(r.i32(8));
            return true;
        case kEmrSetBrushOrgEx:
            s.brushOrigin = QPoint(r.i32(8), r.i32(12));
            return true;
        case kEmrSetBkMode: {
            const uint32_t m = r.u32(8);
            if (m == kTransparent || m == kOpaque)
                s.bkMode = static_cast<int>(m);
            return true;
        }
        case kEmrSetPolyFillMode: {
            const uint32_t m = r.u32(8);
            if (m == kAlternate || m == kWinding)
                s.polyFillMode = static_cast<int>(m);
            return true;
        }
        case kEmrSetRop2: {
            const uint32_t m = r.u32(8);
            if (m >= 1 && m <= 16)
                s.rop2 = static_cast<int>(m);
            return true;
        }
        case kEmrSetStretchBltMode:
            s.stretchMode = static_cast<int>(r.u32(8));
            return true;
        case kEmrSetTextAlign:
            s.textAlign = r.u32(8);
            return true;
        case kEmrSetTextColor:
            s.textColor = ColorRef(r.u32(8));
            return true;
        case kEmrSetBkColor:
            s.bkColor = ColorRef(r.u32(8));
            return true;
        case kEmrSetArcDirection: {
            const uint32_t d = r.u32(8);
            if (d == kCounterClockwise || d == kClockwise)
                s.arcDirection = static_cast<int>(d);
            return true;
        }
        case kEmrSetMiterLimit: {
            const uint32_t raw = r.u32(8);
            const float f = r.f32(8);
            if (raw >= 1 && raw <= 1000)
                s.miterLimit = raw;
            else if (std::isfinite(f) && f >= 1 && f <= 1000)
                s.miterLimit = f;
            return true;
        }
        case kEmrSetTextJustification:
            s.textJustifyExtra = r.i32(8);
            s.textJustifyBreaks = r.i32(12);
            return true;
        case kEmrSelectObject:
            dc.selectObject(r.u32(8));
            return true;
        case kEmrDeleteObject:
            dc.deleteObject(r.u32(8));
            return true;
        case kEmrCreatePen:
            createPen(c, r);
            return true;
        case kEmrExtCreatePen:
            extCreatePen(c, r);
            return true;
        case kEmrCreateBrushIndirect:
            createBrush(c, r);
            return true;
        case kEmrExtCreateFontIndirectW:
            createFont(c, r);
            return true;
        case kEmrCreatePalette:
            createPalette(c, r);
            return true;
        case kEmrSetPaletteEntries:
            setPaletteEntries(c, r);
            return true;
        case kEmrSelectPalette:
            dc.selectObject(r.u32(8));
            return true;
        case kEmrRealizePalette:
        case kEmrResizePalette:
        case kEmrSetMapperFlags:
        case kEmrSetColorAdjustment:
        case kEmrSetIcmMode:
        case kEmrCreateColorSpace:
        case kEmrCreateColorSpaceW:
        case kEmrSetColorSpace:
        case kEmrDeleteColorSpace:
        case kEmrSetIcmProfileA:
        case kEmrSetIcmProfileW:
        case kEmrColorMatchToTargetW:
        case kEmrForceUfiMapping:
        case kEmrSetLinkedUfis:
        case kEmrSetLayout:
        case kEmrGdiComment:  // EMF+ and other comments: GDI draws none of them
            return true;
        case kEmrIntersectClipRect:
            dc.intersectClipRect(ReadRectL(r, 8));
            return true;
        case kEmrExcludeClipRect:
            dc.excludeClipRect(ReadRectL(r, 8));
            return true;
        case kEmrOffsetClipRgn:
            dc.offsetClip(QPointF(r.i32(8), r.i32(12)));
            return true;
        case kEmrSetMetaRgn:
            dc.setMetaRegion();
            return true;
        case kEmrExtSelectClipRgn: {
            const uint32_t size = r.u32(8);
            const int mode = static_cast<int>(r.u32(12));
            if (size == 0) {
                if (mode == kRgnCopy)
                    dc.selectClipRegion(std::nullopt, kRgnCopy);
                return true;
            }
            dc.selectClipArea(ClipArea::fromDeviceRegion(ReadRegion(r, 16, size)), mode);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace qv::gdi
