// Any bytes along the whole road of a picture: shown as the background of an 84 x 84 preview
// (recognised, decoded, drawn centred), then loaded again and drawn stretched onto a 16 x 16
// canvas with a persistent image, whole and partly off the canvas, and captured. The last byte's
// lowest bit picks the display depth and so the stretch mode. Nothing may crash, read or write
// outside a buffer, or leak, and the capture is always the full 822 bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "base/byte_set.h"
#include "picture/canvas.h"
#include "picture/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qingxiu;
    if (size == 0) {
        return 0;
    }
    const ByteSet bytes(data, data + size);
    const Display display{(data[size - 1] & 1) != 0 ? 32 : 16, Colour{0xF0, 0xF0, 0xF0}};

    Canvas preview(84, 84, display, false);
    preview.setBackgroundPicture(bytes);
    preview.paint();
    preview.paint();

    const std::optional<Picture> picture = decode(bytes);
    Canvas icon(16, 16, display, true);
    icon.drawPicture(picture ? &*picture : nullptr, Rect{0, 0, 16, 16});
    icon.drawPicture(picture ? &*picture : nullptr, Rect{-5, 9, 24, 11});
    if (icon.capture().size() != 822) {
        std::abort();
    }
    return 0;
}
