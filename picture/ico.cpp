#include <utility>

#include "picture/bmp.h"
#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture/png_image.h"

namespace qingxiu {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kCursorType = 2;

// The image an icon file stands for: the first entry 32 pixels wide with 16 colours or more
// (the classic 32 x 32, 16-colour icon), else the last entry. Entries of 256 colours and of true
// colour carry a colour count of 0 and so never qualify. Only the entry that is used is decoded.
// The directory has been found complete, so every entry can be read.
std::size_t chosenEntry(const ByteReader& reader, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + i * kEntrySize;
        if (*reader.u8(at) == 32 && *reader.u8(at + 2) >= 16) {
            return i;
        }
    }
    return count - 1;
}

}  // namespace

std::optional<Picture> decodeIco(std::span<const std::uint8_t> bytes) {
    const ByteReader reader(bytes);
    const auto reserved = reader.u16(0);
    const auto type = reader.u16(2);
    const auto count = reader.u16(4);
    if (!reserved || !type || !count || *reserved != 0 ||
        (*type != kIconType && *type != kCursorType) || *count == 0) {
        return std::nullopt;
    }
    // The whole directory must be there before any entry is chosen from it.
    if (!reader.has(kHeaderSize, std::size_t{*count} * kEntrySize)) {
        return std::nullopt;
    }
    const std::size_t entry = kHeaderSize + chosenEntry(reader, *count) * kEntrySize;
    const auto imageSize = reader.u32(entry + 8);
    const auto imageOffset = reader.u32(entry + 12);
    if (!imageSize || !imageOffset) {
        return std::nullopt;
    }
    const auto image = reader.bytes(*imageOffset, *imageSize);
    if (!image) {
        return std::nullopt;
    }
    // A cursor's image is made into an icon the same way; its hot spot plays no part.
    auto icon = startsLikePng(*image) ? decodePngImage(*image) : decodeIconBitmap(*image);
    if (!icon) {
        return std::nullopt;
    }
    return Picture{*type == kIconType ? Kind::Ico : Kind::Cur, std::move(*icon)};
}

}  // namespace qingxiu
