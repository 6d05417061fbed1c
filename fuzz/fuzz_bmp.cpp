// Any bytes through the BMP decoder: it must give a picture or none, never crash, read outside
// the data or leak, and a picture it gives must be whole: within the pixel cap, with every row.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = qingxiu::decodeBmp(std::span<const std::uint8_t>(data, size));
    if (picture) {
        const auto& raster = std::get<qingxiu::Raster>(picture->content);
        const auto pixels = qingxiu::checkedPixelCount(raster.width(), raster.height());
        if (!pixels || raster.bytes().size() != *pixels * 3) {
            std::abort();
        }
    }
    return 0;
}
