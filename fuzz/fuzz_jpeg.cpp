// Any bytes through the JPEG decoder: it must give a picture or none, and never crash, read
// outside the data or leak.

#include <cstddef>
#include <cstdint>
#include <span>

#include "picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qingxiu::decodeJpeg(std::span<const std::uint8_t>(data, size));
    return 0;
}
