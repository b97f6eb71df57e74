#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "container/memory_stream.h"

namespace qv::test {

using Bytes = std::vector<uint8_t>;

inline Bytes B(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values) {
        out.push_back(static_cast<uint8_t>(v));
    }
    return out;
}

inline Bytes B(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

inline std::string Str(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

inline Bytes Contents(const MemoryStream& stream) {
    return stream.bytes();
}

}  // namespace qv::test
