// GIF pictures: the logical screen, with the first image of the file decoded onto its top-left
// corner. Graphic-control settings (transparency, delay, disposal) play no part: a picture here
// is one opaque raster, so a transparent index shows the colour its table gives it, and every
// image after the first is ignored.
//
// Choices the format leaves open, made here:
// - The part of the screen the first image does not cover shows the background colour: the
//   global table's entry for the screen's background index. That is what the format itself
//   names that colour for. Without a global table the index names nothing, and it is black.
// - The same background shows wherever the image's data stop early: LZW data that end inside
//   the image (an end code, the end of the sub-blocks or of the file) or that turn corrupt (a code
//   the string table does not hold yet) keep every pixel decoded before that point.
// - A file with no colour table at all, global or local, stored no colours; its indexes all lie
//   beyond an empty table, and like any index beyond its table (next point) they are black. No
//   colours are invented for it.
// - An index at or beyond the end of the table in use is black, as in a table cleared to zero.
// - A minimum code size outside 2..8 is no picture. No encoder that follows the format writes
//   one (indexes have 1 to 8 bits, and 1-bit images use 2), and above 11 the clear and end codes
//   would not even fit the 12-bit string table, so clamping would only decode noise.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>

#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture/raster.h"

namespace qingxiu {
namespace {

constexpr std::size_t kMinFileSize = 14;
constexpr std::size_t kScreenDescriptorEnd = 13;  // signature 6, width 2, height 2, 3 bytes
constexpr std::size_t kImageDescriptorSize = 9;   // left, top, width, height, flags

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageSeparator = 0x2C;

constexpr std::uint8_t kTableFlag = 0x80;
constexpr std::uint8_t kInterlacedFlag = 0x40;
constexpr std::uint8_t kTableSizeBits = 0x07;

constexpr int kMinCodeSizeFloor = 2;
constexpr int kMinCodeSizeCeiling = 8;
constexpr int kMaxCodeBits = 12;
constexpr std::size_t kMaxCodes = std::size_t{1} << kMaxCodeBits;

bool hasSignature(const ByteReader& reader) {
    const auto start = reader.bytes(0, 6);
    if (!start) {
        return false;
    }
    const auto s = *start;
    return s[0] == 'G' && s[1] == 'I' && s[2] == 'F' && s[3] == '8' &&
           (s[4] == '7' || s[4] == '9') && s[5] == 'a';
}

// The bytes of the colour table that a screen or image flags byte announces: 2^(n+1) entries
// of red, green and blue.
std::size_t tableBytes(std::uint8_t flags) {
    return std::size_t{3} << ((flags & kTableSizeBits) + 1);
}

// The plain-text, graphic-control, comment and application extensions. Other labels belong to
// no GIF version, and a file that uses one is not read further.
bool isKnownExtension(std::uint8_t label) {
    return label == 0x01 || label == 0xF9 || label == 0xFE || label == 0xFF;
}

// Up to 256 colours, kept blue, green, red like the raster, so that a pixel is a 3-byte copy.
// Entries the file did not store stay zero: black.
class Palette {
public:
    Palette() = default;
    explicit Palette(std::span<const std::uint8_t> rgb) {
        const std::size_t entries = std::min<std::size_t>(rgb.size() / 3, 256);
        for (std::size_t i = 0; i < entries; ++i) {
            bgr_[3 * i] = rgb[3 * i + 2];
            bgr_[3 * i + 1] = rgb[3 * i + 1];
            bgr_[3 * i + 2] = rgb[3 * i];
        }
    }

    const std::uint8_t* bgr(std::uint8_t index) const { return bgr_.data() + 3 * index; }
    Colour at(std::uint8_t index) const {
        const std::uint8_t* p = bgr(index);
        return Colour{p[2], p[1], p[0]};
    }

private:
    std::array<std::uint8_t, 256 * 3> bgr_{};
};

// The offset just past the data sub-blocks that start at `at` (size byte, data, ..., a zero
// size), or none when the data end first.
std::optional<std::size_t> skipSubBlocks(const ByteReader& reader, std::size_t at) {
    for (;;) {
        const auto size = reader.u8(at);
        if (!size) {
            return std::nullopt;
        }
        ++at;
        if (*size == 0) {
            return at;
        }
        if (!reader.has(at, *size)) {
            return std::nullopt;
        }
        at += *size;
    }
}

// The offset of the first image descriptor's fields (just past its separator), walking the
// blocks from `at`. A trailer, a zero byte or any other block byte before it, an unknown
// extension, or the end of the data: none. Every step moves forward by at least two bytes.
std::optional<std::size_t> findFirstImage(const ByteReader& reader, std::size_t at) {
    for (;;) {
        const auto block = reader.u8(at);
        if (!block) {
            return std::nullopt;
        }
        if (*block == kImageSeparator) {
            return at + 1;
        }
        const auto label = reader.u8(at + 1);
        if (*block != kExtensionIntroducer || !label || !isKnownExtension(*label)) {
            return std::nullopt;
        }
        const auto next = skipSubBlocks(reader, at + 2);
        if (!next) {
            return std::nullopt;
        }
        at = *next;
    }
}

// The image data's sub-blocks read as one stream of codes, least significant bit first. The
// stream ends at the zero-size block, or where the file does, even inside a block.
class CodeReader {
public:
    CodeReader(const ByteReader& reader, std::size_t firstBlock)
        : reader_(reader), nextBlock_(firstBlock) {}

