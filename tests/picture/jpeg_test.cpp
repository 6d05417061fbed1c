#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "base/byte_set.h"
#include "picture/decoders.h"
#include "picture/picture.h"
#include "picture/raster.h"
#include "tests/support/test_pictures.h"

namespace qingxiu {
namespace {

using namespace test;

// Lossy coding at quality 100 keeps flat colours within a few levels.
constexpr int kTolerance = 6;

void expectNear(const Colour& actual, const Colour& expected, int x, int y) {
    const auto near = [](int a, int b) { return std::abs(a - b) <= kTolerance; };
    EXPECT_TRUE(near(actual.red, expected.red) && near(actual.green, expected.green) &&
                near(actual.blue, expected.blue))
        << "pixel (" << x << ", " << y << ") is " << int{actual.red} << "," << int{actual.green}
        << "," << int{actual.blue} << ", meant " << int{expected.red} << "," << int{expected.green}
        << "," << int{expected.blue};
}

void expectBlocks(const Raster& raster, int rows) {
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < raster.width(); ++x) {
            expectNear(raster.pixel(x, y), blockColour(x, y), x, y);
        }
    }
}

// Every colour fixture is the blocks picture, written by a different encoder or in another
// colour model; each must decode to what its encoder was given.
TEST(JpegTest, ColourFixturesDecodeToTheBlocksTheyEncode) {
    for (const char* name : {"jpeg-blocks.jpg", "jpeg-blocks-progressive.jpg", "jpeg-cmyk.jpg"}) {
        SCOPED_TRACE(name);
        const ByteSet bytes = readFixture(name);
        ASSERT_FALSE(bytes.empty());
        const auto picture = decode(bytes);
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        EXPECT_EQ(picture->kind, Kind::Jpeg);
        ASSERT_EQ(raster->width(), 16);
        ASSERT_EQ(raster->height(), 16);
        expectBlocks(*raster, 16);
    }
}

TEST(JpegTest, GreyPixelsAreEqualInAllThreeColours) {
    // 16 x 16 grey, every column x holding the value 16 * x + 8.
    const auto picture = decodeJpeg(readFixture("jpeg-grey.jpg"));
    const Raster* raster = rasterOf(picture);
    ASSERT_NE(raster, nullptr);
    ASSERT_EQ(raster->width(), 16);
    ASSERT_EQ(raster->height(), 16);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const Colour c = raster->pixel(x, y);
            EXPECT_EQ(c.red, c.green);
            EXPECT_EQ(c.green, c.blue);
            const auto meant = static_cast<std::uint8_t>(16 * x + 8);
            expectNear(c, Colour{meant, meant, meant}, x, y);
        }
    }
}

TEST(JpegTest, CutFileKeepsItsFullSizeAndItsFirstRows) {
    // The baseline blocks file's one scan starts at byte 623; its first row of MCUs (rows 0 to 7)
    // is coded in the bytes up to 640, and the cut keeps those, losing the rest of the scan and
    // the end-of-image marker.
    const ByteSet whole = readFixture("jpeg-blocks.jpg");
    ASSERT_EQ(whole.size(), 661u);
    const ByteSet cut(whole.begin(), whole.begin() + 640);
    const auto picture = decodeJpeg(cut);
    const Raster* raster = rasterOf(picture);
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(raster->width(), 16);
    EXPECT_EQ(raster->height(), 16);
    expectBlocks(*raster, 8);
}

ByteSet withByte(ByteSet bytes, std::size_t offset, std::uint8_t value) {
    bytes.at(offset) = value;
    return bytes;
}

TEST(JpegTest, BrokenFilesAreNoPicture) {
    // Offsets into the baseline blocks file: its frame header (SOF0) marker is at 158, followed by
    // the length (160), the sample precision (162), the height (163, big-endian) and the width
    // (165).
    const ByteSet valid = readFixture("jpeg-blocks.jpg");
    ASSERT_EQ(valid.size(), 661u);
    ASSERT_TRUE(decodeJpeg(valid));

    ByteSet huge = valid;  // 65500 x 65500, far over the pixel cap
    huge[163] = 0xFF;
    huge[164] = 0xDC;
    huge[165] = 0xFF;
    huge[166] = 0xDC;

    const struct {
        const char* what;
        ByteSet bytes;
    } cases[] = {
        {"empty data", {}},
        {"start of image only", {0xFF, 0xD8}},
        {"start and end of image, no frame", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"garbage after the start of image", {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}},
        {"data ending inside the header", ByteSet(valid.begin(), valid.begin() + 300)},
        {"a segment claiming more bytes than follow", {0xFF, 0xD8, 0xFF, 0xE1, 0xFF, 0xFF, 0x00}},
        {"height 0", withByte(withByte(valid, 163, 0), 164, 0)},
        {"12-bit samples", withByte(valid, 162, 12)},
        {"size over the pixel cap", huge},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(decodeJpeg(c.bytes)) << c.what;
    }
}

// The progressive blocks file with its last scan (bytes 526 to 536, an AC refinement of the
// luminance) repeated so that the file has `scans` scans in all.
ByteSet withScans(int scans) {
    const ByteSet original = readFixture("jpeg-blocks-progressive.jpg");
    constexpr std::size_t kLastScan = 526;
    constexpr std::size_t kEndOfImage = 537;
    constexpr int kOriginalScans = 10;
    ByteSet bytes(original.begin(), original.begin() + kEndOfImage);
    for (int i = kOriginalScans; i < scans; ++i) {
        bytes.insert(bytes.end(), original.begin() + kLastScan, original.begin() + kEndOfImage);
    }
    bytes.insert(bytes.end(), original.begin() + kEndOfImage, original.end());
    return bytes;
}

TEST(JpegTest, ProgressiveFilesWithTooManyScansAreNoPicture) {
    ASSERT_EQ(readFixture("jpeg-blocks-progressive.jpg").size(), 539u);
    EXPECT_TRUE(decodeJpeg(withScans(40)));
    EXPECT_TRUE(decodeJpeg(withScans(100)));
    EXPECT_FALSE(decodeJpeg(withScans(101)));
    EXPECT_FALSE(decodeJpeg(withScans(5000)));
}

}  // namespace
}  // namespace qingxiu
