#include "platform/midi/MidiByteParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using platform::midi::MidiByteParser;
using Bytes = std::vector<std::uint8_t>;

namespace
{
// A message as the parser gave it: 'S' short, 'X' system exclusive.
struct Message
{
    char kind;
    Bytes bytes;
    bool operator==(const Message& other) const { return kind == other.kind && bytes == other.bytes; }
};

std::ostream& operator<<(std::ostream& out, const Message& m)
{
    out << m.kind << ":";
    for (auto b : m.bytes)
        out << " " << std::hex << (int) b;
    return out;
}

struct Recorder : MidiByteParser::Handler
{
    std::vector<Message> messages;
    std::vector<size_t> progress;
    void shortMessageReceived(const std::uint8_t* d, size_t n) override { messages.push_back({'S', Bytes(d, d + n)}); }
    void sysExReceived(const std::uint8_t* d, size_t n) override { messages.push_back({'X', Bytes(d, d + n)}); }
    void sysExProgress(const std::uint8_t*, size_t n) override { progress.push_back(n); }
};

struct Case
{
    const char* name;
    Bytes stream;
    std::vector<Message> expected;
};

const std::vector<Case>& cases()
{
    static const std::vector<Case> table = {
        {"one sysex", {0xF0, 0x7D, 0x30, 0x01, 0xF7}, {{'X', {0xF0, 0x7D, 0x30, 0x01, 0xF7}}}},
        {"note on, program change, pitch bend",
         {0x90, 0x3C, 0x40, 0xC0, 0x05, 0xE0, 0x00, 0x40},
         {{'S', {0x90, 0x3C, 0x40}}, {'S', {0xC0, 0x05}}, {'S', {0xE0, 0x00, 0x40}}}},
        {"no running status: data bytes after a complete message are dropped",
         {0x90, 0x3C, 0x40, 0x3E, 0x40, 0x80, 0x3C, 0x00},
         {{'S', {0x90, 0x3C, 0x40}}, {'S', {0x80, 0x3C, 0x00}}}},
        {"data bytes without a status give nothing", {0x3C, 0x40, 0x01}, {}},
        {"incomplete note on at the end gives nothing", {0x90, 0x3C}, {}},
        {"status inside an incomplete short message drops it and starts afresh",
         {0x90, 0x3C, 0xB0, 0x07, 0x64},
         {{'S', {0xB0, 0x07, 0x64}}}},
        {"timing clock inside a sysex is passed on and left out of it",
         {0xF0, 0x7D, 0xF8, 0x30, 0xF7},
         {{'S', {0xF8}}, {'X', {0xF0, 0x7D, 0x30, 0xF7}}}},
        {"every real-time byte inside a sysex is passed on without aborting it",
         {0xF0, 0x01, 0xFA, 0x02, 0xFE, 0x03, 0xFF, 0xF7},
         {{'S', {0xFA}}, {'S', {0xFE}}, {'S', {0xFF}}, {'X', {0xF0, 0x01, 0x02, 0x03, 0xF7}}}},
        {"real-time byte inside a short message does not disturb it",
         {0x90, 0x3C, 0xF8, 0x40},
         {{'S', {0xF8}}, {'S', {0x90, 0x3C, 0x40}}}},
        {"F0 inside a sysex starts a new one", {0xF0, 0x01, 0x02, 0xF0, 0x03, 0xF7}, {{'X', {0xF0, 0x03, 0xF7}}}},
        {"note on inside a sysex aborts it and is delivered",
         {0xF0, 0x01, 0x02, 0x90, 0x3C, 0x40, 0x05, 0xF7},
         {{'S', {0x90, 0x3C, 0x40}}, {'S', {0xF7}}}},
        {"system common inside a sysex aborts it", {0xF0, 0x01, 0xF1, 0x20}, {{'S', {0xF1, 0x20}}}},
        {"end of one sysex and start of the next",
         {0xF0, 0x01, 0xF7, 0xF0, 0x02, 0xF7},
         {{'X', {0xF0, 0x01, 0xF7}}, {'X', {0xF0, 0x02, 0xF7}}}},
        {"garbage around a sysex",
         {0x00, 0x7F, 0xF7, 0x12, 0xF0, 0x7E, 0xF7, 0x55},
         {{'S', {0xF7}}, {'X', {0xF0, 0x7E, 0xF7}}}},
        {"song position, tune request", {0xF2, 0x01, 0x02, 0xF6}, {{'S', {0xF2, 0x01, 0x02}}, {'S', {0xF6}}}},
        {"empty sysex", {0xF0, 0xF7}, {{'X', {0xF0, 0xF7}}}},
    };
    return table;
}

std::vector<Message> parseInPackets(const Bytes& stream, const std::vector<size_t>& cuts)
{
    MidiByteParser parser;
    Recorder recorder;
    size_t start = 0;
    for (size_t cut : cuts)
    {
        parser.parse(stream.data() + start, cut - start, recorder);
        start = cut;
    }
    parser.parse(stream.data() + start, stream.size() - start, recorder);
    return recorder.messages;
}
} // namespace

