#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/byte_set.h"
#include "picture/picture.h"

namespace qingxiu {
namespace {

TEST(RecogniseTest, TellsKindsByTheirFirstSixBytes) {
    struct Case {
        const char* name;
        ByteSet bytes;
        std::optional<Kind> kind;
    };
    const std::vector<Case> cases{
        {"BMP", {'B', 'M', 0, 0, 0, 0}, Kind::Bmp},
        {"JPEG", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0}, Kind::Jpeg},
        {"ICO", {0, 0, 1, 0, 1, 0}, Kind::Ico},
        {"ICO, count in the high byte", {0, 0, 1, 0, 0, 1}, Kind::Ico},
        {"CUR", {0, 0, 2, 0, 3, 0}, Kind::Cur},
        {"GIF87a", {'G', 'I', 'F', '8', '7', 'a'}, Kind::Gif},
        {"GIF89a", {'G', 'I', 'F', '8', '9', 'a'}, Kind::Gif},
        {"8-bit PCX, version 5", {0x0A, 5, 1, 8, 0, 0}, Kind::Pcx8},
        {"8-bit PCX, version 0", {0x0A, 0, 1, 8, 0, 0}, Kind::Pcx8},
        {"1-bit PCX, version 3", {0x0A, 3, 1, 1, 0, 0}, Kind::Pcx1},
        {"only the start counts", {'B', 'M', 0xFF, 0xFF, 0xFF, 0xFF, 0x00}, Kind::Bmp},

        {"fewer than 6 bytes, BMP start", {'B', 'M', 0, 0, 0}, std::nullopt},
        {"fewer than 6 bytes, JPEG start", {0xFF, 0xD8}, std::nullopt},
        {"empty", {}, std::nullopt},
        {"lower-case bm", {'b', 'm', 0, 0, 0, 0}, std::nullopt},
        {"0xFF 0xD9", {0xFF, 0xD9, 0, 0, 0, 0}, std::nullopt},
        {"ICO with count 0", {0, 0, 1, 0, 0, 0}, std::nullopt},
        {"ICO with reserved 1", {1, 0, 1, 0, 1, 0}, std::nullopt},
        {"type 3", {0, 0, 3, 0, 1, 0}, std::nullopt},
        {"GIF88a", {'G', 'I', 'F', '8', '8', 'a'}, std::nullopt},
        {"GIF89b", {'G', 'I', 'F', '8', '9', 'b'}, std::nullopt},
        {"PCX version 6", {0x0A, 6, 1, 8, 0, 0}, std::nullopt},
        {"PCX encoding 0", {0x0A, 5, 0, 8, 0, 0}, std::nullopt},
        {"1-bit PCX, version 5", {0x0A, 5, 1, 1, 0, 0}, std::nullopt},
        {"4-bit PCX", {0x0A, 3, 1, 4, 0, 0}, std::nullopt},
        {"PNG", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, std::nullopt},
        {"TIFF, little-endian", {'I', 'I', 42, 0, 8, 0, 0, 0}, std::nullopt},
        {"TIFF, big-endian", {'M', 'M', 0, 42, 0, 0, 0, 8}, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(recognise(c.bytes), c.kind) << c.name;
    }
}

}  // namespace
}  // namespace qingxiu
