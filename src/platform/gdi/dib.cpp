#include "platform/gdi/dib.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <bit>
#include <limits>

namespace qv {
namespace {

uint16_t U16(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}
uint32_t U32(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint32_t>(d[at]) | (static_cast<uint32_t>(d[at + 1]) << 8) |
           (static_cast<uint32_t>(d[at + 2]) << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}

bool IsBright(QRgb c) {
    return qRed(c) + qGreen(c) + qBlue(c) >= 384;
}

// One channel described by a bit mask: where it sits and how to widen it to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    int Get(uint32_t v) const {
        if (max == 0)
            return 0;
        uint32_t raw = (v & mask) >> shift;
        if (max == 255)
            return static_cast<int>(raw);
        return static_cast<int>((static_cast<uint64_t>(raw) * 255 + max / 2) / max);
    }
};

bool ValidBitCount(uint16_t bpp) {
    return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
}

// The colour table as QRgb values, one per possible index (missing entries black).
std::vector<QRgb> BuildColorTable(std::span<const uint8_t> info, const DibHeader& h, uint32_t usage,
                                  const DibColors& colors) {
    std::vector<QRgb> table(size_t{1} << h.bitCount, qRgb(0, 0, 0));
    const bool core = h.headerSize == 12;
    const size_t entrySize = usage == kDibPalColors ? 2 : (core ? 3 : 4);
    const std::vector<QRgb>& logical = colors.palette.empty() ? DefaultPalette() : colors.palette;
    for (uint32_t i = 0; i < h.colorsUsed && i < table.size(); ++i) {
        size_t at = h.colorTableOffset + i * entrySize;
        if (at + entrySize > info.size())
            break;
        if (usage == kDibPalColors) {
            uint16_t index = U16(info, at);
            table[i] = index < logical.size() ? logical[index] : logical[0];
        } else {
            table[i] = qRgb(info[at + 2], info[at + 1], info[at]);
        }
    }
    if (colors.monochromeUsesDcColors && h.bitCount == 1) {
        for (QRgb& c : table)
            c = IsBright(c) ? colors.backgroundColor : colors.textColor;
    }
    return table;
}

void DecodeIndexedRow(const uint8_t* src, int width, int bpp, const std::vector<QRgb>& table,
                      QRgb* out) {
    for (int x = 0; x < width; ++x) {
        unsigned index;
        if (bpp == 8) {
            index = src[x];
        } else if (bpp == 4) {
            index = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
        } else {
            index = (src[x >> 3] >> (7 - (x & 7))) & 1;
        }
        out[x] = table[index] | 0xFF000000u;
    }
}

struct Masks {
    Channel r, g, b, a;
};

Masks MasksFor(const DibHeader& h) {
    if (h.compression == kBiBitfields) {
        return {Channel(h.masks[0]), Channel(h.masks[1]), Channel(h.masks[2]), Channel(h.masks[3])};
    }
    if (h.bitCount == 16)
        return {Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel(0)};
    return {Channel(0xFF0000), Channel(0xFF00), Channel(0xFF), Channel(0xFF000000u)};
}

// Decodes one row of 16/24/32-bit pixels; alpha is 255 unless keepAlpha.
void DecodeDirectRow(const uint8_t* src, int width, int bpp, const Masks& m, bool keepAlpha,
                     QRgb* out) {
    for (int x = 0; x < width; ++x) {
        if (bpp == 24) {
            const uint8_t* p = src + x * 3;
            out[x] = qRgb(p[2], p[1], p[0]);
            continue;
        }
        uint32_t v = bpp == 16 ? static_cast<uint32_t>(src[x * 2] | (src[x * 2 + 1] << 8))
                               : static_cast<uint32_t>(src[x * 4]) | (src[x * 4 + 1] << 8) |
                                     (src[x * 4 + 2] << 16) |
                                     (static_cast<uint32_t>(src[x * 4 + 3]) << 24);
        int alpha = keepAlpha && m.a.mask ? m.a.Get(v) : 255;
        out[x] = qRgba(m.r.Get(v), m.g.Get(v), m.b.Get(v), alpha);
    }
}

// Run-length encoded bits (RLE8 or RLE4). Pixels the stream never sets stay
// transparent, so the destination shows through as it does under GDI.
QImage DecodeRle(std::span<const uint8_t> bits, const DibHeader& h,
                 const std::vector<QRgb>& table) {
    QImage image(h.width, h.height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    image.fill(0);
    const bool four = h.compression == kBiRle4;
    int x = 0;
    int row = 0;  // counted from the bottom
    auto put = [&](unsigned index) {
        if (x < h.width && row < h.height) {
            int y = h.topDown ? row : h.height - 1 - row;
            reinterpret_cast<QRgb*>(image.scanLine(y))[x] = table[index] | 0xFF000000u;
        }
        ++x;
    };
    size_t at = 0;
    while (at + 2 <= bits.size() && row < h.height) {
        uint8_t count = bits[at];
        uint8_t value = bits[at + 1];
        at += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < h.width; ++i) {
                put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            }
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta
            if (at + 2 > bits.size())
                break;
            x += bits[at];
            row += bits[at + 1];
            at += 2;
        } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
            size_t bytes = four ? (value + 1u) / 2 : value;
            if (at + bytes > bits.size())
                break;
            for (int i = 0; i < value; ++i) {
                uint8_t b = bits[at + (four ? i / 2 : i)];
                put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            at += (bytes + 1) & ~size_t{1};
        }
    }
    return image;
}

