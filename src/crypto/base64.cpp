#include "crypto/base64.h"

#include <array>

namespace qv {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int8_t kInvalid = -1;
constexpr int8_t kPad = -2;

constexpr std::array<int8_t, 256> MakeDecodeTable() {
    std::array<int8_t, 256> table{};
    for (auto& entry : table) {
        entry = kInvalid;
    }
    for (int i = 0; i < 64; ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<int8_t>(i);
    }
    table['='] = kPad;
    return table;
}

constexpr std::array<int8_t, 256> kDecode = MakeDecodeTable();

}  // namespace

std::string Base64Encode(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const uint32_t v =
            (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(kAlphabet[(v >> 6) & 63]);
        out.push_back(kAlphabet[v & 63]);
    }
    const size_t left = bytes.size() - i;
    if (left > 0) {
        const uint32_t v =
            (uint32_t{bytes[i]} << 16) | (left == 2 ? uint32_t{bytes[i + 1]} << 8 : 0);
        out.push_back(kAlphabet[(v >> 18) & 63]);
        out.push_back(kAlphabet[(v >> 12) & 63]);
        out.push_back(left == 2 ? kAlphabet[(v >> 6) & 63] : '=');
        out.push_back('=');
    }
    return out;
}

std::optional<std::vector<uint8_t>> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    for (size_t g = 0; g < text.size(); g += 4) {
        const bool lastGroup = g + 4 == text.size();
        int8_t d[4];
        for (size_t k = 0; k < 4; ++k) {
            d[k] = kDecode[static_cast<unsigned char>(text[g + k])];
            if (d[k] == kInvalid) {
                return std::nullopt;
            }
        }
        // Padding only at the end of the last group: "xx==" or "xxx=".
        const bool pad3 = d[2] == kPad;
        const bool pad4 = d[3] == kPad;
        if (d[0] == kPad || d[1] == kPad || (pad3 && !pad4) || ((pad3 || pad4) && !lastGroup)) {
            return std::nullopt;
        }
        const uint32_t v = (uint32_t(d[0]) << 18) | (uint32_t(d[1]) << 12) |
                           (pad3 ? 0 : uint32_t(d[2]) << 6) | (pad4 ? 0 : uint32_t(d[3]));
        out.push_back(static_cast<uint8_t>(v >> 16));
        if (!pad3) {
            out.push_back(static_cast<uint8_t>(v >> 8));
        }
        if (!pad4) {
            out.push_back(static_cast<uint8_t>(v));
        }
    }
    return out;
}

}  // namespace qv
