#include "picture/raster.h"

#include <new>

namespace qingxiu {

std::optional<std::size_t> checkedPixelCount(std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    if (w > kMaxPixels || h > kMaxPixels || w * h > kMaxPixels) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(w * h);
}

Raster::Raster(int width, int height, Colour fill) : width_(width), height_(height) {
    // The new bytes are zero already, which is black; other colours need a pass of their own.
    bytes_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    if (fill != Colour{}) {
        this->fill(fill);
    }
}

std::optional<Raster> Raster::make(std::int64_t width, std::int64_t height, Colour fill) {
    if (!checkedPixelCount(width, height)) {
        return std::nullopt;
    }
    try {
        return Raster(static_cast<int>(width), static_cast<int>(height), fill);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

Colour Raster::pixel(int x, int y) const {
    const std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    return Colour{p[2], p[1], p[0]};
}

void Raster::setPixel(int x, int y, Colour c) {
    std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    p[0] = c.blue;
    p[1] = c.green;
    p[2] = c.red;
}

void Raster::fill(Colour c) {
    for (std::size_t i = 0; i + 2 < bytes_.size(); i += 3) {
        bytes_[i] = c.blue;
        bytes_[i + 1] = c.green;
        bytes_[i + 2] = c.red;
    }
}

}  // namespace qingxiu
