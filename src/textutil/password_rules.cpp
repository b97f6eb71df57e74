#include "textutil/password_rules.h"

#include "textutil/text_utils.h"

namespace qv {

namespace {
constexpr size_t kMinNewPasswordLength = 6;
}  // namespace

std::optional<std::string> ValidateInput(std::string_view password, std::string_view email,
                                         std::string_view resultMail) {
    const std::string trimmedPassword = TrimSpaces(password);
    if (trimmedPassword.empty()) {
        return "chybné heslo";
    }
    if (resultMail == kPasswordOnlyMail) {
        return std::nullopt;
    }
    if (TrimSpaces(email).empty()) {
        return "nevyplněn e-mail";
    }
    if (!IsValidEmail(email)) {
        return "nekorektně zadaný e-mail";
    }
    if (trimmedPassword.size() < kMinNewPasswordLength) {
        return "chybné heslo ( min. 6 znaků )";
    }
    return std::nullopt;
}

}  // namespace qv
