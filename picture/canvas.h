#pragma once

#include <functional>
#include <optional>

#include "base/byte_set.h"
#include "picture/draw.h"
#include "picture/picture.h"
#include "picture/raster.h"

namespace qingxiu {

// A drawing surface with the settings of the window's canvases: a size, a background colour
// (the button face), a fill colour (white), a background picture shown centred, and optionally
// a persistent image that receives all drawing and is what a capture reads.
class Canvas {
public:
    Canvas(int width, int height, const Display& display, bool persistentImage);

    int width() const { return width_; }
    int height() const { return height_; }
    bool hasPersistentImage() const { return persistent_.has_value(); }

    // Called whenever what the canvas shows has changed and its window should repaint.
    void setRepaintRequest(std::function<void()> request) { repaint_ = std::move(request); }

    // Writing keeps a copy of the bytes and forgets the cached decode; a canvas with a persistent
    // image rebuilds it at once from the new background.
    void setBackgroundPicture(const ByteSet& bytes);
    // A copy of the bytes as they stand: empty after a decode of them has failed.
    ByteSet backgroundPicture() const { return background_; }

    // The image the canvas's window shows: its persistent image, or else its background painted
    // anew (decoding the background picture on first need, and dropping it when that fails).
    const Raster& paint();

    // The picture stretched into the rectangle, onto the persistent image when there is one.
    // No picture draws nothing.
    void drawPicture(const Picture* picture, Rect where);

    // Everything drawn is discarded: the persistent image is refilled with the background.
    void clear();

    // The canvas's image as a 24-bit bottom-up BMP file at its own size.
    ByteSet capture();

private:
    void paintBackground(Raster& into);
    void requestRepaint();

    int width_;
    int height_;
    Display display_;
    Colour fillColour_{0xFF, 0xFF, 0xFF};
    ByteSet background_;
    std::optional<Picture> cached_;
    std::optional<Raster> persistent_;
    Raster window_;
    std::function<void()> repaint_;
};

// Where the centred mode puts a picture of the natural size inside a client area: centred,
// shrunk in proportion when larger, never enlarged.
Rect centredPlacement(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight);

}  // namespace qingxiu