    std::optional<std::uint32_t> read(int bits) {
        while (count_ < bits) {
            const auto byte = nextByte();
            if (!byte) {
                return std::nullopt;
            }
            buffer_ |= std::uint32_t{*byte} << count_;
            count_ += 8;
        }
        const std::uint32_t code = buffer_ & ((std::uint32_t{1} << bits) - 1);
        buffer_ >>= bits;
        count_ -= bits;
        return code;
    }

private:
    std::optional<std::uint8_t> nextByte() {
        if (position_ == block_.size()) {
            const auto size = reader_.u8(nextBlock_);
            if (!size || *size == 0) {
                return std::nullopt;
            }
            const auto rest = reader_.from(nextBlock_ + 1);
            block_ = rest.first(std::min<std::size_t>(*size, rest.size()));
            position_ = 0;
            nextBlock_ += 1 + std::size_t{*size};
            if (block_.empty()) {
                return std::nullopt;
            }
        }
        return block_[position_++];
    }

    const ByteReader& reader_;
    std::size_t nextBlock_;
    std::span<const std::uint8_t> block_;
    std::size_t position_ = 0;
    std::uint32_t buffer_ = 0;
    int count_ = 0;
};

// Puts the image's indexes, in the order the stream holds them, onto the screen raster as
// colours: row after row, or row after row of the four interlace passes. Columns and rows
// beyond the screen are passed over unwritten. It is done once every row that shows on the
// screen is complete, so the rest of a large image is never decoded.
class PixelSink {
public:
    PixelSink(Raster& screen, const Palette& palette, int width, int height, bool interlaced)
        : screen_(screen),
          palette_(palette),
          width_(width),
          height_(height),
          visibleWidth_(std::min(width, screen.width())),
          rowsToShow_(width == 0 ? 0 : std::min(height, screen.height())),
          interlaced_(interlaced) {}

    bool done() const { return rowsToShow_ == 0; }

    void put(std::span<const std::uint8_t> indexes) {
        while (!indexes.empty() && !done()) {
            const std::size_t n = std::min(indexes.size(), static_cast<std::size_t>(width_ - x_));
            if (y_ < screen_.height() && x_ < visibleWidth_) {
                const std::size_t shown = std::min(n, static_cast<std::size_t>(visibleWidth_ - x_));
                std::uint8_t* out = screen_.row(y_) + 3 * static_cast<std::size_t>(x_);
                for (std::size_t i = 0; i < shown; ++i) {
                    const std::uint8_t* colour = palette_.bgr(indexes[i]);
                    out[3 * i] = colour[0];
                    out[3 * i + 1] = colour[1];
                    out[3 * i + 2] = colour[2];
                }
            }
            x_ += static_cast<int>(n);
            indexes = indexes.subspan(n);
            if (x_ == width_) {
                endRow();
            }
        }
    }

private:
    void endRow() {
        x_ = 0;
        if (y_ < screen_.height()) {
            --rowsToShow_;
        }
        if (!interlaced_) {
            ++y_;
            return;
        }
        // Pass by pass: every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd
        // from 1. Passes that start below the image's last row hold no rows.
        static constexpr int kStart[4] = {0, 4, 2, 1};
        static constexpr int kStep[4] = {8, 8, 4, 2};
        y_ += kStep[pass_];
        while (y_ >= height_ && pass_ < 3) {
            ++pass_;
            y_ = kStart[pass_];
        }
    }

