#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/byte_set.h"
#include "picture/decoders.h"
#include "picture/picture.h"
#include "picture/raster.h"
#include "tests/support/test_pictures.h"

namespace qingxiu {
namespace {

using namespace test;

ByteSet operator+(ByteSet a, const ByteSet& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string describe(const Colour& c) {
    return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
}

// Every pixel of the raster against colourAt(x, y); stops at the first row with a mismatch so a
// wrong decode does not print thousands of lines.
void expectPixels(const Raster& raster, int width, int height,
                  const std::function<Colour(int, int)>& colourAt) {
    ASSERT_EQ(raster.width(), width);
    ASSERT_EQ(raster.height(), height);
    for (int y = 0; y < height; ++y) {
        bool rowMatches = true;
        for (int x = 0; x < width; ++x) {
            const Colour actual = raster.pixel(x, y);
            const Colour expected = colourAt(x, y);
            if (!(actual == expected)) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << describe(actual)
                              << ", meant " << describe(expected);
                rowMatches = false;
            }
        }
        if (!rowMatches) {
            return;
        }
    }
}

void expectPixels(const Raster& raster, int width, int height, const std::vector<Colour>& grid) {
    ASSERT_EQ(grid.size(), static_cast<std::size_t>(width * height));
    expectPixels(raster, width, height, [&](int x, int y) { return grid[y * width + x]; });
}

constexpr Colour kYellow{255, 255, 0};
constexpr Colour kCyan{0, 255, 255};
constexpr Colour kMagenta{255, 0, 255};

// Writes GIF image data (the minimum code size byte, then the codes in sub-blocks) with literal
// codes only, as an encoder that never looks for repeated strings would. The decoder's table
// still grows by one entry per code after the first, so the code width follows that growth:
// one bit more each time the next free entry reaches a power of two, up to 12 bits, where it
// stays until a clear code.
class LzwWriter {
public:
    explicit LzwWriter(int minCodeSize) : minCodeSize_(minCodeSize) { reset(); }

    LzwWriter& clear() {
        write(clearCode());
        reset();
        return *this;
    }
    LzwWriter& literals(const ByteSet& indexes) {
        for (const std::uint8_t index : indexes) {
            write(index);
            if (havePrevious_ && next_ < 4096) {
                ++next_;
                if (next_ == (1u << width_) && width_ < 12) {
                    ++width_;
                }
            }
            havePrevious_ = true;
        }
        return *this;
    }
    // Any code at the current width, for streams that break the rules.
    LzwWriter& code(std::uint32_t value) {
        write(value);
        return *this;
    }
    LzwWriter& end() { return code(clearCode() + 1); }

    // The codes packed least significant bit first, the last byte padded with zero bits.
    ByteSet packed() const {
        ByteSet out = bytes_;
        if (bitCount_ % 8 != 0) {
            out.push_back(static_cast<std::uint8_t>(pending_));
        }
        return out;
    }

    ByteSet imageData() const {
        ByteSet out{static_cast<std::uint8_t>(minCodeSize_)};
        const ByteSet codes = packed();
        for (std::size_t at = 0; at < codes.size(); at += 255) {
            const std::size_t size = std::min<std::size_t>(255, codes.size() - at);
            out.push_back(static_cast<std::uint8_t>(size));
            out.insert(out.end(), codes.begin() + static_cast<std::ptrdiff_t>(at),
                       codes.begin() + static_cast<std::ptrdiff_t>(at + size));
        }
        out.push_back(0);
        return out;
    }

private:
    std::uint32_t clearCode() const { return 1u << minCodeSize_; }

    void reset() {
        width_ = minCodeSize_ + 1;
        next_ = clearCode() + 2;
        havePrevious_ = false;
    }

