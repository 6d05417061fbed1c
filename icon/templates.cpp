#include "icon/templates.h"

namespace qingxiu {
namespace {

constexpr std::size_t kSmallLength = 894;
constexpr std::size_t kLargeLength = 3262;
static_assert(kSmallLength + kLargeLength == kTemplateLength);

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;

constexpr void put16(std::array<std::uint8_t, kTemplateLength>& out, std::size_t at,
                     std::uint16_t value) {
    out[at] = static_cast<std::uint8_t>(value & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void put32(std::array<std::uint8_t, kTemplateLength>& out, std::size_t at,
                     std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
    }
}

// One icon file of side n at offset `at`: directory, one entry, the bitmap information header;
// the colour and mask areas stay zero. The entry's planes and bit count are 0 on purpose: stored
// icons carry them so, and readers take both from the bitmap header.
constexpr void putIconFile(std::array<std::uint8_t, kTemplateLength>& out, std::size_t at,
                           std::uint32_t n) {
    const std::uint32_t colourArea = 3 * n * n;  // rows of 3n bytes are multiples of 4
    const std::uint32_t maskArea = n * 4;        // n rows of n bits, each filled out to 4 bytes
    const std::uint32_t imageBytes =
        static_cast<std::uint32_t>(kInfoHeaderSize) + colourArea + maskArea;

    put16(out, at + 0, 0);  // reserved
    put16(out, at + 2, 1);  // resource type: icon
    put16(out, at + 4, 1);  // image count

    const std::size_t entry = at + kDirectorySize;
    out[entry + 0] = static_cast<std::uint8_t>(n);  // width
    out[entry + 1] = static_cast<std::uint8_t>(n);  // height
    put32(out, entry + 8, imageBytes);
    put32(out, entry + 12, static_cast<std::uint32_t>(kDirectorySize + kEntrySize));

    const std::size_t header = entry + kEntrySize;
    put32(out, header + 0, static_cast<std::uint32_t>(kInfoHeaderSize));
    put32(out, header + 4, n);      // width
    put32(out, header + 8, 2 * n);  // height: colour rows plus mask rows
    put16(out, header + 12, 1);     // planes
    put16(out, header + 14, 24);    // bits per pixel
    put32(out, header + 20, colourArea + maskArea);
}

constexpr std::array<std::uint8_t, kTemplateLength> buildTemplates() {
    std::array<std::uint8_t, kTemplateLength> out{};
    putIconFile(out, 0, 16);
    putIconFile(out, kSmallLength, 32);
    return out;
}

}  // namespace

constexpr std::array<std::uint8_t, kTemplateLength> kBuiltTemplates = buildTemplates();
const std::array<std::uint8_t, kTemplateLength> 图标模板 = kBuiltTemplates;

IconLayout layoutOf(SizeMode mode) {
    if (mode == SizeMode::Small16) {
        return IconLayout{16, 1, static_cast<std::int64_t>(kSmallLength), 63, 768};
    }
    return IconLayout{32, static_cast<std::int64_t>(kSmallLength) + 1,
                      static_cast<std::int64_t>(kLargeLength), 63, 3072};
}

ByteSet templateFor(SizeMode mode) {
    const ByteSet all(图标模板.begin(), 图标模板.end());
    const IconLayout layout = layoutOf(mode);
    if (mode == SizeMode::Small16) {
        return left(all, layout.fileLength);
    }
    return mid(all, layout.templatePosition, layout.fileLength);
}

}  // namespace qingxiu
