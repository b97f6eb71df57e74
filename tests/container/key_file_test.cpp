#include "container/key_file.h"

#include <gtest/gtest.h>

#include "container/container_format.h"
#include "container/container_reader.h"
#include "container/stream_primitives.h"
#include "crypto/key_forms.h"

namespace qv {
namespace {

TEST(KeyFile, ReadsBackWithTheBuiltInKey) {
    const std::string owner(kUnknownOwner);
    auto writer = BuildKeyFile("jan@firma.cz", "tajne heslo", owner);
    writer->FOutput = std::make_unique<MemoryStream>();
    writer->WriteContainer();

    ParamList params;
    auto payload = ReadContainer(writer->FOutput.get(), params, std::string(kBuiltInKeyText));
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(ReadSizedText(*payload), DigestTextHex("tajne heslo"));
    EXPECT_EQ(payload->remaining(), 0u);
    const std::vector<std::string> expected = {
        "QVONAME=\x9A"
        "ifrovac\xED kl\xED\xE8",
        "QVOOWNER=NEZAD\xC1NO_NEZAD\xC1NO",
        "QVOOPOZN=jan@firma.cz",
        "QVOOPCNT=0",
        "QVOFROM=NEZAD\xC1NO_NEZAD\xC1NO",
        "DATE=" + writer->FDate,
        "EXT=.QVK",
        "CID=...",
    };
    EXPECT_EQ(params.lines(), expected);
}

TEST(KeyFile, ProposedNameIgnoresLetterCase) {
    const std::string owner(kUnknownOwner);
    const std::string name = ProposedKeyFileName("Jan.Novak@Firma.cz", owner);
    EXPECT_EQ(name.size(), 8u);
    EXPECT_EQ(name, ProposedKeyFileName("jan.novak@firma.cz", owner));
    EXPECT_EQ(name, DigestTextHex("JAN.NOVAK@FIRMA.CZNEZAD\xC1NO_NEZAD\xC1NO").substr(0, 8));
    // Letters with diacritics are upper-cased too ("ř" 0xF8 to "Ř" 0xD8).
    EXPECT_EQ(ProposedKeyFileName("\xF8@x.cz", ""), ProposedKeyFileName("\xD8@x.cz", ""));
}

}  // namespace
}  // namespace qv
