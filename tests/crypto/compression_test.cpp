#include "crypto/compression.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "container/memory_stream.h"

namespace qv {
namespace {

// Bytes that compress somewhat: runs of a pseudo-random byte.
std::vector<uint8_t> SampleBytes(size_t size) {
    std::vector<uint8_t> bytes(size);
    uint32_t state = 12345;
    for (size_t i = 0; i < size; ++i) {
        if (i % 7 == 0) {
            state = state * 1103515245 + 12345;
        }
        bytes[i] = static_cast<uint8_t>(state >> 16);
    }
    return bytes;
}

std::vector<uint8_t> Pack(const std::vector<uint8_t>& plain) {
    MemoryStream source(plain);
    MemoryStream packed;
    PackStream(source, packed);
    EXPECT_EQ(source.position(), plain.size());
    EXPECT_EQ(packed.position(), packed.size());
    return packed.bytes();
}

// Raw Deflate made by zlib directly, one piece per block type: stored,
// fixed Huffman, then dynamic Huffman.
std::vector<uint8_t> MixedBlockTypes(const std::vector<uint8_t>& plain) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 0, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<uint8_t> out(plain.size() * 2 + 1024);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const size_t third = plain.size() / 3;
    const struct {
        int level;
        int strategy;
        int flush;
    } pieces[] = {{0, Z_DEFAULT_STRATEGY, Z_FULL_FLUSH},
                  {6, Z_FIXED, Z_FULL_FLUSH},
                  {9, Z_DEFAULT_STRATEGY, Z_FINISH}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(deflateParams(&z, pieces[i].level, pieces[i].strategy), Z_OK);
        z.next_in = const_cast<Bytef*>(plain.data() + i * third);
        z.avail_in = static_cast<uInt>(i == 2 ? plain.size() - 2 * third : third);
        deflate(&z, pieces[i].flush);
    }
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// A block that expands 1 MiB of zeros to itself, ending in a full flush so
// that copies of it can follow one another.
std::vector<uint8_t> ZeroMebibyteBlock() {
    const std::vector<uint8_t> zeros(1 << 20);
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<uint8_t> out(16 * 1024);
    z.next_in = const_cast<Bytef*>(zeros.data());
    z.avail_in = static_cast<uInt>(zeros.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FULL_FLUSH), Z_OK);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

TEST(Compression, RoundTripsEverySize) {
    for (const size_t size :
         {size_t{0}, size_t{1}, size_t{40000}, size_t{70000}, size_t{(1 << 20) + 12345}}) {
        const std::vector<uint8_t> plain = SampleBytes(size);
        MemoryStream packed(Pack(plain));
        MemoryStream expanded;
        int pumps = 0;
        UnpackStream(packed, expanded, [&] { ++pumps; });
        EXPECT_EQ(expanded.bytes(), plain) << size;
        EXPECT_EQ(packed.position(), packed.size()) << size;
        EXPECT_EQ(expanded.position(), plain.size()) << size;
        EXPECT_EQ(pumps, 1) << size;  // before the first piece; the rest is far below 2 s
    }
}

TEST(Compression, WritesAtTheDestinationPosition) {
    MemoryStream packed(Pack({'a', 'b', 'c'}));
    MemoryStream destination("0123456", 7);
    destination.setPosition(2);
    UnpackStream(packed, destination);
    EXPECT_EQ(std::string(destination.bytes().begin(), destination.bytes().end()), "01abc56");
    EXPECT_EQ(destination.position(), 5u);
}

TEST(Compression, ExpandsEveryBlockType) {
    const std::vector<uint8_t> plain = SampleBytes(300000);
    MemoryStream packed(MixedBlockTypes(plain));
    ASSERT_EQ(packed.bytes()[0] & 0x07, 0);  // a stored block that is not final opens it
    MemoryStream expanded;
    UnpackStream(packed, expanded);
    EXPECT_EQ(expanded.bytes(), plain);
}

TEST(Compression, LeavesTrailingBytesUnread) {
    const std::vector<uint8_t> plain = SampleBytes(100000);
    std::vector<uint8_t> bytes = {1, 2, 3};  // read from the position, not from 0
    const std::vector<uint8_t> packed = Pack(plain);
    bytes.insert(bytes.end(), packed.begin(), packed.end());
    bytes.insert(bytes.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    MemoryStream source(bytes);
    source.setPosition(3);
    MemoryStream expanded;
    UnpackStream(source, expanded);
    EXPECT_EQ(expanded.bytes(), plain);
    EXPECT_EQ(source.position(), 3 + packed.size());
}

TEST(Compression, TruncatedInputThrowsAndKeepsWhatWasExpanded) {
    const std::vector<uint8_t> plain = SampleBytes(1 << 20);
    std::vector<uint8_t> bytes = Pack(plain);
    bytes.resize(bytes.size() / 2);
    MemoryStream source(bytes);
    MemoryStream expanded;
    EXPECT_THROW(UnpackStream(source, expanded), CryptoError);
    ASSERT_GT(expanded.size(), 0u);
    ASSERT_LT(expanded.size(), plain.size());
    EXPECT_EQ(expanded.position(), expanded.size());
    EXPECT_TRUE(std::equal(expanded.bytes().begin(), expanded.bytes().end(), plain.begin()));
}

TEST(Compression, DamagedInputThrows) {
    const std::vector<std::vector<uint8_t>> cases = {
        {},                              // nothing at all
        {0x07},                          // final block of type 3
        {0x01, 0x05, 0x00, 0x00, 0x00},  // stored block whose length and complement disagree
    };
    for (const auto& bytes : cases) {
        MemoryStream source(bytes);
        MemoryStream expanded;
        EXPECT_THROW(UnpackStream(source, expanded), CryptoError);
    }
}

TEST(Compression, ZlibHeaderIsReadAsABlockHeader) {
    const std::string text(1000, 'z');
    std::vector<uint8_t> zlibFramed(compressBound(text.size()));
    uLongf size = zlibFramed.size();
    ASSERT_EQ(compress2(zlibFramed.data(), &size, reinterpret_cast<const Bytef*>(text.data()),
                        text.size(), 6),
              Z_OK);
    zlibFramed.resize(size);
    ASSERT_EQ(zlibFramed[0], 0x78);  // read as a stored block that is not final
    MemoryStream source(zlibFramed);
    MemoryStream expanded;
    EXPECT_THROW(UnpackStream(source, expanded), CryptoError);
}

TEST(Compression, ExpansionStopsAtTheLimit) {
    // 3 GiB of zeros in about 3 MiB: stopped once the output passes 8 MiB,
    // before anything near the whole is allocated.
    const std::vector<uint8_t> block = ZeroMebibyteBlock();
    std::vector<uint8_t> bomb;
    bomb.reserve(block.size() * 3072 + 2);
    for (int i = 0; i < 3072; ++i) {
        bomb.insert(bomb.end(), block.begin(), block.end());
    }
    bomb.insert(bomb.end(), {0x03, 0x00});  // an empty final block
    constexpr uint64_t kLimit = 8 << 20;
    MemoryStream source(std::move(bomb));
    MemoryStream expanded;
    EXPECT_THROW(UnpackStream(source, expanded, {}, kLimit), CryptoError);
    EXPECT_LE(expanded.size(), kLimit + 1);
    EXPECT_LE(expanded.bytes().capacity(), kLimit + 1);
    EXPECT_LT(source.position(), source.size() / 100);

    // Exactly at the limit is still fine.
    MemoryStream exact(Pack(std::vector<uint8_t>(kLimit)));
    MemoryStream out;
    UnpackStream(exact, out, {}, kLimit);
    EXPECT_EQ(out.size(), kLimit);
}

}  // namespace
}  // namespace qv
