#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>
#include <vector>

#include "picture/raster.h"

namespace qingxiu {

// The seven kinds of picture, told apart by the first six bytes of a file (recognise()).
enum class Kind { Bmp, Jpeg, Ico, Cur, Gif, Pcx8, Pcx1 };

// A 1-bit PCX picture: every value is 0 or 1 and has no colour of its own; drawing colours it
// with the drawing context's text colour (0) and background colour (1).
struct TwoValuedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> values;  // width * height, top row first
    friend bool operator==(const TwoValuedImage&, const TwoValuedImage&) = default;
};

// The image of an icon or cursor: colours plus what shows of them. `transparent` is the AND
// mask, one byte per pixel, 1 where the canvas shows through. `alpha`, when not empty, is the
// per-pixel opacity (0..255) of images that carry it, and then decides instead of the mask.
struct IconImage {
    Raster colour;
    std::vector<std::uint8_t> transparent;
    std::vector<std::uint8_t> alpha;
    friend bool operator==(const IconImage&, const IconImage&) = default;
};

// A decoded picture. Palette kinds (BMP up to 8 bits, GIF, 8-bit PCX) have their indexes
// resolved to colours while decoding, so their content is a colour raster. The natural size is
// the size of the content.
struct Picture {
    Kind kind = Kind::Bmp;
    std::variant<Raster, TwoValuedImage, IconImage> content;

    int width() const;
    int height() const;
};

// The kind of picture the bytes start like, or none: fewer than 6 bytes, or a start of no kind.
std::optional<Kind> recognise(std::span<const std::uint8_t> bytes);

// Loading: recognise the bytes and decode them with the decoder of their kind. None when they
// are not a picture of a recognised kind or fail to decode.
std::optional<Picture> decode(std::span<const std::uint8_t> bytes);

}  // namespace qingxiu
