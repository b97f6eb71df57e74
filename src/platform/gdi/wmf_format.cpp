#include "wmf_format.h"

#include <algorithm>
#include <limits>

namespace qv::gdi {
namespace {

uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Le32(const uint8_t* p) {
    return Le16(p) | (static_cast<uint32_t>(Le16(p + 2)) << 16);
}

// Grows a box by the logical points a drawing record uses.
class BoundsScan {
  public:
    void add(double x, double y) {
        if (!any_) {
            x0_ = x1_ = x;
            y0_ = y1_ = y;
            any_ = true;
        }
        x0_ = std::min(x0_, x);
        x1_ = std::max(x1_, x);
        y0_ = std::min(y0_, y);
        y1_ = std::max(y1_, y);
    }
    void addRecord(const WmfRecord& r) {
        switch (r.function) {
            case kMetaMoveTo:
            case kMetaLineTo:
                add(r.word(1), r.word(0));
                break;
            case kMetaRectangle:
            case kMetaEllipse:
            case kMetaRoundRect: {
                const size_t base = r.function == kMetaRoundRect ? 2 : 0;
                add(r.word(base + 3), r.word(base + 2));
                add(r.word(base + 1), r.word(base));
                break;
            }
            case kMetaPolygon:
            case kMetaPolyline: {
                const size_t n = std::min<size_t>(r.u16(0), (r.size() - 2) / 4);
                for (size_t i = 0; i < n; ++i)
                    add(r.s16(2 + 4 * i), r.s16(4 + 4 * i));
                break;
            }
            case kMetaPolyPolygon: {
                const size_t polygons = r.u16(0);
                if (!r.has(2 + 2 * polygons))
                    break;
                size_t points = 0;
                for (size_t i = 0; i < polygons; ++i)
                    points += r.u16(2 + 2 * i);
                const size_t at = 2 + 2 * polygons;
                points = std::min(points, (r.size() - at) / 4);
                for (size_t i = 0; i < points; ++i)
                    add(r.s16(at + 4 * i), r.s16(at + 2 + 4 * i));
                break;
            }
            case kMetaExtTextOut:
                add(r.word(1), r.word(0));
                break;
            default:
                break;
        }
    }
    QRectF box() const { return any_ ? QRectF(x0_, y0_, x1_ - x0_, y1_ - y0_) : QRectF(); }

