#include "emf_player.h"

#include <span>

#include "emf_records.h"
#include "gdi_painter.h"
#include "platform/gdi/picture.h"
#include "record_reader.h"

namespace qv::gdi {
namespace {

constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kMinHeaderSize = 88;

QRect readRect(const RecordReader& r, size_t off) {
    return QRect(QPoint(r.i32(off), r.i32(off + 4)), QPoint(r.i32(off + 8), r.i32(off + 12)));
}

bool sane(double v) {
    return v > 0 && v < 1e6;
}

}  // namespace

bool LooksLikeEmf(const QByteArray& bytes) {
    const RecordReader r(
        {reinterpret_cast<const uint8_t*>(bytes.constData()), static_cast<size_t>(bytes.size())});
    return r.has(0, kMinHeaderSize) && r.u32(0) == kEmrHeader && r.u32(40) == kEmfSignature;
}

EmfDocument::EmfDocument(QByteArray bytes) : bytes_(std::move(bytes)) {
    const std::span<const uint8_t> all(reinterpret_cast<const uint8_t*>(bytes_.constData()),
                                       static_cast<size_t>(bytes_.size()));
    if (!LooksLikeEmf(bytes_))
        throw PictureError("Metafile is not valid");
    const RecordReader h(all);
    const uint32_t headerSize = h.u32(4);
    if (headerSize < kMinHeaderSize || headerSize > all.size())
        throw PictureError("Metafile is not valid");
    header_.bounds = readRect(h, 8);
    header_.frame = readRect(h, 24);
    header_.handles = h.u16(56);
    const QSizeF px(h.i32(72), h.i32(76));
    const QSizeF mm(h.i32(80), h.i32(84));
    if (sane(px.width()) && sane(px.height()) && sane(mm.width()) && sane(mm.height())) {
        header_.reference.pixels = px;
        header_.reference.millimeters = mm;
    }
    size_t offset = 0;
    while (offset + 8 <= all.size()) {
        const uint32_t type = h.u32(offset);
        const uint32_t size = h.u32(offset + 4);
        if (size < 8 || size > all.size() - offset)
            break;
        records_.push_back({type, static_cast<uint32_t>(offset), size});
        offset += size;
        if (type == kEmrEof)
            break;
    }
}

QRectF EmfDocument::frameInDevice() const {
    const ReferenceDevice& ref = header_.reference;
    const double kx = ref.pixels.width() / (ref.millimeters.width() * 100.0);
    const double ky = ref.pixels.height() / (ref.millimeters.height() * 100.0);
    const QRect& f = header_.frame;
    if (f.right() > f.left() && f.bottom() > f.top()) {
        return QRectF(QPointF(f.left() * kx, f.top() * ky),
                      QPointF(f.right() * kx, f.bottom() * ky));
    }
    const QRect& b = header_.bounds;
    if (b.right() >= b.left() && b.bottom() >= b.top()) {
        return QRectF(QPointF(b.left(), b.top()), QPointF(b.right() + 1.0, b.bottom() + 1.0));
    }
    return QRectF();
}

QSizeF EmfDocument::naturalSize() const {
    const ReferenceDevice& ref = header_.reference;
    const QRectF f = frameInDevice();
    // Device pixels to millimetres, then to pixels at 96 per inch.
    const double w = f.width() * ref.millimeters.width() / ref.pixels.width() * 96 / 25.4;
    const double h = f.height() * ref.millimeters.height() / ref.pixels.height() * 96 / 25.4;
    return QSizeF(std::max(w, 0.0), std::max(h, 0.0));
}

void EmfDocument::play(QPainter& painter, const QRectF& target, PlaybackLog* log) const {
    const QRectF frame = frameInDevice();
    if (frame.isEmpty() || target.isEmpty() || !painter.isActive())
        return;
    const QTransform deviceToTarget =
        QTransform::fromTranslate(-frame.x(), -frame.y()) *
        QTransform::fromScale(target.width() / frame.width(), target.height() / frame.height()) *
        QTransform::fromTranslate(target.x(), target.y());
    PlaybackLog localLog(QStringLiteral("EMF"));
    PlaybackLog& skipped = log ? *log : localLog;
    DeviceContext dc(header_.reference, header_.handles);
    // Enhanced metafiles play under a world transform, which needs the
    // advanced graphics mode: rectangles and ellipses keep their right and
    // bottom edges. (Windows metafiles play in the compatible mode.)
    dc.state().graphicsMode = kGmAdvanced;
    GdiPainter out(painter, deviceToTarget);
    EmfContext context{dc, out};
    const auto* base = reinterpret_cast<const uint8_t*>(bytes_.constData());
    for (const Record& rec : records_) {
        if (rec.type == kEmrHeader)
            continue;
        if (rec.type == kEmrEof)
            break;
        const RecordReader r({base + rec.offset, rec.size});
        try {
            const bool known = PlayEmfStateRecord(context, rec.type, r) ||
                               PlayEmfDrawRecord(context, rec.type, r) ||
                               PlayEmfTextRecord(context, rec.type, r) ||
                               PlayEmfBitmapRecord(context, rec.type, r);
            if (!known)
                skipped.skipped(rec.type, "unsupported");
        } catch (const RecordError&) {
            skipped.skipped(rec.type, "malformed");
        } catch (const std::exception&) {
            skipped.skipped(rec.type, "failed");
        }
    }
}

}  // namespace qv::gdi
