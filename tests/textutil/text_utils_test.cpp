#include "textutil/text_utils.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace qv {
namespace {

TEST(TrimText, StripsWholeCopiesStartSideFirst) {
    struct Case {
        const char* strip;
        const char* text;
        bool fromStart;
        bool fromEnd;
        const char* expected;
    };
    const Case cases[] = {
        {"ab", "ababxab", true, false, "xab"},
        {"ab", "ababxab", false, true, "ababx"},
        {"ab", "ababxab", true, true, "x"},
        {"aba", "ababa", true, true, "ba"},
        {"ab", "a", true, true, "a"},
        {"ab", "ababxab", false, false, "ababxab"},
        {"", "  text  ", true, true, "  text  "},  // nothing to strip, no endless loop
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrimText(c.strip, c.text, c.fromStart, c.fromEnd), c.expected)
            << "strip '" << c.strip << "' from '" << c.text << "'";
    }
}

TEST(TrimSpaces, RemovesOnlyTheSpaceCharacter) {
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimSpaces(" a b "), "a b");
    EXPECT_EQ(TrimSpaces("\ta "), "\ta");
    EXPECT_EQ(TrimSpaces("\xA0x\r\n"), "\xA0x\r\n");  // no-break space, CR, LF stay
}

TEST(TrimLeadingChars, RemovesLeadingMembersOfTheSet) {
    constexpr std::string_view kVersionSet = ",.0";
    EXPECT_EQ(TrimLeadingChars(kVersionSet, "0,0.7.0"), "7.0");
    EXPECT_EQ(TrimLeadingChars(kVersionSet, ""), "");
    EXPECT_EQ(TrimLeadingChars(kVersionSet, "14.00.01.00"), "14.00.01.00");
    EXPECT_EQ(TrimLeadingChars(kVersionSet, "0.0.1.5"), "1.5");
    EXPECT_EQ(TrimLeadingChars(kVersionSet, "00"), "");
}

TEST(BoolToDigit, WritesOneOrZero) {
    EXPECT_EQ(BoolToDigit(true), "1");
    EXPECT_EQ(BoolToDigit(false), "0");
}

TEST(HexToInt, ReadsUpperCaseDigitsAndCountsOthersAsMinusOne) {
    const std::pair<const char*, int32_t> cases[] = {
        {"", 0},     {"00", 0},  {"FF", 255},
        {"7F", 127}, {"0A", 10}, {"ff", -17},
        {"1G", 15},  {"G", -1},  {"FFFFFFF", 0xFFFFFFF},
    };
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(HexToInt(text), value) << "'" << text << "'";
    }
}

TEST(HexToInt, OverflowThrows) {
    // The weight after the eighth digit no longer fits in 32 bits.
    EXPECT_THROW(HexToInt("00000001"), std::overflow_error);
    EXPECT_THROW(HexToInt("FFFFFFFFF"), std::overflow_error);
}

TEST(IsValidDomain, NeedsADotBeforeTheLastCharacter) {
    const std::pair<const char*, bool> cases[] = {
        {"", false},   {".", false},      {"a.b", true},     {".a", true},
        {"a.", false}, {"a_b.cz", false}, {"a-b.c-z", true}, {"ab", false},
    };
    for (const auto& [domain, valid] : cases) {
        EXPECT_EQ(IsValidDomain(domain), valid) << "'" << domain << "'";
    }
}

TEST(IsValidEmail, ChecksLengthLocalPartAndDomain) {
    const std::pair<const char*, bool> cases[] = {
        {"a@b.c", true},      {"a@b.", false},  // four characters
        {"  a@b.cz  ", true}, {"a b@c.cz", false},  {"a@b@c.cz", false}, {"abc@de", false},
        {"ab@cz.", false},    {"ab@.cz", true},     {"ab@c..z", true},   {".a.b.@c.cz", true},
        {"a^b@c.cz", false},  {"\xE8@c.cz", false},  // a letter with a diacritic in code page 1250
        {"@ab.cz", true},                            // the part before the at sign may be empty
        {"abcdef", false},                           // no at sign
    };
    for (const auto& [address, valid] : cases) {
        EXPECT_EQ(IsValidEmail(address), valid) << "'" << address << "'";
    }
}

}  // namespace
}  // namespace qv