  private:
    double x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
    bool any_ = false;
};

}  // namespace

uint16_t WmfRecord::u16(size_t at) const {
    if (at > params.size() || params.size() - at < 2)
        return 0;
    return Le16(params.data() + at);
}

uint32_t WmfRecord::u32(size_t at) const {
    if (at > params.size() || params.size() - at < 4)
        return 0;
    return Le32(params.data() + at);
}

std::span<const uint8_t> WmfRecord::bytes(size_t at, size_t count) const {
    if (at > params.size())
        return {};
    return params.subspan(at, std::min(count, params.size() - at));
}

std::optional<WmfFile> ParseWmf(QByteArray bytes, std::string* error) {
    auto fail = [&](const char* why) -> std::optional<WmfFile> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    WmfFile file;
    file.data = std::move(bytes);
    const auto* d = reinterpret_cast<const uint8_t*>(file.data.constData());
    const size_t n = static_cast<size_t>(file.data.size());
    size_t at = 0;
    if (n >= kWmfPlaceableSize && Le32(d) == kWmfPlaceableKey) {
        file.placeable = true;
        const auto s = [&](size_t o) { return static_cast<int16_t>(Le16(d + o)); };
        file.boundingBox = QRect(QPoint(s(6), s(8)), QPoint(s(10) - 1, s(12) - 1));
        file.unitsPerInch = Le16(d + 14);
        uint16_t sum = 0;
        for (size_t i = 0; i < 10; ++i)
            sum ^= Le16(d + 2 * i);
        file.checksumOk = sum == Le16(d + 20);
        at = kWmfPlaceableSize;
    }
    if (n - at < 18)
        return fail("too short for a metafile header");
    const uint16_t type = Le16(d + at);
    const uint16_t headerWords = Le16(d + at + 2);
    if ((type != 1 && type != 2) || headerWords < 9 || headerWords * 2u > n - at) {
        return fail("not a Windows metafile");
    }
    file.numberOfObjects = Le16(d + at + 10);
    at += headerWords * 2u;
    while (n - at >= 6) {
        const uint32_t words = Le32(d + at);
        const uint16_t function = Le16(d + at + 4);
        if (function == kMetaEof)
            break;
        if (words < 3 || words > (n - at) / 2)
            break;  // damaged: keep what came before
        file.records.push_back({function, std::span<const uint8_t>(d + at + 6, words * 2 - 6)});
        at += words * 2;
    }
    return file;
}

QRectF WmfLogicalBounds(const WmfFile& file) {
    if (file.placeable && file.boundingBox.width() != 0 && file.boundingBox.height() != 0) {
        const QRect& b = file.boundingBox;
        return QRectF(b.left(), b.top(), b.width(), b.height()).normalized();
    }
    std::optional<QPointF> org;
    std::optional<QSizeF> ext;
    for (const WmfRecord& r : file.records) {
        if (r.function == kMetaSetWindowOrg && !org)
            org = QPointF(r.word(1), r.word(0));
        if (r.function == kMetaSetWindowExt && !ext)
            ext = QSizeF(r.word(1), r.word(0));
    }
    if (ext && ext->width() != 0 && ext->height() != 0) {
        return QRectF(org.value_or(QPointF()), *ext).normalized();
    }
    BoundsScan scan;
    for (const WmfRecord& r : file.records)
        scan.addRecord(r);
    return scan.box();
}

QSizeF WmfNaturalSize(const WmfFile& file) {
    const QRectF bounds = WmfLogicalBounds(file);
    if (bounds.isEmpty())
        return {};
    double scale = 1;
    if (file.placeable && file.unitsPerInch > 0)
        scale = 96.0 / file.unitsPerInch;
    return bounds.size() * scale;
}

LogPen WmfPen(const WmfRecord& r) {
    LogPen pen;
    pen.style = r.u16(0);
    pen.width = std::abs(r.s16(2));
    pen.color = ColorRef(r.u32(6)) | 0xFF000000u;
    return pen;
}

LogBrush WmfBrush(const WmfRecord& r) {
    LogBrush brush;
    brush.style = r.u16(0);
    brush.color = ColorRef(r.u32(2)) | 0xFF000000u;
    brush.hatch = r.u16(6);
    return brush;
}

LogFont WmfFont(const WmfRecord& r) {
    LogFont font;
    font.height = r.s16(0);
    font.width = r.s16(2);
    font.escapement = r.s16(4);
    font.orientation = r.s16(6);
    font.weight = r.s16(8);
    auto byte = [&](size_t at) { return at < r.size() ? r.params[at] : uint8_t{0}; };
    font.italic = byte(10) != 0;
    font.underline = byte(11) != 0;
    font.strikeOut = byte(12) != 0;
    font.charSet = byte(13);
    font.pitchAndFamily = byte(17);
    std::span<const uint8_t> face = r.bytes(18, 32);
    const auto end = std::find(face.begin(), face.end(), uint8_t{0});
    face = face.first(static_cast<size_t>(end - face.begin()));
    font.faceName = QString::fromLatin1(reinterpret_cast<const char*>(face.data()),
                                        static_cast<qsizetype>(face.size()));
    return font;
}

LogPalette WmfPalette(const WmfRecord& r) {
    LogPalette palette;
    const size_t count = std::min<size_t>(r.u16(2), (r.size() >= 4 ? r.size() - 4 : 0) / 4);
    for (size_t i = 0; i < count; ++i) {
        const auto e = r.bytes(4 + 4 * i, 4);
        palette.entries.push_back(qRgb(e[0], e[1], e[2]));
    }
    return palette;
}

QPainterPath WmfRegion(const WmfRecord& r) {
    QPainterPath region;
    region.setFillRule(Qt::WindingFill);
    const size_t scans = r.u16(10);
    size_t at = 22;
    for (size_t i = 0; i < scans && r.has(at + 8); ++i) {
        const size_t count = r.u16(at);
        const double top = r.s16(at + 2);
        const double bottom = r.s16(at + 4);
        const size_t lines = std::min(count / 2, (r.size() - at - 6) / 4);
        for (size_t k = 0; k < lines; ++k) {
            const double left = r.s16(at + 6 + 4 * k);
            const double right = r.s16(at + 8 + 4 * k);
            if (right > left && bottom > top)
                region.addRect(QRectF(left, top, right - left, bottom - top));
        }
        at += 6 + 2 * count + 2;
    }
    return region.simplified();
}

}  // namespace qv::gdi
