#include "wmf_player.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "emf_player.h"
#include "wmf_playback.h"

namespace qv::gdi {
namespace {

constexpr uint16_t kMfComment = 0x000F;
constexpr uint32_t kWmfcIdentifier = 0x43464D57;  // "WMFC"
constexpr size_t kWmfcHeaderSize = 34;

// The device the picture is played on: the target's own pixels, as a program
// plays a metafile onto its window or bitmap. Line widths, hatches and the
// rounding of coordinates to whole pixels then fall where GDI puts them.
QSizeF DeviceSize(const QPainter& painter, const QRectF& target) {
    const QRectF onDevice = painter.worldTransform().mapRect(target);
    constexpr double kMaxSide = 1 << 15;
    return QSizeF(std::clamp(std::round(onDevice.width()), 1.0, kMaxSide),
                  std::clamp(std::round(onDevice.height()), 1.0, kMaxSide));
}

// Stores a decoded device bitmap in a brush as a top-down DIB: one bit per
// pixel (white is 1) for a monochrome bitmap, else 32 bits.
void RepackAsDib(const QImage& image, bool monochrome, LogBrush& brush) {
    const int bpp = monochrome ? 1 : 32;
    std::vector<uint8_t> info(40, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            info[at + i] = (v >> (8 * i)) & 0xFF;
    };
    put32(0, 40);
    put32(4, static_cast<uint32_t>(image.width()));
    put32(8, static_cast<uint32_t>(-image.height()));
    info[12] = 1;
    info[14] = static_cast<uint8_t>(bpp);
    if (monochrome)
        info.insert(info.end(), {0, 0, 0, 0, 255, 255, 255, 0});
    const size_t stride = DibStride(image.width(), static_cast<uint16_t>(bpp));
    std::vector<uint8_t> bits(stride * static_cast<size_t>(image.height()), 0);
    for (int y = 0; y < image.height(); ++y) {
        uint8_t* row = bits.data() + stride * static_cast<size_t>(y);
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (!monochrome) {
                std::memcpy(row + 4 * x, &line[x], 4);
            } else if (qGray(line[x]) >= 128) {
                row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    brush.bitmapInfo = std::move(info);
    brush.bits = std::move(bits);
}

bool HasDrawingRecords(const WmfFile& file) {
    for (const WmfRecord& r : file.records) {
        switch (r.function) {
            case kMetaLineTo:
            case kMetaPolyline:
            case kMetaPolygon:
            case kMetaPolyPolygon:
            case kMetaRectangle:
            case kMetaRoundRect:
            case kMetaEllipse:
            case kMetaArc:
            case kMetaPie:
            case kMetaChord:
            case kMetaSetPixel:
            case kMetaTextOut:
            case kMetaExtTextOut:
            case kMetaFillRegion:
            case kMetaFrameRegion:
            case kMetaPaintRegion:
            case kMetaInvertRegion:
            case kMetaPatBlt:
            case kMetaBitBlt:
            case kMetaStretchBlt:
            case kMetaDibBitBlt:
            case kMetaDibStretchBlt:
            case kMetaStretchDib:
            case kMetaSetDibToDev:
                return true;
            default:
                break;
        }
    }
    return false;
}

}  // namespace

void PlayWmf(QPainter& painter, const QRectF& target, const WmfFile& file,
             const WmfPlayOptions& options) {
    const QRectF bounds = WmfLogicalBounds(file);
    if (bounds.isEmpty() || target.isEmpty())
        return;
    const QSizeF device = DeviceSize(painter, target);
    ReferenceDevice reference;
    reference.pixels = device;
    reference.millimeters = WmfNaturalSize(file) * (25.4 / 96);
    DeviceContext dc(reference, file.numberOfObjects);
    // As a program plays a picture: the logical bounds map onto the device.
    dc.setMapMode(kMmAnisotropic);
    dc.setWindowOrg(bounds.topLeft());
    dc.setWindowExt(bounds.size());
    dc.setViewportOrg(QPointF(0, 0));
    dc.setViewportExt(device);

    const QTransform deviceToTarget =
        QTransform::fromScale(target.width() / device.width(), target.height() / device.height()) *
        QTransform::fromTranslate(target.left(), target.top());
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    // GDI draws a WMF's own records and ignores an enhanced metafile carried in
    // its comments; only a WMF with nothing else to draw shows that copy. An
    // EMF never plays a WMF, so this nests one level at most.
    if (!HasDrawingRecords(file)) {
        const QByteArray emf = EmbeddedEmf(file);
        if (LooksLikeEmf(emf)) {
            try {
                EmfDocument(emf).play(painter, target);
            } catch (const PictureError&) {
            }
        }
        painter.restore();
        return;
    }
    {
        PlaybackLog log(QStringLiteral("WMF"));
        GdiPainter gdi(painter, deviceToTarget);
        WmfPlayback playback(dc, gdi, log, options.skipped);
        for (const WmfRecord& r : file.records)
            playback.play(r);
    }
    painter.restore();
}

QByteArray EmbeddedEmf(const WmfFile& file) {
    QByteArray emf;
    uint32_t total = 0;
    for (const WmfRecord& r : file.records) {
        if (r.function != kMetaEscape || r.u16(0) != kMfComment)
            continue;
        const size_t count = std::min<size_t>(r.u16(2), r.size() - std::min<size_t>(r.size(), 4));
        const WmfRecord data{r.function, r.bytes(4, count)};
        if (data.size() < kWmfcHeaderSize || data.u32(0) != kWmfcIdentifier)
            continue;
        const uint32_t chunk = data.u32(22);
        const uint32_t remaining = data.u32(26);
        const uint32_t size = data.u32(30);
        if (emf.isEmpty()) {
            if (size == 0 || size > static_cast<uint32_t>(file.data.size()))
                return {};
            total = size;
        }
        if (size != total || chunk > data.size() - kWmfcHeaderSize ||
            static_cast<uint64_t>(emf.size()) + chunk + remaining != total) {
            return {};
        }
        const auto bytes = data.bytes(kWmfcHeaderSize, chunk);
        emf.append(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<qsizetype>(bytes.size()));
        if (remaining == 0)
            return emf;
    }
    return {};
}

void WmfPlayback::skip(const WmfRecord& r) {
    if (skipped_)
        ++(*skipped_)[r.function];
}

void WmfPlayback::play(const WmfRecord& r) {
    if (stateRecord(r) || objectRecord(r) || drawRecord(r) || bitmapRecord(r))
        return;
    skip(r);
}

bool WmfPlayback::stateRecord(const WmfRecord& r) {
    DcState& s = dc_.state();
    const QPointF xy(r.word(1), r.word(0));  // y is stored before x
    switch (r.function) {
        case kMetaSaveDc:
            dc_.save();
            break;
        case kMetaRestoreDc:
            dc_.restore(r.word(0));
            break;
        case kMetaSetMapMode:
            dc_.setMapMode(r.u16(0));
            break;
        case kMetaSetWindowOrg:
            dc_.setWindowOrg(xy);
            break;
        case kMetaSetWindowExt:
            dc_.setWindowExt(QSizeF(xy.x(), xy.y()));
            break;
        case kMetaSetViewportOrg:
            dc_.setViewportOrg(xy);
            break;
        case kMetaSetViewportExt:
            dc_.setViewportExt(QSizeF(xy.x(), xy.y()));
            break;
        case kMetaOffsetWindowOrg:
            dc_.setWindowOrg(s.windowOrg + xy);
            break;
        case kMetaOffsetViewportOrg:
            dc_.setViewportOrg(s.viewportOrg + xy);
            break;
        case kMetaScaleWindowExt:
            dc_.scaleWindowExt(r.word(3), r.word(2), r.word(1), r.word(0));
            break;
        case kMetaScaleViewportExt:
            dc_.scaleViewportExt(r.word(3), r.word(2), r.word(1), r.word(0));
            break;
        case kMetaSetBkColor:
            s.bkColor = ColorRef(r.u32(0));
            break;
        case kMetaSetTextColor:
            s.textColor = ColorRef(r.u32(0));
            break;
        case kMetaSetBkMode:
            s.bkMode = r.u16(0);
            break;
        case kMetaSetRop2:
            s.rop2 = r.u16(0);
            break;
        case kMetaSetPolyFillMode:
            s.polyFillMode = r.u16(0);
            break;
        case kMetaSetStretchBltMode:
            s.stretchMode = r.u16(0);
            break;
        case kMetaSetTextAlign:
            s.textAlign = r.u16(0);
            break;
        case kMetaSetTextCharExtra:
            s.textCharExtra = r.word(0);
            break;
        case kMetaSetTextJustification:
            s.textJustifyBreaks = r.word(0);
            s.textJustifyExtra = r.word(1);
            break;
        case kMetaIntersectClipRect:
        case kMetaExcludeClipRect: {
            const QRectF box =
                snapCorners(QRectF(QPointF(r.word(3), r.word(2)), QPointF(r.word(1), r.word(0))));
            if (r.function == kMetaIntersectClipRect) {
                dc_.intersectClipRect(box);
            } else {
                dc_.excludeClipRect(box);
            }
            break;
        }
        case kMetaOffsetClipRgn:
            dc_.offsetClip(xy);
            break;
        case kMetaSelectClipRegion: {
            const auto rgn = region(r.u16(0));
            dc_.selectClipRegion(rgn ? std::optional<QPainterPath>(rgn->shape) : std::nullopt,
                                 kRgnCopy);
            break;
        }
        case kMetaEscape:  // device escapes and comments draw nothing
        case kMetaSetRelAbs:
        case kMetaSetMapperFlags:
        case kMetaRealizePalette:
        case kMetaSetLayout:
            break;  // nothing to do when drawing
        default:
            return false;
    }
    return true;
}

bool WmfPlayback::objectRecord(const WmfRecord& r) {
    switch (r.function) {
        case kMetaCreatePenIndirect:
            dc_.putObjectLowestFree(std::make_shared<const LogPen>(WmfPen(r)));
            return true;
        case kMetaCreateBrushIndirect:
            dc_.putObjectLowestFree(std::make_shared<const LogBrush>(WmfBrush(r)));
            return true;
        case kMetaCreateFontIndirect:
            dc_.putObjectLowestFree(std::make_shared<const LogFont>(WmfFont(r)));
            return true;
        case kMetaCreatePalette:
            dc_.putObjectLowestFree(std::make_shared<const LogPalette>(WmfPalette(r)));
            return true;
        case kMetaCreateRegion: {
            // Kept in device space as of its creation, as every region is.
            auto rgn = std::make_shared<GdiRegion>();
            rgn->shape = dc_.state().logicalToDevice().map(WmfRegion(r));
            dc_.putObjectLowestFree(std::shared_ptr<const GdiRegion>(std::move(rgn)));
            return true;
        }
        case kMetaDibCreatePatternBrush:
        case kMetaCreatePatternBrush:
            createPatternBrush(r);
            return true;
        case kMetaSelectObject:
        case kMetaSelectPalette:
            dc_.selectObject(r.u16(0));
            return true;
        case kMetaDeleteObject:
            // A selected object stays in use (and a state saved by SaveDC keeps
            // its objects) until nothing refers to it, as Windows keeps it.
            dc_.deleteObject(r.u16(0));
            return true;
        case kMetaSetPalEntries: {
            const auto* current = dc_.state().palette.get();
            if (!current)
                return true;
            LogPalette changed = *current;
            const LogPalette entries = WmfPalette(r);
            const size_t start = r.u16(0);
            for (size_t i = 0; i < entries.entries.size() && start + i < changed.entries.size();
                 ++i) {
                changed.entries[start + i] = entries.entries[i];
            }
            dc_.state().palette = std::make_shared<const LogPalette>(std::move(changed));
            return true;
        }
        default:
            return false;
    }
}

// A pattern brush from a packed DIB (META_DIBCREATEPATTERNBRUSH) or from an
// old device bitmap (META_CREATEPATTERNBRUSH: a BITMAP16 header, 18 reserved
// bytes, then the bits). One-bit patterns made from device bitmaps (style
// BS_PATTERN) take the text and background colours when used.
void WmfPlayback::createPatternBrush(const WmfRecord& r) {
    auto brush = std::make_shared<LogBrush>();
    brush->style = kBsDibPatternPt;
    bool ok = false;
    if (r.function == kMetaCreatePatternBrush) {
        std::vector<uint8_t> bitmap(r.params.begin(),
                                    r.params.begin() + std::min<size_t>(10, r.size()));
        const auto bits = r.bytes(32, r.size());
        bitmap.insert(bitmap.end(), bits.begin(), bits.end());
        const QImage image = DecodeBitmap16(bitmap, DibColors{});  // 0 black, 1 white
        if (!image.isNull()) {
            brush->monochrome = bitmap[9] == 1;
            RepackAsDib(image, brush->monochrome, *brush);
            ok = true;
        }
    } else {
        const bool devicePattern = r.u16(0) == kBsPattern;
        brush->usage = devicePattern ? kDibRgbColors : r.u16(2);
        std::span<const uint8_t> info;
        std::span<const uint8_t> bits;
        if (SplitPackedDib(r.bytes(4, r.size()), brush->usage, &info, &bits)) {
            DibHeader header;
            ParseDibHeader(info, brush->usage, header);
            brush->monochrome = devicePattern && header.bitCount == 1;
            brush->bitmapInfo.assign(info.begin(), info.end());
            brush->bits.assign(bits.begin(), bits.end());
            ok = true;
        }
    }
    if (!ok) {  // GDI makes no brush from an unreadable pattern; keep the slot taken
        brush = std::make_shared<LogBrush>();
        brush->style = kBsNull;
    }
    dc_.putObjectLowestFree(std::shared_ptr<const LogBrush>(std::move(brush)));
}

std::shared_ptr<const GdiRegion> WmfPlayback::region(uint16_t index) const {
    const GdiObject* o = dc_.object(index);
    if (!o)
        return nullptr;
    const auto* p = std::get_if<std::shared_ptr<const GdiRegion>>(o);
    return p ? *p : nullptr;
}

std::shared_ptr<const LogBrush> WmfPlayback::brush(uint16_t index) const {
    const GdiObject* o = dc_.object(index);
    if (!o)
        return nullptr;
    const auto* p = std::get_if<std::shared_ptr<const LogBrush>>(o);
    return p ? *p : nullptr;
}

bool SplitPackedDib(std::span<const uint8_t> packed, uint32_t usage, std::span<const uint8_t>* info,
                    std::span<const uint8_t>* bits) {
    const size_t infoSize = PackedDibInfoSize(packed, usage);
    if (infoSize == 0)
        return false;
    *info = packed.first(infoSize);
    *bits = packed.subspan(infoSize);
    return true;
}

}  // namespace qv::gdi

namespace qv {
namespace {

class WmfPicture : public Picture {
  public:
    explicit WmfPicture(gdi::WmfFile file) : file_(std::move(file)) {}
    QSizeF size() const override { return gdi::WmfNaturalSize(file_); }
    void draw(QPainter& painter, const QRectF& target) const override {
        gdi::PlayWmf(painter, target, file_);
    }

  private:
    gdi::WmfFile file_;
};

}  // namespace

std::unique_ptr<Picture> LoadWmfPicture(const QByteArray& bytes) {
    std::optional<gdi::WmfFile> file = gdi::ParseWmf(bytes);
    if (!file)
        throw PictureError("Metafile is not valid");
    return std::make_unique<WmfPicture>(std::move(*file));
}

}  // namespace qv
