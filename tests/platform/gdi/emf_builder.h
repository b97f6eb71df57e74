#pragma once

// Builds small EMF fixtures record by record, for records that libEMF
// cannot write. The reference device is 1000 x 1000 pixels on 250 x 250 mm,
// and the frame covers device pixels (0, 0) to (width, height), so playing
// into a width x height target maps one device pixel to one target pixel.

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/gdi/emf_player.h"

namespace qv::gdi::testing {

class EmfBuilder {
  public:
    EmfBuilder(int width = 100, int height = 100) : width_(width), height_(height) {}

    // Appends a record of type whose body is the given 32-bit words.
    EmfBuilder& rec(uint32_t type, std::initializer_list<int64_t> words) {
        std::vector<uint8_t> body;
        for (int64_t w : words)
            put32(body, static_cast<uint32_t>(w));
        return raw(type, body);
    }
    // Appends a record of type with a body of raw bytes (padded to 4 bytes).
    EmfBuilder& raw(uint32_t type, std::vector<uint8_t> body) {
        while (body.size() % 4)
            body.push_back(0);
        put32(records_, type);
        put32(records_, static_cast<uint32_t>(body.size() + 8));
        records_.insert(records_.end(), body.begin(), body.end());
        ++count_;
        return *this;
    }
    QByteArray finish() const {
        std::vector<uint8_t> out;
        const uint32_t headerSize = 108;
        put32(out, 1);
        put32(out, headerSize);
        for (int v : {0, 0, width_ - 1, height_ - 1})
            put32(out, v);  // bounds
        for (int v : {0, 0, width_ * 25, height_ * 25})
            put32(out, v);  // frame, 0.01 mm
        put32(out, 0x464D4520);
        put32(out, 0x10000);
        put32(out, 0);  // size, patched below
        put32(out, count_ + 2);
        put32(out, 64);  // handles (16 bits) and reserved
        put32(out, 0);
        put32(out, 0);
        put32(out, 0);
        for (int v : {1000, 1000, 250, 250})
            put32(out, v);
        for (int v : {0, 0, 0, 250000, 250000})
            put32(out, v);
        out.insert(out.end(), records_.begin(), records_.end());
        for (int v : {14, 20, 0, 0, 20})
            put32(out, v);  // EOF
        const uint32_t size = static_cast<uint32_t>(out.size());
        for (int i = 0; i < 4; ++i)
            out[48 + i] = static_cast<uint8_t>(size >> (8 * i));
        return QByteArray(reinterpret_cast<const char*>(out.data()), static_cast<int>(out.size()));
    }

    static void put32(std::vector<uint8_t>& v, uint32_t x) {
        for (int i = 0; i < 4; ++i)
            v.push_back(static_cast<uint8_t>(x >> (8 * i)));
    }
    static void put16(std::vector<uint8_t>& v, uint16_t x) {
        v.push_back(static_cast<uint8_t>(x));
        v.push_back(static_cast<uint8_t>(x >> 8));
    }

  private:
    int width_, height_;
    std::vector<uint8_t> records_;
    uint32_t count_ = 0;
};

// Plays an EMF into a white image of the frame's size (or the given size).
inline QImage RenderEmf(const QByteArray& emf, QSize size = QSize(100, 100)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const EmfDocument doc(emf);
    QPainter painter(&image);
    doc.play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

inline QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

// Counts pixels in rect that are darker than mid-grey.
inline int DarkPixels(const QImage& image, const QRect& rect) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                ++n;
    return n;
}

}  // namespace qv::gdi::testing
