#pragma once

// Small picture files written in the tests themselves, so that a test says what its picture is,
// and what the tests share to write, patch, read and look into picture files.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/byte_set.h"
#include "picture/picture.h"
#include "picture/raster.h"

namespace qingxiu::test {

inline constexpr Colour kBlack{0, 0, 0};
inline constexpr Colour kWhite{255, 255, 255};
inline constexpr Colour kRed{255, 0, 0};
inline constexpr Colour kGreen{0, 255, 0};
inline constexpr Colour kBlue{0, 0, 255};
inline constexpr Colour kGrey{128, 128, 128};

// Little-endian values appended to the bytes.
inline void put16(ByteSet& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

inline void put32(ByteSet& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Little-endian values written over the bytes from `at` on, which must lie inside them.
inline void patch16(ByteSet& bytes, std::size_t at, std::uint16_t v) {
    bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void patch32(ByteSet& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// The whole file, or no bytes when it cannot be read.
inline ByteSet readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return ByteSet{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A file of tests/data.
inline ByteSet readFixture(const std::string& name) {
    return readFile(std::filesystem::path(QINGXIU_TEST_DATA_DIR) / name);
}

// The colour content of a decoded picture; null when there is no picture or it holds other
// content.
inline const Raster* rasterOf(const std::optional<Picture>& picture) {
    return picture ? std::get_if<Raster>(&picture->content) : nullptr;
}

// A raster of the given rows, top row first.
inline Raster rasterOf(const std::vector<std::vector<Colour>>& rows) {
    Raster r(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        for (std::size_t x = 0; x < rows[y].size(); ++x) {
            r.setPixel(static_cast<int>(x), static_cast<int>(y), rows[y][x]);
        }
    }
    return r;
}

// The 16 x 16 blocks picture that the JPEG and GIF blocks fixtures encode: 8 x 8 quadrants of red
// (top left), green (top right), blue (bottom left) and white (bottom right).
inline Colour blockColour(int x, int y) {
    constexpr Colour kQuadrants[4] = {kRed, kGreen, kBlue, kWhite};
    return kQuadrants[(y / 8) * 2 + x / 8];
}

// A 40-byte bitmap information header for a 24-bit uncompressed image.
inline void putInfoHeader(ByteSet& out, int width, int height, std::uint32_t imageSize) {
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);   // planes
    put16(out, 24);  // bits per pixel
    put32(out, 0);   // compression
    put32(out, imageSize);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
}

// Rows bottom first, blue, green, red, each padded to 4 bytes.
inline void putRows(ByteSet& out, int width, int height,
                    const std::function<Colour(int x, int y)>& colourAt) {
    for (int y = height - 1; y >= 0; --y) {
        int written = 0;
        for (int x = 0; x < width; ++x) {
            const Colour c = colourAt(x, y);
            out.push_back(c.blue);
            out.push_back(c.green);
            out.push_back(c.red);
            written += 3;
        }
        for (; written % 4 != 0; ++written) {
            out.push_back(0);
        }
    }
}

inline std::uint32_t rowBytes24(int width) {
    return static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);
}

// A 24-bit bottom-up BMP file.
inline ByteSet makeBmp24(int width, int height,
                         const std::function<Colour(int x, int y)>& colourAt) {
    const std::uint32_t pixels = rowBytes24(width) * static_cast<std::uint32_t>(height);
    ByteSet out{'B', 'M'};
    put32(out, 54 + pixels);
    put32(out, 0);   // reserved
    put32(out, 54);  // pixel-data offset
    putInfoHeader(out, width, height, pixels);
    putRows(out, width, height, colourAt);
    return out;
}

inline ByteSet makeBmp24(int width, int height, Colour colour) {
    return makeBmp24(width, height, [colour](int, int) { return colour; });
}

// An icon file with one 24-bit image and its AND mask.
inline ByteSet makeIco24(int width, int height, const std::function<Colour(int x, int y)>& colourAt,
                         const std::function<bool(int x, int y)>& transparentAt) {
    const std::uint32_t maskRow = static_cast<std::uint32_t>((width + 31) / 32 * 4);
    const std::uint32_t imageBytes = 40 + rowBytes24(width) * static_cast<std::uint32_t>(height) +
                                     maskRow * static_cast<std::uint32_t>(height);
    ByteSet out;
    put16(out, 0);  // reserved
    put16(out, 1);  // icon
    put16(out, 1);  // one image
    out.push_back(static_cast<std::uint8_t>(width));
    out.push_back(static_cast<std::uint8_t>(height));
    out.push_back(0);  // colour count
    out.push_back(0);
    put16(out, 1);   // planes
    put16(out, 24);  // bits
    put32(out, imageBytes);
    put32(out, 22);  // image offset
    putInfoHeader(out, width, 2 * height, 0);
    putRows(out, width, height, colourAt);
    for (int y = height - 1; y >= 0; --y) {
        ByteSet row(maskRow, 0);
        for (int x = 0; x < width; ++x) {
            if (transparentAt(x, y)) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace qingxiu::test