// A JPEG or PNG payload, refused before decoding when it is too large.
QImage DecodeEmbedded(std::span<const uint8_t> bits, uint32_t compression) {
    QByteArray data(reinterpret_cast<const char*>(bits.data()),
                    static_cast<qsizetype>(bits.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, compression == kBiPng ? "png" : "jpeg");
    QSize size = reader.size();
    if (!size.isValid() || static_cast<int64_t>(size.width()) * size.height() > kMaxDibPixels) {
        return {};
    }
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

QImage Decode(std::span<const uint8_t> info, std::span<const uint8_t> bits, uint32_t usage,
              const DibColors& colors, bool keepAlpha) {
    DibHeader h;
    if (!ParseDibHeader(info, usage, h))
        return {};
    if (h.compression == kBiJpeg || h.compression == kBiPng)
        return DecodeEmbedded(bits, h.compression);

    std::vector<QRgb> table;
    if (h.bitCount <= 8)
        table = BuildColorTable(info, h, usage, colors);
    if (h.compression == kBiRle8 || h.compression == kBiRle4) {
        // Each two-byte code yields at most a few hundred pixels; a header far
        // larger than its data would only allocate an almost empty picture.
        if (static_cast<int64_t>(h.width) * h.height >
            static_cast<int64_t>(bits.size() + 2) * 1024) {
            return {};
        }
        return DecodeRle(bits, h, table);
    }

    const size_t stride = DibStride(h.width, h.bitCount);
    const size_t lastRow = (static_cast<size_t>(h.width) * h.bitCount + 7) / 8;
    if (stride == 0 || bits.size() < lastRow ||
        (bits.size() - lastRow) / stride < static_cast<size_t>(h.height - 1)) {
        return {};
    }
    const bool alpha = keepAlpha && h.bitCount == 32;
    QImage image(h.width, h.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const Masks masks = MasksFor(h);
    bool anyAlpha = false;
    for (int y = 0; y < h.height; ++y) {
        const uint8_t* src = bits.data() + stride * (h.topDown ? y : h.height - 1 - y);
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (h.bitCount <= 8) {
            DecodeIndexedRow(src, h.width, h.bitCount, table, out);
        } else {
            DecodeDirectRow(src, h.width, h.bitCount, masks, alpha, out);
        }
        if (alpha) {
            for (int x = 0; x < h.width && !anyAlpha; ++x)
                anyAlpha = qAlpha(out[x]) != 0;
        }
    }
    if (!alpha)
        return image;
    if (!anyAlpha)
        return image.convertToFormat(QImage::Format_RGB32);
    // The bytes are premultiplied already; keep colour within alpha so the
    // image stays a valid premultiplied one.
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h.height; ++y) {
        QRgb* p = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < h.width; ++x) {
            int a = qAlpha(p[x]);
            p[x] = qRgba(std::min(qRed(p[x]), a), std::min(qGreen(p[x]), a),
                         std::min(qBlue(p[x]), a), a);
        }
    }
    return image;
}

}  // namespace

size_t DibStride(int32_t width, uint16_t bitCount) {
    if (width <= 0 || width > (1 << 24) || bitCount == 0 || bitCount > 32)
        return 0;
    return ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
}

