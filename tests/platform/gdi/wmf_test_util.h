#pragma once

// Builds Windows metafiles byte by byte for the player's tests.

#include <QByteArray>
#include <QRect>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace qv::gdi::test {

class WmfBuilder {
  public:
    // A placeable header with this bounding box and units per inch.
    WmfBuilder& placeable(QRect box, uint16_t inch) {
        placeable_ = true;
        box_ = box;
        inch_ = inch;
        return *this;
    }
    WmfBuilder& objects(uint16_t count) {
        objects_ = count;
        return *this;
    }
    // A record of 16-bit parameters.
    WmfBuilder& record(uint16_t function, std::initializer_list<int> words) {
        std::vector<uint8_t> params;
        for (int w : words)
            Put16(params, static_cast<uint16_t>(w));
        return raw(function, params);
    }
    // A record of raw parameter bytes (padded to a 16-bit boundary).
    WmfBuilder& raw(uint16_t function, std::vector<uint8_t> params) {
        if (params.size() % 2)
            params.push_back(0);
        Put32(records_, static_cast<uint32_t>(3 + params.size() / 2));
        Put16(records_, function);
        records_.insert(records_.end(), params.begin(), params.end());
        return *this;
    }
    QByteArray bytes() const {
        std::vector<uint8_t> out;
        if (placeable_) {
            Put32(out, 0x9AC6CDD7);
            Put16(out, 0);
            Put16(out, static_cast<uint16_t>(box_.left()));
            Put16(out, static_cast<uint16_t>(box_.top()));
            Put16(out, static_cast<uint16_t>(box_.left() + box_.width()));
            Put16(out, static_cast<uint16_t>(box_.top() + box_.height()));
            Put16(out, inch_);
            Put32(out, 0);
            uint16_t sum = 0;
            for (size_t i = 0; i < 20; i += 2)
                sum ^= static_cast<uint16_t>(out[i] | (out[i + 1] << 8));
            Put16(out, sum);
        }
        std::vector<uint8_t> body = records_;
        Put32(body, 3);  // META_EOF
        Put16(body, 0);
        Put16(out, 1);  // memory metafile
        Put16(out, 9);
        Put16(out, 0x0300);
        Put32(out, static_cast<uint32_t>(9 + body.size() / 2));
        Put16(out, objects_);
        Put32(out, 0);
        Put16(out, 0);
        out.insert(out.end(), body.begin(), body.end());
        return QByteArray(reinterpret_cast<const char*>(out.data()),
                          static_cast<qsizetype>(out.size()));
    }

    static void Put16(std::vector<uint8_t>& b, uint16_t v) {
        b.push_back(v & 0xFF);
        b.push_back(v >> 8);
    }
    static void Put32(std::vector<uint8_t>& b, uint32_t v) {
        Put16(b, v & 0xFFFF);
        Put16(b, v >> 16);
    }

  private:
    bool placeable_ = false;
    QRect box_;
    uint16_t inch_ = 96;
    uint16_t objects_ = 8;
    std::vector<uint8_t> records_;
};

// Splits a COLORREF into the two 16-bit words a record stores.
inline int ColorLow(uint32_t rgb) {
    return static_cast<int>(rgb & 0xFFFF);
}
inline int ColorHigh(uint32_t rgb) {
    return static_cast<int>(rgb >> 16);
}
// COLORREF of r, g, b (red in the low byte).
inline uint32_t Cref(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

}  // namespace qv::gdi::test
