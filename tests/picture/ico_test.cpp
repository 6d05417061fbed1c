#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "base/byte_set.h"
#include "picture/decoders.h"
#include "picture/picture.h"
#include "tests/support/test_pictures.h"

namespace qingxiu {
namespace {

using namespace test;

// The bitmap of one icon image.
struct IconBitmap {
    std::int32_t width = 3;
    std::int32_t height = 2;  // image rows; the header says twice as many
    std::uint16_t bits = 24;
    std::uint32_t coloursUsed = 0;
    std::vector<Colour> table{};
    std::vector<ByteSet> colourRows{};  // bottom row first, each padded to 4 bytes when built
    std::vector<ByteSet> maskRows{};    // bottom row first, 1 = transparent, padded likewise
};

void putRows(ByteSet& out, const std::vector<ByteSet>& rows) {
    for (const ByteSet& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
        out.resize(out.size() + (4 - row.size() % 4) % 4, 0);
    }
}

ByteSet build(const IconBitmap& b) {
    ByteSet out;
    // Information header: size, width, height of colour and mask rows together, planes, bits,
    // compression, image size, resolution x and y, colours used, colours important.
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(b.width));
    put32(out, static_cast<std::uint32_t>(2 * b.height));
    put16(out, 1);
    put16(out, b.bits);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, b.coloursUsed);
    put32(out, 0);
    for (const Colour& c : b.table) {
        out.insert(out.end(), {c.blue, c.green, c.red, 0});
    }
    putRows(out, b.colourRows);
    putRows(out, b.maskRows);
    return out;
}

struct Entry {
    std::uint8_t width;
    std::uint8_t height;
    std::uint8_t colourCount;
    ByteSet image;
};

// An icon (type 1) or cursor (type 2) file: header, directory, then the images in order.
ByteSet iconFile(const std::vector<Entry>& entries, std::uint16_t type = 1) {
    ByteSet out;
    put16(out, 0);  // reserved
    put16(out, type);
    put16(out, static_cast<std::uint32_t>(entries.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * entries.size());
    for (const Entry& e : entries) {
        out.insert(out.end(), {e.width, e.height, e.colourCount, 0});
        put16(out, 1);   // planes, or the cursor's hot spot x
        put16(out, 32);  // bits, or the hot spot y
        put32(out, static_cast<std::uint32_t>(e.image.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(e.image.size());
    }
    for (const Entry& e : entries) {
        out.insert(out.end(), e.image.begin(), e.image.end());
    }
    return out;
}

ByteSet iconFile(const IconBitmap& b) {
    return iconFile(
        {{static_cast<std::uint8_t>(b.width), static_cast<std::uint8_t>(b.height), 0, build(b)}});
}

std::optional<IconImage> decodedIcon(const ByteSet& bytes, Kind kind = Kind::Ico) {
    const auto picture = decodeIco(bytes);
    if (!picture) {
        return std::nullopt;
    }
    EXPECT_EQ(picture->kind, kind);
    return std::get<IconImage>(picture->content);
}

// The 3 x 2 picture every depth draws, red, green, blue above white, black, grey, with the top
// left and bottom right pixels transparent.
const std::vector<std::vector<Colour>> kPicture{{kRed, kGreen, kBlue}, {kWhite, kBlack, kGrey}};
const std::vector<ByteSet> kMaskRows{{0x20}, {0x80}};  // 0 0 1, then 1 0 0
const std::vector<std::uint8_t> kTransparent{1, 0, 0, 0, 0, 1};
const std::vector<Colour> kSixColours{kBlack, kWhite, kRed, kGreen, kBlue, kGrey};

IconBitmap eightBitImage() {
    return IconBitmap{.bits = 8,
                      .coloursUsed = 6,
                      .table = kSixColours,
                      .colourRows = {{0x01, 0x00, 0x05}, {0x02, 0x03, 0x04}},
                      .maskRows = kMaskRows};
}

TEST(IcoTest, DecodesEveryDepthWithItsMask) {
    struct Case {
        const char* name;
        IconBitmap image;
        std::vector<std::vector<Colour>> picture;
    };
    const Colour grey132{132, 132, 132};  // 5-bit 16 widened to 8 bits
    const std::vector<Case> cases{
        {"1 bit",
         {.bits = 1,
          .table = {kBlue, kWhite},
          .colourRows = {{0x60}, {0xA0}},
          .maskRows = kMaskRows},
         {{kWhite, kBlue, kWhite}, {kBlue, kWhite, kWhite}}},
        {"4 bits",
         {.bits = 4,
          .coloursUsed = 6,
          .table = kSixColours,
          .colourRows = {{0x10, 0x50}, {0x23, 0x40}},
          .maskRows = kMaskRows},
         kPicture},
        {"8 bits", eightBitImage(), kPicture},
        {"16 bits, 5-5-5 with the top bit unused",
         {.bits = 16,
          .colourRows = {{0xFF, 0x7F, 0x00, 0x00, 0x10, 0x42},   // white, black, 16 16 16
                         {0x00, 0xFC, 0xE0, 0x03, 0x1F, 0x80}},  // red, green, blue
          .maskRows = kMaskRows},
         {{kRed, kGreen, kBlue}, {kWhite, kBlack, grey132}}},
        {"24 bits",
         {.colourRows = {{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80},
                         {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00}},
          .maskRows = kMaskRows},
         kPicture},
        {"32 bits with all-zero alpha",
         {.bits = 32,
          .colourRows = {{0xFF, 0xFF, 0xFF, 0, 0x00, 0x00, 0x00, 0, 0x80, 0x80, 0x80, 0},
                         {0x00, 0x00, 0xFF, 0, 0x00, 0xFF, 0x00, 0, 0xFF, 0x00, 0x00, 0}},
          .maskRows = kMaskRows},
         kPicture},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto icon = decodedIcon(iconFile(c.image));
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->colour, rasterOf(c.picture));
        EXPECT_EQ(icon->transparent, kTransparent);
        EXPECT_TRUE(icon->alpha.empty()) << "drawn by the mask";
    }
}

TEST(IcoTest, ThirtyTwoBitImageWithAlphaKeepsAlphaAndMask) {
    const IconBitmap image{
        .bits = 32,
        .colourRows = {{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0x80},
                       {0x00, 0x00, 0xFF, 0x10, 0x00, 0xFF, 0x00, 0x20, 0xFF, 0x00, 0x00, 0x30}},
        .maskRows = kMaskRows};
    const auto icon = decodedIcon(iconFile(image));
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->colour, rasterOf(kPicture));
    EXPECT_EQ(icon->alpha, (std::vector<std::uint8_t>{0x10, 0x20, 0x30, 0xFF, 0x00, 0x80}));
    EXPECT_EQ(icon->transparent, kTransparent);
}

TEST(IcoTest, NaturalSizeIsTheHeaderWidthByHalfItsHeight) {
    // The directory says 16 x 16; the header says 3 wide and 5 rows, of which 2 are the image.
    ByteSet image = build(eightBitImage());
    patch32(image, 8, 5);
    const auto picture = decodeIco(iconFile({{16, 16, 0, image}}));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 3);
    EXPECT_EQ(picture->height(), 2);
}

