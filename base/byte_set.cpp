#include "base/byte_set.h"

#include <algorithm>
#include <cstddef>

namespace qingxiu {
namespace {

std::size_t clampTo(std::int64_t value, std::size_t high) {
    if (value <= 0) {
        return 0;
    }
    return static_cast<std::uint64_t>(value) >= high ? high : static_cast<std::size_t>(value);
}

// 1-based position p as a 0-based start within the data; computed without p - 1 overflowing.
std::size_t startOf(std::int64_t p, std::size_t size) {
    return p <= 1 ? 0 : clampTo(p - 1, size);
}

ByteSet slice(const ByteSet& bytes, std::size_t start, std::size_t count) {
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(start);
    return ByteSet(first, first + static_cast<std::ptrdiff_t>(count));
}

}  // namespace

ByteSet left(const ByteSet& bytes, std::int64_t n) {
    return slice(bytes, 0, clampTo(n, bytes.size()));
}

ByteSet mid(const ByteSet& bytes, std::int64_t p, std::int64_t n) {
    const std::size_t start = startOf(p, bytes.size());
    return slice(bytes, start, clampTo(n, bytes.size() - start));
}

ByteSet right(const ByteSet& bytes, std::int64_t n) {
    const std::size_t count = clampTo(n, bytes.size());
    return slice(bytes, bytes.size() - count, count);
}

ByteSet replaced(const ByteSet& bytes, std::int64_t p, std::int64_t n, const ByteSet& r) {
    const std::size_t start = startOf(p, bytes.size());
    const std::size_t count = clampTo(n, bytes.size() - start);
    ByteSet result;
    result.reserve(bytes.size() - count + r.size());
    const auto cut = bytes.begin() + static_cast<std::ptrdiff_t>(start);
    result.insert(result.end(), bytes.begin(), cut);
    result.insert(result.end(), r.begin(), r.end());
    result.insert(result.end(), cut + static_cast<std::ptrdiff_t>(count), bytes.end());
    return result;
}

int compare(const ByteSet& a, const ByteSet& b) {
    const auto order =
        std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace qingxiu
