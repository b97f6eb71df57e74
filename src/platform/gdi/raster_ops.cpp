#include "platform/gdi/raster_ops.h"

namespace qv {
namespace {

constexpr uint32_t kColorBits = 0x00FFFFFF;

bool Is32Bit(const QImage& image) {
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32 ||
           image.format() == QImage::Format_ARGB32_Premultiplied;
}

// The image itself when it already has 32-bit pixels, else a converted copy.
QImage As32Bit(const QImage& image) {
    return Is32Bit(image) ? image : image.convertToFormat(QImage::Format_ARGB32);
}

void Ensure32Bit(QImage& image) {
    if (!Is32Bit(image))
        image = image.convertToFormat(QImage::Format_ARGB32);
}

int Mod(int a, int n) {
    int r = a % n;
    return r < 0 ? r + n : r;
}

// Runs op(pattern, source, destination) over every destination pixel. Source
// pixels with zero alpha (unset run-length pixels) and transparent pattern
// pixels (hatch gaps in transparent mode) leave the destination alone.
template <typename Op>
void ForEachPixel(QImage& dst, const QImage* src, const QImage* pattern, QPoint origin, Op op) {
    const int w = dst.width();
    const int h = dst.height();
    const bool srcAlpha = src && src->hasAlphaChannel();
    const bool patAlpha = pattern && pattern->hasAlphaChannel();
    for (int y = 0; y < h; ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(dst.scanLine(y));
        const QRgb* s = src ? reinterpret_cast<const QRgb*>(src->constScanLine(y)) : nullptr;
        const QRgb* p = nullptr;
        int pw = 0;
        int px0 = 0;
        if (pattern) {
            p = reinterpret_cast<const QRgb*>(
                pattern->constScanLine(Mod(y - origin.y(), pattern->height())));
            pw = pattern->width();
            px0 = Mod(-origin.x(), pw);
        }
        int px = px0;
        for (int x = 0; x < w; ++x) {
            const uint32_t sv = s ? s[x] : 0;
            const uint32_t pv = p ? p[px] : 0;
            if (p && ++px == pw)
                px = 0;
            if ((srcAlpha && qAlpha(sv) == 0) || (patAlpha && qAlpha(pv) < 128))
                continue;
            d[x] = (op(pv, sv, d[x]) & kColorBits) | 0xFF000000u;
        }
    }
}

}  // namespace

bool Rop3UsesSource(uint32_t rop3) {
    const uint8_t i = Rop3Index(rop3);
    return ((i >> 2) & 0x33) != (i & 0x33);
}
bool Rop3UsesPattern(uint32_t rop3) {
    const uint8_t i = Rop3Index(rop3);
    return ((i >> 4) & 0x0F) != (i & 0x0F);
}
bool Rop3UsesDestination(uint32_t rop3) {
    const uint8_t i = Rop3Index(rop3);
    return ((i >> 1) & 0x55) != (i & 0x55);
}

uint32_t Rop3Pixel(uint8_t index, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t result = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (!((index >> bit) & 1))
            continue;
        result |= ((bit & 4) ? p : ~p) & ((bit & 2) ? s : ~s) & ((bit & 1) ? d : ~d);
    }
    return result;
}

uint32_t Rop2Pixel(int rop2, uint32_t pen, uint32_t d) {
    if (rop2 < 1 || rop2 > 16)
        return pen;
    const int index = rop2 - 1;  // truth table over pen (weight 2) and destination (1)
    uint32_t result = 0;
    for (int bit = 0; bit < 4; ++bit) {
        if (!((index >> bit) & 1))
            continue;
        result |= ((bit & 2) ? pen : ~pen) & ((bit & 1) ? d : ~d);
    }
    return result;
}