// A 1-bit image of the given size in one colour, for telling entries apart.
ByteSet solidImage(int size, Colour colour) {
    IconBitmap b{.width = size, .height = size, .bits = 1, .table = {colour, colour}};
    const auto rowBytes = static_cast<std::size_t>((size + 7) / 8);
    b.colourRows.assign(static_cast<std::size_t>(size), ByteSet(rowBytes, 0));
    b.maskRows = b.colourRows;
    return build(b);
}

TEST(IcoTest, UsesTheFirst32PixelEntryOf16ColoursOrMoreElseTheLast) {
    const Entry small16{16, 16, 16, solidImage(16, kRed)};
    const Entry large0{32, 32, 0, solidImage(32, kGreen)};
    const Entry huge0{48, 48, 0, solidImage(48, kBlue)};
    const Entry large16{32, 32, 16, solidImage(32, kWhite)};
    const Entry large15{32, 32, 15, solidImage(32, kGrey)};
    const Entry large255{32, 32, 255, solidImage(32, kBlack)};
    struct Case {
        const char* name;
        std::vector<Entry> entries;
        int size;
        Colour colour;
    };
    const std::vector<Case> cases{
        {"none qualifies: the last", {small16, large0, huge0}, 48, kBlue},
        {"32 x 32 with 16 colours", {small16, large0, huge0, large16}, 32, kWhite},
        {"the first that qualifies", {large16, large255}, 32, kWhite},
        {"15 colours do not qualify", {large15, small16}, 16, kRed},
        {"a single entry", {large0}, 32, kGreen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto icon = decodedIcon(iconFile(c.entries));
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->colour, Raster(c.size, c.size, c.colour));
    }
}

TEST(IcoTest, CursorDecodesLikeAnIcon) {
    const Entry entry{3, 2, 0, build(eightBitImage())};
    const auto cursor = decodedIcon(iconFile({entry}, 2), Kind::Cur);
    ASSERT_TRUE(cursor);
    EXPECT_EQ(cursor, decodedIcon(iconFile({entry}, 1)));
}

// Offsets in a one-entry file.
constexpr std::size_t kImageSizeField = 6 + 8;
constexpr std::size_t kImageOffsetField = 6 + 12;
constexpr std::size_t kImageAt = 6 + 16;

