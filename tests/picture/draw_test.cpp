#include "picture/draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qingxiu {
namespace {

constexpr Colour kSentinel{1, 2, 3};  // the target's colour before drawing; no source uses it
constexpr StretchMode kModes[] = {StretchMode::Halftone, StretchMode::ColorOnColor};

std::string nameOf(StretchMode mode) {
    return mode == StretchMode::Halftone ? "Halftone" : "ColorOnColor";
}

// Every pixel a different colour, none of them the sentinel.
Colour distinct(int x, int y) {
    return Colour{static_cast<std::uint8_t>(10 + 20 * x), static_cast<std::uint8_t>(15 + 20 * y),
                  static_cast<std::uint8_t>(200 - 7 * x - 3 * y)};
}

Raster pattern(int width, int height) {
    Raster raster(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            raster.setPixel(x, y, distinct(x, y));
        }
    }
    return raster;
}

Picture rasterPicture(Raster raster) {
    return Picture{Kind::Bmp, std::move(raster)};
}

Raster drawn(const Picture& picture, int width, int height, Rect where, StretchMode mode) {
    Raster target(width, height, kSentinel);
    draw(target, picture, where, DrawContext{mode});
    return target;
}

TEST(Draw, UniformStaysExactlyUniformShrinkingAndEnlarging) {
    struct Case {
        int sourceWidth, sourceHeight, width, height;
    };
    const Case cases[] = {{5, 5, 2, 2}, {5, 5, 3, 7}, {7, 3, 2, 2},     {2, 2, 5, 5},
                          {3, 1, 7, 4}, {1, 1, 9, 9}, {100, 50, 16, 16}};
    const Colour colour{37, 201, 90};
    for (const Case& c : cases) {
        for (const StretchMode mode : kModes) {
            SCOPED_TRACE(nameOf(mode) + " " + std::to_string(c.sourceWidth) + "x" +
                         std::to_string(c.sourceHeight) + " into " + std::to_string(c.width) + "x" +
                         std::to_string(c.height));
            const Picture picture = rasterPicture(Raster(c.sourceWidth, c.sourceHeight, colour));
            // Drawn one pixel in from the corner: the border around the rectangle stays as it was.
            const Raster target =
                drawn(picture, c.width + 2, c.height + 2, Rect{1, 1, c.width, c.height}, mode);
            for (int y = 0; y < target.height(); ++y) {
                for (int x = 0; x < target.width(); ++x) {
                    const bool inside = x >= 1 && x <= c.width && y >= 1 && y <= c.height;
                    ASSERT_EQ(target.pixel(x, y), inside ? colour : kSentinel) << x << "," << y;
                }
            }
        }
    }
}

TEST(Draw, HalftoneShrinkingByTwoAveragesEachBlockRoundingHalvesUp) {
    // Four 2 x 2 blocks of red values v, with green 255 - v and blue v / 2 so that a mix-up of
    // the channels shows. Red means: 0.5, 25.25, 254.75, 1.5; green: 254.5, 229.75, 0.25, 253.5;
    // blue: 0, 12.5, 127, 0.5.
    const std::uint8_t blocks[4][4] = {
        {0, 0, 1, 1}, {10, 20, 30, 41}, {254, 255, 255, 255}, {1, 1, 2, 2}};
    const Colour expected[4] = {{1, 255, 0}, {25, 230, 13}, {255, 0, 127}, {2, 254, 1}};
    Raster source(4, 4);
    for (int block = 0; block < 4; ++block) {
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t v = blocks[block][i];
            source.setPixel(
                (block % 2) * 2 + i % 2, (block / 2) * 2 + i / 2,
                Colour{v, static_cast<std::uint8_t>(255 - v), static_cast<std::uint8_t>(v / 2)});
        }
    }
    const Raster target =
        drawn(rasterPicture(source), 2, 2, Rect{0, 0, 2, 2}, StretchMode::Halftone);
    for (int block = 0; block < 4; ++block) {
        EXPECT_EQ(target.pixel(block % 2, block / 2), expected[block]) << "block " << block;
    }
}

