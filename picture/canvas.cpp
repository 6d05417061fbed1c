#include "picture/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>

namespace qingxiu {
namespace {

// A raster of the canvas's client size in the background colour, or an empty one when that size
// cannot be had: the canvas then shows nothing and captures a bitmap of no pixels rather than
// failing.
Raster blankRaster(int width, int height, Colour background) {
    return Raster::make(width, height, background).value_or(Raster{});
}

void put16(ByteSet& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void put32(ByteSet& out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

constexpr std::size_t kFileHeaderLength = 14;
constexpr std::size_t kInfoHeaderLength = 40;
constexpr std::size_t kCaptureHeaderLength = kFileHeaderLength + kInfoHeaderLength;
static_assert(kCaptureHeaderLength == 54);

}  // namespace

Canvas::Canvas(int width, int height, const Display& display, bool persistentImage)
    : width_(width), height_(height), display_(display) {
    if (persistentImage) {
        persistent_ = blankRaster(width_, height_, display_.buttonFace);
    } else {
        window_ = blankRaster(width_, height_, display_.buttonFace);
    }
}

void Canvas::setBackgroundPicture(const ByteSet& bytes) {
    background_ = bytes;
    cached_.reset();
    if (persistent_) {
        paintBackground(*persistent_);
    }
    requestRepaint();
}

const Raster& Canvas::paint() {
    if (persistent_) {
        return *persistent_;
    }
    paintBackground(window_);
    return window_;
}

// A canvas without a persistent image keeps a drawing only on its window raster, and only until
// its next painting, as a window does.
void Canvas::drawPicture(const Picture* picture, Rect where) {
    if (picture == nullptr) {
        return;
    }
    // The canvas's own colours for two-valued pictures: 0 pixels the fill colour, 1 pixels the
    // background colour.
    const DrawContext context{stretchModeFor(display_), fillColour_, display_.buttonFace};
    draw(persistent_ ? *persistent_ : window_, *picture, where, context);
    requestRepaint();
}

void Canvas::clear() {
    if (persistent_) {
        paintBackground(*persistent_);
    }
    requestRepaint();
}

ByteSet Canvas::capture() {
    const Raster& image = paint();
    const auto width = static_cast<std::size_t>(image.width());
    const auto height = static_cast<std::size_t>(image.height());
    const std::size_t rowLength = (width * 3 + 3) / 4 * 4;
    const std::size_t pixelBytes = rowLength * height;
    ByteSet out;
    try {
        out.assign(kCaptureHeaderLength + pixelBytes, 0);
    } catch (const std::bad_alloc&) {
        return {};
    }
    // File header: signature, file size, two reserved words, offset of the pixel rows.
    out[0] = 0x42;
    out[1] = 0x4D;
    put32(out, 2, static_cast<std::uint32_t>(kCaptureHeaderLength + pixelBytes));
    put32(out, 10, static_cast<std::uint32_t>(kCaptureHeaderLength));
    // Information header: its size, width, height (positive: bottom row first), one plane,
    // 24 bits a pixel, uncompressed, the size of the pixel rows; resolution and palette counts
    // stay 0.
    put32(out, 14, static_cast<std::uint32_t>(kInfoHeaderLength));
    put32(out, 18, static_cast<std::uint32_t>(width));
    put32(out, 22, static_cast<std::uint32_t>(height));
    put16(out, 26, 1);
    put16(out, 28, 24);
    put32(out, 34, static_cast<std::uint32_t>(pixelBytes));
    // Rows bottom first; a raster row is already blue, green, red, so each is one copy, and the
    // padding up to a multiple of four stays zero.
    for (std::size_t i = 0; i < height; ++i) {
        const std::uint8_t* row = image.row(static_cast<int>(height - 1 - i));
        std::copy(row, row + width * 3,
                  out.begin() + static_cast<std::ptrdiff_t>(kCaptureHeaderLength + i * rowLength));
    }
    return out;
}

// Every painting of the background starts from a clean area of the background colour, as a newly
// made bitmap or a freshly erased window does, and the picture is drawn over it. So the part of
// the area outside the picture's rectangle is the background colour, what an icon leaves
// transparent shows the background colour too, and painting again gives the same image (drawing
// over the previous painting would darken half-transparent icon pixels a little more each time).
// The decoded picture is kept until the next write, and bytes that fail to decode are dropped,
// so the same bytes are never decoded twice.
void Canvas::paintBackground(Raster& into) {
    into.fill(display_.buttonFace);
    if (background_.empty()) {
        return;
    }
    if (!cached_) {
        cached_ = decode(background_);
        if (!cached_) {
            background_ = ByteSet{};
            return;
        }
    }
    // The default drawing colours, not the canvas's: a two-valued picture shows 0 black, 1 white.
    const DrawContext context{stretchModeFor(display_), Colour{0, 0, 0}, Colour{0xFF, 0xFF, 0xFF}};
    const Rect where =
        centredPlacement(into.width(), into.height(), cached_->width(), cached_->height());
    draw(into, *cached_, where, context);
}

void Canvas::requestRepaint() {
    if (repaint_) {
        repaint_();
    }
}

Rect centredPlacement(int clientWidth, int clientHeight, int pictureWidth, int pictureHeight) {
    // Decoded pictures have at least one pixel each way; anything less has no place.
    if (pictureWidth <= 0 || pictureHeight <= 0) {
        return Rect{};
    }
    int x = 0;
    int y = 0;
    int availableWidth = clientWidth;
    int availableHeight = clientHeight;
    if (pictureWidth <= availableWidth) {
        x += (availableWidth - pictureWidth) / 2;
        availableWidth = pictureWidth;
    }
    if (pictureHeight <= availableHeight) {
        y += (availableHeight - pictureHeight) / 2;
        availableHeight = pictureHeight;
    }
    if (pictureWidth > availableWidth || pictureHeight > availableHeight) {
        const double t =
            std::min(static_cast<double>(availableWidth) / static_cast<double>(pictureWidth),
                     static_cast<double>(availableHeight) / static_cast<double>(pictureHeight));
        const auto width = static_cast<int>(std::trunc(pictureWidth * t));
        const auto height = static_cast<int>(std::trunc(pictureHeight * t));
        x += (availableWidth - width) / 2;
        y += (availableHeight - height) / 2;
        return Rect{x, y, width, height};
    }
    return Rect{x, y, pictureWidth, pictureHeight};
}

}  // namespace qingxiu
