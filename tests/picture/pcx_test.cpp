#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

#include "base/byte_set.h"
#include "picture/decoders.h"
#include "picture/picture.h"
#include "picture/raster.h"
#include "tests/support/test_pictures.h"

namespace qingxiu {
namespace {

using namespace test;

const TwoValuedImage* valuesOf(const std::optional<Picture>& picture) {
    return picture ? std::get_if<TwoValuedImage>(&picture->content) : nullptr;
}

struct HeaderFields {
    std::uint8_t version = 5;
    std::uint8_t bitsPerPixel = 8;
    std::uint16_t xMin = 0;
    std::uint16_t yMin = 0;
    std::uint16_t xMax = 0;
    std::uint16_t yMax = 0;
    std::uint8_t planes = 1;
    std::uint16_t bytesPerLine = 0;
};

// A 128-byte header followed by the encoded rows.
ByteSet pcxFile(const HeaderFields& fields, const ByteSet& rows) {
    ByteSet bytes(128, 0);
    // manufacturer, version, encoding, bits per pixel
    bytes[0] = 0x0A;
    bytes[1] = fields.version;
    bytes[2] = 1;
    bytes[3] = fields.bitsPerPixel;
    // window: Xmin, Ymin, Xmax, Ymax
    patch16(bytes, 4, fields.xMin);
    patch16(bytes, 6, fields.yMin);
    patch16(bytes, 8, fields.xMax);
    patch16(bytes, 10, fields.yMax);
    // planes, bytes per line
    bytes[65] = fields.planes;
    patch16(bytes, 66, fields.bytesPerLine);
    bytes.insert(bytes.end(), rows.begin(), rows.end());
    return bytes;
}

// The colour table of the hand-made 8-bit files: every entry a different colour.
Colour tableColour(int index) {
    const auto i = static_cast<std::uint8_t>(index);
    return Colour{i, static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i ^ 0x55)};
}

ByteSet colourTable() {
    ByteSet bytes{0x0C};
    for (int i = 0; i < 256; ++i) {
        const Colour c = tableColour(i);
        bytes.insert(bytes.end(), {c.red, c.green, c.blue});
    }
    return bytes;
}

ByteSet joined(ByteSet first, const ByteSet& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

void expectIndexes(const Raster& raster, const std::vector<int>& indexes,
                   const std::function<Colour(int)>& colourOf) {
    ASSERT_EQ(indexes.size(), static_cast<std::size_t>(raster.width() * raster.height()));
    for (int y = 0; y < raster.height(); ++y) {
        for (int x = 0; x < raster.width(); ++x) {
            const int index = indexes[static_cast<std::size_t>(y * raster.width() + x)];
            EXPECT_EQ(raster.pixel(x, y), colourOf(index)) << "pixel (" << x << ", " << y << ")";
        }
    }
}

// The 7 x 5 diagonals picture that the colour fixtures encode: pixel (x, y) holds colour
// (x + 2y) mod 6 of red, green, blue, white, black, yellow.
Colour diagonalColour(int x, int y) {
    constexpr Colour kColours[6] = {{255, 0, 0},     {0, 255, 0}, {0, 0, 255},
                                    {255, 255, 255}, {0, 0, 0},   {255, 255, 0}};
    return kColours[(x + 2 * y) % 6];
}

// Two writers, with a colour table (Pillow pads each row to an even length, ImageMagick writes
// runs) and in true colour, with and without the opacity plane: every one must give the
// picture its writer was given.
TEST(PcxTest, ColourFixturesDecodeToTheDiagonalsTheyEncode) {
    for (const char* name : {"pcx-diagonals-8bit-pillow.pcx", "pcx-diagonals-8bit-im.pcx",
                             "pcx-diagonals-24bit-im.pcx", "pcx-diagonals-32bit-im.pcx"}) {
        SCOPED_TRACE(name);
        const ByteSet bytes = readFixture(name);
        ASSERT_FALSE(bytes.empty());
        const auto picture = decode(bytes);
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        EXPECT_EQ(picture->kind, Kind::Pcx8);
        ASSERT_EQ(raster->width(), 7);
        ASSERT_EQ(raster->height(), 5);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                EXPECT_EQ(raster->pixel(x, y), diagonalColour(x, y))
                    << "pixel (" << x << ", " << y << ")";
            }
        }
    }
}

