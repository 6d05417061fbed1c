// Any bytes through the ICO and CUR decoder, bitmap and PNG images alike: it must give a picture
// or none, never crash, read outside the data or leak, and an icon it gives must be whole: its
// mask and any alpha one byte per pixel of its colour image.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = qingxiu::decodeIco(std::span<const std::uint8_t>(data, size));
    if (picture) {
        const auto& icon = std::get<qingxiu::IconImage>(picture->content);
        const auto pixels = qingxiu::checkedPixelCount(icon.colour.width(), icon.colour.height());
        if (!pixels || icon.transparent.size() != *pixels ||
            (!icon.alpha.empty() && icon.alpha.size() != *pixels)) {
            std::abort();
        }
    }
    return 0;
}
