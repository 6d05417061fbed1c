#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/byte_set.h"

namespace qingxiu {

// The two icon sizes the program writes: 16x16 when 单选框1 is checked, 32x32 when 单选框2 is.
enum class SizeMode { Small16, Large32 };

// Where a size mode's icon file lies in 图标模板 and where its colour area lies in that file.
struct IconLayout {
    int side;                       // N: the icon is N x N pixels
    std::int64_t templatePosition;  // 1-based position of the file in 图标模板
    std::int64_t fileLength;        // 894 or 3262
    std::int64_t colourPosition;    // 1-based position of the colour area in the file
    std::int64_t colourLength;      // 3 * N * N: N rows of N blue-green-red pixels, bottom first
};

IconLayout layoutOf(SizeMode mode);

inline constexpr std::size_t kTemplateLength = 4156;

// Two complete icon files back to back, 16x16 then 32x32, each one 24-bit image whose colour
// bytes and AND mask are all zero. Icons are never composed at run time: a conversion copies the
// file of its size and overwrites only its colour area.
extern const std::array<std::uint8_t, kTemplateLength> 图标模板;

// A fresh copy of the icon file that the size mode uses, cut from 图标模板.
ByteSet templateFor(SizeMode mode);

}  // namespace qingxiu
