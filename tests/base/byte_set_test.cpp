#include "base/byte_set.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace qingxiu {
namespace {

ByteSet bytes(std::string_view text) {
    return ByteSet(text.begin(), text.end());
}

std::string text(const ByteSet& b) {
    return std::string(b.begin(), b.end());
}

constexpr std::int64_t kHuge = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kTiny = std::numeric_limits<std::int64_t>::min();

struct SliceCase {
    const char* what;
    std::string input;
    std::int64_t p;  // position, for mid only
    std::int64_t n;
    std::string expected;
};

TEST(ByteSetTest, LeftClampsTheCount) {
    const SliceCase cases[] = {
        {"inside", "abcdef", 0, 3, "abc"},
        {"whole", "abcdef", 0, 6, "abcdef"},
        {"past the end", "abcdef", 0, 99, "abcdef"},
        {"zero", "abcdef", 0, 0, ""},
        {"negative", "abcdef", 0, -2, ""},
        {"extreme", "abcdef", 0, kHuge, "abcdef"},
        {"empty input", "", 0, 3, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(left(bytes(c.input), c.n)), c.expected) << c.what;
    }
}

TEST(ByteSetTest, RightTakesTheLastBytes) {
    const SliceCase cases[] = {
        {"inside", "abcdef", 0, 2, "ef"},
        {"past the end", "abcdef", 0, 10, "abcdef"},
        {"zero", "abcdef", 0, 0, ""},
        {"negative", "abcdef", 0, -1, ""},
        {"extreme", "abcdef", 0, kHuge, "abcdef"},
        {"empty input", "", 0, 4, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(right(bytes(c.input), c.n)), c.expected) << c.what;
    }
}

TEST(ByteSetTest, MidClampsStartAndCount) {
    const SliceCase cases[] = {
        {"from the first", "abcdef", 1, 2, "ab"},
        {"from the middle", "abcdef", 3, 2, "cd"},
        {"count cut at the end", "abcdef", 5, 10, "ef"},
        {"last byte", "abcdef", 6, 1, "f"},
        {"start just past the end", "abcdef", 7, 3, ""},
        {"start far past the end", "abcdef", 100, 3, ""},
        {"position 0 clamps to the first", "abcdef", 0, 2, "ab"},
        {"negative position clamps to the first", "abcdef", -5, 3, "abc"},
        {"most negative position", "abcdef", kTiny, 1, "a"},
        {"negative count takes nothing", "abcdef", 2, -1, ""},
        {"zero count", "abcdef", 2, 0, ""},
        {"extreme count", "abcdef", 2, kHuge, "bcdef"},
        {"empty input", "", 1, 1, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(mid(bytes(c.input), c.p, c.n)), c.expected) << c.what;
    }
}

TEST(ByteSetTest, ReplacedSplicesAnyLength) {
    struct Case {
        const char* what;
        std::string input;
        std::int64_t p;
        std::int64_t n;
        std::string r;
        std::string expected;
    };
    const Case cases[] = {
        {"same length", "abcdef", 2, 3, "XYZ", "aXYZef"},
        {"shorter replacement", "abcdef", 2, 3, "X", "aXef"},
        {"longer replacement", "abcdef", 2, 1, "XYZ", "aXYZcdef"},
        {"empty replacement deletes", "abcdef", 2, 2, "", "adef"},
        {"zero count inserts", "abcdef", 3, 0, "XY", "abXYcdef"},
        {"negative count inserts", "abcdef", 3, -4, "XY", "abXYcdef"},
        {"count cut at the end", "abcdef", 5, 99, "XY", "abcdXY"},
        {"at the first byte", "abcdef", 1, 1, "X", "Xbcdef"},
        {"position 0 clamps to the first", "abcdef", 0, 1, "X", "Xbcdef"},
        {"position past the end appends", "abcdef", 50, 2, "XY", "abcdefXY"},
        {"into empty", "", 1, 5, "XY", "XY"},
        {"extreme values", "abcdef", kTiny, kHuge, "X", "X"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(text(replaced(bytes(c.input), c.p, c.n, bytes(c.r))), c.expected) << c.what;
    }
}

TEST(ByteSetTest, CompareIsUnsignedThreeWay) {
    struct Case {
        ByteSet a;
        ByteSet b;
        int expected;
    };
    const Case cases[] = {
        {{}, {}, 0},
        {{1, 2, 3}, {1, 2, 3}, 0},
        {{1, 2, 3}, {1, 2, 4}, -1},
        {{1, 9}, {1, 2, 3}, 1},
        {{0x7F}, {0x80}, -1},  // unsigned: 0x80 is the larger
        {{0xFF}, {0x01}, 1},
        {{1, 2}, {1, 2, 0}, -1},
        {{}, {0}, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compare(c.a, c.b), c.expected);
        EXPECT_EQ(compare(c.b, c.a), -c.expected);
    }
}

TEST(ByteSetTest, OperationsLeaveTheirInputsUnchanged) {
    const ByteSet original = bytes("abcdef");
    ByteSet input = original;
    (void)left(input, 2);
    (void)mid(input, 2, 2);
    (void)right(input, 2);
    (void)replaced(input, 2, 2, bytes("XYZ"));
    EXPECT_EQ(input, original);
}

}  // namespace
}  // namespace qingxiu
