#include "picture/byte_reader.h"

namespace qingxiu {

std::optional<std::uint8_t> ByteReader::u8(std::size_t offset) const {
    if (!has(offset, 1)) {
        return std::nullopt;
    }
    return data_[offset];
}

std::optional<std::uint16_t> ByteReader::u16(std::size_t offset) const {
    if (!has(offset, 2)) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
}

std::optional<std::uint32_t> ByteReader::u32(std::size_t offset) const {
    if (!has(offset, 4)) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(data_[offset]) |
           (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
}

std::optional<std::int32_t> ByteReader::i32(std::size_t offset) const {
    const auto value = u32(offset);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(*value);
}

std::optional<std::int16_t> ByteReader::i16(std::size_t offset) const {
    const auto value = u16(offset);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::int16_t>(*value);
}

std::optional<std::span<const std::uint8_t>> ByteReader::bytes(std::size_t offset,
                                                               std::size_t count) const {
    if (!has(offset, count)) {
        return std::nullopt;
    }
    return data_.subspan(offset, count);
}

std::span<const std::uint8_t> ByteReader::from(std::size_t offset) const {
    return offset >= data_.size() ? std::span<const std::uint8_t>{} : data_.subspan(offset);
}

}  // namespace qingxiu
