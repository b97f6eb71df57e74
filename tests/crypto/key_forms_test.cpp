#include "crypto/key_forms.h"

#include <gtest/gtest.h>

#include "container/memory_stream.h"

namespace qv {
namespace {

std::string KeyHex(std::string_view passPhrase, uint8_t keyForm) {
    const TripleDesKey key = DeriveKey(passPhrase, keyForm);
    return BytesToHex(key.data(), key.size());
}

std::string Hex(std::string_view chars) {
    return BytesToHex(reinterpret_cast<const uint8_t*>(chars.data()), chars.size());
}

TEST(DeriveKey, EveryKeyForm) {
    const std::string forty = "0123456789abcdefghijklmnopqrstuvwxyzABCD";
    struct Case {
        std::string passPhrase;
        uint8_t keyForm;
        std::string expectedHex;
    };
    const Case cases[] = {
        // Form 0: the MD5 digest (RFC 1321 test vectors).
        {"", 0, "D41D8CD98F00B204E9800998ECF8427E"},
        {"abc", 0, "900150983CD24FB0D6963F7D28E17F72"},
        // Form 1: the first 16 characters, or the default key material.
        {forty.substr(0, 15), 1, Hex("3C5A3C5A3C5A3C5A")},
        {"", 1, Hex("3C5A3C5A3C5A3C5A")},
        {forty.substr(0, 16), 1, Hex(forty.substr(0, 16))},
        {forty, 1, Hex(forty.substr(0, 16))},
        // Form 2: repeated or cut to 16, the default key when empty.
        {"abc", 2, Hex("abcabcabcabcabca")},
        {"abcdefgh", 2, Hex("abcdefghabcdefgh")},
        {"", 2, Hex("5820941736205817")},
        {forty.substr(0, 17), 2, Hex(forty.substr(0, 16))},
        // Form 3: 32 hexadecimal digits completed from the filler.
        {"", 3, "3C5A3C5A3C5A3C5AEEEEEEEEEEEEEEEE"},
        {"FF", 3, "FE3C5A3C5A3C5A3C5AEEEEEEEEEEEEEE"},
        {"ff", 3, "EF3C5A3C5A3C5A3C5AEEEEEEEEEEEEEE"},  // -17 in its low eight bits
        {"0123456789ABCDEF0123456789ABCDEFZ", 3, "0123456789ABCDEF0123456789ABCDEF"},
        {"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF", 3, "FEFEFEFEFEFEFEFEFEFEFEFEFEFEFEFE"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyHex(c.passPhrase, c.keyForm), c.expectedHex)
            << "pass phrase '" << c.passPhrase << "', key form " << int{c.keyForm};
    }
}

TEST(DeriveKey, OtherFormsActAsForm2) {
    for (const std::string passPhrase : {"", "a", "abc", "0123456789ABCDEF", "0123456789ABCDEFX"}) {
        for (const uint8_t keyForm : {4, 255}) {
            EXPECT_EQ(DeriveKey(passPhrase, keyForm), DeriveKey(passPhrase, 2)) << passPhrase;
        }
    }
}

TEST(DeriveKey, Form0DistinguishesCaseAndSpaces) {
    EXPECT_NE(DeriveKey("Heslo", 0), DeriveKey("heslo", 0));
    EXPECT_NE(DeriveKey("heslo ", 0), DeriveKey("heslo", 0));
}

TEST(Digest, TextAndStreamDigestsAreUpperCaseHex) {
    EXPECT_EQ(DigestTextHex(""), "D41D8CD98F00B204E9800998ECF8427E");
    EXPECT_EQ(DigestTextHex("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(BytesToHex(nullptr, 0), "");
    const uint8_t bytes[] = {0x00, 0x0f, 0xa5, 0xff};
    EXPECT_EQ(BytesToHex(bytes, 4), "000FA5FF");
}

TEST(Digest, StreamDigestStartsAtThePositionAndEndsAtTheEnd) {
    EXPECT_EQ(DigestStreamHex(nullptr), "");
    MemoryStream empty;
    EXPECT_EQ(DigestStreamHex(&empty), "");

    MemoryStream stream("xxabc", 5);
    stream.setPosition(2);
    EXPECT_EQ(DigestStreamHex(&stream), DigestTextHex("abc"));
    EXPECT_EQ(stream.position(), 5u);
    // A non-empty stream at its end digests no bytes.
    EXPECT_EQ(DigestStreamHex(&stream), DigestTextHex(""));
}

}  // namespace
}  // namespace qv
