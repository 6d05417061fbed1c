// JPEG pictures, decoded by libjpeg (the 6b interface).
//
// libjpeg reports every error through the error manager's error_exit, which must not return.
// Ours abandons the decoding with longjmp, and this file is the only place in the program that
// does so. A longjmp skips the destructors of every object in the frames it leaves, so the rule
// here is: between a setjmp and the point it is jumped to, only plain C state is alive in the
// frames a jump can leave. Concretely:
//
// - The libjpeg work is split into two functions, readHeader() and readPixels(), each setting its
//   own jump before its first libjpeg call. A jump from inside libjpeg (or from our callbacks)
//   lands in the function that set it, so the frames it leaves are libjpeg's C frames, our
//   callbacks and the rest of that one function. None of them constructs an object with a
//   destructor: they work on the Session (plain C structs) and on raw pointers only.
// - decodeJpeg() itself sets no jump. It owns the Raster, which it makes between the two phases,
//   once the header has told the output size; a jump never reaches its frame, so the Raster's
//   destructor always runs normally.
// - The one row buffer libjpeg writes into comes from libjpeg's own image pool, so it is released
//   by jpeg_destroy_decompress() like everything else libjpeg holds, on every path.

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h expects FILE and size_t to be declared before it
#include <utility>

#include <jpeglib.h>

#include "picture/decoders.h"
#include "picture/raster.h"