bool ParseDibHeader(std::span<const uint8_t> info, uint32_t usage, DibHeader& h) {
    h = DibHeader{};
    if (info.size() < 12)
        return false;
    h.headerSize = U32(info, 0);
    if (h.headerSize == 12) {
        h.width = U16(info, 4);
        h.height = U16(info, 6);
        h.bitCount = U16(info, 10);
        if (!ValidBitCount(h.bitCount) || h.bitCount > 24)
            return false;
    } else {
        if (h.headerSize < 40 || h.headerSize > info.size() || h.headerSize > 4096)
            return false;
        h.width = static_cast<int32_t>(U32(info, 4));
        int32_t height = static_cast<int32_t>(U32(info, 8));
        if (height == std::numeric_limits<int32_t>::min())
            return false;
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.bitCount = U16(info, 14);
        h.compression = U32(info, 16);
        h.sizeImage = U32(info, 20);
        h.colorsUsed = U32(info, 32);
    }
    h.colorTableOffset = h.headerSize;
    if (h.width <= 0 || h.height <= 0 || static_cast<int64_t>(h.width) * h.height > kMaxDibPixels) {
        return false;
    }
    switch (h.compression) {
        case kBiJpeg:
        case kBiPng:
            return true;
        case kBiRgb:
            if (!ValidBitCount(h.bitCount))
                return false;
            break;
        case kBiRle8:
            if (h.bitCount != 8)
                return false;
            break;
        case kBiRle4:
            if (h.bitCount != 4)
                return false;
            break;
        case kBiBitfields:
            if (h.bitCount != 16 && h.bitCount != 32)
                return false;
            if (h.headerSize >= 52) {  // the masks are part of the header
                for (int i = 0; i < (h.headerSize >= 56 ? 4 : 3); ++i)
                    h.masks[i] = U32(info, 40 + 4 * i);
            } else {  // three masks follow a 40-byte header
                if (info.size() < 52)
                    return false;
                for (int i = 0; i < 3; ++i)
                    h.masks[i] = U32(info, 40 + 4 * i);
                h.colorTableOffset = 52;
            }
            break;
        default:
            return false;
    }
    if (h.bitCount <= 8) {
        uint32_t full = 1u << h.bitCount;
        h.colorsUsed = (h.colorsUsed == 0 || h.colorsUsed > full) ? full : h.colorsUsed;
    } else {
        h.colorsUsed = 0;
    }
    (void)usage;
    return true;
}

size_t PackedDibInfoSize(std::span<const uint8_t> packed, uint32_t usage) {
    DibHeader h;
    if (!ParseDibHeader(packed, usage, h))
        return 0;
    const size_t entry = usage == kDibPalColors ? 2 : (h.headerSize == 12 ? 3 : 4);
    // Above 8 bits a colour table is optional, sized by biClrUsed.
    const uint64_t entries =
        h.bitCount <= 8 ? h.colorsUsed : (h.headerSize >= 40 ? U32(packed, 32) : 0);
    const uint64_t size = h.colorTableOffset + entries * entry;
    return size <= packed.size() ? static_cast<size_t>(size) : 0;
}

QImage DecodeDib(std::span<const uint8_t> bitmapInfo, std::span<const uint8_t> bits, uint32_t usage,
                 const DibColors& colors) {
    return Decode(bitmapInfo, bits, usage, colors, false);
}

QImage DecodeDibWithAlpha(std::span<const uint8_t> bitmapInfo, std::span<const uint8_t> bits,
                          uint32_t usage, const DibColors& colors) {
    QImage image = Decode(bitmapInfo, bits, usage, colors, true);
    if (image.isNull() || image.format() == QImage::Format_ARGB32_Premultiplied)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage DecodeBitmap16(std::span<const uint8_t> record, const DibColors& colors) {
    if (record.size() < 10)
        return {};
    const int width = static_cast<int16_t>(U16(record, 2));
    const int height = static_cast<int16_t>(U16(record, 4));
    const int widthBytes = static_cast<int16_t>(U16(record, 6));
    const int planes = record[8];
    const int bpp = record[9];
    if (width <= 0 || height <= 0 || planes != 1 || widthBytes <= 0)
        return {};
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
        return {};
    if (static_cast<int64_t>(widthBytes) * 8 < static_cast<int64_t>(width) * bpp)
        return {};
    const size_t need = static_cast<size_t>(widthBytes) * height;
    // Some writers keep the 32-bit bits pointer of the in-memory BITMAP.
    size_t offset = 10;
    if (record.size() - 10 != need && record.size() >= 14 && record.size() - 14 >= need)
        offset = 14;
    if (record.size() - offset < need)
        return {};

    std::vector<QRgb> table;
    if (bpp == 1) {
        table = {colors.textColor, colors.backgroundColor};
    } else if (bpp == 4) {
        static const QRgb vga[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                     0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
        table.assign(std::begin(vga), std::end(vga));
    } else if (bpp == 8) {
        const std::vector<QRgb>& def = DefaultPalette();
        table.assign(256, qRgb(0, 0, 0));
        for (int i = 0; i < 10; ++i) {
            table[i] = def[i];
            table[246 + i] = def[10 + i];
        }
    }
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = record.data() + offset + static_cast<size_t>(widthBytes) * y;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (bpp == 24) {
            for (int x = 0; x < width; ++x)
                out[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
        } else {
            DecodeIndexedRow(src, width, bpp, table, out);
        }
    }
    return image;
}

const std::vector<QRgb>& DefaultPalette() {
    static const std::vector<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 128, 0),     qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
        qRgb(192, 220, 192), qRgb(166, 202, 240), qRgb(255, 251, 240), qRgb(160, 160, 164),
        qRgb(128, 128, 128), qRgb(255, 0, 0),     qRgb(0, 255, 0),     qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255),   qRgb(0, 255, 255),   qRgb(255, 255, 255)};
    return palette;
}

}  // namespace qv
