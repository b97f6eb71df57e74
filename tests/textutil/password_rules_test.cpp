#include "textutil/password_rules.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(ValidateInput, ChecksRunInTheirFixedOrder) {
    struct Case {
        const char* password;
        const char* email;
        const char* resultMail;
        std::optional<std::string> reason;
    };
    const Case cases[] = {
        // Password-only question: any password that is not empty after trimming.
        {"x", "", "X", std::nullopt},
        {"   ", "", "X", "chybné heslo"},
        // New-password question.
        {"", "", "", "chybné heslo"},
        {"abc", "  ", "", "nevyplněn e-mail"},
        {"abc", "a@b", "", "nekorektně zadaný e-mail"},
        {"abcde", "a@b.cz", "", "chybné heslo ( min. 6 znaků )"},
        {"  abcde  ", "a@b.cz", "", "chybné heslo ( min. 6 znaků )"},
        {"abcdef", "a@b.cz", "", std::nullopt},
        {"a\tc de", " a@b.cz ", "someone@else.cz", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValidateInput(c.password, c.email, c.resultMail), c.reason)
            << "password '" << c.password << "', e-mail '" << c.email << "'";
    }
}

}  // namespace
}  // namespace qv
