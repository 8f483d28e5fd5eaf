#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace x47390_data
{
// The MD5 digest of a byte range. The records hash every program and tuning as it is read: this is
// several times faster than the toolkit's general one.
std::array<std::uint8_t, 16> md5Digest(const void* data, size_t size);

// The digests of count ranges of one size, the same as one by one; where the processor has 256-bit integer
// vectors, eight ranges go through the rounds together.
void md5Digests(const std::uint8_t* const* ranges, size_t count, size_t size, std::array<std::uint8_t, 16>* digests);
} // namespace x47390_data
