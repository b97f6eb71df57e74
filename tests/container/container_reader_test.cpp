#include "container/container_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "container/container_writer.h"
#include "hand_made_container.h"

namespace qv {
namespace {

using namespace test;

const std::string kDamaged = "Načten neplatný QVO soubor - pravděopodobně poškozený!!!";
const std::string kInvalid = "Načten neplatný QVO soubor !!!";
const std::string kTypeId = "Načten neplatný QVO soubor !!!  FTypeID chyba.";
const std::string kHeader = "Načten neplatný QVO soubor - chyba při čtení hlavičky souboru!!!";
const std::string kWrongPassword = "Data nelze dešifrovat, pravděpodobně chybné heslo!!!";
const std::string kVersion =
    "Načten neplatný typ QVO souboru ( pravděpodobně máte již neaktuální verzi produktu) !!!\r"
    "-tato aplikace je schopna číst QVO soubory do verze 1";

class FixedPrompt : public PasswordPrompt {
  public:
    explicit FixedPrompt(std::string answer) : answer_(std::move(answer)) {}
    std::string AskPasswordForFile(const std::string& prompt, const ParamList& params) override {
        ++calls;
        lastPrompt = prompt;
        lastName = params.value("QVONAME");
        return answer_;
    }
    int calls = 0;
    std::string lastPrompt;
    std::string lastName;

