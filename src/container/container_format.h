#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// The built-in key text from which the header and digest keys are formed.
inline constexpr std::string_view kBuiltInKeyText = "ZKTBNQvuhedrwimo";
// The highest format version this reader accepts.
inline constexpr int64_t kHighestContainerVersion = 1;
// A shorter file cannot be a container.
inline constexpr uint64_t kMinContainerSize = 50;

// The header key: the version's decimal digits, then the built-in key text.
inline std::string HeaderKeyFor(int64_t version) {
    return std::to_string(version) + std::string(kBuiltInKeyText);
}
// The digest key: the built-in key text, then the version's decimal digits.
inline std::string DigestKeyFor(int64_t version) {
    return std::string(kBuiltInKeyText) + std::to_string(version);
}

// The system's messages (UTF-8).
namespace msg {
inline constexpr const char* kInputPath = "Chybně zadaný vstup  - cesta pro QVO soubor!!! ->";
inline constexpr const char* kInvalid = "Načten neplatný QVO soubor !!!";
inline constexpr const char* kDamaged = "Načten neplatný QVO soubor - pravděopodobně poškozený!!!";
inline constexpr const char* kVersion =
    "Načten neplatný typ QVO souboru ( pravděpodobně máte již neaktuální verzi produktu) !!!\r"
    "-tato aplikace je schopna číst QVO soubory do verze ";
inline constexpr const char* kTypeId = "Načten neplatný QVO soubor !!!  FTypeID chyba.";
inline constexpr const char* kHeader =
    "Načten neplatný QVO soubor - chyba při čtení hlavičky souboru!!!";
inline constexpr const char* kWrongPassword =
    "Data nelze dešifrovat, pravděpodobně chybné heslo!!!";
inline constexpr const char* kNoOutput =
    "Pro výstup do QVO souboru nejsou zadána potřebná data !!! ";
inline constexpr const char* kOutputPath = "Chybně zadaný výstup - cesta pro QVO soubor!!! ->";
inline constexpr const char* kAppendCheckText = "Interní chyba, zápis stream string!!!->";
}  // namespace msg

// The prompt text of the password question.
inline constexpr const char* kPasswordPromptText = "Zadejte prosím heslo";

}  // namespace qv
