#include "container/stream_primitives.h"

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "test_bytes.h"

namespace qv {
namespace {

using test::B;
using test::Bytes;
using test::Cat;

Bytes Written(void (*write)(MemoryStream&, uint64_t), uint64_t value) {
    MemoryStream s;
    write(s, value);
    return s.bytes();
}

TEST(StreamPrimitives, SizedAndTrailingIntegersUseOneByteWidthPerHexDigit) {
    struct Case {
        uint64_t value;
        Bytes sized;
        Bytes trailing;
    };
    const Case cases[] = {
        {0, B({1, 0}), B({0, 1})},
        {1, B({1, 1}), B({1, 1})},
        {10, B({1, 0x0A}), B({0x0A, 1})},
        {15, B({1, 0x0F}), B({0x0F, 1})},
        {16, B({2, 0x10, 0}), B({0x10, 0, 2})},
        {32, B({2, 0x20, 0}), B({0x20, 0, 2})},
        {300, B({3, 0x2C, 1, 0}), B({0x2C, 1, 0, 3})},
        {65535, B({4, 0xFF, 0xFF, 0, 0}), B({0xFF, 0xFF, 0, 0, 4})},
        {0x12345, B({5, 0x45, 0x23, 1, 0, 0}), B({0x45, 0x23, 1, 0, 0, 5})},
        {0xFFFFFFFF, B({8, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}),
         B({0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 8})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(Written(WriteSizedInt, c.value), c.sized);
        EXPECT_EQ(Written(WriteTrailingInt, c.value), c.trailing);
        MemoryStream in(c.sized);
        EXPECT_EQ(ReadSizedInt(in), c.value);
        EXPECT_EQ(in.position(), c.sized.size());
    }
}

TEST(StreamPrimitives, ReadSizedIntAcceptsWidthsUpToEightOnly) {
    struct Case {
        Bytes bytes;
        bool ok;
        uint64_t value;
        uint64_t consumed;
    };
    const Case cases[] = {
        {B({0}), true, 0, 1},
        {B({0, 7}), true, 0, 1},
        {B({3, 1, 0, 0}), true, 1, 4},
        {B({8, 1, 2, 3, 4, 5, 6, 7, 8}), true, 0x0807060504030201, 9},
        {B({9, 1, 2, 3, 4, 5, 6, 7, 8, 9}), false, 0, 0},
        {B({200, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), false, 0, 0},
        {B({2, 1}), false, 0, 0},
        {B({}), false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.bytes));
        MemoryStream in(c.bytes);
        if (c.ok) {
            EXPECT_EQ(ReadSizedInt(in), c.value);
        } else {
            EXPECT_THROW(ReadSizedInt(in), StreamReadError);
        }
        EXPECT_EQ(in.position(), c.consumed);
    }
}

TEST(StreamPrimitives, ReadTrailingIntLeavesTheStreamAtThePrecedingBlock) {
    MemoryStream s(Cat({B("xyzABC"), B({3, 1})}));
    EXPECT_EQ(ReadTrailingInt(s), 3u);
    EXPECT_EQ(s.position(), 3u);

    for (const Bytes& damaged :
         {B({9, 1}), B("ab\x05\x01"), B({1, 0, 0, 0, 0, 0, 0, 0, 0, 9}), B({200}), B({})}) {
        SCOPED_TRACE(::testing::PrintToString(damaged));
        MemoryStream d(damaged);
        EXPECT_THROW(ReadTrailingInt(d), StreamReadError);
    }
}

TEST(StreamPrimitives, SizedAndTrailedTexts) {
    const std::string text32(32, 'q');
    struct Case {
        std::string text;
        Bytes sized;
    };
    const Case cases[] = {
        {"", B({1, 0})},
        {"ABC", B({1, 3, 'A', 'B', 'C'})},
        {text32, Cat({B({2, 0x20, 0}), B(text32)})},
        {std::string("\0\x9A\xFF", 3), B({1, 3, 0, 0x9A, 0xFF})},
    };
    for (const Case& c : cases) {
        MemoryStream s;
        WriteSizedText(s, c.text);
        EXPECT_EQ(s.bytes(), c.sized);
        s.setPosition(0);
        EXPECT_EQ(ReadSizedText(s), c.text);
    }
    MemoryStream trailed;
    WriteTrailedText(trailed, text32);
    EXPECT_EQ(trailed.bytes(), Cat({B(text32), B({0x20, 0, 2})}));
}

// Hostile lengths fail at once, before anything of that size is allocated.
TEST(StreamPrimitives, LengthsBeyondTheStreamFailBeforeAllocating) {
    const Bytes hostile[] = {
        B({4, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 'b'}),                // 2 GiB - 16
        B({4, 0x00, 0x00, 0x00, 0x80, 'a', 'b'}),                // 2 GiB
        B({8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),  // 2^64 - 1
        B({1, 5, 'a', 'b'}),
        B({200, 0, 0, 0}),
    };
    using ReadFn = void (*)(MemoryStream&);
    const std::pair<const char*, ReadFn> readers[] = {
        {"text", [](MemoryStream& s) { ReadSizedText(s); }},
        {"list", [](MemoryStream& s) { ReadSizedList(s); }},
        {"plain block", [](MemoryStream& s) { ReadPlainBlock(&s); }},
        {"packed block", [](MemoryStream& s) { ReadPackedBlock(&s); }},
        {"crypted block", [](MemoryStream& s) { ReadCryptedBlock(&s, "k", 0); }},
        {"section", [](MemoryStream& s) { ReadSection(&s, true, true, "k", 0); }},
    };
    const auto start = std::chrono::steady_clock::now();
    for (const Bytes& bytes : hostile) {
        for (const auto& [name, read] : readers) {
            SCOPED_TRACE(name);
            MemoryStream s(bytes);
            EXPECT_THROW(read(s), StreamReadError);
        }
        MemoryStream source(bytes);
        MemoryStream target;
        EXPECT_THROW(CopyBytes(target, source, uint64_t{1} << 31), StreamReadError);
        EXPECT_EQ(target.size(), 0u);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(StreamPrimitives, SizedListsSplitAtAnyLineBreak) {
    MemoryStream none;
    WriteSizedList(none, nullptr);
    EXPECT_EQ(none.size(), 0u);

    MemoryStream empty;
    ParamList emptyList;
    WriteSizedList(empty, &emptyList);
    EXPECT_EQ(empty.bytes(), B({1, 0}));

    ParamList two({"A=1", "B=2"});
    MemoryStream written;
    WriteSizedList(written, &two);
    EXPECT_EQ(written.bytes(), Cat({B({1, 10}), B("A=1\r\nB=2\r\n")}));

    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"A=1\r\nB=2\r\n", {"A=1", "B=2"}},
        {"A=1\nB=2\n", {"A=1", "B=2"}},
        {"A=1\rB=2\r", {"A=1", "B=2"}},
        {"A=1\r\n\r\nB=2\r\n", {"A=1", "", "B=2"}},
        {std::string("A=1\r\n\0B=2\r\n", 11), {"A=1"}},
    };
    for (const Case& c : cases) {
        MemoryStream s;
        WriteSizedText(s, c.text);
        s.setPosition(0);
        EXPECT_EQ(ReadSizedList(s)->lines(), c.lines) << c.text;
    }
}

TEST(StreamPrimitives, BlocksRoundTripInEveryVariant) {
    Bytes payload;
    for (int i = 0; i < 100000; ++i) {
        payload.push_back(static_cast<uint8_t>((i * 7) % 13 + (i % 1000 == 0 ? 200 : 0)));
    }
    for (int variant = 0; variant < 4; ++variant) {
        const bool pack = variant & 1;
        const bool crypt = variant & 2;
        SCOPED_TRACE(variant);
        MemoryStream source(payload);
        source.setPosition(500);  // the section takes the source whole
        MemoryStream out;
        out.write("pre", 3);
        WriteSection(out, source, pack, crypt, "heslo", 0);
        out.write("post", 4);
        out.setPosition(3);
        auto back = ReadSection(&out, pack, crypt, "heslo", 0);
        EXPECT_EQ(back->bytes(), payload);
        EXPECT_EQ(back->position(), 0u);
        EXPECT_EQ(out.remaining(), 4u);
        if (!pack && !crypt) {
            out.setPosition(3);
            EXPECT_EQ(ReadSizedInt(out), payload.size());
        }
    }
    EXPECT_EQ(ReadSection(nullptr, true, true, "x", 0), nullptr);
}

// A stored length of 0 is an empty result: nothing is decrypted or expanded
// (expanding an empty input would fail).
TEST(StreamPrimitives, EmptyBlocksReadAsEmptyStreams) {
    for (int variant = 0; variant < 4; ++variant) {
        MemoryStream in(B({1, 0, 'z'}));
        auto back = ReadSection(&in, variant & 1, variant & 2, "k", 0);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->size(), 0u);
        EXPECT_EQ(in.position(), 2u);
    }
}

Bytes Tail(const std::string& digest, uint64_t recordedSizeDelta, size_t prefix) {
    MemoryStream s;
    s.write(Bytes(prefix, 'p'));
    WriteTrailedText(s, digest);
    WriteTrailingInt(s, 0x100 + recordedSizeDelta);  // three value bytes and the width
    return s.bytes();
}

TEST(StreamPrimitives, ReadIdentificationChecksTheRecordedSize) {
    // The digest's 35 bytes and the size's 4 make the stream 0x100 bytes long.
    const size_t prefix = 0x100 - 35 - 4;
    MemoryStream good(Tail(std::string(32, 'D'), 0, prefix));
    good.setPosition(7);
    const Identification id = ReadIdentification(good);
    EXPECT_TRUE(id.ok);
    EXPECT_EQ(id.recordedSize, 0x100u);
    EXPECT_EQ(id.digest, std::string(32, 'D'));
    EXPECT_EQ(id.digestStart, prefix);
    EXPECT_EQ(good.position(), 7u);

    MemoryStream wrongSize(Tail(std::string(32, 'D'), 1, prefix));
    EXPECT_FALSE(ReadIdentification(wrongSize).ok);

    const Bytes failures[] = {
        B({0}),                                        // recorded size of width 0
        Cat({Bytes(60, 'x'), B({0, 0, 2})}),           // recorded size 0
        Cat({Bytes(60, 'x'), B({200})}),               // width byte 200
        Cat({Bytes(55, 'x'), B({0, 1}), B({59, 1})}),  // digest length 0
        Cat({Bytes(55, 'x'), B({9}), B({58, 1})}),     // digest-length width 9
    };
    for (const Bytes& bytes : failures) {
        MemoryStream s(bytes);
        EXPECT_FALSE(ReadIdentification(s).ok) << ::testing::PrintToString(bytes);
    }
    // A digest length that reaches before the stream's start.
    MemoryStream beyond(Cat({Bytes(55, 'x'), B({0xFF, 1}), B({59, 1})}));
    EXPECT_THROW(ReadIdentification(beyond), StreamReadError);
}

TEST(StreamPrimitives, CheckTextsAreTenUniformCharactersFromZeroToY) {
    std::set<std::string> texts;
    std::vector<int> seen(256, 0);
    for (int i = 0; i < 3000; ++i) {
        const std::string text = MakeCheckText();
        ASSERT_EQ(text.size(), 10u);
        for (char c : text) {
            ASSERT_GE(c, '0');
            ASSERT_LE(c, 'y');
            ++seen[static_cast<unsigned char>(c)];
        }
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 3000u);  // drawn from a real random source, never repeated
    for (int code = '0'; code <= 'y'; ++code) {
        // 30000 draws over 74 codes: about 405 each.
        EXPECT_GT(seen[code], 250) << code;
        EXPECT_LT(seen[code], 600) << code;
    }
}

}  // namespace
}  // namespace qv
