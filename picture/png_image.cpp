#include "picture/png_image.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "picture/raster.h"

namespace qingxiu {
namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
constexpr std::size_t kRgbaBytes = 4;

// libpng reports every error by calling abandon(), which jumps back to the setjmp() of the
// function that made the call into libpng: readHeader() or readPixels(). Those two functions
// and the callbacks below hold no object with a destructor, so the jump skips no clean-up; the
// objects that own memory live in their callers, whose frames the jump never crosses.

[[noreturn]] void abandon(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

struct MemorySource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

// Hands libpng the next bytes of the data; asking for more than is left is an error, so a
// truncated image is no picture.
void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (count > source->size - source->position) {
        png_error(png, "data end early");
    }
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

struct Size {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
};

// Reads the header and asks libpng for 8-bit red, green, blue, alpha whatever the file stores:
// palettes and grey expanded to colour, tRNS turned into alpha, 16-bit samples scaled down,
// opaque alpha added where there is none, interlaced passes combined.
bool readHeader(png_structp png, png_infop info, Size* size) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_set_user_limits(png, static_cast<png_uint_32>(kMaxPixels),
                        static_cast<png_uint_32>(kMaxPixels));
    png_read_info(png, info);
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != kRgbaBytes) {
        return false;
    }
    size->width = png_get_image_width(png, info);
    size->height = png_get_image_height(png, info);
    return png_get_rowbytes(png, info) == std::size_t{size->width} * kRgbaBytes;
}

// Reads every row into `rows`. What follows the image data is not needed, so it is not read.
bool readPixels(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    return true;
}

std::optional<IconImage> iconFromRgba(const std::vector<std::uint8_t>& rgba, int width,
                                      int height) {
    auto colour = Raster::make(width, height);
    if (!colour) {
        return std::nullopt;
    }
    try {
        const std::size_t pixels = rgba.size() / kRgbaBytes;
        std::vector<std::uint8_t> transparent(pixels);
        std::vector<std::uint8_t> alpha(pixels);
        const auto w = static_cast<std::size_t>(width);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* out = colour->row(y);
            for (std::size_t x = 0; x < w; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * w + x;
                const std::uint8_t* in = rgba.data() + i * kRgbaBytes;
                out[3 * x] = in[2];
                out[3 * x + 1] = in[1];
                out[3 * x + 2] = in[0];
                alpha[i] = in[3];
                transparent[i] = in[3] == 0 ? 1 : 0;
            }
        }
        return IconImage{std::move(*colour), std::move(transparent), std::move(alpha)};
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

// Reads the image whose header and transforms are set up; the pixel buffers are allocated here,
// outside the functions that libpng can jump back to.
std::optional<IconImage> readImage(png_structp png, png_infop info) {
    Size size;
    if (!readHeader(png, info, &size)) {
        return std::nullopt;
    }
    const auto pixels = checkedPixelCount(size.width, size.height);
    if (!pixels) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    try {
        rgba.resize(*pixels * kRgbaBytes);
        rows.resize(size.height);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    const std::size_t stride = std::size_t{size.width} * kRgbaBytes;
    for (std::size_t y = 0; y < rows.size(); ++y) {
        rows[y] = rgba.data() + y * stride;
    }
    if (!readPixels(png, rows.data())) {
        return std::nullopt;
    }
    return iconFromRgba(rgba, static_cast<int>(size.width), static_cast<int>(size.height));
}

}  // namespace

bool startsLikePng(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= kSignature.size() &&
           std::equal(kSignature.begin(), kSignature.end(), bytes.begin());
}

std::optional<IconImage> decodePngImage(std::span<const std::uint8_t> bytes) {
    if (!startsLikePng(bytes)) {
        return std::nullopt;
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, abandon, ignoreWarning);
    if (png == nullptr) {
        return std::nullopt;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return std::nullopt;
    }
    MemorySource source{bytes.data(), bytes.size(), 0};
    png_set_read_fn(png, &source, readFromMemory);
    auto image = readImage(png, info);
    png_destroy_read_struct(&png, &info, nullptr);
    return image;
}

}  // namespace qingxiu
