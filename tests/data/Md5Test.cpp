#include "data/Md5.h"
#include "data/ProgramData.h"

#include <juce_cryptography/juce_cryptography.h>

#include <gtest/gtest.h>

#include <cstring>

TEST(Md5, KnownDigests)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : cases)
        EXPECT_EQ(x47390_data::md5Text(text, std::strlen(text)), digest) << text;
}

// Every length around the block and padding boundaries, and the record sizes, as the toolkit's digest.
TEST(Md5, SameAsTheToolkitsDigestForEveryLength)
{
    std::vector<juce::uint8> bytes(1100);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = (juce::uint8) (i * 131 + 7);
    for (size_t size = 0; size <= bytes.size(); size += size < 200 ? 1 : 37)
        ASSERT_EQ(x47390_data::md5Text(bytes.data(), size), juce::MD5(bytes.data(), size).toHexString()) << size;
    for (const size_t size : {12u, 128u, 336u})
        EXPECT_EQ(x47390_data::md5Text(bytes.data(), size), juce::MD5(bytes.data(), size).toHexString()) << size;
}

// The batched digests (eight ranges at a time where the processor can) for every count around the batch size and
// a few range sizes, each range its own bytes.
TEST(Md5, BatchedDigestsAreTheDigestsOneByOne)
{
    std::vector<std::vector<std::uint8_t>> storage(19);
    for (const size_t size : {0u, 12u, 55u, 56u, 64u, 336u})
        for (size_t count = 0; count <= storage.size(); ++count)
        {
            std::vector<const std::uint8_t*> ranges;
            for (size_t r = 0; r < count; ++r)
            {
                storage[r].resize(size);
                for (size_t i = 0; i < size; ++i)
                    storage[r][i] = (std::uint8_t) (i * 29 + r * 101 + size);
                ranges.push_back(storage[r].data());
            }
            std::vector<std::array<std::uint8_t, 16>> digests(count);
            x47390_data::md5Digests(ranges.data(), count, size, digests.data());
            for (size_t r = 0; r < count; ++r)
                ASSERT_EQ(digests[r], x47390_data::md5Digest(ranges[r], size)) << "size " << size << ", range " << r;
        }
}
