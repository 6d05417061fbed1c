#pragma once

#include <cstdint>
#include <vector>

namespace qingxiu {

// The contents of a file, owned and passed by value. Equality is by length and bytes.
using ByteSet = std::vector<std::uint8_t>;

// Positions are 1-based and every count is clamped to the data, so none of these can fail or read
// outside the byte set; each returns a new byte set and leaves its inputs unchanged.

// The first n bytes (n clamped to 0..size).
ByteSet left(const ByteSet& bytes, std::int64_t n);

// n bytes from position p: the start is p - 1 clamped to 0..size; a negative n takes nothing.
ByteSet mid(const ByteSet& bytes, std::int64_t p, std::int64_t n);

// The last n bytes (n clamped to 0..size).
ByteSet right(const ByteSet& bytes, std::int64_t n);

// The n bytes at position p replaced by all of r, which may have any length: the result has
// size - count + r.size() bytes, where count is n clamped to what lies from the start on.
ByteSet replaced(const ByteSet& bytes, std::int64_t p, std::int64_t n, const ByteSet& r);

// Three-way comparison of the bytes as unsigned values, from the first on: -1, 0 or 1 by the first
// differing byte; when one is a prefix of the other, the shorter comes first.
int compare(const ByteSet& a, const ByteSet& b);

}  // namespace qingxiu
