#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qv {

using Md5Digest = std::array<uint8_t, 16>;

// MD5 (RFC 1321) of count bytes; throws CryptoError if the library fails.
Md5Digest Md5(const void* data, size_t count);

}  // namespace qv
