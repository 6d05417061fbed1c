#include "icon/templates.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "icon/icon_data.h"

namespace qingxiu {
namespace {

std::uint32_t read16(const ByteSet& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at) | (b.at(at + 1) << 8));
}

std::uint32_t read32(const ByteSet& b, std::size_t at) {
    return read16(b, at) | (read16(b, at + 2) << 16);
}

struct FieldCase {
    std::size_t offset;
    int width;  // 1, 2 or 4 bytes
    std::uint32_t small;
    std::uint32_t large;
    const char* field;
};

// Every non-zero field of both files; all other bytes must be zero.
constexpr FieldCase kFields[] = {
    {0, 2, 0, 0, "reserved"},
    {2, 2, 1, 1, "resource type"},
    {4, 2, 1, 1, "image count"},
    {6, 1, 16, 32, "entry width"},
    {7, 1, 16, 32, "entry height"},
    {8, 1, 0, 0, "colour count"},
    {9, 1, 0, 0, "entry reserved"},
    {10, 2, 0, 0, "entry planes"},
    {12, 2, 0, 0, "entry bit count"},
    {14, 4, 872, 3240, "bytes in image"},
    {18, 4, 22, 22, "image offset"},
    {22, 4, 40, 40, "header size"},
    {26, 4, 16, 32, "bitmap width"},
    {30, 4, 32, 64, "bitmap height"},
    {34, 2, 1, 1, "planes"},
    {36, 2, 24, 24, "bits per pixel"},
    {38, 4, 0, 0, "compression"},
    {42, 4, 832, 3200, "image size"},
    {46, 4, 0, 0, "horizontal resolution"},
    {50, 4, 0, 0, "vertical resolution"},
    {54, 4, 0, 0, "colours used"},
    {58, 4, 0, 0, "important colours"},
};

std::uint32_t field(const ByteSet& file, const FieldCase& f) {
    switch (f.width) {
        case 1:
            return file.at(f.offset);
        case 2:
            return read16(file, f.offset);
        default:
            return read32(file, f.offset);
    }
}

TEST(TemplatesTest, EveryHeaderFieldMatchesItsTable) {
    const ByteSet small = templateFor(SizeMode::Small16);
    const ByteSet large = templateFor(SizeMode::Large32);
    ASSERT_EQ(small.size(), 894u);
    ASSERT_EQ(large.size(), 3262u);
    for (const auto& f : kFields) {
        EXPECT_EQ(field(small, f), f.small) << "16x16 " << f.field;
        EXPECT_EQ(field(large, f), f.large) << "32x32 " << f.field;
    }
    // Past the bitmap header, colour area and mask area alike hold nothing but zero.
    for (const ByteSet* file : {&small, &large}) {
        for (std::size_t i = 62; i < file->size(); ++i) {
            ASSERT_EQ(file->at(i), 0) << "offset " << i;
        }
    }
}

TEST(TemplatesTest, TheTwoFilesJoinBackIntoTheConstant) {
    ByteSet joined = templateFor(SizeMode::Small16);
    const ByteSet large = templateFor(SizeMode::Large32);
    joined.insert(joined.end(), large.begin(), large.end());
    EXPECT_EQ(joined, ByteSet(图标模板.begin(), 图标模板.end()));
}

TEST(TemplatesTest, ColourAreaLiesAfterTheHeaderAndFillingItKeepsTheLength) {
    struct Case {
        SizeMode mode;
        int side;
        std::int64_t length;
    };
    for (const Case c : {Case{SizeMode::Small16, 16, 768}, Case{SizeMode::Large32, 32, 3072}}) {
        const IconLayout layout = layoutOf(c.mode);
        EXPECT_EQ(layout.side, c.side);
        EXPECT_EQ(layout.colourPosition, 63);
        EXPECT_EQ(layout.colourLength, c.length);
        const ByteSet file = templateFor(c.mode);
        const ByteSet filled = replaced(file, layout.colourPosition, layout.colourLength,
                                        ByteSet(static_cast<std::size_t>(c.length), 0xAB));
        ASSERT_EQ(filled.size(), file.size());
        EXPECT_EQ(left(filled, 62), left(file, 62));
        EXPECT_EQ(right(filled, static_cast<std::int64_t>(file.size()) - 62 - c.length),
                  right(file, static_cast<std::int64_t>(file.size()) - 62 - c.length));
        EXPECT_EQ(filled.at(62), 0xAB);
        EXPECT_EQ(filled.at(static_cast<std::size_t>(61 + c.length)), 0xAB);
        EXPECT_EQ(filled.at(static_cast<std::size_t>(62 + c.length)), 0);
    }
}

TEST(IconDataTest, StartsEmptyAndTheExitRoutineReleasesIt) {
    EXPECT_TRUE(图标数据.empty());
    图标数据 = templateFor(SizeMode::Small16);
    releaseIconData();
    EXPECT_TRUE(图标数据.empty());
    EXPECT_EQ(图标数据.capacity(), 0u);
}

}  // namespace
}  // namespace qingxiu
