#pragma once

#include <string>
#include <string_view>

namespace qv {

// Conversion between UTF-8 (what the user interface shows) and code page 1250
// (what the container's texts hold). A character that code page 1250 lacks,
// and every byte that is not valid UTF-8, becomes "?".
std::string Utf8ToCp1250(std::string_view utf8);
// Bytes that code page 1250 leaves undefined become "?".
std::string Cp1250ToUtf8(std::string_view cp1250);

// Upper-cases code page 1250 bytes by the code page's own letters, those with
// diacritics included ("č" becomes "Č"); other bytes stay as they are.
std::string UpperCp1250(std::string_view cp1250);

}  // namespace qv