TEST(Draw, HalftoneWeighsPartlyCoveredSourcePixelsByTheirShare) {
    // Three pixels 0, 90, 255 into two: the left target pixel covers pixel 0 whole and half of
    // pixel 1, so it is (2 * 0 + 1 * 90) / 3 = 30; the right one (1 * 90 + 2 * 255) / 3 = 200.
    Raster source(3, 1);
    source.setPixel(0, 0, Colour{0, 0, 0});
    source.setPixel(1, 0, Colour{90, 90, 90});
    source.setPixel(2, 0, Colour{255, 255, 255});
    const Raster target =
        drawn(rasterPicture(source), 2, 1, Rect{0, 0, 2, 1}, StretchMode::Halftone);
    EXPECT_EQ(target.pixel(0, 0), (Colour{30, 30, 30}));
    EXPECT_EQ(target.pixel(1, 0), (Colour{200, 200, 200}));
}

TEST(Draw, EveryPixelOfTheRectangleIsFilledWhateverTheAspectRatio) {
    struct Case {
        int sourceWidth, sourceHeight;
    };
    for (const Case c : {Case{8, 8}, Case{100, 50}, Case{3, 11}}) {
        for (const StretchMode mode : kModes) {
            SCOPED_TRACE(nameOf(mode) + " " + std::to_string(c.sourceWidth) + "x" +
                         std::to_string(c.sourceHeight));
            const Raster target = drawn(rasterPicture(pattern(c.sourceWidth, c.sourceHeight)), 16,
                                        16, Rect{0, 0, 16, 16}, mode);
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    ASSERT_NE(target.pixel(x, y), kSentinel) << x << "," << y;
                }
            }
        }
    }
}

TEST(Draw, ColorOnColorTakesTheSourcePixelUnderEachCentre) {
    const Raster source = pattern(5, 5);
    // Enlarging by two repeats every pixel in a 2 x 2 block.
    const Raster doubled =
        drawn(rasterPicture(source), 10, 10, Rect{0, 0, 10, 10}, StretchMode::ColorOnColor);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(doubled.pixel(x, y), source.pixel(x / 2, y / 2)) << x << "," << y;
        }
    }
    // Shrinking 5 to 3: the centres 5/6, 15/6 and 25/6 fall on source pixels 0, 2 and 4, so
    // the corners survive and only source colours appear.
    const Raster shrunk =
        drawn(rasterPicture(source), 3, 3, Rect{0, 0, 3, 3}, StretchMode::ColorOnColor);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(shrunk.pixel(x, y), source.pixel(2 * x, 2 * y)) << x << "," << y;
        }
    }
}

TEST(Draw, ClippingShowsExactlyThePartThatIsOnTheTarget) {
    const Picture picture = rasterPicture(pattern(5, 4));
    for (const StretchMode mode : kModes) {
        SCOPED_TRACE(nameOf(mode));
        // The whole 7 x 6 rectangle drawn at (5, 5) on a large target is the reference.
        const Raster whole = drawn(picture, 20, 20, Rect{5, 5, 7, 6}, mode);
        // The same rectangle at (-2, -3) on a 4 x 4 target shows its columns 2..5, rows 3..5.
        const Raster clipped = drawn(picture, 4, 4, Rect{-2, -3, 7, 6}, mode);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const Colour want = y + 3 < 6 ? whole.pixel(x + 2 + 5, y + 3 + 5) : kSentinel;
                EXPECT_EQ(clipped.pixel(x, y), want) << x << "," << y;
            }
        }
    }
}

