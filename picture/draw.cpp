#include "picture/draw.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>
#include <vector>

namespace qingxiu {
namespace {

using Sum = std::uint64_t;

// One axis of a stretch: a source of `source` pixels spread over exactly `target` pixels, of
// which only [visibleBegin, visibleEnd) lie on the raster. All positions are measured in units
// of 1/target of a source pixel: target pixel d covers [d * source, (d + 1) * source) and source
// pixel s covers [s * target, (s + 1) * target). Because the mapping is always made from the full
// target length, clipping only decides which target pixels are computed, never their values.
struct Axis {
    std::int64_t source = 0;
    std::int64_t target = 0;
    std::int64_t visibleBegin = 0;
    std::int64_t visibleEnd = 0;

    std::int64_t visibleCount() const { return visibleEnd - visibleBegin; }

    // The source pixel under the centre of target pixel d.
    std::int64_t nearest(std::int64_t d) const { return (2 * d + 1) * source / (2 * target); }
};

// The source pixels under one target pixel with their integer coverage. The first and the last
// may be covered in part; every one between them is covered whole, by `target` units. The
// weights of one target pixel always add up to `source`, so the weights of a target pixel in
// two dimensions add up to the source's pixel count and a uniform source stays exactly uniform.
struct Span {
    std::int64_t first = 0;
    std::int64_t last = 0;
    Sum firstWeight = 0;
    Sum lastWeight = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

Span spanOf(const Axis& axis, std::int64_t d) {
    const std::int64_t begin = d * axis.source;
    const std::int64_t end = begin + axis.source;
    Span span;
    span.first = begin / axis.target;
    span.last = (end - 1) / axis.target;
    if (span.first == span.last) {
        span.firstWeight = static_cast<Sum>(axis.source);
    } else {
        span.firstWeight = static_cast<Sum>((span.first + 1) * axis.target - begin);
        span.lastWeight = static_cast<Sum>(end - span.last * axis.target);
    }
    return span;
}

// The visible part of [origin, origin + length) on an axis of `limit` pixels, as target indexes.
Axis axisOf(std::int64_t source, std::int64_t origin, std::int64_t length, std::int64_t limit) {
    Axis axis;
    axis.source = source;
    axis.target = length;
    axis.visibleBegin = std::max<std::int64_t>(0, -origin);
    axis.visibleEnd = std::min<std::int64_t>(length, limit - origin);
    return axis;
}

// Where the visible target pixels go on the raster.
struct Placement {
    Axis x;
    Axis y;
    std::int64_t left = 0;
    std::int64_t top = 0;
};

// HALFTONE: every target pixel is the coverage-weighted sum of the source pixels under it,
// handed to `put` with the total weight. One pass over the source, top row first: the source rows
// under a target row are added up column by column (the rows covered whole plainly, the two
// partly covered ones by their share), and these column sums are then resampled across into the
// target row. Adding whole rows is a flat loop over the row's samples, which is what makes
// shrinking a large picture fast. A target row under exactly the same source rows as the one
// before it (enlarging) reuses its sums. `rows(sy)` gives source row sy as `Channels` samples a
// pixel. `Column` holds a column sum, at most the largest sample times the source height.
template <int Channels, typename Sample, typename Column, typename Rows, typename Put>
void halftoneWith(const Placement& at, Rows& rows, Put& put) {
    const auto columns = static_cast<std::size_t>(at.x.visibleCount());
    std::vector<Span> columnSpans(columns);
    for (std::size_t i = 0; i < columns; ++i) {
        columnSpans[i] = spanOf(at.x, at.x.visibleBegin + static_cast<std::int64_t>(i));
    }
    // Only the source columns under the visible target columns are read.
    const std::int64_t firstColumn = columnSpans.front().first;
    const auto sourceWidth =
        static_cast<std::size_t>(columnSpans.back().last - firstColumn + 1) * Channels;
    const Sum wholeColumn = static_cast<Sum>(at.x.target);
    const auto wholeRow = static_cast<Column>(at.y.target);
    const Sum total = static_cast<Sum>(at.x.source) * static_cast<Sum>(at.y.source);

    std::vector<Column> down(sourceWidth);
    std::vector<Column> whole(sourceWidth);
    std::vector<Sum> across(columns * Channels);
    const auto sourceRow = [&](std::int64_t sy) { return rows(sy) + firstColumn * Channels; };
    Span previous{-1, -1, 0, 0};
    for (std::int64_t dy = at.y.visibleBegin; dy < at.y.visibleEnd; ++dy) {
        const Span span = spanOf(at.y, dy);
        if (span != previous) {
            const auto firstWeight = static_cast<Column>(span.firstWeight);
            const Sample* first = sourceRow(span.first);
            for (std::size_t i = 0; i < sourceWidth; ++i) {
                down[i] = firstWeight * first[i];
            }
            if (span.last != span.first) {
                std::fill(whole.begin(), whole.end(), Column{0});
                for (std::int64_t sy = span.first + 1; sy < span.last; ++sy) {
                    const Sample* row = sourceRow(sy);
                    for (std::size_t i = 0; i < sourceWidth; ++i) {
                        whole[i] += row[i];
                    }
                }
                const auto lastWeight = static_cast<Column>(span.lastWeight);
                const Sample* last = sourceRow(span.last);
                for (std::size_t i = 0; i < sourceWidth; ++i) {
                    down[i] += lastWeight * last[i] + wholeRow * whole[i];
                }
            }
            for (std::size_t i = 0; i < columns; ++i) {
                const Span& columnSpan = columnSpans[i];
                const Column* from =
                    &down[static_cast<std::size_t>(columnSpan.first - firstColumn) * Channels];
                Sum* out = &across[i * Channels];
                for (int c = 0; c < Channels; ++c) {
                    out[c] = columnSpan.firstWeight * from[c];
                }
                if (columnSpan.last == columnSpan.first) {
                    continue;
                }
                const Column* last = from + (columnSpan.last - columnSpan.first) * Channels;
                Sum covered[Channels] = {};
                for (const Column* p = from + Channels; p < last; p += Channels) {
                    for (int c = 0; c < Channels; ++c) {
                        covered[c] += p[c];
                    }
                }
                for (int c = 0; c < Channels; ++c) {
                    out[c] += wholeColumn * covered[c] + columnSpan.lastWeight * last[c];
                }
            }
            previous = span;
        }
        const auto y = static_cast<int>(at.top + dy);
        for (std::size_t i = 0; i < columns; ++i) {
            const auto x = static_cast<int>(at.left + at.x.visibleBegin + static_cast<int>(i));
            put(x, y, &across[i * Channels], total);
        }
    }
}

// Column sums in 32 bits add several times faster than in 64; they are used whenever the
// largest possible column sum fits.
template <int Channels, typename Sample, typename Rows, typename Put>
void halftone(const Placement& at, Rows& rows, Put& put) {
    const Sum largest = Sum{std::numeric_limits<Sample>::max()} * static_cast<Sum>(at.y.source);
    if (largest <= std::numeric_limits<std::uint32_t>::max()) {
        halftoneWith<Channels, Sample, std::uint32_t>(at, rows, put);
    } else {
        halftoneWith<Channels, Sample, Sum>(at, rows, put);
    }
}

// COLORONCOLOR: every target pixel takes the source pixel under its centre.
template <int Channels, typename Sample, typename Rows, typename Put>
void nearest(const Placement& at, Rows& rows, Put& put) {
    const auto columns = static_cast<std::size_t>(at.x.visibleCount());
    std::vector<std::int64_t> sourceColumn(columns);
    for (std::size_t i = 0; i < columns; ++i) {
        sourceColumn[i] = at.x.nearest(at.x.visibleBegin + static_cast<std::int64_t>(i));
    }
    for (std::int64_t dy = at.y.visibleBegin; dy < at.y.visibleEnd; ++dy) {
        const Sample* row = rows(at.y.nearest(dy));
        const auto y = static_cast<int>(at.top + dy);
        for (std::size_t i = 0; i < columns; ++i) {
            const auto x = static_cast<int>(at.left + at.x.visibleBegin + static_cast<int>(i));
            put(x, y, row + sourceColumn[i] * Channels);
        }
    }
}

template <int Channels, typename Sample, typename Rows, typename PutSum, typename PutSample>
void stretch(StretchMode mode, const Placement& at, Rows& rows, PutSum putSum,
             PutSample putSample) {
    if (mode == StretchMode::Halftone) {
        halftone<Channels, Sample>(at, rows, putSum);
    } else {
        nearest<Channels, Sample>(at, rows, putSample);
    }
}

std::uint8_t* targetPixel(Raster& target, int x, int y) {
    return target.row(y) + static_cast<std::size_t>(x) * 3;
}

// Opaque colour (raster pictures and coloured two-valued ones): the sums are blue, green, red
// and are rounded to the nearest value, halves up, so a 2 x 2 block shrunk to one pixel is the
// mean of its four pixels rounded half up.
void stretchColour(Raster& target, const Placement& at, StretchMode mode, const auto& rows) {
    stretch<3, std::uint8_t>(
        mode, at, rows,
        [&target](int x, int y, const Sum* sums, Sum total) {
            std::uint8_t* out = targetPixel(target, x, y);
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>((sums[c] + total / 2) / total);
            }
        },
        [&target](int x, int y, const std::uint8_t* sample) {
            std::copy(sample, sample + 3, targetPixel(target, x, y));
        });
}

// Icon pictures are scaled with their opacity and laid over the target. Each source pixel
// becomes blue * a, green * a, red * a and a (its opacity, 0..255), so averaging weighs every
// colour by how much of it shows, and the target shows through by what is left:
// out = (colour * a + target * (255 - a)) / 255, rounded to nearest. A pixel of opacity 0 leaves
// the target exactly as it was and one of opacity 255 is exactly its colour.
void stretchIcon(Raster& target, const Placement& at, StretchMode mode, const auto& rows) {
    stretch<4, std::uint16_t>(
        mode, at, rows,
        [&target](int x, int y, const Sum* sums, Sum total) {
            std::uint8_t* out = targetPixel(target, x, y);
            const Sum whole = 255 * total;
            const Sum through = whole - sums[3];
            for (int c = 0; c < 3; ++c) {
                out[c] =
                    static_cast<std::uint8_t>((sums[c] + out[c] * through + whole / 2) / whole);
            }
        },
        [&target](int x, int y, const std::uint16_t* sample) {
            std::uint8_t* out = targetPixel(target, x, y);
            const unsigned through = 255u - sample[3];
            for (int c = 0; c < 3; ++c) {
                out[c] = static_cast<std::uint8_t>((sample[c] + out[c] * through + 127u) / 255u);
            }
        });
}

// The opacity of the icon's pixels. Alpha, when the image carries it, decides alone. Otherwise
// the AND mask does: a pixel whose mask bit is 1 is transparent whatever its colour, and one
// whose bit is 0 is opaque. Old icons used colour under a set mask bit to invert the screen;
// that effect is not reproduced, such pixels simply let the target show.
struct Opacity {
    const std::vector<std::uint8_t>& values;
    bool isAlpha;
    std::uint16_t of(std::size_t i) const {
        if (isAlpha) {
            return values[i];
        }
        return values[i] == 0 ? 255 : 0;
    }
};

void drawRaster(Raster& target, const Raster& source, const Placement& at, StretchMode mode) {
    stretchColour(target, at, mode,
                  [&source](std::int64_t sy) { return source.row(static_cast<int>(sy)); });
}

// A two-valued picture is coloured first, row by row, and then stretched like any colour picture:
// 0 pixels take the context's text colour, 1 pixels (and any other value but 0) its background
// colour.
void drawTwoValued(Raster& target, const TwoValuedImage& source, const Placement& at,
                   const DrawContext& context) {
    const auto width = static_cast<std::size_t>(source.width);
    const std::uint8_t zero[3] = {context.text.blue, context.text.green, context.text.red};
    const std::uint8_t one[3] = {context.background.blue, context.background.green,
                                 context.background.red};
    std::vector<std::uint8_t> coloured(width * 3);
    stretchColour(target, at, context.mode, [&](std::int64_t sy) {
        const std::uint8_t* values = source.values.data() + static_cast<std::size_t>(sy) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* colour = values[x] == 0 ? zero : one;
            std::copy(colour, colour + 3, &coloured[x * 3]);
        }
        return static_cast<const std::uint8_t*>(coloured.data());
    });
}

void drawIcon(Raster& target, const IconImage& source, const Placement& at, StretchMode mode) {
    const Opacity opacity{source.alpha.empty() ? source.transparent : source.alpha,
                          !source.alpha.empty()};
    const auto width = static_cast<std::size_t>(source.colour.width());
    std::vector<std::uint16_t> weighted(width * 4);
    stretchIcon(target, at, mode, [&](std::int64_t sy) {
        const std::uint8_t* colour = source.colour.row(static_cast<int>(sy));
        const std::size_t rowStart = static_cast<std::size_t>(sy) * width;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint16_t a = opacity.of(rowStart + x);
            for (std::size_t c = 0; c < 3; ++c) {
                weighted[x * 4 + c] = static_cast<std::uint16_t>(colour[x * 3 + c] * a);
            }
            weighted[x * 4 + 3] = a;
        }
        return static_cast<const std::uint16_t*>(weighted.data());
    });
}

