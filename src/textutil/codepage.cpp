#include "textutil/codepage.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

namespace qv {
namespace {

// One iconv descriptor for the length of one conversion.
class IconvHandle {
  public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("Code page conversion is not available");
        }
    }
    ~IconvHandle() { iconv_close(cd_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence at the start of text, or 0
// when its first bytes are not one.
size_t Utf8SequenceLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t length = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(text[i]))) {
            return 0;
        }
    }
    return length;
}

// Runs the conversion over the whole input; at a byte sequence the converter
// refuses, writes "?" and skips what skipLength says (at least one byte).
template <typename SkipLength>
std::string Convert(const char* to, const char* from, std::string_view input,
                    SkipLength skipLength) {
    IconvHandle cd(to, from);
    std::string out;
    out.reserve(input.size() * 2);
    std::array<char, 4096> buffer;
    size_t pos = 0;
    while (pos < input.size()) {
        char* in = const_cast<char*>(input.data() + pos);
        size_t inLeft = input.size() - pos;
        char* outPtr = buffer.data();
        size_t outLeft = buffer.size();
        const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        const int error = rc == static_cast<size_t>(-1) ? errno : 0;
        out.append(buffer.data(), static_cast<size_t>(outPtr - buffer.data()));
        pos = static_cast<size_t>(in - input.data());
        if (error == EILSEQ || error == EINVAL) {
            out.push_back('?');
            const size_t skip = skipLength(input.substr(pos));
            pos += skip == 0 ? 1 : skip;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        } else if (error != 0 && error != E2BIG) {
            throw std::runtime_error("Code page conversion failed");
        }
    }
    return out;
}

constexpr std::array<uint8_t, 256> MakeUpperTable() {
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i) {
        table[i] = static_cast<uint8_t>(i);
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        table[c] = static_cast<uint8_t>(c - 0x20);
    }
    // š ś ť ž ź ł ą ş ľ ż and their capitals.
    constexpr uint8_t kLower[] = {0x9A, 0x9C, 0x9D, 0x9E, 0x9F, 0xB3, 0xB9, 0xBA, 0xBE, 0xBF};
    constexpr uint8_t kUpper[] = {0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0xA3, 0xA5, 0xAA, 0xBC, 0xAF};
    for (size_t i = 0; i < sizeof kLower; ++i) {
        table[kLower[i]] = kUpper[i];
    }
    // ŕ to ţ lie 0x20 above their capitals, except the division sign 0xF7.
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) {
            table[c] = static_cast<uint8_t>(c - 0x20);
        }
    }
    return table;
}

constexpr std::array<uint8_t, 256> kUpperTable = MakeUpperTable();

}  // namespace

std::string Utf8ToCp1250(std::string_view utf8) {
    return Convert("CP1250", "UTF-8", utf8, Utf8SequenceLength);
}

std::string Cp1250ToUtf8(std::string_view cp1250) {
    return Convert("UTF-8", "CP1250", cp1250, [](std::string_view) { return size_t{1}; });
}

std::string UpperCp1250(std::string_view cp1250) {
    std::string out(cp1250);
    for (char& c : out) {
        c = static_cast<char>(kUpperTable[static_cast<unsigned char>(c)]);
    }
    return out;
}

}  // namespace qv
