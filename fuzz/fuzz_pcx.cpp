// Any bytes through the PCX decoder: it must give a picture or none, and never crash, read
// outside the data, write past a row or leak.

#include <cstddef>
#include <cstdint>
#include <span>

#include "picture/decoders.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qingxiu::decodePcx(std::span<const std::uint8_t>(data, size));
    return 0;
}