TEST(Draw, EmptyOrOffTargetRectanglesDrawNothing) {
    const Picture picture = rasterPicture(pattern(3, 3));
    const Rect rects[] = {{0, 0, 0, 5},  {0, 0, 5, 0},   {0, 0, -3, 4},
                          {4, 0, 3, 3},  {0, 4, 3, 3},   {-3, 0, 3, 3},
                          {0, -3, 3, 3}, {-9, -9, 2, 2}, {2147483000, 0, 647, 4}};
    const Raster untouched(4, 4, kSentinel);
    for (const Rect& where : rects) {
        for (const StretchMode mode : kModes) {
            EXPECT_EQ(drawn(picture, 4, 4, where, mode), untouched)
                << nameOf(mode) << " at " << where.left << "," << where.top << " " << where.width
                << "x" << where.height;
        }
    }
}

TEST(Draw, APictureWhosePartsDisagreeInSizeDrawsNothing) {
    const Raster untouched(4, 4, kSentinel);
    const Picture shortValues{Kind::Pcx1, TwoValuedImage{2, 2, {0, 1, 0}}};
    const Picture shortMask{Kind::Ico, IconImage{Raster(2, 2), {0, 0}, {}}};
    const Picture noContent{Kind::Bmp, Raster{}};
    for (const Picture* picture : {&shortValues, &shortMask, &noContent}) {
        EXPECT_EQ(drawn(*picture, 4, 4, Rect{0, 0, 4, 4}, StretchMode::Halftone), untouched);
    }
}

// A 2 x 2 icon: red and green opaque on top, a blue pixel under a set mask bit and white
// opaque below.
Picture maskedIcon() {
    Raster colour(2, 2);
    colour.setPixel(0, 0, Colour{255, 0, 0});
    colour.setPixel(1, 0, Colour{0, 255, 0});
    colour.setPixel(0, 1, Colour{0, 0, 255});
    colour.setPixel(1, 1, Colour{255, 255, 255});
    return Picture{Kind::Ico, IconImage{std::move(colour), {0, 0, 1, 0}, {}}};
}

TEST(Draw, IconMaskKeepsTheTargetUnderTransparentPixelsAndReplacesOpaqueOnes) {
    const Picture icon = maskedIcon();
    const auto& colour = std::get<IconImage>(icon.content).colour;
    for (const StretchMode mode : kModes) {
        SCOPED_TRACE(nameOf(mode));
        const Raster target = drawn(icon, 2, 2, Rect{0, 0, 2, 2}, mode);
        EXPECT_EQ(target.pixel(0, 0), colour.pixel(0, 0));
        EXPECT_EQ(target.pixel(1, 0), colour.pixel(1, 0));
        EXPECT_EQ(target.pixel(0, 1), kSentinel) << "the colour under a set mask bit never shows";
        EXPECT_EQ(target.pixel(1, 1), colour.pixel(1, 1));
        // Enlarged, each pixel becomes a 2 x 2 block with the same rule.
        const Raster enlarged = drawn(icon, 4, 4, Rect{0, 0, 4, 4}, mode);
        EXPECT_EQ(enlarged.pixel(0, 3), kSentinel);
        EXPECT_EQ(enlarged.pixel(3, 3), colour.pixel(1, 1));
    }
}

TEST(Draw, ShrunkIconsAverageOnlyWhatShowsAndLetTheRestThrough) {
    // Three opaque blue pixels and one transparent red one, shrunk to a single pixel over blue:
    // the red under the mask must not bleed in, so the result is exactly blue.
    const Colour blue{0, 0, 255};
    Raster colour(2, 2, blue);
    colour.setPixel(1, 1, Colour{255, 0, 0});
    const Picture icon{Kind::Ico, IconImage{std::move(colour), {0, 0, 0, 1}, {}}};
    Raster overBlue(1, 1, blue);
    draw(overBlue, icon, Rect{0, 0, 1, 1}, DrawContext{StretchMode::Halftone});
    EXPECT_EQ(overBlue.pixel(0, 0), blue);
    // Over black the quarter that shows through is black: 3/4 of 255 is 191.25.
    Raster overBlack(1, 1, Colour{0, 0, 0});
    draw(overBlack, icon, Rect{0, 0, 1, 1}, DrawContext{StretchMode::Halftone});
    EXPECT_EQ(overBlack.pixel(0, 0), (Colour{0, 0, 191}));
}

