#include "platform/midi/AlsaMidiBackend.h"
#include "tests/platform/MidiTestHelpers.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>

using namespace platform::midi;

// Runs with and without a sequencer device: without one the client simply has no endpoints.
TEST(AlsaMidiBackend, EnumeratesWhatThereIsAndRefusesIndicesBeyondIt)
{
    AlsaMidiBackend backend;
    auto client = backend.createClient("sonavire test");
    ASSERT_NE(client, nullptr);
    const int sources = client->getNumSources();
    const int destinations = client->getNumDestinations();
    if (access("/dev/snd/seq", R_OK | W_OK) != 0)
    {
        EXPECT_EQ(sources, 0);
        EXPECT_EQ(destinations, 0);
    }
    for (int i = 0; i < sources; ++i)
        EXPECT_TRUE(client->getSourceName(i).has_value());
    for (int i = 0; i < destinations; ++i)
        EXPECT_TRUE(client->getDestinationName(i).has_value());

    CollectingInput input;
    EXPECT_FALSE(client->getSourceName(sources).has_value());
    EXPECT_FALSE(client->getDestinationName(-1).has_value());
    EXPECT_EQ(client->openInput(sources, input), nullptr);
    EXPECT_EQ(client->openOutput(destinations), nullptr);
    EXPECT_EQ(client->openInput(-1, input), nullptr);
}

TEST(AlsaMidiBackend, TwoClientsComeAndGoWithoutTrouble)
{
    AlsaMidiBackend backend;
    auto first = backend.createClient("one");
    auto second = backend.createClient("two");
    // Our own ports are hidden from other clients, so opening them changes nothing they see.
    CollectingInput input;
    const int before = second->getNumDestinations();
    std::unique_ptr<MidiInputPort> port;
    if (first->getNumSources() > 0)
        port = first->openInput(0, input);
    EXPECT_EQ(second->getNumDestinations(), before);
    port.reset();
    first.reset();
    second.reset();
}

// Where a sequencer exists and has a loop-back port ("Midi Through"), bytes go round.
TEST(AlsaMidiBackend, LoopsBackThroughMidiThroughWhenPresent)
{
    AlsaMidiBackend backend;
    auto client = backend.createClient("sonavire loop test");
    int source = -1, destination = -1;
    for (int i = 0; i < client->getNumSources(); ++i)
        if (client->getSourceName(i)->device == "Midi Through")
            source = i;
    for (int i = 0; i < client->getNumDestinations(); ++i)
        if (client->getDestinationName(i)->device == "Midi Through")
            destination = i;
    if (source < 0 || destination < 0)
        GTEST_SKIP() << "no ALSA sequencer with Midi Through here";

    CollectingInput input;
    auto in = client->openInput(source, input);
    auto out = client->openOutput(destination);
    ASSERT_TRUE(in && out);
    std::vector<std::uint8_t> sysEx(600, 0x11);
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;
    std::atomic<bool> done{false};
    ASSERT_TRUE(out->sendSysEx(sysEx.data(), sysEx.size(), [&] { done = true; }));
    const std::uint8_t note[] = {0x90, 0x3C, 0x40};
    for (int i = 0; i < testsupport::hangMs / 5 && !done; ++i)
        juce::Thread::sleep(5);
    EXPECT_TRUE(out->sendShortMessage(note, 3));
    std::vector<std::uint8_t> expected = sysEx;
    expected.insert(expected.end(), note, note + 3);
    for (int i = 0; i < testsupport::hangMs / 5 && input.allBytes().size() < expected.size(); ++i)
        juce::Thread::sleep(5);
    EXPECT_EQ(input.allBytes(), expected);
}
