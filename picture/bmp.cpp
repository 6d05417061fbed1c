#include "picture/bmp.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture/raster.h"

namespace qingxiu {
namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint64_t kMinInfoHeaderSize = 40;
constexpr std::uint64_t kTableEntrySize = 4;  // blue, green, red, unused

// Every information header a BMP file or an icon image may carry begins with the same 40 bytes,
// which hold all the fields read here: 40 is the classic header, 52 and 56 add colour masks,
// 108 and 124 add colour-space data. The colour table follows whichever of them is there. The
// 12-byte OS/2 header lays its fields out differently, and other sizes belong to no header, so
// both are refused.
bool knownInfoHeaderSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

struct InfoHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
};

std::optional<InfoHeader> readInfoHeader(const ByteReader& reader, std::size_t at) {
    const auto size = reader.u32(at);
    const auto width = reader.i32(at + 4);
    const auto height = reader.i32(at + 8);
    const auto bitsPerPixel = reader.u16(at + 14);
    const auto compression = reader.u32(at + 16);
    const auto coloursUsed = reader.u32(at + 32);
    if (!size || !width || !height || !bitsPerPixel || !compression || !coloursUsed ||
        !knownInfoHeaderSize(*size)) {
        return std::nullopt;
    }
    return InfoHeader{*size, *width, *height, *bitsPerPixel, *compression, *coloursUsed};
}

