#pragma once

#include "picture/picture.h"
#include "picture/raster.h"

namespace qingxiu {

// How a picture is resampled when it is stretched into a rectangle of another size.
enum class StretchMode {
    // Each target pixel is the mean of the source pixels under it, weighted by how much of each
    // lies inside it (shrinking and enlarging alike).
    Halftone,
    // Each target pixel takes the one source pixel under its centre.
    ColorOnColor,
};

// What the display tells the picture layer. app/ fills it in from the screen and the palette.
struct Display {
    int colourDepth = 0;  // bits per pixel of the display; 0 when it cannot be read
    Colour buttonFace{0xF0, 0xF0, 0xF0};
};

// The stretch mode chosen before every drawing: Halftone on displays of more than 16 bits per
// pixel, ColorOnColor on 16 or fewer, or when the depth is unknown.
StretchMode stretchModeFor(const Display& display);

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct DrawContext {
    StretchMode mode = StretchMode::ColorOnColor;
    Colour text{0, 0, 0};                 // colours the 0 pixels of a two-valued picture
    Colour background{0xFF, 0xFF, 0xFF};  // colours its 1 pixels
};

// The whole picture stretched into exactly `where` on the target, clipped to the target. Icon
// pictures go through their mask (or alpha): transparent pixels leave the target as it was. An
// empty or off-target rectangle draws nothing.
void draw(Raster& target, const Picture& picture, Rect where, const DrawContext& context);

}  // namespace qingxiu
