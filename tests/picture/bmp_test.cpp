#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/byte_set.h"
#include "picture/decoders.h"
#include "picture/picture.h"
#include "tests/support/test_pictures.h"

namespace qingxiu {
namespace {

using namespace test;

// What a test BMP file holds; the builder lays it out as a writer would.
struct BmpFile {
    std::uint32_t headerSize = 40;
    std::int32_t width = 3;
    std::int32_t height = 2;
    std::uint16_t bits = 24;
    std::uint32_t coloursUsed = 0;
    std::vector<Colour> table{};        // stored entries
    std::size_t gap = 0;                // bytes of 0xEE between the table and the pixel data
    std::vector<ByteSet> storedRows{};  // in file order, each padded to 4 bytes by the builder
};

ByteSet build(const BmpFile& f) {
    ByteSet pixels;
    for (const ByteSet& row : f.storedRows) {
        pixels.insert(pixels.end(), row.begin(), row.end());
        pixels.resize((pixels.size() + 3) / 4 * 4, 0);
    }
    const auto tableEnd = static_cast<std::uint32_t>(14 + f.headerSize + 4 * f.table.size());
    const auto offset = static_cast<std::uint32_t>(tableEnd + f.gap);
    ByteSet out{'B', 'M'};
    // File header: file size, two reserved words, pixel-data offset.
    put32(out, static_cast<std::uint32_t>(offset + pixels.size()));
    put32(out, 0);
    put32(out, offset);
    // Information header: size, width, height, planes, bits, compression, image size,
    // resolution x and y, colours used, colours important.
    put32(out, f.headerSize);
    put32(out, static_cast<std::uint32_t>(f.width));
    put32(out, static_cast<std::uint32_t>(f.height));
    put16(out, 1);
    put16(out, f.bits);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(pixels.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, f.coloursUsed);
    put32(out, 0);
    // The rest of a longer header: a pattern that would show as wrong colours if it were taken
    // for the colour table.
    out.resize(14 + f.headerSize, 0x5A);
    for (const Colour& c : f.table) {
        out.insert(out.end(), {c.blue, c.green, c.red, 0});
    }
    out.resize(out.size() + f.gap, 0xEE);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

std::optional<Raster> decodedRaster(const ByteSet& bytes) {
    const auto picture = decodeBmp(bytes);
    if (!picture) {
        return std::nullopt;
    }
    EXPECT_EQ(picture->kind, Kind::Bmp);
    return std::get<Raster>(picture->content);
}

// Every depth draws the same 3 x 2 picture: red, green, blue above white, black, grey.
const std::vector<std::vector<Colour>> kPicture{{kRed, kGreen, kBlue}, {kWhite, kBlack, kGrey}};
const std::vector<Colour> kSixColours{kBlack, kWhite, kRed, kGreen, kBlue, kGrey};

// The 8-bit file of that picture, bottom row first: indexes 1 0 5, then 2 3 4.
BmpFile eightBitFile() {
    return BmpFile{.bits = 8,
                   .coloursUsed = 6,
                   .table = kSixColours,
                   .storedRows = {{0x01, 0x00, 0x05}, {0x02, 0x03, 0x04}}};
}

BmpFile twentyFourBitFile() {
    return BmpFile{.storedRows = {
                       {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80},  // white black grey
                       {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00},  // red green blue
                   }};
}

constexpr Colour grey(std::uint8_t v) {
    return Colour{v, v, v};
}

// 256 entries, entry i the grey of value i.
std::vector<Colour> greyRamp() {
    std::vector<Colour> table;
    for (int i = 0; i < 256; ++i) {
        table.push_back(grey(static_cast<std::uint8_t>(i)));
    }
    return table;
}

struct DepthCase {
    const char* name;
    BmpFile file;
    std::vector<std::vector<Colour>> picture;
};

TEST(BmpTest, DecodesEveryDepthBottomRowFirst) {
    const std::vector<DepthCase> cases{
        {"1 bit, two-colour table, rows 0 1 1 and 1 0 1",
         {.bits = 1, .table = {kBlue, kWhite}, .storedRows = {{0x60}, {0xA0}}},
         {{kWhite, kBlue, kWhite}, {kBlue, kWhite, kWhite}}},
        {"4 bits, 6 colours, two pixels a byte high nibble first",
         {.bits = 4,
          .coloursUsed = 6,
          .table = kSixColours,
          .storedRows = {{0x10, 0x50}, {0x23, 0x40}}},
         kPicture},
        {"8 bits", eightBitFile(), kPicture},
        {"8 bits, colours used 0 means 256 entries",
         {.bits = 8, .table = greyRamp(), .storedRows = {{0x00, 0x10, 0xFF}, {0x80, 0x01, 0x02}}},
         {{grey(0x80), grey(0x01), grey(0x02)}, {grey(0x00), grey(0x10), grey(0xFF)}}},
        {"24 bits, rows of 9 bytes padded to 12", twentyFourBitFile(), kPicture},
        {"32 bits, the fourth byte ignored",
         {.bits = 32,
          .storedRows =
              {
                  {0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x80, 0x80, 0x80, 0xFF},
                  {0x00, 0x00, 0xFF, 0x01, 0x00, 0xFF, 0x00, 0x02, 0xFF, 0x00, 0x00, 0x03},
              }},
         kPicture},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto raster = decodedRaster(build(c.file));
        ASSERT_TRUE(raster);
        EXPECT_EQ(*raster, rasterOf(c.picture));
    }
}

TEST(BmpTest, NegativeHeightIsTopRowFirstAndNegativeWidthCountsByMagnitude) {
    BmpFile topDown = eightBitFile();
    topDown.height = -2;
    std::swap(topDown.storedRows[0], topDown.storedRows[1]);
    EXPECT_EQ(decodedRaster(build(topDown)), rasterOf(kPicture));

    BmpFile negativeWidth = eightBitFile();
    negativeWidth.width = -3;
    EXPECT_EQ(decodedRaster(build(negativeWidth)), rasterOf(kPicture));
}

TEST(BmpTest, ColourTableFollowsWhicheverHeaderIsThere) {
    for (const std::uint32_t headerSize : {52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(headerSize);
        BmpFile file = eightBitFile();
        file.headerSize = headerSize;
        EXPECT_EQ(decodedRaster(build(file)), rasterOf(kPicture));
    }
}

TEST(BmpTest, SkipsBytesBetweenTableAndPixelData) {
    BmpFile file = eightBitFile();
    file.gap = 10;
    EXPECT_EQ(decodedRaster(build(file)), rasterOf(kPicture));
    BmpFile trueColour = twentyFourBitFile();
    trueColour.gap = 7;
    EXPECT_EQ(decodedRaster(build(trueColour)), rasterOf(kPicture));
}

TEST(BmpTest, IndexPastTheTableIsBlack) {
    // Two stored colours; the pixels name entries 0, 1, 5 and 255.
    const BmpFile file{.width = 4,
                       .height = 1,
                       .bits = 8,
                       .coloursUsed = 2,
                       .table = {kWhite, kRed},
                       .storedRows = {{0x00, 0x01, 0x05, 0xFF}}};
    EXPECT_EQ(decodedRaster(build(file)), rasterOf({{kWhite, kRed, kBlack, kBlack}}));
}

TEST(BmpTest, TableLongerThanTheDepthCanIndexIsStoredButOnlyItsStartUsed) {
    // A 1-bit file that says it has 4 colours and stores them: only the first two are named.
    BmpFile file{.width = 2,
                 .height = 1,
                 .bits = 1,
                 .coloursUsed = 4,
                 .table = {kRed, kBlue, kWhite, kWhite},
                 .storedRows = {{0x40}}};
    EXPECT_EQ(decodedRaster(build(file)), rasterOf({{kRed, kBlue}}));

    // The same file storing only two of the four: the pixel data start inside the table.
    file.table.resize(2);
    EXPECT_FALSE(decodeBmp(build(file)));
}

TEST(BmpTest, LastRowNeedsItsPixelsButNotItsPadding) {
    ByteSet bytes = build(twentyFourBitFile());
    bytes.resize(bytes.size() - 3);  // the last row's padding
    EXPECT_EQ(decodedRaster(bytes), rasterOf(kPicture));
    bytes.pop_back();  // and the red of its last pixel
    EXPECT_FALSE(decodeBmp(bytes));
}

// Field offsets in the file.
constexpr std::size_t kOffsetField = 10;
constexpr std::size_t kHeaderSizeField = 14;
constexpr std::size_t kWidthField = 18;
constexpr std::size_t kHeightField = 22;
constexpr std::size_t kBitsField = 28;
constexpr std::size_t kCompressionField = 30;
constexpr std::size_t kColoursUsedField = 46;

TEST(BmpTest, RefusesFilesWithOneFieldBroken) {
    struct Breakage {
        const char* name;
        std::size_t field;
        std::uint32_t value;
        bool wide;  // a 32-bit field, else 16
    };
    const auto bits8 = build(eightBitFile());
    ASSERT_TRUE(decodeBmp(bits8));
    const std::uint32_t tableEnd = 14 + 40 + 6 * 4;
    const std::vector<Breakage> cases{
        {"run-length compression", kCompressionField, 1, true},
        {"bit-field compression", kCompressionField, 3, true},
        {"16 bits per pixel", kBitsField, 16, false},
        {"2 bits per pixel", kBitsField, 2, false},
        {"0 bits per pixel", kBitsField, 0, false},
        {"OS/2 12-byte header", kHeaderSizeField, 12, true},
        {"64-byte header", kHeaderSizeField, 64, true},
        {"zero width", kWidthField, 0, true},
        {"zero height", kHeightField, 0, true},
        {"width INT32_MIN", kWidthField, 0x80000000u, true},
        {"height INT32_MIN", kHeightField, 0x80000000u, true},
        {"10000 x 10000, over the pixel cap", kWidthField, 10000, true},
        {"pixel data inside the table", kOffsetField, tableEnd - 1, true},
        {"pixel data past the end", kOffsetField, 0xFFFFFFF0u, true},
        {"table longer than the file", kColoursUsedField, 0xFFFFFFFFu, true},
        {"one more row than stored", kHeightField, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ByteSet broken = bits8;
        if (c.wide) {
            patch32(broken, c.field, c.value);
        } else {
            patch16(broken, c.field, static_cast<std::uint16_t>(c.value));
        }
        if (c.field == kWidthField && c.value == 10000) {
            patch32(broken, kHeightField, 10000);
        }
        EXPECT_FALSE(decodeBmp(broken));
    }
    EXPECT_FALSE(decodeBmp(left(bits8, 53)));
}

// The public BMP suite, read in place.
std::filesystem::path suiteDir() {
    return std::filesystem::path(QINGXIU_CORPUS_DIR) / "bmpsuite";
}

TEST(BmpSuiteTest, GoodFilesDecodeOrAreRefusedForAStatedReason) {
    if (!std::filesystem::is_directory(suiteDir() / "g")) {
        GTEST_SKIP() << "the public BMP suite is not at " << suiteDir();
    }
    struct Expected {
        const char* file;
        int width;   // 0: no picture
        int height;  // or, for no picture, the reason below
        const char* reason;
    };
    const std::vector<Expected> table{
        {"pal1.bmp", 127, 64, ""},
        {"pal1bg.bmp", 127, 64, ""},
        {"pal1wb.bmp", 127, 64, ""},
        {"pal4.bmp", 127, 64, ""},
        {"pal4gs.bmp", 127, 64, ""},
        {"pal4rle.bmp", 0, 0, "run-length compressed"},
        {"pal8-0.bmp", 127, 64, ""},
        {"pal8.bmp", 127, 64, ""},
        {"pal8gs.bmp", 127, 64, ""},
        {"pal8nonsquare.bmp", 127, 32, ""},
        {"pal8os2.bmp", 0, 0, "12-byte OS/2 header"},
        {"pal8rle.bmp", 0, 0, "run-length compressed"},
        {"pal8topdown.bmp", 127, 64, ""},
        {"pal8v4.bmp", 127, 64, ""},
        {"pal8v5.bmp", 127, 64, ""},
        {"pal8w124.bmp", 124, 61, ""},
        {"pal8w125.bmp", 125, 62, ""},
        {"pal8w126.bmp", 126, 63, ""},
        {"rgb16-565.bmp", 0, 0, "16 bits, bit fields"},
        {"rgb16-565pal.bmp", 0, 0, "16 bits, bit fields"},
        {"rgb16.bmp", 0, 0, "16 bits"},
        {"rgb16bfdef.bmp", 0, 0, "16 bits, bit fields"},
        {"rgb24.bmp", 127, 64, ""},
        {"rgb24pal.bmp", 127, 64, ""},
        {"rgb32.bmp", 127, 64, ""},
        {"rgb32bf.bmp", 0, 0, "bit fields"},
        {"rgb32bfdef.bmp", 0, 0, "bit fields"},
    };
    std::size_t filesInFolder = 0;
    for (const auto& entry : std::filesystem::directory_iterator(suiteDir() / "g")) {
        filesInFolder += entry.path().extension() == ".bmp" ? 1 : 0;
    }
    EXPECT_EQ(filesInFolder, table.size()) << "a file of g/ has no expected outcome";
    for (const auto& e : table) {
        SCOPED_TRACE(e.file);
        const auto picture = decodeBmp(readFile(suiteDir() / "g" / e.file));
        if (e.width == 0) {
            EXPECT_FALSE(picture) << e.reason;
        } else {
            ASSERT_TRUE(picture);
            EXPECT_EQ(picture->width(), e.width);
            EXPECT_EQ(picture->height(), e.height);
        }
    }
}

TEST(BmpSuiteTest, GoodFilesShowTheirPixels) {
    if (!std::filesystem::is_directory(suiteDir() / "g")) {
        GTEST_SKIP() << "the public BMP suite is not at " << suiteDir();
    }
    const auto raster = [](const char* file) {
        const auto picture = decodeBmp(readFile(suiteDir() / "g" / file));
        return picture ? std::get<Raster>(picture->content) : Raster{};
    };
    struct Corners {
        const char* file;
        Colour topLeft, topRight, bottomLeft, bottomRight, centre;
    };
    const std::vector<Corners> table{
        {"pal1.bmp", kWhite, kWhite, kBlack, kBlack, kWhite},
        {"pal1bg.bmp", {64, 255, 64}, {64, 255, 64}, {64, 64, 255}, {64, 64, 255}, {64, 255, 64}},
        {"pal4.bmp", kRed, {255, 128, 255}, kBlack, kBlack, kWhite},
        {"pal8.bmp", kRed, {153, 170, 204}, kBlack, {102, 85, 102}, kWhite},
        {"pal8w125.bmp", kRed, {204, 170, 204}, kBlack, {102, 85, 102}, kWhite},
        {"rgb24.bmp", kRed, {159, 159, 189}, kBlack, {96, 96, 126}, kWhite},
    };
    for (const auto& c : table) {
        SCOPED_TRACE(c.file);
        const Raster r = raster(c.file);
        ASSERT_FALSE(r.empty());
        const int right = r.width() - 1;
        const int bottom = r.height() - 1;
        EXPECT_EQ(r.pixel(0, 0), c.topLeft);
        EXPECT_EQ(r.pixel(right, 0), c.topRight);
        EXPECT_EQ(r.pixel(0, bottom), c.bottomLeft);
        EXPECT_EQ(r.pixel(right, bottom), c.bottomRight);
        EXPECT_EQ(r.pixel(r.width() / 2, r.height() / 2), c.centre);
    }
    // The same picture stored in other ways decodes to the same pixels.
    for (const char* file : {"pal8-0.bmp", "pal8topdown.bmp", "pal8v4.bmp", "pal8v5.bmp"}) {
        EXPECT_EQ(raster(file), raster("pal8.bmp")) << file;
    }
    for (const char* file : {"rgb24pal.bmp", "rgb32.bmp"}) {
        EXPECT_EQ(raster(file), raster("rgb24.bmp")) << file;
    }
}

TEST(BmpSuiteTest, BrokenFilesAreRefusedOrDecodedWithoutHarm) {
    if (!std::filesystem::is_directory(suiteDir() / "b")) {
        GTEST_SKIP() << "the public BMP suite is not at " << suiteDir();
    }
    for (const auto& entry : std::filesystem::directory_iterator(suiteDir() / "b")) {
        SCOPED_TRACE(entry.path().filename().string());
        const auto picture = decodeBmp(readFile(entry.path()));
        if (picture) {
            EXPECT_LE(static_cast<std::uint64_t>(picture->width()) *
                          static_cast<std::uint64_t>(picture->height()),
                      kMaxPixels);
        }
    }
    struct Expected {
        const char* file;
        bool picture;
        const char* why;
    };
    for (const auto& e : std::vector<Expected>{
             {"badbitcount.bmp", false, "30000 bits per pixel"},
             {"badheadersize.bmp", false, "66-byte header"},
             {"badpalettesize.bmp", false, "pixel data inside the table it claims"},
             {"reallybig.bmp", false, "over the pixel cap"},
             {"shortfile.bmp", false, "ends inside the pixel data"},
             {"badrle.bmp", false, "run-length compressed"},
             {"badwidth.bmp", true, "a negative width counts by its magnitude"},
             {"pal8badindex.bmp", true, "indexes past the table are black"},
         }) {
        EXPECT_EQ(decodeBmp(readFile(suiteDir() / "b" / e.file)).has_value(), e.picture)
            << e.file << ": " << e.why;
    }
}

}  // namespace
}  // namespace qingxiu
