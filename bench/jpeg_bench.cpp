// The JPEG decoder on a large photograph-sized picture, alone and followed by the drawing of a
// preview and of an icon, beside a plain libjpeg decode of the same bytes, so that what the
// decoder adds (its guards, the raster, the conversion to blue, green, red) shows against the
// library's own cost.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h expects FILE and size_t to be declared before it
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include <jpeglib.h>

#include "picture/canvas.h"
#include "picture/decoders.h"
#include "picture/draw.h"
#include "picture/raster.h"

namespace qingxiu {
namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr double kMegapixels = kWidth * kHeight / 1e6;

// A smooth diagonal gradient with fine ripples and a little noise on it, so that the coded data
// have both flat areas and detail, as photographs do. Encoded once, baseline, quality 90,
// libjpeg's default 2x2 chroma subsampling. The library's default error handling exits, which is
// fine for bytes this program makes itself.
const std::vector<std::uint8_t>& largeJpeg() {
    static const std::vector<std::uint8_t> bytes = [] {
        jpeg_compress_struct compressor{};
        jpeg_error_mgr errors{};
        compressor.err = jpeg_std_error(&errors);
        jpeg_CreateCompress(&compressor, JPEG_LIB_VERSION, sizeof compressor);
        unsigned char* out = nullptr;
        unsigned long outSize = 0;
        jpeg_mem_dest(&compressor, &out, &outSize);
        compressor.image_width = kWidth;
        compressor.image_height = kHeight;
        compressor.input_components = 3;
        compressor.in_color_space = JCS_RGB;
        jpeg_set_defaults(&compressor);
        jpeg_set_quality(&compressor, 90, TRUE);
        jpeg_start_compress(&compressor, TRUE);
        std::vector<JSAMPLE> row(static_cast<std::size_t>(kWidth) * 3);
        std::uint32_t noise = 12345;
        while (compressor.next_scanline < compressor.image_height) {
            const int y = static_cast<int>(compressor.next_scanline);
            for (int x = 0; x < kWidth; ++x) {
                noise = noise * 1664525u + 1013904223u;
                const int grain = static_cast<int>(noise >> 28) - 8;
                const double ripple = 20.0 * std::sin(x * 0.05) * std::cos(y * 0.07);
                const auto clamp = [](double v) {
                    return static_cast<JSAMPLE>(v < 0 ? 0 : (v > 255 ? 255 : v));
                };
                JSAMPLE* p = row.data() + static_cast<std::size_t>(x) * 3;
                p[0] = clamp(255.0 * x / kWidth + ripple + grain);
                p[1] = clamp(255.0 * y / kHeight - ripple + grain);
                p[2] = clamp(128.0 + ripple * 2 + grain);
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&compressor, rows, 1);
        }
        jpeg_finish_compress(&compressor);
        std::vector<std::uint8_t> result(out, out + outSize);
        jpeg_destroy_compress(&compressor);
        std::free(out);
        return result;
    }();
    return bytes;
}

void setRate(benchmark::State& state) {
    state.counters["Mpx/s"] = benchmark::Counter(
        kMegapixels * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(largeJpeg().size());
}

void BM_DecodeJpeg(benchmark::State& state) {
    const std::span<const std::uint8_t> bytes(largeJpeg());
    for (auto _ : state) {
        auto picture = decodeJpeg(bytes);
        benchmark::DoNotOptimize(picture);
    }
    setRate(state);
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

// Decoding and then drawing as the preview and the icon canvases do: shrunk in proportion into
// the centre of 84 x 84, and stretched whole into 32 x 32, both with the halftone stretch of
// true-colour displays.
void decodeAndDraw(benchmark::State& state, int size, bool centred) {
    const std::span<const std::uint8_t> bytes(largeJpeg());
    DrawContext context;
    context.mode = StretchMode::Halftone;
    for (auto _ : state) {
        Raster target(size, size, Colour{0xF0, 0xF0, 0xF0});
        const auto picture = decodeJpeg(bytes);
        if (!picture) {
            state.SkipWithError("the large JPEG did not decode");
            return;
        }
        const Rect where = centred
                               ? centredPlacement(size, size, picture->width(), picture->height())
                               : Rect{0, 0, size, size};
        draw(target, *picture, where, context);
        benchmark::DoNotOptimize(target.bytes().data());
    }
    setRate(state);
}

void BM_DecodeJpegDrawCentred84(benchmark::State& state) {
    decodeAndDraw(state, 84, true);
}
BENCHMARK(BM_DecodeJpegDrawCentred84)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegDrawStretched32(benchmark::State& state) {
    decodeAndDraw(state, 32, false);
}
BENCHMARK(BM_DecodeJpegDrawStretched32)->Unit(benchmark::kMillisecond);

void plainDecode(const std::vector<std::uint8_t>& bytes, JSAMPLE* pixels) {
    jpeg_decompress_struct decompressor{};
    jpeg_error_mgr errors{};
    decompressor.err = jpeg_std_error(&errors);
    jpeg_CreateDecompress(&decompressor, JPEG_LIB_VERSION, sizeof decompressor);
    jpeg_mem_src(&decompressor, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&decompressor, TRUE);
    decompressor.out_color_space = JCS_RGB;
    jpeg_start_decompress(&decompressor);
    while (decompressor.output_scanline < decompressor.output_height) {
        JSAMPROW rows[1] = {pixels +
                            static_cast<std::size_t>(decompressor.output_scanline) * kWidth * 3};
        jpeg_read_scanlines(&decompressor, rows, 1);
    }
    jpeg_finish_decompress(&decompressor);
    jpeg_destroy_decompress(&decompressor);
}

// libjpeg alone: its memory source, RGB output, one row at a time. With argument 0 the output
// buffer is made once and reused, which measures the library's decoding only; with 1 it is made
// anew for every decoding, as for every picture the decoder returns, so that the cost of fresh
// memory (page faults on first touch) is counted as it is there.
void BM_PlainLibjpegDecode(benchmark::State& state) {
    const std::vector<std::uint8_t>& bytes = largeJpeg();
    const std::size_t size = static_cast<std::size_t>(kWidth) * kHeight * 3;
    const bool freshOutput = state.range(0) != 0;
    std::unique_ptr<JSAMPLE[]> reused(freshOutput ? nullptr : new JSAMPLE[size]);
    for (auto _ : state) {
        std::unique_ptr<JSAMPLE[]> fresh(freshOutput ? new JSAMPLE[size] : nullptr);
        JSAMPLE* pixels = freshOutput ? fresh.get() : reused.get();
        plainDecode(bytes, pixels);
        benchmark::DoNotOptimize(pixels);
    }
    setRate(state);
}
BENCHMARK(BM_PlainLibjpegDecode)
    ->ArgName("freshOutput")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qingxiu

BENCHMARK_MAIN();