// count bytes from offset, for offsets and counts computed in 64 bits from header fields.
std::optional<std::span<const std::uint8_t>> bytesAt(const ByteReader& reader, std::uint64_t offset,
                                                     std::uint64_t count) {
    if (offset > reader.size() || count > reader.size() - offset) {
        return std::nullopt;
    }
    return reader.bytes(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
}

std::optional<std::vector<std::uint8_t>> makeBytes(std::size_t count) {
    try {
        return std::vector<std::uint8_t>(count, 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

// The colours an index of up to 8 bits can name. An index at or past the end of the stored
// table is black: a file whose pixels name colours it never stored has no better answer, and
// black is what a table cleared to zero would give.
class ColourTable {
public:
    Colour at(std::uint32_t index) const { return index < count_ ? colours_[index] : Colour{}; }

    void append(Colour c) { colours_[count_++] = c; }
    bool full() const { return count_ == colours_.size(); }

private:
    std::array<Colour, 256> colours_{};
    std::size_t count_ = 0;
};

// Entries stored in the table of a bitmap of 1, 4 or 8 bits: colours-used, or 2^bits when that
// field is 0. A colours-used count above 2^bits still describes a table stored that long, so
// the pixel data lie past all of it; but no index can name an entry past 2^bits, so only those
// first entries are read.
std::uint64_t indexedTableEntries(std::uint32_t coloursUsed, int bits) {
    return coloursUsed != 0 ? coloursUsed : std::uint64_t{1} << bits;
}

std::optional<ColourTable> readColourTable(const ByteReader& reader, std::uint64_t at,
                                           std::uint64_t storedEntries, int bits) {
    ColourTable table;
    if (bits > 8) {
        return table;
    }
    const std::uint64_t entries = std::min(storedEntries, std::uint64_t{1} << bits);
    const auto stored = bytesAt(reader, at, entries * kTableEntrySize);
    if (!stored) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i + kTableEntrySize <= stored->size() && !table.full();
         i += kTableEntrySize) {
        table.append(Colour{(*stored)[i + 2], (*stored)[i + 1], (*stored)[i]});
    }
    return table;
}

// The shape of a stored bitmap: rows of width pixels of `bits` bits, each padded to a multiple
// of 4 bytes. Width and height have passed the pixel cap, so no product here can overflow.
struct BitmapLayout {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    int bits = 0;

    std::uint64_t stride() const {
        return (width * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
    }
    std::uint64_t rowBytes() const { return (width * static_cast<std::uint64_t>(bits) + 7) / 8; }
    std::uint64_t size() const { return stride() * height; }
    // The bytes from the first stored row to the last pixel of the last one. The last row's
    // padding holds no pixel, so a file that ends right after that row's pixels is complete.
    std::uint64_t extent() const { return stride() * (height - 1) + rowBytes(); }
};

std::optional<BitmapLayout> layoutOf(std::int64_t width, std::int64_t height, int bits) {
    if (!checkedPixelCount(width, height)) {
        return std::nullopt;
    }
    return BitmapLayout{static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height),
                        bits};
}

// Pixel x of a row of 1-, 4- or 8-bit values packed most significant bits first.
std::uint32_t packedValue(std::span<const std::uint8_t> row, int bits, std::size_t x) {
    switch (bits) {
        case 1:
            return (row[x / 8] >> (7 - x % 8)) & 0x01u;
        case 4:
            return (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0Fu;
        default:
            return row[x];
    }
}

// Five bits of a 5-5-5 pixel to eight: the top bits repeat into the low ones, so that 31 gives
// full intensity, 255.
std::uint8_t expandFiveBits(std::uint32_t value) {
    const auto five = static_cast<std::uint8_t>(value & 0x1Fu);
    return static_cast<std::uint8_t>((five << 3) | (five >> 2));
}

// One stored row into one raster row (blue, green, red): 1, 4 and 8 bits through the table,
// 16 bits as 5-5-5 with the top bit unused, 24 bits as stored, 32 bits with the fourth byte
// going to `alpha` when it is given.
void decodeRow(std::span<const std::uint8_t> row, int bits, const ColourTable& table,
               std::span<std::uint8_t> out, std::span<std::uint8_t> alpha) {
    const std::size_t width = out.size() / 3;
    switch (bits) {
        case 1:
        case 4:
        case 8:
            for (std::size_t x = 0; x < width; ++x) {
                const Colour c = table.at(packedValue(row, bits, x));
                out[3 * x] = c.blue;
                out[3 * x + 1] = c.green;
                out[3 * x + 2] = c.red;
            }
            break;
        case 16:
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint32_t v = row[2 * x] | (std::uint32_t{row[2 * x + 1]} << 8);
                out[3 * x] = expandFiveBits(v);
                out[3 * x + 1] = expandFiveBits(v >> 5);
                out[3 * x + 2] = expandFiveBits(v >> 10);
            }
            break;
        case 24:
            std::copy_n(row.begin(), out.size(), out.begin());
            break;
        default:
            for (std::size_t x = 0; x < width; ++x) {
                out[3 * x] = row[4 * x];
                out[3 * x + 1] = row[4 * x + 1];
                out[3 * x + 2] = row[4 * x + 2];
            }
            if (!alpha.empty()) {
                for (std::size_t x = 0; x < width; ++x) {
                    alpha[x] = row[4 * x + 3];
                }
            }
            break;
    }
}

// All rows of a bitmap whose bytes are at least layout.extent() long. The first stored row is
// the bottom one when bottomUp. `alpha`, when given, has one byte per pixel, top row first.
void decodeRows(std::span<const std::uint8_t> pixels, const BitmapLayout& layout, bool bottomUp,
                const ColourTable& table, Raster& raster, std::span<std::uint8_t> alpha) {
    const auto width = static_cast<std::size_t>(layout.width);
    const auto height = static_cast<std::size_t>(layout.height);
    const auto stride = static_cast<std::size_t>(layout.stride());
    const auto rowBytes = static_cast<std::size_t>(layout.rowBytes());
    for (std::size_t i = 0; i < height; ++i) {
        const std::size_t y = bottomUp ? height - 1 - i : i;
        const std::span<std::uint8_t> out(raster.row(static_cast<int>(y)), width * 3);
        decodeRow(pixels.subspan(i * stride, rowBytes), layout.bits, table, out,
                  alpha.empty() ? alpha : alpha.subspan(y * width, width));
    }
}

bool isBmpDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32;
}

bool isIconDepth(int bits) {
    return isBmpDepth(bits) || bits == 16;
}

}  // namespace

std::optional<Picture> decodeBmp(std::span<const std::uint8_t> bytes) {
    const ByteReader reader(bytes);
    if (reader.size() < kFileHeaderSize + kMinInfoHeaderSize) {
        return std::nullopt;
    }
    const auto pixelOffset = reader.u32(10);
    const auto info = readInfoHeader(reader, kFileHeaderSize);
    if (!pixelOffset || !info || info->compression != 0 || !isBmpDepth(info->bitsPerPixel)) {
        return std::nullopt;
    }
    const int bits = info->bitsPerPixel;
    // The magnitudes are taken in 64 bits, where INT32_MIN has one.
    const auto layout =
        layoutOf(std::abs(std::int64_t{info->width}), std::abs(std::int64_t{info->height}), bits);
    if (!layout) {
        return std::nullopt;
    }
    // True-colour files may store a table too, but their pixels never index it and the pixel-
    // data offset says where they start, so it counts for nothing here.
    const std::uint64_t tableAt = kFileHeaderSize + info->size;
    const std::uint64_t entries = bits <= 8 ? indexedTableEntries(info->coloursUsed, bits) : 0;
    if (*pixelOffset < tableAt + entries * kTableEntrySize) {
        return std::nullopt;
    }
    const auto table = readColourTable(reader, tableAt, entries, bits);
    const auto pixels = bytesAt(reader, *pixelOffset, layout->extent());
    if (!table || !pixels) {
        return std::nullopt;
    }
    auto raster = Raster::make(static_cast<std::int64_t>(layout->width),
                               static_cast<std::int64_t>(layout->height));
    if (!raster) {
        return std::nullopt;
    }
    decodeRows(*pixels, *layout, info->height > 0, *table, *raster, {});
    return Picture{Kind::Bmp, std::move(*raster)};
}

std::optional<IconImage> decodeIconBitmap(std::span<const std::uint8_t> dib) {
    const ByteReader reader(dib);
    const auto info = readInfoHeader(reader, 0);
    if (!info || info->compression != 0 || !isIconDepth(info->bitsPerPixel)) {
        return std::nullopt;
    }
    const int bits = info->bitsPerPixel;
    // The header's height counts the colour rows and the mask rows together; both are stored
    // bottom row first, so a negative height makes no icon.
    const std::int64_t height = info->height / 2;
    const auto colours = layoutOf(info->width, height, bits);
    const auto mask = layoutOf(info->width, height, 1);
    if (!colours || !mask) {
        return std::nullopt;
    }
    // A packed bitmap has no pixel-data offset: the colour rows follow the table at once. At
    // more than 8 bits the table is the colours-used entries alone, none when that field is 0.
    const std::uint64_t entries =
        bits <= 8 ? indexedTableEntries(info->coloursUsed, bits) : info->coloursUsed;
    const std::uint64_t coloursAt = info->size + entries * kTableEntrySize;
    const auto table = readColourTable(reader, info->size, entries, bits);
    const auto colourBytes = bytesAt(reader, coloursAt, colours->size());
    const auto maskBytes = bytesAt(reader, coloursAt + colours->size(), mask->extent());
    if (!table || !colourBytes || !maskBytes) {
        return std::nullopt;
    }

    const auto width = static_cast<std::size_t>(colours->width);
    const auto pixelCount = width * static_cast<std::size_t>(colours->height);
    auto raster = Raster::make(info->width, height);
    auto transparent = makeBytes(pixelCount);
    auto alpha = makeBytes(bits == 32 ? pixelCount : 0);
    if (!raster || !transparent || !alpha) {
        return std::nullopt;
    }
    decodeRows(*colourBytes, *colours, true, *table, *raster, *alpha);

    const auto maskStride = static_cast<std::size_t>(mask->stride());
    for (std::size_t i = 0; i < static_cast<std::size_t>(mask->height); ++i) {
        const std::size_t y = static_cast<std::size_t>(mask->height) - 1 - i;
        const auto row = maskBytes->subspan(i * maskStride);
        for (std::size_t x = 0; x < width; ++x) {
            (*transparent)[y * width + x] = static_cast<std::uint8_t>(packedValue(row, 1, x));
        }
    }

    // Images saved before alpha existed leave the fourth byte zero everywhere; drawn by that
    // alpha they would vanish, so they are drawn by their mask like the other depths.
    if (std::all_of(alpha->begin(), alpha->end(), [](std::uint8_t a) { return a == 0; })) {
        alpha->clear();
    }
    return IconImage{std::move(*raster), std::move(*transparent), std::move(*alpha)};
}

}  // namespace qingxiu