namespace qingxiu {
namespace {

// Real progressive files have few scans: libjpeg's own progressive script writes 10 for colour
// and 6 for grey, and tuned encoders stay within a few dozen. A hostile file can hold thousands,
// 11 bytes each, and every scan makes libjpeg walk all of the picture's coefficient blocks again:
// at the pixel cap even a scan without data costs it about 4 ms, and one with refinement data far
// more, so a file of a few kilobytes could keep the decoder busy for minutes. 100 scans leave
// ample room for every real encoder and bound the work to a hundred passes over the picture.
constexpr int kMaxScans = 100;

// libjpeg's working memory beyond its strip buffers (which grow only with the width, at most
// 65500 pixels) is its whole-picture coefficient buffer, used by progressive and multi-scan
// files: 2 bytes per sample of every component. The limit admits that buffer for a
// four-component picture at the pixel cap (4 x 2 x kMaxPixels = 512 MiB) plus an eighth for the
// padding of blocks to whole MCUs and the strip buffers, so every picture the pixel cap admits
// still decodes. It is a second line behind the pixel cap and the refusal of more than four
// components: should a file still make libjpeg want more, libjpeg, which has no backing store
// here, fails instead of allocating it, and the file is no picture.
constexpr std::uint64_t kCoefficientBytesAtCap = kMaxPixels * 4 * 2;
constexpr long kMaxLibjpegMemory =
    static_cast<long>(kCoefficientBytesAtCap + kCoefficientBytesAtCap / 8);

// The bytes libjpeg is given whenever it asks for data past the end: an end-of-image marker, so
// that a file that ends early still decodes, with whatever libjpeg makes of the missing part.
constexpr JOCTET kEndOfImage[2] = {0xFF, 0xD9};

struct ErrorManager {
    jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf abandon;
};

// Everything one decoding needs, in plain C structs that libjpeg points into; it is created
// zeroed, so jpeg_destroy_decompress is safe on it even when creating the decompressor failed.
struct Session {
    jpeg_decompress_struct decompressor;
    ErrorManager errors;
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
};

[[noreturn]] void abandonDecoding(j_common_ptr common) {
    std::longjmp(reinterpret_cast<ErrorManager*>(common->err)->abandon, 1);
}

// libjpeg's messages, warnings and traces alike, are never shown.
void showNoMessage(j_common_ptr) {}
void emitNoMessage(j_common_ptr, int) {}

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

// All the data were handed over at the start, so libjpeg asks for more only past the end.
boolean feedEndOfImage(j_decompress_ptr decompressor) {
    decompressor->src->next_input_byte = kEndOfImage;
    decompressor->src->bytes_in_buffer = sizeof kEndOfImage;
    return TRUE;
}

// A skip past the end lands at the end, whatever the count.
void skipData(j_decompress_ptr decompressor, long count) {
    jpeg_source_mgr& source = *decompressor->src;
    if (count <= 0) {
        return;
    }
    if (static_cast<unsigned long>(count) > source.bytes_in_buffer) {
        feedEndOfImage(decompressor);
        return;
    }
    source.next_input_byte += count;
    source.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void limitScans(j_common_ptr common) {
    if (common->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(common)->input_scan_number > kMaxScans) {
        abandonDecoding(common);
    }
}

// Phase one: create the decompressor over the bytes and read the header, so that the output size
// is known. False when libjpeg fails or the output is of a kind no picture is made of.
bool readHeader(Session& session, const JOCTET* data, std::size_t size) {
    jpeg_decompress_struct& decompressor = session.decompressor;
    decompressor.err = jpeg_std_error(&session.errors.manager);
    session.errors.manager.error_exit = abandonDecoding;
    session.errors.manager.output_message = showNoMessage;
    session.errors.manager.emit_message = emitNoMessage;
    if (setjmp(session.errors.abandon) != 0) {
        return false;
    }
    jpeg_CreateDecompress(&decompressor, JPEG_LIB_VERSION, sizeof decompressor);
    decompressor.mem->max_memory_to_use = kMaxLibjpegMemory;

    session.source.next_input_byte = data;
    session.source.bytes_in_buffer = size;
    session.source.init_source = startSource;
    session.source.fill_input_buffer = feedEndOfImage;
    session.source.skip_input_data = skipData;
    session.source.resync_to_restart = jpeg_resync_to_restart;
    session.source.term_source = endSource;
    decompressor.src = &session.source;

    session.progress.progress_monitor = limitScans;
    decompressor.progress = &session.progress;

    if (jpeg_read_header(&decompressor, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    // Policy: CMYK and YCCK files become colour pictures rather than none. libjpeg turns YCCK
    // into CMYK; toBgrFromCmyk() does the rest.
    if (decompressor.jpeg_color_space == JCS_CMYK || decompressor.jpeg_color_space == JCS_YCCK) {
        decompressor.out_color_space = JCS_CMYK;
    }
    // Grey, RGB and CMYK are the only outputs pictures are made of; libjpeg gives any other
    // component count (2, or 5 and more) as an unknown colour space.
    if (decompressor.out_color_space != JCS_GRAYSCALE && decompressor.out_color_space != JCS_RGB &&
        decompressor.out_color_space != JCS_CMYK) {
        return false;
    }
    jpeg_calc_output_dimensions(&decompressor);
    return true;
}

void toBgrFromRgb(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

void toBgrFromGrey(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, ++in, out += 3) {
        out[0] = *in;
        out[1] = *in;
        out[2] = *in;
    }
}

std::uint8_t inkTimesBlack(unsigned ink, unsigned black) {
    return static_cast<std::uint8_t>((ink * black + 127) / 255);
}

// Policy: CMYK samples are taken in the inverted convention that Adobe's encoders, and most
// others after them, write: every stored value is 255 minus the amount of ink. So red is the
// stored cyan times the stored black, R = C * K / 255, and likewise G from M and B from Y.
void toBgrFromCmyk(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width) {
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        out[0] = inkTimesBlack(in[2], in[3]);
        out[1] = inkTimesBlack(in[1], in[3]);
        out[2] = inkTimesBlack(in[0], in[3]);
    }
}

// Phase two: decode the rows, top first and one at a time, into `pixels`, width x height packed
// BGR rows that the caller has made for the size readHeader() found.
bool readPixels(Session& session, std::uint8_t* pixels, JDIMENSION width, JDIMENSION height) {
    jpeg_decompress_struct& decompressor = session.decompressor;
    if (setjmp(session.errors.abandon) != 0) {
        return false;
    }
    // A source that never suspends makes these calls complete at once or fail by jumping.
    if (!jpeg_start_decompress(&decompressor) || decompressor.output_width != width ||
        decompressor.output_height != height) {
        return false;
    }
    void (*convert)(const JSAMPLE*, std::uint8_t*, JDIMENSION) = toBgrFromRgb;
    if (decompressor.out_color_space == JCS_GRAYSCALE) {
        convert = toBgrFromGrey;
    } else if (decompressor.out_color_space == JCS_CMYK) {
        convert = toBgrFromCmyk;
    }
    JSAMPARRAY line = (*decompressor.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&decompressor), JPOOL_IMAGE,
        width * static_cast<JDIMENSION>(decompressor.output_components), 1);
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    while (decompressor.output_scanline < height) {
        std::uint8_t* row = pixels + decompressor.output_scanline * stride;
        if (jpeg_read_scanlines(&decompressor, line, 1) != 1) {
            return false;
        }
        convert(line[0], row, width);
    }
    jpeg_finish_decompress(&decompressor);
    return true;
}

}  // namespace

std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return std::nullopt;
    }
    Session session{};
    std::optional<Raster> raster;
    bool decoded = readHeader(session, bytes.data(), bytes.size());
    if (decoded) {
        const JDIMENSION width = session.decompressor.output_width;
        const JDIMENSION height = session.decompressor.output_height;
        // Raster::make refuses sizes over the pixel cap before libjpeg allocates for the picture.
        raster = Raster::make(width, height);
        decoded = raster && readPixels(session, raster->row(0), width, height);
    }
    jpeg_destroy_decompress(&session.decompressor);
    if (!decoded) {
        return std::nullopt;
    }
    return Picture{Kind::Jpeg, std::move(*raster)};
}

}  // namespace qingxiu