TEST(IcoTest, RefusesFilesWithOneFieldBroken) {
    const ByteSet valid = iconFile(eightBitImage());
    ASSERT_TRUE(decodeIco(valid));
    struct Breakage {
        const char* name;
        std::size_t at;
        std::uint32_t value;
        bool wide;
    };
    const std::vector<Breakage> cases{
        {"reserved 1", 0, 1, false},
        {"type 3", 2, 3, false},
        {"count 0", 4, 0, false},
        {"count 2 with one entry's directory", 4, 2, false},
        {"image past the end", kImageOffsetField, 0xFFFFFFF0u, true},
        {"image one byte longer than the file", kImageSizeField,
         static_cast<std::uint32_t>(valid.size() - kImageAt + 1), true},
        {"12-byte header", kImageAt, 12, true},
        {"compressed", kImageAt + 16, 1, true},
        {"2 bits per pixel", kImageAt + 14, 2, false},
        {"header height 1: no rows", kImageAt + 8, 1, true},
        {"negative height", kImageAt + 8, static_cast<std::uint32_t>(-4), true},
        {"zero width", kImageAt + 4, 0, true},
        {"one row more than stored", kImageAt + 8, 6, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ByteSet broken = valid;
        if (c.wide) {
            patch32(broken, c.at, c.value);
        } else {
            patch16(broken, c.at, static_cast<std::uint16_t>(c.value));
        }
        EXPECT_FALSE(decodeIco(broken));
    }
    // The mask short by its last row, the entry's size shortened to match.
    ByteSet cut = left(valid, static_cast<std::int64_t>(valid.size()) - 4);
    patch32(cut, kImageSizeField, static_cast<std::uint32_t>(cut.size() - kImageAt));
    EXPECT_FALSE(decodeIco(cut));
    EXPECT_FALSE(decodeIco(left(valid, 21)));  // the directory cut short
}

TEST(IcoTest, DecodesImagesFromAnotherWriter) {
    // ImageMagick's 32-bit image: red at half alpha, opaque green, opaque blue, the rest clear.
    const auto alpha = decodedIcon(readFixture("ico-magick-32.ico"));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->colour, rasterOf({{kRed, kGreen, kBlack}, {kBlack, kBlack, kBlue}}));
    EXPECT_EQ(alpha->alpha, (std::vector<std::uint8_t>{0x7F, 0xFF, 0, 0, 0, 0xFF}));
    EXPECT_EQ(alpha->transparent, (std::vector<std::uint8_t>{0, 0, 1, 1, 1, 0}));

    // Its 4-bit image with 16 table entries, fully opaque.
    const auto indexed = decodedIcon(readFixture("ico-magick-4.ico"));
    ASSERT_TRUE(indexed);
    EXPECT_EQ(indexed->colour, rasterOf({{kBlue, kRed, kRed}, {kRed, kRed, kWhite}}));
    EXPECT_EQ(indexed->transparent, std::vector<std::uint8_t>(6, 0));
    EXPECT_TRUE(indexed->alpha.empty());
}

TEST(IcoTest, DecodesPngImages) {
    struct Case {
        const char* file;
        std::vector<std::vector<Colour>> picture;
        std::vector<std::uint8_t> alpha;
    };
    const std::vector<Case> cases{
        {"ico-png-rgba.ico",
         {{kRed, kGreen, kBlue, kWhite},
          {{10, 20, 30}, kBlack, {200, 100, 50}, kBlack},
          {{255, 255, 0}, {0, 255, 255}, {255, 0, 255}, kGrey}},
         {255, 255, 255, 0, 128, 255, 1, 0, 255, 255, 64, 255}},
        {"ico-png-palette.ico",  // 2-bit palette; entry 2 fully transparent by tRNS
         {{kRed, kBlue, kGreen}, {kGreen, kGreen, kRed}},
         {255, 255, 0, 0, 0, 255}},
        {"ico-png-grey16.ico",  // 16-bit grey scaled to 8 bits, no alpha: opaque
         {{kBlack, kWhite}, {kGrey, {18, 18, 18}}},
         {255, 255, 255, 255}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto icon = decodedIcon(readFixture(c.file));
        ASSERT_TRUE(icon);
        EXPECT_EQ(icon->colour, rasterOf(c.picture));
        EXPECT_EQ(icon->alpha, c.alpha);
        std::vector<std::uint8_t> transparent;
        for (const std::uint8_t a : c.alpha) {
            transparent.push_back(a == 0 ? 1 : 0);
        }
        EXPECT_EQ(icon->transparent, transparent);
    }
}

TEST(IcoTest, RefusesBrokenPngImages) {
    const ByteSet valid = readFixture("ico-png-rgba.ico");
    ASSERT_TRUE(decodeIco(valid));
    // Cut inside the image data, the entry's size shortened to match.
    ByteSet cut = left(valid, 70);
    patch32(cut, kImageSizeField, static_cast<std::uint32_t>(cut.size() - kImageAt));
    EXPECT_FALSE(decodeIco(cut));
    // A damaged header chunk fails its checksum.
    ByteSet damaged = valid;
    damaged[kImageAt + 8 + 8 + 3] ^= 0x01;  // a bit of the width
    EXPECT_FALSE(decodeIco(damaged));
}

}  // namespace
}  // namespace qingxiu