TEST(Draw, ColumnSumsOfVeryTallIconsDoNotOverflow) {
    // 70000 rows of opacity-weighted samples sum past 32 bits in one column.
    const int height = 70000;
    const Colour colour{250, 251, 252};
    const Picture icon{Kind::Ico,
                       IconImage{Raster(1, height, colour),
                                 std::vector<std::uint8_t>(static_cast<std::size_t>(height), 0),
                                 {}}};
    Raster target(2, 3, kSentinel);
    draw(target, icon, Rect{0, 0, 2, 3}, DrawContext{StretchMode::Halftone});
    EXPECT_EQ(target, Raster(2, 3, colour));
}

TEST(Draw, IconAlphaDecidesInsteadOfTheMaskAndBlends) {
    const Colour target{0, 100, 200};
    const Colour colour{255, 255, 0};
    struct Case {
        std::uint8_t alpha;
        std::uint8_t mask;  // ignored whenever alpha is there
        Colour want;
    };
    const Case cases[] = {
        {0, 0, target},
        {255, 1, colour},
        // Half and half: (255 * 128 + 0 * 127) / 255 = 128.0, (255 * 128 + 100 * 127) / 255 =
        // 177.8 and (0 * 128 + 200 * 127) / 255 = 99.6, each rounded to nearest.
        {128, 0, Colour{128, 178, 100}},
    };
    for (const Case& c : cases) {
        for (const StretchMode mode : kModes) {
            const Picture icon{Kind::Ico, IconImage{Raster(1, 1, colour), {c.mask}, {c.alpha}}};
            Raster raster(1, 1, target);
            draw(raster, icon, Rect{0, 0, 1, 1}, DrawContext{mode});
            EXPECT_EQ(raster.pixel(0, 0), c.want) << nameOf(mode) << " alpha " << int{c.alpha};
        }
    }
}

TEST(Draw, TwoValuedPicturesTakeTheContextsTextAndBackgroundColours) {
    const Colour text{200, 0, 0};
    const Colour background{0, 0, 100};
    const Picture picture{Kind::Pcx1, TwoValuedImage{2, 2, {0, 1, 1, 0}}};
    for (const StretchMode mode : kModes) {
        Raster target(2, 2, kSentinel);
        draw(target, picture, Rect{0, 0, 2, 2}, DrawContext{mode, text, background});
        EXPECT_EQ(target.pixel(0, 0), text) << nameOf(mode);
        EXPECT_EQ(target.pixel(1, 0), background) << nameOf(mode);
        EXPECT_EQ(target.pixel(0, 1), background) << nameOf(mode);
        EXPECT_EQ(target.pixel(1, 1), text) << nameOf(mode);
    }
    // Stretched, they are coloured first and then averaged like any colour.
    Raster one(1, 1, kSentinel);
    draw(one, Picture{Kind::Pcx1, TwoValuedImage{2, 1, {0, 1}}}, Rect{0, 0, 1, 1},
         DrawContext{StretchMode::Halftone, text, background});
    EXPECT_EQ(one.pixel(0, 0), (Colour{100, 0, 50}));
}

TEST(Draw, TheStretchModeFollowsTheDisplaysDepth) {
    struct Case {
        int depth;
        StretchMode mode;
    };
    const Case cases[] = {{0, StretchMode::ColorOnColor},
                          {8, StretchMode::ColorOnColor},
                          {16, StretchMode::ColorOnColor},
                          {24, StretchMode::Halftone},
                          {32, StretchMode::Halftone}};
    for (const Case& c : cases) {
        EXPECT_EQ(stretchModeFor(Display{c.depth}), c.mode) << c.depth << " bits";
    }
}

}  // namespace
}  // namespace qingxiu