    Raster& screen_;
    const Palette& palette_;
    const int width_;
    const int height_;
    const int visibleWidth_;
    int rowsToShow_;
    const bool interlaced_;
    int x_ = 0;
    int y_ = 0;
    int pass_ = 0;
};

// Variable-length LZW with codes of up to 12 bits. Each table entry is a string: the entry it
// extends (prefix), its last index, its first index and its length, so a code's string is
// written back to front in one walk. Once the table holds 4096 entries it stops growing and
// codes stay 12 bits wide until the encoder sends a clear code, which it may defer as long as it
// likes. The walk stops at the end code, at the end of the data, at a code the table does not
// hold yet, or once the sink is done; each code costs at most one walk of 4096 steps.
void decodeLzw(CodeReader& codes, int minCodeSize, PixelSink& sink) {
    const std::uint32_t clear = std::uint32_t{1} << minCodeSize;
    const std::uint32_t end = clear + 1;

    std::array<std::uint16_t, kMaxCodes> prefix{};
    std::array<std::uint8_t, kMaxCodes> last{};
    std::array<std::uint8_t, kMaxCodes> first{};
    std::array<std::uint16_t, kMaxCodes> length{};
    std::array<std::uint8_t, kMaxCodes> string{};
    for (std::uint32_t i = 0; i < clear; ++i) {
        last[i] = static_cast<std::uint8_t>(i);
        first[i] = static_cast<std::uint8_t>(i);
        length[i] = 1;
    }

    int codeSize = minCodeSize + 1;
    std::uint32_t next = clear + 2;
    std::optional<std::uint32_t> previous;

    while (!sink.done()) {
        const auto code = codes.read(codeSize);
        if (!code || *code == end) {
            return;
        }
        if (*code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous.reset();
            continue;
        }
        if (previous) {
            // The new entry is the previous string plus the first index of this one; a code
            // that names the very entry being made (code == next) starts, like it, with the
            // previous string's first index.
            if (*code > next) {
                return;
            }
            if (next < kMaxCodes) {
                prefix[next] = static_cast<std::uint16_t>(*previous);
                last[next] = *code < next ? first[*code] : first[*previous];
                first[next] = first[*previous];
                length[next] = static_cast<std::uint16_t>(length[*previous] + 1);
                ++next;
                if (next == (std::uint32_t{1} << codeSize) && codeSize < kMaxCodeBits) {
                    ++codeSize;
                }
            }
        } else if (*code >= clear) {
            return;
        }

        const std::size_t size = length[*code];
        std::uint32_t entry = *code;
        for (std::size_t i = size; i-- > 0;) {
            string[i] = last[entry];
            entry = prefix[entry];
        }
        sink.put(std::span<const std::uint8_t>(string.data(), size));
        previous = *code;
    }
}

}  // namespace

std::optional<Picture> decodeGif(std::span<const std::uint8_t> bytes) {
    const ByteReader reader(bytes);
    if (reader.size() < kMinFileSize || !hasSignature(reader)) {
        return std::nullopt;
    }
    const auto screenWidth = reader.u16(6);
    const auto screenHeight = reader.u16(8);
    const auto screenFlags = reader.u8(10);
    const auto backgroundIndex = reader.u8(11);
    if (!screenWidth || !screenHeight || !screenFlags || !backgroundIndex) {
        return std::nullopt;
    }

    std::size_t at = kScreenDescriptorEnd;
    std::optional<Palette> global;
    if (*screenFlags & kTableFlag) {
        // The table must leave at least one block byte after it.
        const std::size_t size = tableBytes(*screenFlags);
        if (!reader.has(at, size + 1)) {
            return std::nullopt;
        }
        global.emplace(*reader.bytes(at, size));
        at += size;
    }

    const auto descriptor = findFirstImage(reader, at);
    if (!descriptor || !reader.has(*descriptor, kImageDescriptorSize)) {
        return std::nullopt;
    }
    const int imageWidth = *reader.u16(*descriptor + 4);
    const int imageHeight = *reader.u16(*descriptor + 6);
    const std::uint8_t imageFlags = *reader.u8(*descriptor + 8);
    at = *descriptor + kImageDescriptorSize;

    std::optional<Palette> local;
    if (imageFlags & kTableFlag) {
        const auto table = reader.bytes(at, tableBytes(imageFlags));
        if (!table) {
            return std::nullopt;
        }
        local.emplace(*table);
        at += table->size();
    }
    const Palette palette = local ? *local : global ? *global : Palette{};

    const auto minCodeSize = reader.u8(at);
    if (minCodeSize && (*minCodeSize < kMinCodeSizeFloor || *minCodeSize > kMinCodeSizeCeiling)) {
        return std::nullopt;
    }

    const Colour background = global ? global->at(*backgroundIndex) : Colour{};
    auto screen = Raster::make(*screenWidth, *screenHeight, background);
    if (!screen) {
        return std::nullopt;
    }
    if (minCodeSize) {
        PixelSink sink(*screen, palette, imageWidth, imageHeight,
                       (imageFlags & kInterlacedFlag) != 0);
        CodeReader codes(reader, at + 1);
        decodeLzw(codes, *minCodeSize, sink);
    }
    return Picture{Kind::Gif, std::move(*screen)};
}

}  // namespace qingxiu