TEST(PcxTest, OneBitFixtureGivesItsBitsAsValues) {
    // Pillow writes 1-bit files as version 2, which recognition leaves to version 3, so this
    // one goes to the decoder directly. It is a 10 x 4 checkerboard, (x + y) mod 2.
    const auto picture = decodePcx(readFixture("pcx-checker-1bit-pillow.pcx"));
    const TwoValuedImage* image = valuesOf(picture);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(picture->kind, Kind::Pcx1);
    ASSERT_EQ(image->width, 10);
    ASSERT_EQ(image->height, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 10; ++x) {
            EXPECT_EQ(image->values[static_cast<std::size_t>(y * 10 + x)], (x + y) % 2)
                << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST(PcxTest, OneBitRowsIgnoreBitsAndBytesPastTheWidth) {
    // 10 x 2 (window 3..12 x 7..8), 3 bytes per line where 2 hold the pixels. Every bit past
    // the tenth and every padding byte is set, and must not show.
    const ByteSet file = pcxFile({.version = 3,
                                  .bitsPerPixel = 1,
                                  .xMin = 3,
                                  .yMin = 7,
                                  .xMax = 12,
                                  .yMax = 8,
                                  .planes = 1,
                                  .bytesPerLine = 3},
                                 {
                                     0xB3, 0x7F, 0xC1, 0xFF,  // row 0: 1011 0011 01, padding
                                     0x4C, 0xBF, 0xC1, 0xFF,  // row 1: 0100 1100 10, padding
                                 });
    const auto picture = decode(file);
    const TwoValuedImage* image = valuesOf(picture);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(picture->kind, Kind::Pcx1);
    EXPECT_EQ(image->width, 10);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(image->values, (std::vector<std::uint8_t>{1, 0, 1, 1, 0, 0, 1, 1, 0, 1,  //
                                                        0, 1, 0, 0, 1, 1, 0, 0, 1, 0}));
}

struct RunLengthCase {
    const char* name;
    int width;
    int height;
    std::uint16_t bytesPerLine;
    ByteSet rows;
    std::vector<int> indexes;
};

TEST(PcxTest, RunLengthDataDecodeToTheirIndexes) {
    const RunLengthCase cases[] = {
        {"0xC0 is one literal byte, 0xC1 a run of one",
         3,
         1,
         3,
         {0xC0, 0xC1, 0xC0, 0x05},
         {0xC0, 0xC0, 0x05}},
        {"a run gives count copies", 4, 1, 4, {0xC3, 0x07, 0x09}, {7, 7, 7, 9}},
        {"0xFF is a run of 63", 63, 1, 63, {0xFF, 0x2A}, std::vector<int>(63, 0x2A)},
        {"a run carries on into the next row", 2, 2, 2, {0xC3, 0x05, 0x06}, {5, 5, 5, 6}},
        {"padding past the width is skipped", 2, 2, 4, {1, 2, 0xC2, 9, 3, 4, 9, 9}, {1, 2, 3, 4}},
        {"a run covers padding and the next row",
         1,
         3,
         3,
         {0xC4, 8, 0xC2, 0xD0, 0xC3, 7},
         {8, 8, 7}},
    };
    for (const RunLengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteSet file = pcxFile({.xMax = static_cast<std::uint16_t>(c.width - 1),
                                      .yMax = static_cast<std::uint16_t>(c.height - 1),
                                      .bytesPerLine = c.bytesPerLine},
                                     joined(c.rows, colourTable()));
        const auto picture = decode(file);
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        EXPECT_EQ(picture->kind, Kind::Pcx8);
        ASSERT_EQ(raster->width(), c.width);
        ASSERT_EQ(raster->height(), c.height);
        expectIndexes(*raster, c.indexes, tableColour);
    }
}

Colour grey(int index) {
    const auto level = static_cast<std::uint8_t>(index);
    return Colour{level, level, level};
}

// The table is the one right after the last row's data; without a whole one there, each index
// shows as the grey of its own brightness.
TEST(PcxTest, ColourTableFollowsTheLastRowOrIndexesShowAsGrey) {
    // 2 x 1, 2 bytes per line, indexes 0x10 and 0xF0 (a run of one, as 0xF0 is a count).
    const ByteSet rows{0x10, 0xC1, 0xF0};
    const ByteSet table = colourTable();
    struct Case {
        const char* name;
        ByteSet after;
        Colour (*colourOf)(int);
    };
    const Case cases[] = {
        {"0x0C and 768 bytes", table, tableColour},
        {"more bytes after the table", joined(table, {1, 2, 3}), tableColour},
        {"no table", {}, grey},
        {"no 0x0C marker", joined({0x0B}, ByteSet(table.begin() + 1, table.end())), grey},
        {"a table one byte short", ByteSet(table.begin(), table.end() - 1), grey},
        {"a stray byte before the marker", joined({0x00}, table), grey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto picture = decode(pcxFile({.xMax = 1, .bytesPerLine = 2}, joined(rows, c.after)));
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        expectIndexes(*raster, {0x10, 0xF0}, c.colourOf);
    }
}

TEST(PcxTest, TableAfterARunThatOutlastsTheLastRow) {
    // 2 x 1: one run of three gives the row and a byte more; the table follows the run.
    const auto picture =
        decode(pcxFile({.xMax = 1, .bytesPerLine = 2}, joined({0xC3, 0x33}, colourTable())));
    const Raster* raster = rasterOf(picture);
    ASSERT_NE(raster, nullptr);
    expectIndexes(*raster, {0x33, 0x33}, tableColour);
}

TEST(PcxTest, TrueColourPlanesAreRedGreenBlueAndTheFourthIsSkipped) {
    // 2 x 1, 3 bytes per line: each plane one padding byte past the pixels.
    const ByteSet red{0x10, 0x11, 0x7E};
    const ByteSet green{0x20, 0x21, 0x7E};
    const ByteSet blue{0x30, 0x31, 0x7E};
    const ByteSet opacity{0x00, 0x80, 0x7E};
    for (const std::uint8_t planes : {3, 4}) {
        SCOPED_TRACE(int{planes});
        ByteSet rows = joined(joined(red, green), blue);
        if (planes == 4) {
            rows = joined(rows, opacity);
        }
        const auto picture =
            decode(pcxFile({.xMax = 1, .planes = planes, .bytesPerLine = 3}, rows));
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        EXPECT_EQ(picture->kind, Kind::Pcx8);
        EXPECT_EQ(raster->pixel(0, 0), (Colour{0x10, 0x20, 0x30}));
        EXPECT_EQ(raster->pixel(1, 0), (Colour{0x11, 0x21, 0x31}));
    }
}

// Every rejection starts from a file that decodes and breaks one thing: a 3 x 2 8-bit picture
// with 4 bytes per line and its colour table.
ByteSet validEightBit() {
    return pcxFile({.xMax = 2, .yMax = 1, .bytesPerLine = 4},
                   joined({1, 2, 3, 0, 0xC3, 4, 0}, colourTable()));
}

TEST(PcxTest, BrokenFilesAreNoPicture) {
    ASSERT_TRUE(decode(validEightBit()));
    struct Case {
        const char* name;
        std::function<void(ByteSet&)> breakIt;
    };
    const Case cases[] = {
        {"128 bytes only", [](ByteSet& b) { b.resize(128); }},
        {"manufacturer", [](ByteSet& b) { b[0] = 0x0B; }},
        {"version above 5", [](ByteSet& b) { b[1] = 6; }},
        {"encoding", [](ByteSet& b) { b[2] = 0; }},
        {"4 bits per pixel", [](ByteSet& b) { b[3] = 4; }},
        {"2 planes", [](ByteSet& b) { b[65] = 2; }},
        {"5 planes", [](ByteSet& b) { b[65] = 5; }},
        {"0 planes", [](ByteSet& b) { b[65] = 0; }},
        {"Xmax below Xmin", [](ByteSet& b) { b[4] = 3; }},
        {"Ymax below Ymin", [](ByteSet& b) { b[6] = 2; }},
        {"bytes per line short of the width", [](ByteSet& b) { b[66] = 2; }},
        {"0 bytes per line", [](ByteSet& b) { b[66] = 0; }},
        {"data end in the last row's padding", [](ByteSet& b) { b.resize(128 + 6); }},
        {"data end between a run's count and its byte", [](ByteSet& b) { b.resize(128 + 5); }},
        {"data end after the first row", [](ByteSet& b) { b.resize(128 + 4); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ByteSet file = validEightBit();
        c.breakIt(file);
        EXPECT_FALSE(decodePcx(file));
    }
}

TEST(PcxTest, OneBitFilesNeedOnePlaneAndRoomForTheirBits) {
    // 9 x 1 version 3, 2 bytes per line.
    const HeaderFields fields{
        .version = 3, .bitsPerPixel = 1, .xMax = 8, .planes = 1, .bytesPerLine = 2};
    const ByteSet rows{0xC1, 0xFF, 0x80};
    ASSERT_TRUE(decode(pcxFile(fields, rows)));

    // The version-3 file of 1 bit and 4 planes is a 1-bit PCX by its first bytes, but no
    // picture.
    HeaderFields fourPlanes = fields;
    fourPlanes.planes = 4;
    const ByteSet file = pcxFile(fourPlanes, joined(joined(rows, rows), joined(rows, rows)));
    EXPECT_EQ(recognise(file), Kind::Pcx1);
    EXPECT_FALSE(decode(file));

    HeaderFields oneByte = fields;
    oneByte.bytesPerLine = 1;
    EXPECT_FALSE(decode(pcxFile(oneByte, rows)));
}

TEST(PcxTest, PicturesOverThePixelCapAreNoPicture) {
    // 8193 x 8193 is just over the cap, with every row present as runs of 63 zeros.
    constexpr std::uint64_t kSide = 8193;
    constexpr std::uint64_t kRuns = (kSide * kSide + 62) / 63;
    ByteSet rows;
    rows.reserve(2 * kRuns);
    for (std::uint64_t i = 0; i < kRuns; ++i) {
        rows.insert(rows.end(), {0xFF, 0x00});
    }
    const ByteSet file = pcxFile(
        {.xMax = kSide - 1, .yMax = kSide - 1, .bytesPerLine = static_cast<std::uint16_t>(kSide)},
        rows);
    EXPECT_FALSE(decodePcx(file));
}

}  // namespace
}  // namespace qingxiu
