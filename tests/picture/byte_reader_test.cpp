#include "picture/byte_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace qingxiu {
namespace {

constexpr std::array<std::uint8_t, 6> kData{0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF};

TEST(ByteReaderTest, ReadsLittleEndianFields) {
    const ByteReader reader(kData);
    EXPECT_EQ(reader.u8(5), 0xFF);
    EXPECT_EQ(reader.u16(0), 0x0201);
    EXPECT_EQ(reader.u32(0), 0x04030201u);
    EXPECT_EQ(reader.i16(4), -2);
    EXPECT_EQ(reader.i32(2), static_cast<std::int32_t>(0xFFFE0403u));
}

TEST(ByteReaderTest, RefusesEveryReadThatDoesNotFit) {
    const ByteReader reader(kData);
    constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
    EXPECT_FALSE(reader.u8(6));
    EXPECT_FALSE(reader.u16(5));
    EXPECT_FALSE(reader.u32(3));
    EXPECT_FALSE(reader.i32(kMax));
    EXPECT_FALSE(reader.bytes(2, 5));
    EXPECT_FALSE(reader.bytes(kMax, 2));
    EXPECT_FALSE(reader.has(1, kMax));
    EXPECT_TRUE(reader.has(6, 0));
    EXPECT_EQ(reader.bytes(2, 4)->size(), 4u);
    EXPECT_TRUE(reader.from(6).empty());
    EXPECT_TRUE(reader.from(kMax).empty());
    EXPECT_EQ(reader.from(4).size(), 2u);
}

}  // namespace
}  // namespace qingxiu
