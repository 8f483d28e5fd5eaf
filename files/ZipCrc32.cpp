#include "files/ZipCrc32.h"

#include <zlib.h>

#include <algorithm>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SONAVIRE_FOLDED_CRC 1
#endif

namespace
{
// zlib in pieces its 32-bit length can hold; crc is zlib's running value.
uLong zlibCrc32(uLong crc, const Bytef* p, size_t size)
{
    while (size > 0)
    {
        const auto chunk = (uInt) std::min<size_t>(size, 1u << 30);
        crc = crc32(crc, p, chunk);
        p += chunk;
        size -= chunk;
    }
    return crc;
}

#if SONAVIRE_FOLDED_CRC
__attribute__((target("pclmul,sse4.1"))) inline __m128i load(const juce::uint8* at)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// x times k, its low and high halves folded onto the next data.
__attribute__((target("pclmul,sse4.1"))) inline __m128i fold(__m128i x, __m128i k, __m128i next)
{
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x11), _mm_clmulepi64_si128(x, k, 0x00)), next);
}

// Folding with carry-less multiplication ("Fast CRC Computation for Generic Polynomials Using PCLMULQDQ
// Instruction", Gopal et al., 2009), on the inverted running value. size is at least 64 and a multiple of 16.
__attribute__((target("pclmul,sse4.1"))) juce::uint32 foldedCrc32(const juce::uint8* p, size_t size, juce::uint32 crc)
{
    // The constants of the bit-reflected domain, and the polynomial with its Barrett constant.
    alignas(16) static const juce::uint64 k1k2[] = {0x0154442bd4, 0x01c6e41596};
    alignas(16) static const juce::uint64 k3k4[] = {0x01751997d0, 0x00ccaa009e};
    alignas(16) static const juce::uint64 k5k0[] = {0x0163cd6124, 0x0000000000};
    alignas(16) static const juce::uint64 poly[] = {0x01db710641, 0x01f7011641};

    auto x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128((int) crc));
    auto x2 = load(p + 16);
    auto x3 = load(p + 32);
    auto x4 = load(p + 48);
    p += 64;
    size -= 64;

    auto k = _mm_load_si128(reinterpret_cast<const __m128i*>(k1k2));
    for (; size >= 64; p += 64, size -= 64)
    {
        x1 = fold(x1, k, load(p));
        x2 = fold(x2, k, load(p + 16));
        x3 = fold(x3, k, load(p + 32));
        x4 = fold(x4, k, load(p + 48));
    }

    k = _mm_load_si128(reinterpret_cast<const __m128i*>(k3k4));
    x1 = fold(x1, k, x2);
    x1 = fold(x1, k, x3);
    x1 = fold(x1, k, x4);
    for (; size >= 16; p += 16, size -= 16)
        x1 = fold(x1, k, load(p));

    // 128 bits to 64, then Barrett reduction to 32.
    const auto mask = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(k5k0));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x00), _mm_srli_si128(x1, 4));
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(poly));
    auto x2r = _mm_clmulepi64_si128(_mm_and_si128(x1, mask), k, 0x10);
    x2r = _mm_clmulepi64_si128(_mm_and_si128(x2r, mask), k, 0x00);
    x1 = _mm_xor_si128(x1, x2r);
    return (juce::uint32) _mm_extract_epi32(x1, 1);
}

bool canFold()
{
    static const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return supported;
}
#endif
} // namespace

juce::uint32 zipCrc32Of(const void* data, size_t size)
{
    const auto* p = static_cast<const juce::uint8*>(data);
    uLong crc = crc32(0L, Z_NULL, 0);
#if SONAVIRE_FOLDED_CRC
    if (size >= 64 && canFold())
    {
        const size_t folded = size & ~(size_t) 15;
        crc = ~foldedCrc32(p, folded, ~(juce::uint32) crc) & 0xffffffffu;
        p += folded;
        size -= folded;
    }
#endif
    return (juce::uint32) zlibCrc32(crc, p, size);
}
