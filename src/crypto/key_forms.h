#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class MemoryStream;

using TripleDesKey = std::array<uint8_t, 16>;

// Turns a pass phrase into the 16-byte two-key Triple-DES key: key form 0 the
// MD5 digest, 1 the first 16 characters or a default, 2 (and 4 to 255) the
// pass phrase repeated or cut to 16, 3 32 hexadecimal digits.
TripleDesKey DeriveKey(std::string_view passPhrase, uint8_t keyForm);

// MD5 of the bytes from the stream's position to its end as 32 upper-case
// hexadecimal digits; the empty text when the stream is null or empty.
std::string DigestStreamHex(MemoryStream* stream);
std::string DigestTextHex(std::string_view text);
std::string BytesToHex(const uint8_t* bytes, size_t count);

}  // namespace qv