TEST(MidiByteParser, GivesTheSameMessagesHoweverTheStreamIsSplit)
{
    for (auto& c : cases())
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseInPackets(c.stream, {}), c.expected);

        std::vector<size_t> everyByte;
        for (size_t i = 1; i < c.stream.size(); ++i)
            everyByte.push_back(i);
        EXPECT_EQ(parseInPackets(c.stream, everyByte), c.expected);

        for (size_t a = 1; a < c.stream.size(); ++a)
            for (size_t b = a; b < c.stream.size(); ++b)
                ASSERT_EQ(parseInPackets(c.stream, {a, b}), c.expected) << "cut at " << a << " and " << b;
    }
}

TEST(MidiByteParser, ReportsProgressPerPacketAndOnTheEnd)
{
    MidiByteParser parser;
    Recorder recorder;
    const Bytes first = {0xF0, 0x7D, 0x30};
    const Bytes second = {0x01, 0x02, 0x03, 0x04};
    const Bytes third = {0x05, 0xF7, 0xF0, 0x11};
    parser.parse(first.data(), first.size(), recorder);
    parser.parse(second.data(), second.size(), recorder);
    parser.parse(third.data(), third.size(), recorder);
    EXPECT_EQ(recorder.progress, (std::vector<size_t>{3, 4, 2, 2}));
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].bytes.size(), 9u);
    EXPECT_TRUE(parser.isInsideSysEx());
}

TEST(MidiByteParser, DropsAnOverlongSysExUntilTheNextF0)
{
    MidiByteParser parser;
    Recorder recorder;
    Bytes huge(MidiByteParser::maxSysExSize + 10, 0x11);
    huge.front() = 0xF0;
    huge.back() = 0xF7;
    parser.parse(huge.data(), huge.size(), recorder);
    EXPECT_TRUE(recorder.messages.empty());

    // The largest accepted message, then the parser works on as before.
    Bytes largest(MidiByteParser::maxSysExSize, 0x22);
    largest.front() = 0xF0;
    largest.back() = 0xF7;
    parser.parse(largest.data(), largest.size(), recorder);
    const Bytes note = {0x90, 0x3C, 0x40};
    parser.parse(note.data(), note.size(), recorder);
    ASSERT_EQ(recorder.messages.size(), 2u);
    EXPECT_EQ(recorder.messages[0].bytes, largest);
    EXPECT_EQ(recorder.messages[1].bytes, note);
}

TEST(MidiByteParser, ResetForgetsAPartialMessage)
{
    MidiByteParser parser;
    Recorder recorder;
    const Bytes start = {0xF0, 0x01, 0x02};
    const Bytes rest = {0x03, 0xF7};
    parser.parse(start.data(), start.size(), recorder);
    parser.reset();
    parser.parse(rest.data(), rest.size(), recorder);
    EXPECT_EQ(recorder.messages, (std::vector<Message>{{'S', {0xF7}}}));
}
