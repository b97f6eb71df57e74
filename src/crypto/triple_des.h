#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

class MemoryStream;

// Two-key Triple-DES in ECB with the container's own framing: full blocks,
// then a final block holding the remaining 0 to 7 bytes and a count byte.
// Source and destination are distinct streams.
void EncryptStream(MemoryStream& source, MemoryStream& destination, std::string_view passPhrase,
                   uint8_t keyForm);
// False on any failure; never throws.
bool DecryptStream(MemoryStream& source, MemoryStream& destination, std::string_view passPhrase,
                   uint8_t keyForm);
// Decrypts the whole stream where it stands (bytes after the last full block
// are dropped) and cuts it to the plain size, position 0; needs no second
// buffer. False on any failure, the stream's bytes then being meaningless;
// never throws.
bool DecryptStreamInPlace(MemoryStream& stream, std::string_view passPhrase, uint8_t keyForm);
// The cipher text in Base64, on one line.
std::string EncryptText(std::string_view text, std::string_view passPhrase, uint8_t keyForm);
// The empty text on any failure; never throws.
std::string DecryptText(std::string_view textForm, std::string_view passPhrase, uint8_t keyForm);

}  // namespace qv
