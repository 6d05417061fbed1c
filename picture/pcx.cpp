#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture/raster.h"

namespace qingxiu {
namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::uint8_t kManufacturer = 0x0A;
constexpr std::uint8_t kLatestVersion = 5;
constexpr std::uint8_t kRunLengthEncoding = 1;
// A byte above this is a run count (the byte minus this) of copies of the byte after it; this
// byte itself, and every byte below it, stands for itself.
constexpr std::uint8_t kRunMarker = 0xC0;
constexpr std::uint64_t kLongestRun = 0xFF - kRunMarker;
constexpr std::uint8_t kColourTableMarker = 0x0C;
constexpr std::size_t kColourTableSize = 256 * 3;

// How the decoded bytes of a row make pixels.
enum class Layout {
    TwoValued,  // 1 bit, 1 plane: pixels most significant bit first
    Indexed,    // 8 bits, 1 plane: one colour-table index per byte
    // 8 bits, 3 or 4 planes: a row holds all its red bytes, then its green, then its blue.
    // This is how ImageMagick and Pillow write every colour picture that has no palette, so
    // refusing it would refuse most PCX files about. A fourth plane is the opacity ImageMagick
    // writes; it is skipped and the stored colours show, just as a GIF's transparent index is
    // drawn in its table colour.
    TrueColour,
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;
    Layout layout = Layout::Indexed;
    std::size_t planes = 0;
    std::size_t bytesPerLine = 0;
};

std::optional<Layout> layoutOf(std::uint8_t bitsPerPixel, std::uint8_t planes) {
    if (bitsPerPixel == 1 && planes == 1) {
        return Layout::TwoValued;
    }
    if (bitsPerPixel == 8 && planes == 1) {
        return Layout::Indexed;
    }
    if (bitsPerPixel == 8 && (planes == 3 || planes == 4)) {
        return Layout::TrueColour;
    }
    // Two planes, or more than four, have no agreed meaning.
    return std::nullopt;
}

// Decoded bytes of one plane of a row that hold pixels; the rest of the bytes per line are
// padding.
std::int64_t bytesHoldingPixels(const Header& header) {
    return header.layout == Layout::TwoValued ? (header.width + 7) / 8 : header.width;
}

std::optional<Header> readHeader(const ByteReader& reader) {
    if (reader.size() <= kHeaderSize) {
        return std::nullopt;
    }
    const auto manufacturer = reader.u8(0);
    const auto version = reader.u8(1);
    const auto encoding = reader.u8(2);
    const auto bitsPerPixel = reader.u8(3);
    const auto xMin = reader.u16(4);
    const auto yMin = reader.u16(6);
    const auto xMax = reader.u16(8);
    const auto yMax = reader.u16(10);
    const auto planes = reader.u8(65);
    const auto bytesPerLine = reader.u16(66);
    if (!manufacturer || !version || !encoding || !bitsPerPixel || !xMin || !yMin || !xMax ||
        !yMax || !planes || !bytesPerLine || *manufacturer != kManufacturer ||
        *version > kLatestVersion || *encoding != kRunLengthEncoding) {
        return std::nullopt;
    }
    const auto layout = layoutOf(*bitsPerPixel, *planes);
    if (!layout) {
        return std::nullopt;
    }
    Header header{std::int64_t{*xMax} - *xMin + 1, std::int64_t{*yMax} - *yMin + 1, *layout,
                  *planes, *bytesPerLine};
    if (header.width <= 0 || header.height <= 0) {
        return std::nullopt;
    }
    // A row too short for its pixels cannot be read as the picture the header describes
    // (0 bytes per line included), so such a file is no picture.
    if (static_cast<std::int64_t>(header.bytesPerLine) < bytesHoldingPixels(header)) {
        return std::nullopt;
    }
    return header;
}

// The run-length data as one continuous stream of decoded bytes. A run belongs to the stream,
// not to a row: one that goes on past the end of a row (or of a plane within a row) carries on
// into the next, which is how a count larger than what is left of the row reads most simply.
class DecodedStream {
public:
    DecodedStream(const ByteReader& reader, std::size_t start) : reader_(reader), at_(start) {}

    // Takes the next `count` decoded bytes: the first `kept` of them go to
    // keep(offset, value, copies) as stretches of equal bytes, the rest are skipped. Skipping
    // costs nothing per byte, so padding cannot make a small file take long. False when the
    // data end first.
    template <typename Keep>
    bool take(std::size_t count, std::size_t kept, Keep&& keep) {
        std::size_t done = 0;
        while (done < count) {
            if (left_ == 0 && !fetch()) {
                return false;
            }
            const std::size_t copies = std::min(left_, count - done);
            if (done < kept) {
                keep(done, value_, std::min(copies, kept - done));
            }
            done += copies;
            left_ -= copies;
        }
        return true;
    }

    // Where the encoded data go on after the run that gave the last decoded byte taken.
    std::size_t position() const { return at_; }

private:
    bool fetch() {
        const auto byte = reader_.u8(at_);
        if (!byte) {
            return false;
        }
        if (*byte <= kRunMarker) {
            value_ = *byte;
            left_ = 1;
            at_ += 1;
            return true;
        }
        const auto value = reader_.u8(at_ + 1);
        if (!value) {
            return false;
        }
        value_ = *value;
        left_ = static_cast<std::size_t>(*byte - kRunMarker);
        at_ += 2;
        return true;
    }

