#include "picture/picture.h"

#include "picture/byte_reader.h"

namespace qingxiu {

namespace {

struct Size {
    int width;
    int height;
};

Size sizeOf(const Raster& raster) {
    return {raster.width(), raster.height()};
}
Size sizeOf(const TwoValuedImage& image) {
    return {image.width, image.height};
}
Size sizeOf(const IconImage& image) {
    return sizeOf(image.colour);
}

}  // namespace

int Picture::width() const {
    return std::visit([](const auto& image) { return sizeOf(image).width; }, content);
}

int Picture::height() const {
    return std::visit([](const auto& image) { return sizeOf(image).height; }, content);
}

// Only the length and the first six bytes count, tested in a fixed order; the first match wins.
// Other starts, PNG and TIFF among them, are no picture.
std::optional<Kind> recognise(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 6) {
        return std::nullopt;
    }
    const ByteReader reader(bytes);
    const auto b = [&](std::size_t i) { return bytes[i]; };
    const auto w = [&](std::size_t i) { return *reader.u16(i); };
    if (b(0) == 0x42 && b(1) == 0x4D) {
        return Kind::Bmp;
    }
    if (b(0) == 0xFF && b(1) == 0xD8) {
        return Kind::Jpeg;
    }
    if (w(0) == 0 && w(2) == 1 && w(4) != 0) {
        return Kind::Ico;
    }
    if (w(0) == 0 && w(2) == 2 && w(4) != 0) {
        return Kind::Cur;
    }
    if (b(0) == 'G' && b(1) == 'I' && b(2) == 'F' && b(3) == '8' && (b(4) == '7' || b(4) == '9') &&
        b(5) == 'a') {
        return Kind::Gif;
    }
    if (b(0) == 0x0A && b(1) <= 5 && b(2) == 1 && b(3) == 8) {
        return Kind::Pcx8;
    }
    if (b(0) == 0x0A && b(1) == 3 && b(2) == 1 && b(3) == 1) {
        return Kind::Pcx1;
    }
    return std::nullopt;
}

}  // namespace qingxiu
