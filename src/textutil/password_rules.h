#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The e-mail text that marks a password-only question (opening a container).
inline constexpr std::string_view kPasswordOnlyMail = "X";

// Checks the entries of the password prompt. password and email are the raw
// texts of the two boxes (code page 1250); resultMail is the e-mail text the
// prompt was started with ("X" for a password-only question). Returns the
// reason shown to the user (UTF-8) when the entries are refused, nullopt when
// they are accepted. Checks run in the order: password present, e-mail
// present, e-mail valid, password length.
std::optional<std::string> ValidateInput(std::string_view password, std::string_view email,
                                         std::string_view resultMail);

}  // namespace qv
