#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Standard Base64 alphabet with "=" padding, on one line.
std::string Base64Encode(std::span<const uint8_t> bytes);

// Decodes text made by Base64Encode. Anything else is refused with nullopt: a
// length that is not a multiple of four, a character outside the alphabet
// (line breaks and spaces included), or "=" anywhere but at the end of the
// last group (at most two, the fourth place first).
std::optional<std::vector<uint8_t>> Base64Decode(std::string_view text);

}  // namespace qv