void ApplyRop3(QImage& destination, const QImage* source, const QImage* patternTile,
               QPoint patternOrigin, uint32_t rop3) {
    if (destination.isNull())
        return;
    QImage src;
    QImage pat;
    if (Rop3UsesSource(rop3)) {
        if (!source || source->size() != destination.size())
            return;
        src = As32Bit(*source);
    }
    if (Rop3UsesPattern(rop3)) {
        if (!patternTile || patternTile->isNull())
            return;
        pat = As32Bit(*patternTile);
    }
    Ensure32Bit(destination);
    const QImage* s = src.isNull() ? nullptr : &src;
    const QImage* p = pat.isNull() ? nullptr : &pat;
    auto run = [&](auto op) { ForEachPixel(destination, s, p, patternOrigin, op); };
    switch (Rop3Index(rop3)) {
        case 0xCC:
            return run([](uint32_t, uint32_t sv, uint32_t) { return sv; });
        case 0x88:
            return run([](uint32_t, uint32_t sv, uint32_t dv) { return sv & dv; });
        case 0xEE:
            return run([](uint32_t, uint32_t sv, uint32_t dv) { return sv | dv; });
        case 0x66:
            return run([](uint32_t, uint32_t sv, uint32_t dv) { return sv ^ dv; });
        case 0x44:
            return run([](uint32_t, uint32_t sv, uint32_t dv) { return sv & ~dv; });
        case 0x33:
            return run([](uint32_t, uint32_t sv, uint32_t) { return ~sv; });
        case 0x11:
            return run([](uint32_t, uint32_t sv, uint32_t dv) { return ~(sv | dv); });
        case 0xC0:
            return run([](uint32_t pv, uint32_t sv, uint32_t) { return pv & sv; });
        case 0xBB:
            return run([](uint32_t, uint32_t sv, uint32_t dv) { return ~sv | dv; });
        case 0xF0:
            return run([](uint32_t pv, uint32_t, uint32_t) { return pv; });
        case 0xFB:
            return run([](uint32_t pv, uint32_t sv, uint32_t dv) { return pv | ~sv | dv; });
        case 0x5A:
            return run([](uint32_t pv, uint32_t, uint32_t dv) { return pv ^ dv; });
        case 0x55:
            return run([](uint32_t, uint32_t, uint32_t dv) { return ~dv; });
        case 0x00:
            return run([](uint32_t, uint32_t, uint32_t) { return 0u; });
        case 0xFF:
            return run([](uint32_t, uint32_t, uint32_t) { return ~0u; });
        case 0xAA:
            return;  // the destination stays as it is
        default: {
            const uint8_t index = Rop3Index(rop3);
            return run([index](uint32_t pv, uint32_t sv, uint32_t dv) {
                return Rop3Pixel(index, pv, sv, dv);
            });
        }
    }
}

void ApplyRop2(QImage& destination, const QImage& layer, int rop2) {
    if (destination.isNull() || layer.size() != destination.size())
        return;
    Ensure32Bit(destination);
    const QImage pen = layer.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < destination.height(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(destination.scanLine(y));
        const QRgb* l = reinterpret_cast<const QRgb*>(pen.constScanLine(y));
        for (int x = 0; x < destination.width(); ++x) {
            if (qAlpha(l[x]) <= 127)
                continue;
            d[x] = (Rop2Pixel(rop2, l[x], d[x]) & kColorBits) | 0xFF000000u;
        }
    }
}

void TransparentCopy(QImage& destination, const QImage& source, QRgb transparentColor) {
    if (destination.isNull() || source.size() != destination.size())
        return;
    Ensure32Bit(destination);
    const QImage src = As32Bit(source);
    const uint32_t key = transparentColor & kColorBits;
    for (int y = 0; y < destination.height(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(destination.scanLine(y));
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < destination.width(); ++x) {
            if ((s[x] & kColorBits) != key)
                d[x] = s[x] | 0xFF000000u;
        }
    }
}

void ApplyMaskedRop(QImage& destination, const QImage* source, const QImage* patternTile,
                    QPoint patternOrigin, const QImage& mask, uint32_t rop4) {
    if (destination.isNull() || mask.size() != destination.size())
        return;
    Ensure32Bit(destination);
    const uint32_t fore = rop4 & 0x00FF0000u;
    const uint32_t back = (rop4 >> 8) & 0x00FF0000u;
    QImage foreground = destination.copy();
    QImage background = destination.copy();
    ApplyRop3(foreground, source, patternTile, patternOrigin, fore);
    ApplyRop3(background, source, patternTile, patternOrigin, back);
    const QImage m = mask.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < destination.height(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(destination.scanLine(y));
        const QRgb* f = reinterpret_cast<const QRgb*>(foreground.constScanLine(y));
        const QRgb* b = reinterpret_cast<const QRgb*>(background.constScanLine(y));
        const QRgb* mk = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        for (int x = 0; x < destination.width(); ++x) {
            const bool one = qRed(mk[x]) + qGreen(mk[x]) + qBlue(mk[x]) >= 384;
            d[x] = one ? f[x] : b[x];
        }
    }
}

void AlphaBlendOnto(QImage& destination, const QImage& source, uint8_t constantAlpha,
                    bool useSourceAlpha) {
    if (destination.isNull() || source.size() != destination.size())
        return;
    Ensure32Bit(destination);
    const QImage src = source.convertToFormat(useSourceAlpha ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
    const int ca = constantAlpha;
    auto mix = [](int s, int d, int sa, int ca2) {  // s premultiplied by sa
        const int v = (s * ca2 + d * (255 * 255 - sa * ca2) / 255 + 127) / 255;
        return v > 255 ? 255 : v;
    };
    for (int y = 0; y < destination.height(); ++y) {
        QRgb* d = reinterpret_cast<QRgb*>(destination.scanLine(y));
        const QRgb* s = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        for (int x = 0; x < destination.width(); ++x) {
            const int sa = useSourceAlpha ? qAlpha(s[x]) : 255;
            d[x] =
                qRgb(mix(qRed(s[x]), qRed(d[x]), sa, ca), mix(qGreen(s[x]), qGreen(d[x]), sa, ca),
                     mix(qBlue(s[x]), qBlue(d[x]), sa, ca));
        }
    }
}

}  // namespace qv
