#include "crypto/triple_des.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/memory_stream.h"
#include "crypto/key_forms.h"

namespace qv {
namespace {

// Known answers under the pass phrase "heslo", key form 0, computed with the
// OpenSSL command line from the framed plain bytes written out by hand:
//   K=$(printf 'heslo' | openssl md5 -r | cut -c1-32)
//   printf '<data><final block>' | openssl enc -des-ede -nopad -K $K | xxd -p
constexpr char kPass[] = "heslo";
constexpr char kEmptyHex[] = "5659EF7DF86C92D1";                  // 00 x 8
constexpr char kSevenHex[] = "745E5C19241B14A7";                  // "ABCDEFG" 07
constexpr char kEightHex[] = "490283B1CDEC17015659EF7DF86C92D1";  // "ABCDEFGH", 00 x 8
constexpr char kNineHex[] = "490283B1CDEC1701F9BF08C09E26AB5B";   // "ABCDEFGH", "I" 00 x 6 01
constexpr char kCount8Hex[] = "2F1401EA67B2017F";                 // "ABCDEFG" 08
constexpr char kCount9Hex[] = "3F9C2F01954D3015";                 // "ABCDEFG" 09

std::vector<uint8_t> FromHex(std::string_view hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(
            static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(const MemoryStream& stream) {
    return BytesToHex(stream.data(), static_cast<size_t>(stream.size()));
}

std::string AsText(const MemoryStream& stream) {
    return std::string(stream.bytes().begin(), stream.bytes().end());
}

TEST(EncryptStream, MatchesKnownAnswers) {
    const std::pair<std::string, std::string> cases[] = {
        {"", kEmptyHex},
        {"ABCDEFG", kSevenHex},
        {"ABCDEFGH", kEightHex},
        {"ABCDEFGHI", kNineHex},
    };
    for (const auto& [plain, expected] : cases) {
        MemoryStream source(plain.data(), plain.size());
        MemoryStream destination;
        EncryptStream(source, destination, kPass, 0);
        EXPECT_EQ(ToHex(destination), expected) << "'" << plain << "'";
        EXPECT_EQ(source.position(), plain.size());
        EXPECT_EQ(destination.position(), destination.size());
    }
}

TEST(EncryptStream, WritesAtTheDestinationPositionAndEqualBlocksMatch) {
    MemoryStream source("ABCDEFGHABCDEFGH", 16);
    MemoryStream destination("xy", 2);
    destination.seekToEnd();
    EncryptStream(source, destination, kPass, 0);
    ASSERT_EQ(destination.size(), 2u + 24u);
    EXPECT_EQ(BytesToHex(destination.data() + 2, 8), BytesToHex(destination.data() + 10, 8));
    EXPECT_EQ(BytesToHex(destination.data() + 18, 8), kEmptyHex);
}

TEST(EncryptStream, ASourceNotAtItsStartIsAnError) {
    MemoryStream source("ABCDEFGHI", 9);
    source.setPosition(4);
    MemoryStream destination;
    EXPECT_THROW(EncryptStream(source, destination, kPass, 0), CryptoError);
}

TEST(DecryptStream, UndoesTheFramingOfKnownAnswers) {
    const std::pair<std::string, std::string> cases[] = {
        {kEmptyHex, ""},
        {kSevenHex, "ABCDEFG"},
        {kEightHex, "ABCDEFGH"},
        {kNineHex, "ABCDEFGHI"},
        {kCount8Hex, std::string("ABCDEFG\x08", 8)},       // a count of 8 keeps the whole block
        {std::string(kSevenHex) + "A1B2C3D4", "ABCDEFG"},  // the last 4 of 12 bytes are ignored
    };
    for (const auto& [cipherHex, plain] : cases) {
        MemoryStream source(FromHex(cipherHex));
        MemoryStream destination;
        EXPECT_TRUE(DecryptStream(source, destination, kPass, 0)) << cipherHex;
        EXPECT_EQ(AsText(destination), plain) << cipherHex;
    }
}

TEST(DecryptStream, ShortSourcesFailAndWriteNothing) {
    for (size_t size = 0; size < 8; ++size) {
        MemoryStream source(FromHex(std::string(kEmptyHex).substr(0, 2 * size)));
        MemoryStream destination;
        EXPECT_FALSE(DecryptStream(source, destination, kPass, 0)) << size;
        EXPECT_EQ(destination.size(), 0u);
    }
}

TEST(DecryptStream, CountByteAboveEightIsAFailedDecryption) {
    MemoryStream source(FromHex(kCount9Hex));
    MemoryStream destination;
    EXPECT_FALSE(DecryptStream(source, destination, kPass, 0));
    EXPECT_EQ(destination.size(), 0u);
    EXPECT_EQ(source.position(), 8u);

    MemoryStream inPlace(FromHex(kCount9Hex));
    EXPECT_FALSE(DecryptStreamInPlace(inPlace, kPass, 0));
}

TEST(DecryptStreamInPlace, MatchesDecryptStream) {
    MemoryStream stream(FromHex(std::string(kNineHex) + "FFFF"));
    ASSERT_TRUE(DecryptStreamInPlace(stream, kPass, 0));
    EXPECT_EQ(AsText(stream), "ABCDEFGHI");
    EXPECT_EQ(stream.position(), 0u);
    MemoryStream tooShort(FromHex("0102"));
    EXPECT_FALSE(DecryptStreamInPlace(tooShort, kPass, 0));
}

TEST(TripleDes, StreamsRoundTripUnderEveryKeyForm) {
    std::vector<uint8_t> plain(100003);
    for (size_t i = 0; i < plain.size(); ++i) {
        plain[i] = static_cast<uint8_t>(i * 131 + 7);
    }
    for (const uint8_t keyForm : {0, 1, 2, 3, 200}) {
        MemoryStream source(plain);
        MemoryStream cipherText;
        EncryptStream(source, cipherText, "pass phrase", keyForm);
        EXPECT_EQ(cipherText.size(), (plain.size() / 8 + 1) * 8);
        cipherText.setPosition(0);
        MemoryStream decrypted;
        ASSERT_TRUE(DecryptStream(cipherText, decrypted, "pass phrase", keyForm));
        EXPECT_EQ(decrypted.bytes(), plain) << int{keyForm};
    }
}

TEST(EncryptText, EmptyTextGivesOneBlockInBase64) {
    const std::string text = EncryptText("", kPass, 0);
    EXPECT_EQ(text, "VlnvffhsktE=");  // base64 of kEmptyHex
    EXPECT_EQ(DecryptText(text, kPass, 0), "");
    // A digest text of 32 characters gives 56 characters.
    EXPECT_EQ(EncryptText(DigestTextHex("x"), kPass, 0).size(), 56u);
}

TEST(TripleDes, TextsRoundTripWithEveryByteValue) {
    std::string plain;
    for (int i = 0; i < 256; ++i) {
        plain.push_back(static_cast<char>(i));
    }
    plain += std::string(3, '\0');
    const std::string textForm = EncryptText(plain, kPass, 0);
    EXPECT_EQ(DecryptText(textForm, kPass, 0), plain);

    const std::string longText = EncryptText(std::string(5000, 'x'), kPass, 0);
    EXPECT_EQ(longText.find_first_of("\r\n "), std::string::npos);
}

TEST(DecryptText, MalformedTextFormsGiveTheEmptyText) {
    const std::string good = EncryptText("obsah", kPass, 0);
    ASSERT_EQ(DecryptText(good, kPass, 0), "obsah");
    const std::string cases[] = {
        "",
        good.substr(0, 8) + "\r\n" + good.substr(8),
        good.substr(0, 8) + " " + good.substr(8),
        "~" + good.substr(1),
        ":" + good.substr(1),                      // between "+" and "z", not in the alphabet
        good.substr(0, good.size() - 1),           // length not a multiple of four
        "=" + good.substr(1),                      // padding first
        good.substr(0, 3) + "=" + good.substr(4),  // padding before the last group
        "AAAAAA==",                                // fewer than eight decoded bytes
    };
    for (const std::string& textForm : cases) {
        EXPECT_EQ(DecryptText(textForm, kPass, 0), "") << "'" << textForm << "'";
    }
}

}  // namespace
}  // namespace qv
