#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture.h"

namespace qingxiu {

// The bitmap of one icon or cursor image, as the directory entry's bytes hold it: an information
// header (the same sizes a BMP file may carry) whose height counts the colour rows and the mask
// rows together, the colour table, the colour bitmap and the 1-bit AND mask, both bottom row
// first with rows padded to 4 bytes. Accepts 1, 4, 8, 16 (5-5-5), 24 and 32 bits per pixel,
// uncompressed. A 32-bit image whose fourth bytes are not all zero keeps them as its alpha; one
// whose fourth bytes are all zero is drawn by its mask alone. None when the bytes cannot be made
// into an icon image.
std::optional<IconImage> decodeIconBitmap(std::span<const std::uint8_t> dib);

}  // namespace qingxiu