  private:
    std::string answer_;
};

// Reads bytes as a container; returns the message of the failure, or "" with
// the payload in *payload.
std::string ReadMessage(const Bytes& bytes, const std::string& password = {},
                        Bytes* payload = nullptr, PasswordPrompt* prompt = nullptr) {
    MemoryStream source(bytes);
    ParamList params;
    ReadContext context;
    context.prompt = prompt;
    try {
        auto result = ReadContainer(&source, params, password, context);
        if (payload != nullptr && result) {
            *payload = result->bytes();
        }
        return result ? "" : "<cancelled>";
    } catch (const ContainerError& e) {
        return e.what();
    }
}

Bytes Written(const Bytes& payload, const std::string& password, bool pack = true,
              bool crypt = true) {
    TQVOFileSetObject writer;
    writer.FData = std::make_unique<MemoryStream>(payload);
    writer.FPassword = password;
    writer.FPackData = pack;
    writer.FCryptData = crypt;
    writer.FParams = std::make_unique<ParamList>(std::vector<std::string>{"QVONAME=Zpráva"});
    writer.FOutput = std::make_unique<MemoryStream>();
    writer.WriteContainer();
    return writer.FOutput->bytes();
}

TEST(ContainerReader, SizeLimitIsFiftyBytes) {
    EXPECT_EQ(ReadMessage(Bytes(49, 0)), kInvalid);
    EXPECT_EQ(ReadMessage(Bytes(50, 0)), kDamaged);
    EXPECT_EQ(ReadMessage(Bytes(50, 0x32)), kDamaged);  // width byte 50
    EXPECT_EQ(ReadMessage(Cat({Bytes(49, 0), B({200})})), kDamaged);
}

TEST(ContainerReader, HandMadePlainContainerReads) {
    const PlainContainer plain;
    MemoryStream source(plain.Sealed());
    ParamList params;
    auto payload = ReadContainer(&source, params, {});
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(payload->bytes(), plain.payload);
    EXPECT_EQ(payload->position(), 0u);
    EXPECT_EQ(params.lines(),
              (std::vector<std::string>{"QVONAME=Test", "DATE=1.1.2026 9:00:00", "CID=..."}));
}

// Every single-byte change is caught: in the version by its own check, in
// fields 2 to 5 by the digest, in the digest and size by the identification.
TEST(ContainerReader, EverySingleByteChangeGivesItsMessage) {
    const Bytes plain = PlainContainer().Sealed();
    const Bytes sealed = Written(B("payload"), "pw");  // every flag set
    for (const Bytes* good : {&plain, &sealed}) {
        ASSERT_EQ(ReadMessage(*good, "pw"), "");
        for (size_t i = 0; i < good->size(); ++i) {
            Bytes damaged = *good;
            damaged[i] ^= 0x01;
            const std::string expected = i < 2 ? kVersion : kDamaged;
            EXPECT_EQ(ReadMessage(damaged, "pw"), expected) << "byte " << i;
        }
    }
}

TEST(ContainerReader, ChecksComeInTheirOrder) {
    struct Case {
        const char* name;
        PlainContainer container;
        std::string expected;
    };
    std::vector<Case> cases;
    cases.push_back({"version 2", {}, kVersion});
    cases.back().container.version = B({1, 2});
    cases.push_back({"version width 200", {}, kDamaged});
    cases.back().container.version = B({200, 1});
    cases.push_back({"four flags", {}, kTypeId});
    cases.back().container.flags = "0000";
    cases.push_back({"six flags", {}, kTypeId});
    cases.back().container.flags = "000000";
    cases.push_back({"header list too long", {}, kHeader});
    cases.back().container.headerPlain = B({1, 0x40, 'A', '=', '1'});
    cases.push_back({"trailing header bytes", {}, ""});
    cases.back().container.headerExtra = B("ignored bytes");
    cases.push_back({"empty payload", {}, ""});
    cases.back().container.payload = {};
    for (const Case& c : cases) {
        EXPECT_EQ(ReadMessage(c.container.Sealed()), c.expected) << c.name;
    }
}

TEST(ContainerReader, PayloadTailMustBeTheCheckText) {
    PlainContainer plain;
    // Fields 1 to 5 assembled with a payload block whose tail differs.
    const Bytes otherTail =
        Cat({plain.version, SizedText(plain.flags), Block(SizedText(plain.listText)),
             SizedText(plain.check), Block(Cat({plain.payload, SizedText("9876543210")}))});
    EXPECT_EQ(ReadMessage(Seal(otherTail, false)), kWrongPassword);
    const Bytes shortPayload =
        Cat({plain.version, SizedText(plain.flags), Block(SizedText(plain.listText)),
             SizedText(plain.check), Block(B("short"))});
    EXPECT_EQ(ReadMessage(Seal(shortPayload, false)), kDamaged);
}

// "1x1x1": header packed not encrypted, payload packed not encrypted, digest
// encrypted; no password is asked for.
TEST(ContainerReader, FlagCharactersOtherThanOneAreClear) {
    const std::string list = "QVONAME=Flags\r\n";
    const std::string check = "abcdefghij";
    const Bytes payload = B("packed, not encrypted");
    const Bytes fields = Cat({B({1, 1}), SizedText("1x1x1"), Block(Packed(SizedText(list))),
                              SizedText(check), Block(Packed(Cat({payload, SizedText(check)})))});
    FixedPrompt prompt("never asked");
    Bytes back;
    EXPECT_EQ(ReadMessage(Seal(fields, true), {}, &back, &prompt), "");
    EXPECT_EQ(back, payload);
    EXPECT_EQ(prompt.calls, 0);
}

TEST(ContainerReader, WrittenContainersReadBackInEveryFlagCombination) {
    Bytes payload;
    for (int i = 0; i < 5000; ++i) {
        payload.push_back(static_cast<uint8_t>(i * 31));
    }
    for (int pack = 0; pack < 2; ++pack) {
        for (int crypt = 0; crypt < 2; ++crypt) {
            Bytes back;
            EXPECT_EQ(ReadMessage(Written(payload, "heslo", pack, crypt), "heslo", &back), "");
            EXPECT_EQ(back, payload);
        }
    }
}

TEST(ContainerReader, WrongPasswordPackedOrNot) {
    const Bytes payload(3000, 'r');
    EXPECT_EQ(ReadMessage(Written(payload, "správné", true), "chybné"), kWrongPassword);
    EXPECT_EQ(ReadMessage(Written(payload, "správné", false), "chybné"), kWrongPassword);
}

TEST(ContainerReader, PasswordPrompt) {
    const Bytes container = Written(B("data"), "tajne");
    // No prompt and no password: cancelled, the parameters already read.
    {
        MemoryStream source(container);
        ParamList params;
        EXPECT_EQ(ReadContainer(&source, params, {}), nullptr);
        EXPECT_EQ(params.value("QVONAME"), "Zpráva");
    }
    FixedPrompt cancel("");
    EXPECT_EQ(ReadMessage(container, {}, nullptr, &cancel), "<cancelled>");
    EXPECT_EQ(cancel.calls, 1);
    EXPECT_EQ(cancel.lastPrompt, "Zadejte prosím heslo");
    EXPECT_EQ(cancel.lastName, "Zpráva");

    FixedPrompt answer("tajne");
    Bytes back;
    EXPECT_EQ(ReadMessage(container, {}, &back, &answer), "");
    EXPECT_EQ(back, B("data"));

    FixedPrompt unused("wrong");
    EXPECT_EQ(ReadMessage(container, "tajne", &back, &unused), "");
    EXPECT_EQ(unused.calls, 0);

    // A payload encrypted under the empty password cannot be opened.
    FixedPrompt empty("");
    EXPECT_EQ(ReadMessage(Written(B("data"), ""), {}, nullptr, &empty), "<cancelled>");
}

TEST(ContainerReader, HeaderOnlyStopsBeforeThePassword) {
    MemoryStream source(Written(B("data"), "tajne"));
    ParamList params;
    FixedPrompt prompt("tajne");
    ReadContext context;
    context.prompt = &prompt;
    context.headerOnly = true;
    EXPECT_EQ(ReadContainer(&source, params, {}, context), nullptr);
    EXPECT_EQ(prompt.calls, 0);
    EXPECT_EQ(params.value("CID"), "...");
}

// A raw Deflate stream of many non-final blocks that expands a lot and then
// breaks off before its final block.
Bytes EndlessDeflate() {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY), Z_OK);
    const Bytes zeros(1 << 20, 0);
    Bytes out(1 << 20);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    for (int i = 0; i < 32; ++i) {
        z.next_in = const_cast<Bytef*>(zeros.data());
        z.avail_in = static_cast<uInt>(zeros.size());
        EXPECT_EQ(deflate(&z, Z_FULL_FLUSH), Z_OK);
    }
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    return out;
}

