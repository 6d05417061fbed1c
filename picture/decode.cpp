#include "picture/decoders.h"
#include "picture/picture.h"

namespace qingxiu {

std::optional<Picture> decode(std::span<const std::uint8_t> bytes) {
    const auto kind = recognise(bytes);
    if (!kind) {
        return std::nullopt;
    }
    switch (*kind) {
        case Kind::Bmp:
            return decodeBmp(bytes);
        case Kind::Jpeg:
            return decodeJpeg(bytes);
        case Kind::Ico:
        case Kind::Cur:
            return decodeIco(bytes);
        case Kind::Gif:
            return decodeGif(bytes);
        case Kind::Pcx8:
        case Kind::Pcx1:
            return decodePcx(bytes);
    }
    return std::nullopt;
}

}  // namespace qingxiu
