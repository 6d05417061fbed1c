#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture.h"

namespace qingxiu {

// Whether the bytes start with the PNG signature, as the images that icon files store
// compressed do.
bool startsLikePng(std::span<const std::uint8_t> bytes);

// A PNG image of an icon or cursor entry, at the size its header gives. Every colour type and
// depth comes out as 8-bit colour with its alpha (opaque where the image has none); pixels of
// alpha 0 are the transparent ones. None when libpng reports any error, the data end early, or
// the image is over the pixel cap.
std::optional<IconImage> decodePngImage(std::span<const std::uint8_t> png);

}  // namespace qingxiu