    const ByteReader& reader_;
    std::size_t at_;
    std::uint8_t value_ = 0;
    std::size_t left_ = 0;
};

// Rows whose data end early give no picture. A cut-off file has lost more than rows: an 8-bit
// file keeps its colour table after the last row, so what survived would show in the wrong
// colours. No picture is what every other kind gives for data that end early, and it lets a
// file be refused before anything is allocated when it is too short for its rows however
// tightly they were encoded (every two encoded bytes give at most kLongestRun decoded ones).
bool mayHoldAllRows(const ByteReader& reader, const Header& header) {
    const std::uint64_t decoded =
        static_cast<std::uint64_t>(header.height) * header.planes * header.bytesPerLine;
    const std::uint64_t fewestEncoded = (2 * decoded + kLongestRun - 1) / kLongestRun;
    return reader.size() - kHeaderSize >= fewestEncoded;
}

std::optional<Picture> decodeTwoValued(const ByteReader& reader, const Header& header) {
    const auto count = checkedPixelCount(header.width, header.height);
    if (!count) {
        return std::nullopt;
    }
    TwoValuedImage image;
    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(header.height);
    try {
        image.values.assign(*count, 0);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    const auto width = static_cast<std::size_t>(header.width);
    const auto kept = static_cast<std::size_t>(bytesHoldingPixels(header));
    DecodedStream stream(reader, kHeaderSize);
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* row = image.values.data() + static_cast<std::size_t>(y) * width;
        const auto unpack = [row, width](std::size_t offset, std::uint8_t value,
                                         std::size_t copies) {
            for (std::size_t byte = offset; byte < offset + copies; ++byte) {
                const std::size_t end = std::min(width, byte * 8 + 8);
                for (std::size_t x = byte * 8; x < end; ++x) {
                    row[x] = static_cast<std::uint8_t>((value >> (7 - x % 8)) & 1u);
                }
            }
        };
        if (!stream.take(header.bytesPerLine, kept, unpack)) {
            return std::nullopt;
        }
    }
    return Picture{Kind::Pcx1, std::move(image)};
}

// The colour table after the rows, or, when it is missing (no 0x0C marker, or fewer than 768
// bytes after it), a grey ramp: index i is the grey of brightness i. Files without a table are
// mostly grey pictures from writers that saw no need for one, and a ramp keeps every picture's
// shapes visible, where one colour for all indexes would show nothing.
std::array<Colour, 256> colourTable(const ByteReader& reader, std::size_t at) {
    std::array<Colour, 256> table{};
    const auto marker = reader.u8(at);
    const auto stored = reader.bytes(at + 1, kColourTableSize);
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (marker == kColourTableMarker && stored) {
            table[i] = Colour{(*stored)[3 * i], (*stored)[3 * i + 1], (*stored)[3 * i + 2]};
        } else {
            const auto grey = static_cast<std::uint8_t>(i);
            table[i] = Colour{grey, grey, grey};
        }
    }
    return table;
}

// The byte of a raster pixel that each plane of a true-colour row fills: red, green, blue. The
// fourth plane is skipped, nothing of it kept; its entry only keeps the lookup in range.
constexpr std::array<std::size_t, 4> kChannelOfPlane = {2, 1, 0, 0};

std::optional<Picture> decodeColour(const ByteReader& reader, const Header& header) {
    auto raster = Raster::make(header.width, header.height);
    if (!raster) {
        return std::nullopt;
    }
    const auto kept = static_cast<std::size_t>(header.width);
    DecodedStream stream(reader, kHeaderSize);
    for (int y = 0; y < raster->height(); ++y) {
        std::uint8_t* row = raster->row(y);
        for (std::size_t plane = 0; plane < header.planes; ++plane) {
            // Rasters hold blue, green, red. An index waits in its pixel's blue byte until the
            // colour table, which follows the last row, is known.
            const std::size_t channel =
                header.layout == Layout::Indexed ? 0 : kChannelOfPlane[plane];
            const auto store = [row, channel](std::size_t offset, std::uint8_t value,
                                              std::size_t copies) {
                for (std::size_t x = offset; x < offset + copies; ++x) {
                    row[3 * x + channel] = value;
                }
            };
            if (!stream.take(header.bytesPerLine, plane < 3 ? kept : 0, store)) {
                return std::nullopt;
            }
        }
    }
    if (header.layout == Layout::Indexed) {
        const auto table = colourTable(reader, stream.position());
        for (int y = 0; y < raster->height(); ++y) {
            for (int x = 0; x < raster->width(); ++x) {
                raster->setPixel(x, y, table[raster->row(y)[3 * static_cast<std::size_t>(x)]]);
            }
        }
    }
    return Picture{Kind::Pcx8, std::move(*raster)};
}

}  // namespace

std::optional<Picture> decodePcx(std::span<const std::uint8_t> bytes) {
    const ByteReader reader(bytes);
    const auto header = readHeader(reader);
    if (!header || !mayHoldAllRows(reader, *header)) {
        return std::nullopt;
    }
    if (header->layout == Layout::TwoValued) {
        return decodeTwoValued(reader, *header);
    }
    return decodeColour(reader, *header);
}

}  // namespace qingxiu