    void write(std::uint32_t value) {
        for (int bit = 0; bit < width_; ++bit) {
            pending_ |= ((value >> bit) & 1u) << (bitCount_ % 8);
            if (++bitCount_ % 8 == 0) {
                bytes_.push_back(static_cast<std::uint8_t>(pending_));
                pending_ = 0;
            }
        }
    }

    int minCodeSize_;
    int width_ = 0;
    std::uint32_t next_ = 0;
    bool havePrevious_ = false;
    ByteSet bytes_;
    std::uint32_t pending_ = 0;
    std::size_t bitCount_ = 0;
};

// A small animated file, field group by field group: a 4 x 3 screen, a first image of 3 x 2
// that claims to lie at (2, 1) and marks index 1 transparent, and a second image that would
// cover the whole screen in white.
struct GifFile {
    ByteSet signature{'G', 'I', 'F', '8', '9', 'a'};
    ByteSet screen{4,    0,  // width 4
                   3,    0,  // height 3
                   0x81,     // global table of 2^(1+1) = 4 entries
                   2,        // background index 2, blue
                   0};       // pixel proportions, unused
    ByteSet globalTable{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};  // red green blue white
    // A graphic control extension with one 4-byte sub-block.
    ByteSet extensions{0x21, 0xF9,  // extension, graphic control
                       4,           // sub-block of 4 bytes:
                       0x01,        //   transparent index present
                       10,   0,     //   delay
                       1,           //   transparent index 1
                       0};          // end of sub-blocks
    ByteSet descriptor{0x2C,        // image separator
                       2,    0,     // left 2 (not applied)
                       1,    0,     // top 1 (not applied)
                       3,    0,     // width 3
                       2,    0,     // height 2
                       0x00};       // no local table, not interlaced
    ByteSet localTable;
    ByteSet imageData = LzwWriter(2).clear().literals({0, 1, 3, 3, 1, 0}).end().imageData();
    ByteSet rest = ByteSet{0x2C, 0, 0, 0, 0, 4, 0, 3, 0, 0x00} +  // second image: 4 x 3, all white
                   LzwWriter(2).clear().literals(ByteSet(12, 3)).end().imageData() +
                   ByteSet{0x3B};  // trailer

