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
