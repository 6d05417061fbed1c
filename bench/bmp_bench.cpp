// A photograph-sized 24-bit BMP through the steps a conversion takes it: decoding, and drawing it
// into the 84 x 84 preview (centred) and onto the 32 x 32 icon canvas (stretched), with drawing
// alone measured in both stretch modes.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "picture/canvas.h"
#include "picture/decoders.h"
#include "picture/draw.h"
#include "picture/picture.h"
#include "picture/raster.h"

namespace qingxiu {
namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr double kMegapixels = kWidth * kHeight / 1e6;
constexpr Colour kFace{0xF0, 0xF0, 0xF0};

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Made once: a bottom-up 24-bit file whose pixels vary everywhere (a gradient with a pattern on
// it), so that nothing about the content makes a step cheaper than on a photograph.
const std::vector<std::uint8_t>& largeBmp() {
    static const std::vector<std::uint8_t> bytes = [] {
        const std::uint32_t rowLength = (kWidth * 3 + 3) / 4 * 4;
        const std::uint32_t pixelBytes = rowLength * kHeight;
        std::vector<std::uint8_t> out;
        out.reserve(54 + pixelBytes);
        // File header: signature, file size, reserved, offset of the pixel rows.
        out.push_back('B');
        out.push_back('M');
        put32(out, 54 + pixelBytes);
        put32(out, 0);
        put32(out, 54);
        // Information header: size, width, height, planes, bits, compression, image size, the
        // rest 0.
        put32(out, 40);
        put32(out, kWidth);
        put32(out, kHeight);
        put16(out, 1);
        put16(out, 24);
        put32(out, 0);
        put32(out, pixelBytes);
        for (int i = 0; i < 4; ++i) {
            put32(out, 0);
        }
        for (int y = kHeight - 1; y >= 0; --y) {
            for (int x = 0; x < kWidth; ++x) {
                out.push_back(static_cast<std::uint8_t>(x * 255 / kWidth));
                out.push_back(static_cast<std::uint8_t>(y * 255 / kHeight));
                out.push_back(static_cast<std::uint8_t>((x ^ y) & 0xFF));
            }
            out.resize(out.size() + (rowLength - kWidth * 3), 0);
        }
        return out;
    }();
    return bytes;
}

const Picture& largePicture() {
    static const Picture picture = *decodeBmp(largeBmp());
    return picture;
}

void setRate(benchmark::State& state) {
    state.counters["Mpx/s"] = benchmark::Counter(
        kMegapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_DecodeBmp(benchmark::State& state) {
    const std::span<const std::uint8_t> bytes(largeBmp());
    for (auto _ : state) {
        auto picture = decodeBmp(bytes);
        benchmark::DoNotOptimize(picture);
    }
    setRate(state);
}
BENCHMARK(BM_DecodeBmp)->Unit(benchmark::kMillisecond);

// What the preview does for a new background picture: decode, then draw centred.
void BM_DecodeAndDrawPreview(benchmark::State& state) {
    const std::span<const std::uint8_t> bytes(largeBmp());
    Raster preview(84, 84, kFace);
    for (auto _ : state) {
        const std::optional<Picture> picture = decode(bytes);
        draw(preview, *picture, centredPlacement(84, 84, kWidth, kHeight),
             DrawContext{StretchMode::Halftone});
        benchmark::DoNotOptimize(preview.row(0));
    }
    setRate(state);
}
BENCHMARK(BM_DecodeAndDrawPreview)->Unit(benchmark::kMillisecond);

// What a 32 x 32 conversion does: decode, then draw stretched onto the icon canvas.
void BM_DecodeAndDrawIcon(benchmark::State& state) {
    const std::span<const std::uint8_t> bytes(largeBmp());
    Raster icon(32, 32, kFace);
    for (auto _ : state) {
        const std::optional<Picture> picture = decode(bytes);
        draw(icon, *picture, Rect{0, 0, 32, 32}, DrawContext{StretchMode::Halftone});
        benchmark::DoNotOptimize(icon.row(0));
    }
    setRate(state);
}
BENCHMARK(BM_DecodeAndDrawIcon)->Unit(benchmark::kMillisecond);

// Drawing alone, into the preview's rectangle and onto the icon canvas, in either mode.
void BM_Draw(benchmark::State& state, StretchMode mode, int side) {
    const Rect where =
        side == 84 ? centredPlacement(84, 84, kWidth, kHeight) : Rect{0, 0, side, side};
    const Picture& picture = largePicture();
    Raster target(side, side, kFace);
    for (auto _ : state) {
        draw(target, picture, where, DrawContext{mode});
        benchmark::DoNotOptimize(target.row(0));
    }
    setRate(state);
}
BENCHMARK_CAPTURE(BM_Draw, halftone_preview84, StretchMode::Halftone, 84)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, halftone_icon32, StretchMode::Halftone, 32)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, coloroncolor_preview84, StretchMode::ColorOnColor, 84)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Draw, coloroncolor_icon32, StretchMode::ColorOnColor, 32)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qingxiu

BENCHMARK_MAIN();
