#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

// Placeholder until the platform layer has tests of its own.
TEST(Build, JuceIsLinked)
{
    EXPECT_EQ(juce::String("a") + "b", "ab");
}
