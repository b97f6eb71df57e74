#include "textutil/codepage.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Codepage, CzechTextRoundTrips) {
    const std::string utf8 = "Příliš žluťoučký kůň";
    const std::string cp1250 = Utf8ToCp1250(utf8);
    EXPECT_EQ(cp1250, "P\xF8\xED\x6Ci\x9A \x9Elu\x9Do\x75\xE8\x6B\xFD k\xF9\xF2");
    EXPECT_EQ(Cp1250ToUtf8(cp1250), utf8);
}

TEST(Codepage, EuroSignIsByte80) {
    EXPECT_EQ(Utf8ToCp1250("€"), "\x80");
    EXPECT_EQ(Cp1250ToUtf8("\x80"), "€");
}

TEST(Codepage, MissingCharactersAndBadBytesBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1250("a中b"), "a?b");
    EXPECT_EQ(Utf8ToCp1250("a\xFF"
                           "b"),
              "a?b");                        // not UTF-8 at all
    EXPECT_EQ(Utf8ToCp1250("a\xC3"), "a?");  // cut-off sequence
    EXPECT_EQ(Cp1250ToUtf8("a\x98"
                           "b"),
              "a?b");  // undefined in code page 1250
}

TEST(Codepage, UpperCasesLettersWithDiacritics) {
    EXPECT_EQ(UpperCp1250(Utf8ToCp1250("čšžáéíóúůýřďťň")), Utf8ToCp1250("ČŠŽÁÉÍÓÚŮÝŘĎŤŇ"));
    EXPECT_EQ(UpperCp1250("abc XYZ 09\xF7\xDF\xFF"), "ABC XYZ 09\xF7\xDF\xFF");  // ÷ ß ˙ stay
}

}  // namespace
}  // namespace qv
