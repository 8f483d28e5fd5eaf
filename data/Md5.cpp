#include "data/Md5.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SONAVIRE_VECTOR_MD5 1
#endif

namespace x47390_data
{
namespace
{
// The 64 steps: function, the four state words in turn, message word, constant, rotation.
#define MD5_ROUNDS(STEP) \
    STEP(F, a, b, c, d, 0, 0xd76aa478, 7) \
    STEP(F, d, a, b, c, 1, 0xe8c7b756, 12) \
    STEP(F, c, d, a, b, 2, 0x242070db, 17) \
    STEP(F, b, c, d, a, 3, 0xc1bdceee, 22) \
    STEP(F, a, b, c, d, 4, 0xf57c0faf, 7) \
    STEP(F, d, a, b, c, 5, 0x4787c62a, 12) \
    STEP(F, c, d, a, b, 6, 0xa8304613, 17) \
    STEP(F, b, c, d, a, 7, 0xfd469501, 22) \
    STEP(F, a, b, c, d, 8, 0x698098d8, 7) \
    STEP(F, d, a, b, c, 9, 0x8b44f7af, 12) \
    STEP(F, c, d, a, b, 10, 0xffff5bb1, 17) \
    STEP(F, b, c, d, a, 11, 0x895cd7be, 22) \
    STEP(F, a, b, c, d, 12, 0x6b901122, 7) \
    STEP(F, d, a, b, c, 13, 0xfd987193, 12) \
    STEP(F, c, d, a, b, 14, 0xa679438e, 17) \
    STEP(F, b, c, d, a, 15, 0x49b40821, 22) \
    STEP(G, a, b, c, d, 1, 0xf61e2562, 5) \
    STEP(G, d, a, b, c, 6, 0xc040b340, 9) \
    STEP(G, c, d, a, b, 11, 0x265e5a51, 14) \
    STEP(G, b, c, d, a, 0, 0xe9b6c7aa, 20) \
    STEP(G, a, b, c, d, 5, 0xd62f105d, 5) \
    STEP(G, d, a, b, c, 10, 0x02441453, 9) \
    STEP(G, c, d, a, b, 15, 0xd8a1e681, 14) \
    STEP(G, b, c, d, a, 4, 0xe7d3fbc8, 20) \
    STEP(G, a, b, c, d, 9, 0x21e1cde6, 5) \
    STEP(G, d, a, b, c, 14, 0xc33707d6, 9) \
    STEP(G, c, d, a, b, 3, 0xf4d50d87, 14) \
    STEP(G, b, c, d, a, 8, 0x455a14ed, 20) \
    STEP(G, a, b, c, d, 13, 0xa9e3e905, 5) \
    STEP(G, d, a, b, c, 2, 0xfcefa3f8, 9) \
    STEP(G, c, d, a, b, 7, 0x676f02d9, 14) \
    STEP(G, b, c, d, a, 12, 0x8d2a4c8a, 20) \
    STEP(H, a, b, c, d, 5, 0xfffa3942, 4) \
    STEP(H, d, a, b, c, 8, 0x8771f681, 11) \
    STEP(H, c, d, a, b, 11, 0x6d9d6122, 16) \
    STEP(H, b, c, d, a, 14, 0xfde5380c, 23) \
    STEP(H, a, b, c, d, 1, 0xa4beea44, 4) \
    STEP(H, d, a, b, c, 4, 0x4bdecfa9, 11) \
    STEP(H, c, d, a, b, 7, 0xf6bb4b60, 16) \
    STEP(H, b, c, d, a, 10, 0xbebfbc70, 23) \
    STEP(H, a, b, c, d, 13, 0x289b7ec6, 4) \
    STEP(H, d, a, b, c, 0, 0xeaa127fa, 11) \
    STEP(H, c, d, a, b, 3, 0xd4ef3085, 16) \
    STEP(H, b, c, d, a, 6, 0x04881d05, 23) \
    STEP(H, a, b, c, d, 9, 0xd9d4d039, 4) \
    STEP(H, d, a, b, c, 12, 0xe6db99e5, 11) \
    STEP(H, c, d, a, b, 15, 0x1fa27cf8, 16) \
    STEP(H, b, c, d, a, 2, 0xc4ac5665, 23) \
    STEP(I, a, b, c, d, 0, 0xf4292244, 6) \
    STEP(I, d, a, b, c, 7, 0x432aff97, 10) \
    STEP(I, c, d, a, b, 14, 0xab9423a7, 15) \
    STEP(I, b, c, d, a, 5, 0xfc93a039, 21) \
    STEP(I, a, b, c, d, 12, 0x655b59c3, 6) \
    STEP(I, d, a, b, c, 3, 0x8f0ccc92, 10) \
    STEP(I, c, d, a, b, 10, 0xffeff47d, 15) \
    STEP(I, b, c, d, a, 1, 0x85845dd1, 21) \
    STEP(I, a, b, c, d, 8, 0x6fa87e4f, 6) \
    STEP(I, d, a, b, c, 15, 0xfe2ce6e0, 10) \
    STEP(I, c, d, a, b, 6, 0xa3014314, 15) \
    STEP(I, b, c, d, a, 13, 0x4e0811a1, 21) \
    STEP(I, a, b, c, d, 4, 0xf7537e82, 6) \
    STEP(I, d, a, b, c, 11, 0xbd3af235, 10) \
    STEP(I, c, d, a, b, 2, 0x2ad7d2bb, 15) \
    STEP(I, b, c, d, a, 9, 0xeb86d391, 21)


#define F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define H(x, y, z) ((x) ^ (y) ^ (z))
#define I(x, y, z) ((y) ^ ((x) | ~(z)))

constexpr std::uint32_t initialState[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};

// The padded tail of a range: the rest of its bytes, a one bit, zeros and the length in bits; one block
// or two (the returned count).
size_t padTail(const std::uint8_t* rest, size_t restSize, size_t totalSize, std::uint8_t (&tail)[128])
{
    std::memset(tail, 0, sizeof(tail));
    if (restSize > 0) // an empty range may come without storage
        std::memcpy(tail, rest, restSize);
    tail[restSize] = 0x80;
    const size_t blocks = restSize < 56 ? 1 : 2;
    const auto bits = (std::uint64_t) totalSize * 8;
    for (int i = 0; i < 8; ++i)
        tail[blocks * 64 - 8 + (size_t) i] = (std::uint8_t) (bits >> (8 * i));
    return blocks;
}

void writeDigest(const std::uint32_t (&state)[4], std::array<std::uint8_t, 16>& digest)
{
    for (size_t i = 0; i < 16; ++i)
        digest[i] = (std::uint8_t) (state[i / 4] >> (8 * (i % 4)));
}

constexpr std::uint32_t rotate(std::uint32_t x, int bits) { return (x << bits) | (x >> (32 - bits)); }

void scalarBlock(std::uint32_t (&state)[4], const std::uint8_t* p)
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = (std::uint32_t) p[i * 4] | ((std::uint32_t) p[i * 4 + 1] << 8) | ((std::uint32_t) p[i * 4 + 2] << 16)
               | ((std::uint32_t) p[i * 4 + 3] << 24);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
#define SCALAR_STEP(f, w, x2, y, z, i, k, s) w = rotate(w + f(x2, y, z) + x[i] + (k), s) + x2;
    MD5_ROUNDS(SCALAR_STEP)
#undef SCALAR_STEP
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

#if SONAVIRE_VECTOR_MD5
// Eight ranges at once, one per 32-bit lane.
struct Lanes
{
    __m256i a, b, c, d;
};

// The vector forms of the round functions; each lane goes through the same steps as scalarBlock.
#define VF(x, y, z) _mm256_xor_si256(z, _mm256_and_si256(x, _mm256_xor_si256(y, z)))
#define VG(x, y, z) _mm256_xor_si256(y, _mm256_and_si256(z, _mm256_xor_si256(x, y)))
#define VH(x, y, z) _mm256_xor_si256(_mm256_xor_si256(x, y), z)
#define VI(x, y, z) _mm256_xor_si256(y, _mm256_or_si256(x, _mm256_xor_si256(z, allOnes)))

__attribute__((target("avx2"))) inline __m256i vectorRotate(__m256i x, int bits)
{
    return _mm256_or_si256(_mm256_slli_epi32(x, bits), _mm256_srli_epi32(x, 32 - bits));
}

// Words i to i + 7 of each lane's block, as eight vectors of one word across the lanes.
__attribute__((target("avx2"))) inline void transpose(const std::uint8_t* const (&p)[8], int i, __m256i* words)
{
    __m256i r[8];
    for (int lane = 0; lane < 8; ++lane)
        r[lane] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p[lane] + i * 4));
    __m256i t[8], u[8];
    for (int k = 0; k < 8; k += 2)
    {
        t[k] = _mm256_unpacklo_epi32(r[k], r[k + 1]);
        t[k + 1] = _mm256_unpackhi_epi32(r[k], r[k + 1]);
    }
    for (int k = 0; k < 8; k += 4)
    {
        u[k] = _mm256_unpacklo_epi64(t[k], t[k + 2]);
        u[k + 1] = _mm256_unpackhi_epi64(t[k], t[k + 2]);
        u[k + 2] = _mm256_unpacklo_epi64(t[k + 1], t[k + 3]);
        u[k + 3] = _mm256_unpackhi_epi64(t[k + 1], t[k + 3]);
    }
    for (int k = 0; k < 4; ++k)
    {
        words[i + k] = _mm256_permute2x128_si256(u[k], u[k + 4], 0x20);
        words[i + k + 4] = _mm256_permute2x128_si256(u[k], u[k + 4], 0x31);
    }
}