TEST(ContainerReader, HostileContainersFailFastWithTheUsualMessage) {
    const auto start = std::chrono::steady_clock::now();
    const std::string list = "QVONAME=x\r\n";
    const std::string check = "0123456789";
    const Bytes version = B({1, 1});
    const Bytes flags = SizedText("00000");
    const Bytes header = Block(SizedText(list));
    const Bytes payload = Block(Cat({B("p"), SizedText(check)}));
    const Bytes huge = B({8, 0xF0, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0});  // 2 GiB - 16
    const Bytes wide = B({200, 1, 1, 1});
    struct Case {
        const char* name;
        Bytes fields;
        std::string expected;
    };
    const Case cases[] = {
        {"header block of 2 GiB", Cat({version, flags, huge, B("abc")}), kHeader},
        {"list of 2 GiB",
         Cat({version, flags, Block(Cat({huge, B("x")})), SizedText(check), payload}), kHeader},
        {"check text of 2 GiB", Cat({version, flags, header, huge, B("x")}), kDamaged},
        {"payload block of 2 GiB", Cat({version, flags, header, SizedText(check), huge}),
         kWrongPassword},
        {"flags width 200", Cat({version, wide, B("00000")}), kDamaged},
        {"header width 200", Cat({version, flags, wide}), kHeader},
        {"payload width 200", Cat({version, flags, header, SizedText(check), wide}),
         kWrongPassword},
        {"header expanding past 16 MiB",
         Cat({version, SizedText("10000"), Block(Packed(Bytes(17 << 20, 0))), SizedText(check),
              payload}),
         kHeader},
        {"endless expansion",
         Cat({version, SizedText("00100"), header, SizedText(check), Block(EndlessDeflate())}),
         kWrongPassword},
    };
    for (const Case& c : cases) {
        Bytes fields = c.fields;
        fields.resize(std::max<size_t>(fields.size(), 50), 0);
        EXPECT_EQ(ReadMessage(Seal(fields, true)), c.expected) << c.name;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Past the expansion trial a payload is kept only when it ends in its check
// text; a small trial shows the three roads.
TEST(ContainerReader, LargePayloadsAreCheckedBeforeTheyAreKept) {
    const auto read = [](const Bytes& container, Bytes* payload) -> std::string {
        MemoryStream source(container);
        ParamList params;
        ReadContext context;
        context.expansionTrial = 1 << 20;
        try {
            auto result = ReadContainer(&source, params, "pw", context);
            *payload = result->bytes();
            return "";
        } catch (const ContainerError& e) {
            return e.what();
        }
    };
    Bytes large(3 << 20);
    for (size_t i = 0; i < large.size(); ++i) {
        large[i] = static_cast<uint8_t>(i / 1000);
    }
    Bytes back;
    EXPECT_EQ(read(Written(large, "pw"), &back), "");
    EXPECT_EQ(back, large);

    const std::string check = "0123456789";
    const auto withPayloadBlock = [&](const Bytes& stored) {
        return Seal(Cat({B({1, 1}), SizedText("00100"), Block(SizedText("A=1\r\n")),
                         SizedText(check), Block(stored)}),
                    false);
    };
    EXPECT_EQ(read(withPayloadBlock(Packed(Cat({Bytes(4 << 20, 'z'), SizedText(check)}))), &back),
              "");
    EXPECT_EQ(back, Bytes(4 << 20, 'z'));
    EXPECT_EQ(read(withPayloadBlock(Packed(Bytes(4 << 20, 0))), &back), kWrongPassword);
    EXPECT_EQ(read(withPayloadBlock(EndlessDeflate()), &back), kWrongPassword);
}

TEST(ContainerReader, LoadContainerFileReportsItsStages) {
    const std::string path = ::testing::TempDir() + "/reader_progress.qvo";
    const Bytes container = Written(B("obsah"), "heslo");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(container.data()),
               static_cast<std::streamsize>(container.size()));
    std::vector<std::string> seen;
    ReadContext context;
    context.progress = [&](int zero, int position, const std::string& text) {
        EXPECT_EQ(zero, 0);
        seen.push_back(std::to_string(position) + ":" + text);
    };
    ParamList params;
    auto payload = LoadContainerFile(path, params, context, "heslo");
    ASSERT_NE(payload, nullptr);
    EXPECT_EQ(payload->bytes(), B("obsah"));
    const std::vector<std::string> expected = {"-1:Inicilaizace",
                                               "-1:Načtení dat",
                                               "-1:Kontrola velikosti",
                                               "-1:Načtení identifikace souboru",
                                               "-1:Kontrola typu",
                                               "-1:Kontrola dat",
                                               "-1:čtení parametrů souboru",
                                               "-1: načítání dat.",
                                               "-1: načítání dat..",
                                               "-1: načítání dat...",
                                               "-1: načtení hesla",
                                               "-1:export dat",
                                               "-1:export dat.",
                                               "-1:export dat..",
                                               "-1:export dat...",
                                               "100:export dat....",
                                               "0:"};
    EXPECT_EQ(seen, expected);

    seen.clear();
    EXPECT_THROW(LoadContainerFile(path, params, context, "chybne"), ContainerError);
    EXPECT_EQ(seen.back(), "0:");
    std::remove(path.c_str());

    try {
        LoadContainerFile(path, params);
        FAIL();
    } catch (const ContainerError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Chybně zadaný vstup  - cesta pro QVO soubor!!! ->" + path);
    }
}

}  // namespace
}  // namespace qv
