#include "picture/canvas.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "tests/support/test_pictures.h"

namespace qingxiu {
namespace {

using namespace test;

constexpr Colour kFace{0xD4, 0xD0, 0xC8};
const Display kDeep{32, kFace};
const Display kShallow{16, kFace};

// Every pixel of the raster inside `where` is `inside`, every other one `outside`.
void expectRectangle(const Raster& raster, Rect where, Colour inside, Colour outside) {
    for (int y = 0; y < raster.height(); ++y) {
        for (int x = 0; x < raster.width(); ++x) {
            const bool in = x >= where.left && x < where.left + where.width && y >= where.top &&
                            y < where.top + where.height;
            ASSERT_EQ(raster.pixel(x, y), in ? inside : outside) << x << "," << y;
        }
    }
}

void expectUniform(const Raster& raster, Colour colour) {
    expectRectangle(raster, Rect{}, colour, colour);
}

Picture solid(int width, int height, Colour colour) {
    return Picture{Kind::Bmp, Raster(width, height, colour)};
}

std::uint32_t u32(const ByteSet& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
           static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

std::uint16_t u16(const ByteSet& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

TEST(CentredPlacement, CentresSmallPicturesAndShrinksLargeOnesInProportion) {
    struct Case {
        int width, height;
        Rect want;
    };
    const Case cases[] = {
        {40, 30, {22, 27, 40, 30}},  {32, 32, {26, 26, 32, 32}}, {100, 50, {0, 21, 84, 42}},
        {640, 480, {0, 10, 84, 63}}, {200, 200, {0, 0, 84, 84}}, {1000, 3, {0, 41, 84, 0}},
        {84, 84, {0, 0, 84, 84}},    {1, 1, {41, 41, 1, 1}},     {3, 1000, {41, 0, 0, 84}},
    };
    for (const Case& c : cases) {
        const Rect got = centredPlacement(84, 84, c.width, c.height);
        EXPECT_EQ(got, c.want) << c.width << "x" << c.height << " gave (" << got.left << ","
                               << got.top << ") " << got.width << "x" << got.height;
    }
}

TEST(Canvas, KeepsItsOwnCopyOfTheBackgroundPictureAndAsksForARepaint) {
    Canvas canvas(84, 84, kDeep, false);
    int repaints = 0;
    canvas.setRepaintRequest([&repaints] { ++repaints; });
    ByteSet bytes = test::makeBmp24(3, 2, kRed);
    const ByteSet original = bytes;
    canvas.setBackgroundPicture(bytes);
    EXPECT_EQ(repaints, 1);
    bytes[0] = 'X';
    ByteSet read = canvas.backgroundPicture();
    EXPECT_EQ(read, original);
    read.clear();
    EXPECT_EQ(canvas.backgroundPicture(), original);
    canvas.paint();
    EXPECT_EQ(canvas.backgroundPicture(), original) << "a picture that decodes stays";
}

TEST(Canvas, UndecodableBytesAreDroppedAtTheFirstPaintingOnly) {
    const ByteSet png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Canvas preview(84, 84, kDeep, false);
    preview.setBackgroundPicture(png);
    EXPECT_EQ(preview.backgroundPicture(), png) << "nothing painted yet";
    expectUniform(preview.paint(), kFace);
    EXPECT_TRUE(preview.backgroundPicture().empty());

    // A canvas with a persistent image paints at once when it is written.
    Canvas icon(16, 16, kDeep, true);
    icon.setBackgroundPicture(png);
    EXPECT_TRUE(icon.backgroundPicture().empty());
    expectUniform(icon.paint(), kFace);
}

TEST(Canvas, ShowsItsBackgroundPictureCentredOnTheBackgroundColour) {
    Canvas preview(84, 84, kDeep, false);
    expectUniform(preview.paint(), kFace);
    preview.setBackgroundPicture(test::makeBmp24(40, 30, kRed));
    expectRectangle(preview.paint(), Rect{22, 27, 40, 30}, kRed, kFace);
    {
        SCOPED_TRACE("painting again");
        expectRectangle(preview.paint(), Rect{22, 27, 40, 30}, kRed, kFace);
    }

    // A new write drops the picture decoded from the previous one.
    preview.setBackgroundPicture(test::makeBmp24(100, 50, kBlue));
    expectRectangle(preview.paint(), Rect{0, 21, 84, 42}, kBlue, kFace);

    preview.setBackgroundPicture({});
    expectUniform(preview.paint(), kFace);
}

TEST(Canvas, PersistentImageStartsBlankReceivesDrawingAndIsRebuiltOnWriteAndClear) {
    Canvas canvas(16, 16, kDeep, true);
    int repaints = 0;
    canvas.setRepaintRequest([&repaints] { ++repaints; });
    expectUniform(canvas.paint(), kFace);

    canvas.drawPicture(nullptr, Rect{0, 0, 16, 16});
    expectUniform(canvas.paint(), kFace);

    const Picture red = solid(2, 2, kRed);
    canvas.drawPicture(&red, Rect{4, 4, 8, 8});
    EXPECT_EQ(repaints, 1);
    expectRectangle(canvas.paint(), Rect{4, 4, 8, 8}, kRed, kFace);

    canvas.clear();
    EXPECT_EQ(repaints, 2);
    expectUniform(canvas.paint(), kFace);

    // Writing the background repaints the image from it: earlier drawing is lost, also when the
    // new background is empty; clearing brings the background picture back.
    canvas.setBackgroundPicture(test::makeBmp24(4, 2, kBlue));
    expectRectangle(canvas.paint(), Rect{6, 7, 4, 2}, kBlue, kFace);
    canvas.drawPicture(&red, Rect{0, 0, 16, 16});
    canvas.clear();
    expectRectangle(canvas.paint(), Rect{6, 7, 4, 2}, kBlue, kFace);
    canvas.drawPicture(&red, Rect{0, 0, 16, 16});
    canvas.setBackgroundPicture({});
    expectUniform(canvas.paint(), kFace);
    EXPECT_EQ(repaints, 7);
}

TEST(Canvas, TransparentIconPixelsKeepWhatTheImageHeld) {
    Canvas canvas(2, 1, kDeep, true);
    const Picture red = solid(1, 1, kRed);
    canvas.drawPicture(&red, Rect{0, 0, 1, 1});
    const Picture icon{Kind::Ico, IconImage{Raster(2, 1, kBlue), {1, 1}, {}}};
    canvas.drawPicture(&icon, Rect{0, 0, 2, 1});
    EXPECT_EQ(canvas.paint().pixel(0, 0), kRed);
    EXPECT_EQ(canvas.paint().pixel(1, 0), kFace);
}

TEST(Canvas, StretchesWithTheModeOfItsDisplay) {
    // Black and white side by side, shrunk to one pixel: the average, or one of the two.
    Raster halves(2, 1, Colour{0, 0, 0});
    halves.setPixel(1, 0, kWhite);
    const Picture picture{Kind::Bmp, std::move(halves)};
    Canvas deep(1, 1, kDeep, true);
    deep.drawPicture(&picture, Rect{0, 0, 1, 1});
    EXPECT_EQ(deep.paint().pixel(0, 0), (Colour{128, 128, 128}));
    Canvas shallow(1, 1, kShallow, true);
    shallow.drawPicture(&picture, Rect{0, 0, 1, 1});
    EXPECT_EQ(shallow.paint().pixel(0, 0), kWhite);
}

// An 8 x 1 version-3 1-bit PCX: four 0 pixels, then four 1 pixels.
ByteSet twoValuedPcx() {
    ByteSet pcx(128, 0);
    pcx[0] = 0x0A;  // manufacturer
    pcx[1] = 3;     // version
    pcx[2] = 1;     // run-length encoded
    pcx[3] = 1;     // bits per pixel
    pcx[8] = 7;     // x max (x min, y min and y max stay 0)
    pcx[65] = 1;    // planes
    pcx[66] = 2;    // bytes per line
    // The one row, both bytes below the run marker and so standing for themselves.
    pcx.push_back(0x0F);
    pcx.push_back(0x00);
    return pcx;
}

TEST(Canvas, TwoValuedPicturesShowBlackAndWhiteAsBackgroundAndCanvasColoursWhenDrawn) {
    const ByteSet pcx = twoValuedPcx();
    Canvas preview(84, 84, kDeep, false);
    preview.setBackgroundPicture(pcx);
    const Raster& shown = preview.paint();
    for (int x = 0; x < 84; ++x) {
        const Colour want = x >= 38 && x < 42   ? Colour{0, 0, 0}
                            : x >= 42 && x < 46 ? kWhite
                                                : kFace;
        ASSERT_EQ(shown.pixel(x, 41), want) << x;
    }

    // Drawn, the canvas's fill colour takes the 0 pixels and its background colour the 1 pixels.
    const std::optional<Picture> picture = decode(pcx);
    ASSERT_TRUE(picture);
    Canvas icon(2, 1, kDeep, true);
    icon.drawPicture(&*picture, Rect{0, 0, 2, 1});
    EXPECT_EQ(icon.paint().pixel(0, 0), kWhite);
    EXPECT_EQ(icon.paint().pixel(1, 0), kFace);
}

TEST(Canvas, AnIconBackgroundShowsTheBackgroundColourThroughItsTransparentPixels) {
    Canvas preview(84, 84, kDeep, false);
    preview.setBackgroundPicture(test::makeIco24(
        2, 2, [](int, int) { return kRed; }, [](int x, int y) { return x == 0 && y == 0; }));
    const Raster shown = preview.paint();  // a copy, to compare with the next painting
    EXPECT_EQ(shown.pixel(41, 41), kFace);
    EXPECT_EQ(shown.pixel(42, 41), kRed);
    EXPECT_EQ(shown.pixel(41, 42), kRed);
    EXPECT_EQ(shown.pixel(42, 42), kRed);
    EXPECT_EQ(preview.paint(), shown) << "painting again gives the same image";
}

TEST(Canvas, CaptureIsABottomUpTwentyFourBitBmpOfTheImage) {
    struct Case {
        int width, height;
        std::size_t rowLength, size;
    };
    const Case cases[] = {{16, 16, 48, 822}, {32, 32, 96, 3126}, {5, 3, 16, 102}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        Canvas canvas(c.width, c.height, kDeep, true);
        Raster pattern(c.width, c.height);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                pattern.setPixel(x, y,
                                 Colour{static_cast<std::uint8_t>(x * 7 + 1),
                                        static_cast<std::uint8_t>(y * 5 + 2),
                                        static_cast<std::uint8_t>(x + y + 3)});
            }
        }
        const Picture picture{Kind::Bmp, pattern};
        canvas.drawPicture(&picture, Rect{0, 0, c.width, c.height});
        const ByteSet bmp = canvas.capture();
        ASSERT_EQ(bmp.size(), c.size);
        // File header.
        EXPECT_EQ(bmp[0], 0x42);
        EXPECT_EQ(bmp[1], 0x4D);
        EXPECT_EQ(u32(bmp, 2), c.size);
        EXPECT_EQ(u16(bmp, 6), 0);
        EXPECT_EQ(u16(bmp, 8), 0);
        EXPECT_EQ(u32(bmp, 10), 54u);
        // Information header.
        EXPECT_EQ(u32(bmp, 14), 40u);
        EXPECT_EQ(u32(bmp, 18), static_cast<std::uint32_t>(c.width));
        EXPECT_EQ(u32(bmp, 22), static_cast<std::uint32_t>(c.height));
        EXPECT_EQ(u16(bmp, 26), 1);
        EXPECT_EQ(u16(bmp, 28), 24);
        EXPECT_EQ(u32(bmp, 30), 0u);
        EXPECT_EQ(u32(bmp, 34), c.size - 54);
        for (std::size_t at = 38; at < 54; at += 4) {
            EXPECT_EQ(u32(bmp, at), 0u) << "offset " << at;
        }
        // Rows bottom first, blue, green, red, zero padding.
        for (int y = 0; y < c.height; ++y) {
            const std::size_t row = 54 + static_cast<std::size_t>(c.height - 1 - y) * c.rowLength;
            for (int x = 0; x < c.width; ++x) {
                const std::size_t at = row + static_cast<std::size_t>(x) * 3;
                const Colour want = pattern.pixel(x, y);
                ASSERT_EQ((Colour{bmp[at + 2], bmp[at + 1], bmp[at]}), want) << x << "," << y;
            }
            for (std::size_t at = row + static_cast<std::size_t>(c.width) * 3;
                 at < row + c.rowLength; ++at) {
                EXPECT_EQ(bmp[at], 0) << "padding of row " << y;
            }
        }
    }
}

TEST(Canvas, CaptureWithoutPersistentImageReadsWhatTheWindowShows) {
    Canvas preview(84, 84, kDeep, false);
    preview.setBackgroundPicture(test::makeBmp24(40, 30, kRed));
    const ByteSet bmp = preview.capture();
    ASSERT_EQ(bmp.size(), 54u + 84 * 84 * 3);
    // Pixel (22, 27), the picture's top-left corner, lies in stored row 84 - 1 - 27.
    const std::size_t corner = 54 + (84 - 1 - 27) * 84 * 3 + 22 * 3;
    EXPECT_EQ((Colour{bmp[corner + 2], bmp[corner + 1], bmp[corner]}), kRed);
    EXPECT_EQ((Colour{bmp[corner - 1], bmp[corner - 2], bmp[corner - 3]}), kFace);
}

}  // namespace
}  // namespace qingxiu