__attribute__((target("avx2"))) void vectorBlock(Lanes& state, const std::uint8_t* const (&p)[8])
{
    __m256i x[16];
    transpose(p, 0, x);
    transpose(p, 8, x);
    const auto allOnes = _mm256_set1_epi32(-1);
    auto a = state.a, b = state.b, c = state.c, d = state.d;
#define VECTOR_STEP(f, w, x2, y, z, i, k, s)                                                                        \
    w = _mm256_add_epi32(                                                                                          \
        vectorRotate(_mm256_add_epi32(_mm256_add_epi32(w, V##f(x2, y, z)),                                          \
                                      _mm256_add_epi32(x[i], _mm256_set1_epi32((int) (std::uint32_t) (k)))),        \
                     s),                                                                                           \
        x2);
    MD5_ROUNDS(VECTOR_STEP)
#undef VECTOR_STEP
    state.a = _mm256_add_epi32(state.a, a);
    state.b = _mm256_add_epi32(state.b, b);
    state.c = _mm256_add_epi32(state.c, c);
    state.d = _mm256_add_epi32(state.d, d);
}

__attribute__((target("avx2"))) void eightDigests(const std::uint8_t* const* ranges, size_t size,
                                                  std::array<std::uint8_t, 16>* digests)
{
    Lanes state{_mm256_set1_epi32((int) initialState[0]), _mm256_set1_epi32((int) initialState[1]),
                _mm256_set1_epi32((int) initialState[2]), _mm256_set1_epi32((int) initialState[3])};
    const std::uint8_t* p[8];
    for (int lane = 0; lane < 8; ++lane)
        p[lane] = ranges[lane];
    size_t left = size;
    for (; left >= 64; left -= 64)
    {
        vectorBlock(state, p);
        for (auto& lane : p)
            lane += 64;
    }
    std::uint8_t tails[8][128];
    size_t blocks = 0;
    for (int lane = 0; lane < 8; ++lane)
        blocks = padTail(p[lane], left, size, tails[lane]);
    for (size_t block = 0; block < blocks; ++block)
    {
        for (int lane = 0; lane < 8; ++lane)
            p[lane] = tails[lane] + block * 64;
        vectorBlock(state, p);
    }

    alignas(32) std::uint32_t words[4][8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(words[0]), state.a);
    _mm256_store_si256(reinterpret_cast<__m256i*>(words[1]), state.b);
    _mm256_store_si256(reinterpret_cast<__m256i*>(words[2]), state.c);
    _mm256_store_si256(reinterpret_cast<__m256i*>(words[3]), state.d);
    for (int lane = 0; lane < 8; ++lane)
    {
        const std::uint32_t laneState[4] = {words[0][lane], words[1][lane], words[2][lane], words[3][lane]};
        writeDigest(laneState, digests[lane]);
    }
}

bool haveVectors()
{
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}
#undef VF
#undef VG
#undef VH
#undef VI
#endif
#undef F
#undef G
#undef H
#undef I
#undef MD5_ROUNDS
} // namespace

std::array<std::uint8_t, 16> md5Digest(const void* data, size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t state[4] = {initialState[0], initialState[1], initialState[2], initialState[3]};
    size_t left = size;
    for (; left >= 64; left -= 64, bytes += 64)
        scalarBlock(state, bytes);
    std::uint8_t tail[128];
    const auto blocks = padTail(bytes, left, size, tail);
    for (size_t block = 0; block < blocks; ++block)
        scalarBlock(state, tail + block * 64);
    std::array<std::uint8_t, 16> digest{};
    writeDigest(state, digest);
    return digest;
}

void md5Digests(const std::uint8_t* const* ranges, size_t count, size_t size, std::array<std::uint8_t, 16>* digests)
{
    size_t i = 0;
#if SONAVIRE_VECTOR_MD5
    if (haveVectors())
        for (; count - i >= 8; i += 8)
            eightDigests(ranges + i, size, digests + i);
#endif
    for (; i < count; ++i)
        digests[i] = md5Digest(ranges[i], size);
}
} // namespace x47390_data
