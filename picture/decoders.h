#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "picture/picture.h"

namespace qingxiu {

// One pure function per kind, from the whole file's bytes to a picture or none. Each treats every
// byte as hostile: it reads through ByteReader, checks size arithmetic before it allocates,
// refuses pictures over kMaxPixels, never reads past the data nor writes past a row, and never
// throws, aborts or prints on bad input.

std::optional<Picture> decodeBmp(std::span<const std::uint8_t> bytes);
std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> bytes);
std::optional<Picture> decodeIco(std::span<const std::uint8_t> bytes);  // ICO and CUR alike
std::optional<Picture> decodeGif(std::span<const std::uint8_t> bytes);
std::optional<Picture> decodePcx(std::span<const std::uint8_t> bytes);  // 8-bit and 1-bit

}  // namespace qingxiu
