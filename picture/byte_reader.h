#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qingxiu {

// The one way decoders read untrusted bytes: every field is read little-endian at an offset that
// is checked against the data first, so a header value can never index past the end. A read that
// does not fit gives no value.
class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t size() const { return data_.size(); }

    // Whether count bytes from offset lie inside the data; safe for any offset and count.
    bool has(std::size_t offset, std::size_t count) const {
        return offset <= data_.size() && count <= data_.size() - offset;
    }

    std::optional<std::uint8_t> u8(std::size_t offset) const;
    std::optional<std::uint16_t> u16(std::size_t offset) const;
    std::optional<std::uint32_t> u32(std::size_t offset) const;
    std::optional<std::int32_t> i32(std::size_t offset) const;
    std::optional<std::int16_t> i16(std::size_t offset) const;

    // count bytes from offset, or none when they are not all there.
    std::optional<std::span<const std::uint8_t>> bytes(std::size_t offset, std::size_t count) const;
    // Everything from offset to the end (empty when offset is at or past the end).
    std::span<const std::uint8_t> from(std::size_t offset) const;

private:
    std::span<const std::uint8_t> data_;
};

}  // namespace qingxiu
