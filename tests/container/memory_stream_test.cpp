#include "container/memory_stream.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(MemoryStream, WritesExtendAndReadsAdvance) {
    MemoryStream s;
    s.write("abc", 3);
    EXPECT_EQ(s.size(), 3u);
    EXPECT_EQ(s.position(), 3u);
    s.setPosition(1);
    s.write("XYZ", 3);
    EXPECT_EQ(s.size(), 4u);
    s.setPosition(0);
    char out[4];
    s.read(out, 4);
    EXPECT_EQ(std::string(out, 4), "aXYZ");
}

TEST(MemoryStream, ReadPastEndThrowsAndReadsNothing) {
    MemoryStream s("abc", 3);
    s.setPosition(2);
    char out[2] = {0, 0};
    EXPECT_THROW(s.read(out, 2), StreamReadError);
    EXPECT_EQ(s.position(), 2u);
    EXPECT_EQ(out[0], 0);
    s.setPosition(10);  // beyond the end: reads fail, nothing wraps
    EXPECT_EQ(s.remaining(), 0u);
    EXPECT_THROW(s.readByte(), StreamReadError);
}

TEST(MemoryStream, HugeCountIsRefusedBeforeAllocation) {
    MemoryStream s("abc", 3);
    EXPECT_THROW(s.readBytes(uint64_t{1} << 62), StreamReadError);
    EXPECT_THROW(s.setSize(uint64_t{1} << 62), StreamReadError);
}

}  // namespace
}  // namespace qv
