#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Texts are byte strings in code page 1250; every comparison here is byte for
// byte and case-sensitive.

// Removes whole copies of strip from the start (first) and then from the end
// of text. An empty strip text leaves the text unchanged.
std::string TrimText(std::string_view strip, std::string_view text, bool fromStart, bool fromEnd);
// Removes the space character (code 32) from both ends; tabs and other
// white space stay.
std::string TrimSpaces(std::string_view text);
// Removes leading characters that occur in chars; chars is a set of bytes.
std::string TrimLeadingChars(std::string_view chars, std::string_view text);

// "1" for true, "0" for false.
std::string BoolToDigit(bool value);

// Reads upper-case hexadecimal text; any other character counts as the digit
// -1. Arithmetic is checked 32-bit: an overflow throws std::overflow_error
// ("Integer overflow"), which texts longer than seven characters always do.
int32_t HexToInt(std::string_view text);

// A domain of letters, digits, hyphens and dots with a dot before its last
// character.
bool IsValidDomain(std::string_view domain);
// A syntactic check of an e-mail address: at least five characters after
// trimming spaces, a local part of permitted characters, "@", a valid domain.
bool IsValidEmail(std::string_view address);

}  // namespace qv