    ByteSet bytes() const {
        return signature + screen + globalTable + extensions + descriptor + localTable + imageData +
               rest;
    }
};

// The 97 x 61 noise picture: indexes from the C library's classic rand() generator, and
// palette entry i = (i, 7i mod 256, 255 - i).
std::function<Colour(int, int)> noiseColours() {
    std::vector<Colour> colours;
    std::uint64_t s = 1;
    for (int i = 0; i < 97 * 61; ++i) {
        s = (s * 1103515245 + 12345) % (std::uint64_t{1} << 31);
        const auto index = static_cast<std::uint8_t>(s >> 16);
        colours.push_back(Colour{index, static_cast<std::uint8_t>(index * 7),
                                 static_cast<std::uint8_t>(255 - index)});
    }
    return [colours](int x, int y) { return colours[static_cast<std::size_t>(y * 97 + x)]; };
}

// Files written by Pillow and ImageMagick (tests/data/README.md): flat blocks that code into
// long repeated strings, and noise that fills the 12-bit string table, each in row order and
// interlaced.
TEST(GifTest, EncoderFilesDecodeToThePicturesTheyEncode) {
    struct Case {
        const char* file;
        int width;
        int height;
        std::function<Colour(int, int)> colourAt;
    };
    const Case cases[] = {
        {"gif-blocks.gif", 16, 16, blockColour},
        {"gif-blocks-interlaced.gif", 16, 16, blockColour},
        {"gif-noise.gif", 97, 61, noiseColours()},
        {"gif-noise-interlaced.gif", 97, 61, noiseColours()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const ByteSet bytes = readFixture(c.file);
        ASSERT_FALSE(bytes.empty());
        const auto picture = decode(bytes);
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        EXPECT_EQ(picture->kind, Kind::Gif);
        expectPixels(*raster, c.width, c.height, c.colourAt);
    }
}

// Pillow's two 8 x 8 frames: the first red on the left and transparent index 1 (green) on the
// right, the second all blue; with a looping application extension and graphic controls.
TEST(GifTest, AnimatedFileShowsItsFirstFrameWithTheTransparentIndexInItsColour) {
    const auto picture = decodeGif(readFixture("gif-animated.gif"));
    const Raster* raster = rasterOf(picture);
    ASSERT_NE(raster, nullptr);
    expectPixels(*raster, 8, 8, [](int x, int) { return x < 4 ? kRed : kGreen; });
}

TEST(GifTest, FirstImageSitsAtTheScreensTopLeftOnTheBackgroundColour) {
    const auto picture = decodeGif(GifFile{}.bytes());
    const Raster* raster = rasterOf(picture);
    ASSERT_NE(raster, nullptr);
    EXPECT_EQ(picture->kind, Kind::Gif);
    // Index 1 is the transparent one and shows green; the second image's white is nowhere.
    expectPixels(*raster, 4, 3,
                 {kRed, kGreen, kWhite, kBlue,  //
                  kWhite, kGreen, kRed, kBlue,  //
                  kBlue, kBlue, kBlue, kBlue});
}

TEST(GifTest, ImageColoursComeFromTheTableInUse) {
    const ByteSet localTable{255, 255, 0, 0, 255, 255, 255, 0, 255, 128, 128, 128};
    struct Case {
        const char* name;
        std::function<void(GifFile&)> change;
        std::vector<Colour> expected;
    };
    const Case cases[] = {
        {"a local table replaces the global one for the image",
         [&](GifFile& f) {
             f.descriptor.back() = 0x81;
             f.localTable = localTable;
         },
         {kYellow, kCyan, kGrey, kBlue, kGrey, kCyan, kYellow, kBlue, kBlue, kBlue, kBlue, kBlue}},
        {"with a local table only, the uncovered screen is black",
         [&](GifFile& f) {
             f.screen[4] = 0x00;
             f.globalTable.clear();
             f.descriptor.back() = 0x81;
             f.localTable = localTable;
         },
         {kYellow, kCyan, kGrey, kBlack, kGrey, kCyan, kYellow, kBlack, kBlack, kBlack, kBlack,
          kBlack}},
        {"with no table at all, everything is black",
         [](GifFile& f) {
             f.screen[4] = 0x00;
             f.globalTable.clear();
         },
         std::vector<Colour>(12, kBlack)},
        {"indexes past a 2-entry table, the background's included, are black",
         [](GifFile& f) {
             f.screen[4] = 0x80;
             f.globalTable.resize(6);
         },
         {kRed, kGreen, kBlack, kBlack, kBlack, kGreen, kRed, kBlack, kBlack, kBlack, kBlack,
          kBlack}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifFile file;
        c.change(file);
        const auto picture = decodeGif(file.bytes());
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        expectPixels(*raster, 4, 3, c.expected);
    }
}

TEST(GifTest, ImagePartsBeyondTheScreenAreClipped) {
    struct Case {
        const char* name;
        ByteSet size;  // width, height of the first image
        ByteSet indexes;
        std::vector<Colour> expected;
    };
    const Case cases[] = {
        {"wider and taller than the screen",
         {5, 0, 4, 0},
         {0, 1, 3, 0, 1,  //
          3, 0, 1, 3, 0,  //
          1, 3, 0, 1, 3,  //
          0, 0, 0, 0, 0},
         {kRed, kGreen, kWhite, kRed,    //
          kWhite, kRed, kGreen, kWhite,  //
          kGreen, kWhite, kRed, kGreen}},
        {"no columns at all", {0, 0, 2, 0}, {}, std::vector<Colour>(12, kBlue)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifFile file;
        std::copy(c.size.begin(), c.size.end(), file.descriptor.begin() + 5);
        file.imageData = LzwWriter(2).clear().literals(c.indexes).end().imageData();
        const auto picture = decodeGif(file.bytes());
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        expectPixels(*raster, 4, 3, c.expected);
    }
}

TEST(GifTest, InterlacedRowsArePlacedPassByPass) {
    // A 2 x 5 image: its rows come in the order 0, 4, 2, 1, 3 (passes 1 to 3; pass 4 starts at
    // row 1 and every 2nd row).
    GifFile file;
    file.screen[0] = 2;
    file.screen[2] = 5;
    file.descriptor = {0x2C, 0, 0, 0, 0, 2, 0, 5, 0, 0x40};
    file.imageData =
        LzwWriter(2).clear().literals({0, 0, 1, 1, 2, 2, 3, 3, 0, 1}).end().imageData();
    const auto picture = decodeGif(file.bytes());
    const Raster* raster = rasterOf(picture);
    ASSERT_NE(raster, nullptr);
    expectPixels(*raster, 2, 5,
                 {kRed, kRed,        // row 0, the 1st in the stream
                  kWhite, kWhite,    // row 1, the 4th
                  kBlue, kBlue,      // row 2, the 3rd
                  kRed, kGreen,      // row 3, the 5th
                  kGreen, kGreen});  // row 4, the 2nd
}

// An encoder may keep sending 12-bit codes once the string table is full and clear it only
// later; the decoder must neither grow the table nor widen the codes past 12 bits meanwhile.
TEST(GifTest, FullStringTableWaitsForTheEncodersClear) {
    constexpr int kWidth = 100;
    constexpr int kHeight = 50;
    ByteSet indexes;
    for (int i = 0; i < kWidth * kHeight; ++i) {
        indexes.push_back(static_cast<std::uint8_t>((i * 7 / 3 + i / 11) % 4));
    }
    // 4091 codes fill the table from entry 6 to 4095; 409 more come while it is full.
    const ByteSet full(indexes.begin(), indexes.begin() + 4500);
    const ByteSet afterClear(indexes.begin() + 4500, indexes.end());
    GifFile file;
    file.screen = {kWidth, 0, kHeight, 0, 0x81, 2, 0};
    file.descriptor = {0x2C, 0, 0, 0, 0, kWidth, 0, kHeight, 0, 0x00};
    file.imageData =
        LzwWriter(2).clear().literals(full).clear().literals(afterClear).end().imageData();
    const auto picture = decodeGif(file.bytes());
    const Raster* raster = rasterOf(picture);
    ASSERT_NE(raster, nullptr);
    const Colour table[4] = {kRed, kGreen, kBlue, kWhite};
    expectPixels(*raster, kWidth, kHeight,
                 [&](int x, int y) { return table[indexes[y * kWidth + x]]; });
}

// The 3 x 2 first image of GifFile with its data stopping after some pixels: those pixels stay,
// the rest of the screen shows the background.
TEST(GifTest, LzwDataThatStopEarlyKeepWhatWasDecoded) {
    const ByteSet pixels{0, 1, 3, 3, 1, 0};
    const ByteSet fourPixels = LzwWriter(2).clear().literals({0, 1, 3, 3}).packed();  // 2 bytes
    struct Case {
        const char* name;
        std::function<void(GifFile&)> change;
        std::size_t kept;
    };
    const Case cases[] = {
        {"an end code after four pixels",
         [](GifFile& f) {
             f.imageData = LzwWriter(2).clear().literals({0, 1, 3, 3}).end().imageData();
         },
         4},
        {"the sub-blocks end after four pixels",
         [&](GifFile& f) {
             f.imageData = ByteSet{2, 2} + fourPixels + ByteSet{0};
         },
         4},
        {"the file ends inside a sub-block",
         [&](GifFile& f) {
             f.imageData = ByteSet{2, 40} + fourPixels;
             f.rest.clear();
         },
         4},
        {"a code the string table does not hold yet",
         [](GifFile& f) {
             f.imageData = LzwWriter(2).clear().literals({0, 1, 3, 3}).code(15).end().imageData();
         },
         4},
        {"a first code that is no single index",
         [](GifFile& f) { f.imageData = LzwWriter(2).clear().code(6).end().imageData(); }, 0},
        {"the file ends right after the image descriptor",
         [](GifFile& f) {
             f.imageData.clear();
             f.rest.clear();
         },
         0},
    };
    const Colour table[4] = {kRed, kGreen, kBlue, kWhite};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifFile file;
        c.change(file);
        const auto picture = decodeGif(file.bytes());
        const Raster* raster = rasterOf(picture);
        ASSERT_NE(raster, nullptr);
        expectPixels(*raster, 4, 3, [&](int x, int y) {
            const auto i = static_cast<std::size_t>(y * 3 + x);
            return x < 3 && y < 2 && i < c.kept ? table[pixels[i]] : kBlue;
        });
    }
}

TEST(GifTest, BrokenFilesAreNoPicture) {
    struct Case {
        const char* name;
        std::function<ByteSet(GifFile&)> make;
    };
    const Case cases[] = {
        {"fewer than 14 bytes",
         [](GifFile& f) {
             ByteSet b = f.bytes();
             b.resize(13);
             return b;
         }},
        {"signature GIF88a",
         [](GifFile& f) {
             f.signature[4] = '8';
             return f.bytes();
         }},
        {"screen width 0",
         [](GifFile& f) {
             f.screen[0] = 0;
             return f.bytes();
         }},
        {"screen height 0",
         [](GifFile& f) {
             f.screen[2] = 0;
             return f.bytes();
         }},
        {"screen over the pixel cap",
         [](GifFile& f) {
             f.screen = {0xFF, 0xFF, 0xFF, 0xFF, 0x81, 2, 0};
             return f.bytes();
         }},
        {"global table past the data",
         [](GifFile& f) {
             f.screen[4] = 0x87;
             return f.bytes();
         }},
        {"global table ending at the end of the data",
         [](GifFile& f) { return f.signature + f.screen + f.globalTable; }},
        {"header and trailer only",
         [](GifFile& f) {
             f.screen[4] = 0x00;
             return f.signature + f.screen + ByteSet{0x3B};
         }},
        {"trailer before the image",
         [](GifFile& f) {
             f.extensions = f.extensions + ByteSet{0x3B};
             return f.bytes();
         }},
        {"zero byte before the image",
         [](GifFile& f) {
             f.extensions = f.extensions + ByteSet{0x00};
             return f.bytes();
         }},
        {"unknown block byte",
         [](GifFile& f) {
             f.descriptor[0] = 0x2D;
             return f.bytes();
         }},
        {"unknown extension label",
         [](GifFile& f) {
             f.extensions[1] = 0x02;
             return f.bytes();
         }},
        {"extension sub-blocks running past the data",
         [](GifFile& f) {
             f.extensions[2] = 200;
             return f.signature + f.screen + f.globalTable + f.extensions;
         }},
        {"image descriptor cut short",
         [](GifFile& f) {
             f.descriptor.resize(6);
             return f.signature + f.screen + f.globalTable + f.extensions + f.descriptor;
         }},
        {"local table past the data",
         [](GifFile& f) {
             f.descriptor.back() = 0x87;
             return f.bytes();
         }},
        {"minimum code size 1",
         [](GifFile& f) {
             f.imageData[0] = 1;
             return f.bytes();
         }},
        {"minimum code size 9",
         [](GifFile& f) {
             f.imageData[0] = 9;
             return f.bytes();
         }},
    };
    ASSERT_TRUE(decodeGif(GifFile{}.bytes()));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GifFile file;
        EXPECT_FALSE(decodeGif(c.make(file)));
    }
}

}  // namespace
}  // namespace qingxiu