// Whether every part of the content has the size the picture claims. Decoders only make
// consistent pictures; anything else is not drawn rather than read out of bounds.
bool consistent(const Picture& picture) {
    const auto pixels = checkedPixelCount(picture.width(), picture.height());
    if (!pixels) {
        return false;
    }
    if (const auto* twoValued = std::get_if<TwoValuedImage>(&picture.content)) {
        return twoValued->values.size() == *pixels;
    }
    if (const auto* icon = std::get_if<IconImage>(&picture.content)) {
        return (icon->alpha.empty() ? icon->transparent : icon->alpha).size() == *pixels;
    }
    return true;
}

}  // namespace

StretchMode stretchModeFor(const Display& display) {
    return display.colourDepth > 16 ? StretchMode::Halftone : StretchMode::ColorOnColor;
}

void draw(Raster& target, const Picture& picture, Rect where, const DrawContext& context) {
    if (where.width <= 0 || where.height <= 0 || target.empty() || !consistent(picture)) {
        return;
    }
    const Placement at{axisOf(picture.width(), where.left, where.width, target.width()),
                       axisOf(picture.height(), where.top, where.height, target.height()),
                       where.left, where.top};
    if (at.x.visibleCount() <= 0 || at.y.visibleCount() <= 0) {
        return;
    }
    // The working rows (a few as wide as the source, one as wide as the target) are all made
    // before the first pixel is written.
    try {
        std::visit(
            [&](const auto& content) {
                using Content = std::decay_t<decltype(content)>;
                if constexpr (std::is_same_v<Content, Raster>) {
                    drawRaster(target, content, at, context.mode);
                } else if constexpr (std::is_same_v<Content, TwoValuedImage>) {
                    drawTwoValued(target, content, at, context);
                } else {
                    drawIcon(target, content, at, context.mode);
                }
            },
            picture.content);
    } catch (const std::bad_alloc&) {
        // Without room for them nothing is drawn: the target is left as it was.
    }
}

}  // namespace qingxiu
