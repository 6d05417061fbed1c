#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace qingxiu {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

// The one limit on the size of any picture, canvas or raster: 2^26 pixels (8192 x 8192, about
// 67 megapixels, 192 MiB at 24 bits). That is well above the photographs and scans anyone turns
// into an icon, and low enough that a hostile header cannot make a decoder ask for gigabytes.
// Larger pictures are "no picture", the same outcome as a failed allocation.
inline constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;

// width * height when both are positive and the product is within kMaxPixels.
std::optional<std::size_t> checkedPixelCount(std::int64_t width, std::int64_t height);

// A width x height image of 24-bit pixels, stored blue, green, red, top row first, rows packed
// without padding. This order is the one the bottom-up capture and the icon's colour area use, so
// copying a row out is a plain byte copy.
class Raster {
public:
    Raster() = default;
    // Dimensions must have passed checkedPixelCount; every pixel starts as fill.
    Raster(int width, int height, Colour fill = {});

    // A raster of that size, or none when the size is not positive, over the pixel cap, or
    // cannot be allocated.
    static std::optional<Raster> make(std::int64_t width, std::int64_t height, Colour fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }

    std::uint8_t* row(int y) { return bytes_.data() + rowOffset(y); }
    const std::uint8_t* row(int y) const { return bytes_.data() + rowOffset(y); }

    Colour pixel(int x, int y) const;
    void setPixel(int x, int y, Colour c);
    void fill(Colour c);

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    friend bool operator==(const Raster&, const Raster&) = default;

private:
    std::size_t rowOffset(int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) * 3;
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace qingxiu
