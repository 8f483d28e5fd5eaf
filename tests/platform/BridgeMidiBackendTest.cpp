#include "platform/midi/BridgeMidiBackend.h"
#include "tests/platform/MidiTestHelpers.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

using namespace platform::midi;
using Bytes = std::vector<std::uint8_t>;

namespace
{
// Generous: waits end as soon as their condition holds, and a sanitizer build on a loaded machine can
// stall a thread for seconds.
constexpr int waitMs = testsupport::hangMs;

// The peer end of the bridge: a listening socket that accepts one connection at a time.
class Peer
{
public:
    explicit Peer(const juce::File& path) : socketPath(path.getFullPathName().toStdString())
    {
        listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
        EXPECT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        EXPECT_EQ(::listen(listener, 4), 0);
    }

    ~Peer()
    {
        hangUp();
        ::close(listener);
        ::unlink(socketPath.c_str());
    }

    // Accepts the pending connection (the client connected already) and introduces the device.
    bool accept(const std::string& firstBytes)
    {
        pollfd p{listener, POLLIN, 0};
        if (poll(&p, 1, waitMs) <= 0)
            return false;
        connection = ::accept(listener, nullptr, nullptr);
        return connection >= 0 && write(Bytes(firstBytes.begin(), firstBytes.end()));
    }

    bool write(const Bytes& bytes)
    {
        return ::send(connection, bytes.data(), bytes.size(), MSG_NOSIGNAL) == (ssize_t) bytes.size();
    }

    Bytes read(size_t count, int timeoutMs = waitMs)
    {
        Bytes result;
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;
        while (result.size() < count && juce::Time::getMillisecondCounter() < end)
        {
            pollfd p{connection, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            std::uint8_t buffer[256];
            const ssize_t n = ::recv(connection, buffer, std::min(sizeof(buffer), count - result.size()), 0);
            if (n <= 0)
                break;
            result.insert(result.end(), buffer, buffer + n);
        }
        return result;
    }

    void hangUp()
    {
        if (connection >= 0)
            ::close(connection);
        connection = -1;
    }

private:
    std::string socketPath;
    int listener = -1;
    int connection = -1;
};

// Creates a client while the peer accepts on another thread (that thread is already waiting when the client
// connects, so the first bytes come at once): a peer that introduces itself at once is listed at the first
// enumeration.
std::unique_ptr<MidiClient> createWhileAccepting(BridgeMidiBackend& backend, Peer& peer, const std::string& firstBytes)
{
    std::atomic<bool> waiting{false}, accepted{false};
    std::thread acceptor(
        [&]
        {
            waiting = true;
            accepted = peer.accept(firstBytes);
        });
    while (!waiting)
        std::this_thread::yield();
    auto client = backend.createClient("test");
    acceptor.join();
    EXPECT_TRUE(accepted);
    return client;
}

bool listed(MidiClient& client, const juce::String& deviceName)
{
    return testsupport::runMessageLoopUntil(
        [&]
        {
            auto name = client.getSourceName(0);
            return name.has_value() && name->device == deviceName;
        },
        waitMs);
}

// A backend aimed at a socket where a peer listens.
class BridgeMidiBackendWithPeer : public ::testing::Test
{
protected:
    testsupport::TemporaryFolder folder;
    const juce::File path = folder.file("bridge.sock");
    Peer peer{path};
    BridgeMidiBackend backend{path.getFullPathName()};
};
} // namespace

TEST(BridgeMidiBackend, HasNoDeviceWithoutAPeer)
{
    testsupport::TemporaryFolder folder;
    BridgeMidiBackend backend(folder.file("missing.sock").getFullPathName());
    auto client = backend.createClient("test");
    EXPECT_EQ(client->getNumSources(), 0);
    EXPECT_EQ(client->getNumDestinations(), 0);
    EXPECT_FALSE(client->getSourceName(0).has_value());
    CollectingInput input;
    EXPECT_EQ(client->openInput(0, input), nullptr);
    EXPECT_EQ(client->openOutput(0), nullptr);
}

TEST_F(BridgeMidiBackendWithPeer, ExchangesBytesWithThePeerAndLosesTheDeviceWhenItCloses)
{
    // MIDI bytes right behind the NAME line must not be lost to the line reader.
    auto client = createWhileAccepting(backend, peer, "NAME Sim Synth\n\xF0\x7D");
    int changes = 0;
    client->setSetupChangedCallback([&] { ++changes; });
    ASSERT_EQ(client->getNumSources(), 1);
    EXPECT_EQ(client->getNumDestinations(), 1);
    ASSERT_TRUE(client->getSourceName(0).has_value());
    EXPECT_EQ(client->getSourceName(0)->device, "Sim Synth");
    EXPECT_EQ(client->getSourceName(0)->endpoint, "Port 1");
    EXPECT_EQ(client->getDestinationName(0)->endpoint, "Port 1");
    EXPECT_FALSE(client->getSourceName(1).has_value());

    CollectingInput input;
    auto in = client->openInput(0, input);
    auto out = client->openOutput(0);
    ASSERT_TRUE(in && out);

    // Peer to program, split anywhere.
    ASSERT_TRUE(peer.write({0x30, 0x01}));
    ASSERT_TRUE(peer.write({0xF7, 0x90}));
    ASSERT_TRUE(peer.write({0x3C, 0x40}));
    const Bytes fromPeer = {0x30, 0x01, 0xF7, 0x90, 0x3C, 0x40};
    EXPECT_TRUE(testsupport::runMessageLoopUntil(
        [&]
        {
            const auto all = input.allBytes();
            return all.size() >= fromPeer.size() && std::equal(fromPeer.rbegin(), fromPeer.rend(), all.rbegin());
        },
        waitMs));
    // The two bytes behind the NAME line came before the port was open: depending on timing they
    // reached nobody or the new port, but the line reader never kept them for itself.
    Bytes withLineTail = {0xF0, 0x7D};
    withLineTail.insert(withLineTail.end(), fromPeer.begin(), fromPeer.end());
    const auto got = input.allBytes();
    EXPECT_TRUE(got == fromPeer || got == withLineTail) << testing::PrintToString(got);

    // Program to peer, whole messages.
    const Bytes sysEx = {0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    std::atomic<bool> completed{false};
    ASSERT_TRUE(out->sendSysEx(sysEx.data(), sysEx.size(), [&] { completed = true; }));
    const Bytes note = {0x80, 0x3C, 0x00};
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return completed.load(); }, waitMs));
    EXPECT_TRUE(out->sendShortMessage(note.data(), note.size()));
    Bytes expected = sysEx;
    expected.insert(expected.end(), note.begin(), note.end());
    EXPECT_EQ(peer.read(expected.size()), expected);

    // The peer hangs up: a setup change, and the device is gone. The connection's own change may still
    // be on its way to the callback, so it is delivered before counting.
    testsupport::drainMessageLoop();
    const int before = changes;
    peer.hangUp();
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes > before && !out->isEndpointPresent(); },
                                                 waitMs));
    EXPECT_FALSE(out->sendShortMessage(note.data(), note.size()));
    EXPECT_FALSE(out->sendSysEx(sysEx.data(), sysEx.size(), nullptr));
    EXPECT_FALSE(in->isEndpointPresent());
    EXPECT_FALSE(out->isEndpointPresent());
    EXPECT_EQ(client->getNumSources(), 0);
    in.reset();
    out.reset();

    // The backend connects again by itself, to a new device: a setup change.
    const int beforeReturn = changes;
    ASSERT_TRUE(peer.accept("NAME Second\n"));
    EXPECT_TRUE(listed(*client, "Second"));
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes > beforeReturn; }, waitMs));
}

// A short message sent right behind a SysEx (without waiting for its completion) must not overtake it.
TEST_F(BridgeMidiBackendWithPeer, KeepsTheOrderOfSysExAndShortMessages)
{
    auto client = createWhileAccepting(backend, peer, "NAME Order\n");
    auto out = client->openOutput(0);
    ASSERT_TRUE(out);

    Bytes sysEx(300, 0x11);
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;
    Bytes expected;
    std::atomic<int> completions{0};
    for (std::uint8_t i = 0; i < 20; ++i)
    {
        sysEx[1] = i;
        const Bytes note = {0x90, i, 0x40};
        ASSERT_TRUE(out->sendSysEx(sysEx.data(), sysEx.size(), [&] { ++completions; }));
        ASSERT_TRUE(out->sendShortMessage(note.data(), note.size()));
        expected.insert(expected.end(), sysEx.begin(), sysEx.end());
        expected.insert(expected.end(), note.begin(), note.end());
    }
    EXPECT_EQ(peer.read(expected.size()), expected);
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return completions == 20; }, waitMs));
}

TEST_F(BridgeMidiBackendWithPeer, RefusesAPeerWithoutANameLine)
{
    auto client = createWhileAccepting(backend, peer, "HELLO\n");
    EXPECT_EQ(client->getNumSources(), 0);
    EXPECT_FALSE(client->getSourceName(0).has_value());
}

TEST_F(BridgeMidiBackendWithPeer, ClientsOfOneBackendShareTheConnection)
{
    auto first = createWhileAccepting(backend, peer, "NAME Shared\n");
    auto second = backend.createClient("two");
    ASSERT_EQ(first->getNumSources(), 1);
    EXPECT_EQ(second->getNumSources(), 1); // no second connection: the peer accepts only one

    CollectingInput a, b;
    auto inA = first->openInput(0, a);
    auto inB = second->openInput(0, b);
    ASSERT_TRUE(peer.write({0xF8}));
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return a.numPackets() == 1 && b.numPackets() == 1; }, waitMs));
}

// A peer that connects and never names itself is not listed, and nobody waits for it: only the client's creation
// waits a bounded time for a peer that is introducing itself. Once the line comes, the device appears.
TEST_F(BridgeMidiBackendWithPeer, APeerWithoutItsNameLineNeverMakesEnumerationWait)
{

    const auto createStart = juce::Time::getMillisecondCounter();
    auto client = createWhileAccepting(backend, peer, "");
    EXPECT_LT(juce::Time::getMillisecondCounter() - createStart, (juce::uint32) waitMs);
    int changes = 0;
    client->setSetupChangedCallback([&] { ++changes; });

    // A hundred enumerations that each waited for the peer would take longer than the wait for a hang.
    constexpr int enumerations = 100;
    static_assert(enumerations * BridgeMidiBackend::introductionWaitMs > testsupport::hangMs);
    const auto start = juce::Time::getMillisecondCounter();
    for (int i = 0; i < enumerations; ++i)
    {
        EXPECT_EQ(client->getNumSources(), 0);
        EXPECT_EQ(client->getNumDestinations(), 0);
        EXPECT_FALSE(client->getSourceName(0).has_value());
        CollectingInput input;
        EXPECT_EQ(client->openInput(0, input), nullptr);
    }
    EXPECT_LT(juce::Time::getMillisecondCounter() - start, (juce::uint32) testsupport::hangMs);

    ASSERT_TRUE(peer.write({'N', 'A', 'M', 'E', ' ', 'L', 'a', 't', 'e', '\n'}));
    EXPECT_TRUE(listed(*client, "Late"));
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes >= 1; }, waitMs));
    EXPECT_EQ(client->getNumDestinations(), 1);
}

// No peer when the client is made: the backend keeps trying, and a peer that comes later is listed by itself.
TEST(BridgeMidiBackend, FindsAPeerThatStartsLater)
{
    testsupport::TemporaryFolder folder;
    const auto path = folder.file("bridge.sock");
    BridgeMidiBackend backend(path.getFullPathName());
    auto client = backend.createClient("test");
    EXPECT_EQ(client->getNumSources(), 0);
    int changes = 0;
    client->setSetupChangedCallback([&] { ++changes; });

    Peer peer(path);
    ASSERT_TRUE(peer.accept("NAME Late Starter\n"));
    EXPECT_TRUE(listed(*client, "Late Starter"));
    EXPECT_TRUE(testsupport::runMessageLoopUntil([&] { return changes >= 1; }, waitMs));
    EXPECT_TRUE(backend.connect(waitMs));
}

// A peer that stops reading: once the socket is full, a send fails after about half a second instead of holding
// the sender, and enumeration goes on meanwhile.
TEST_F(BridgeMidiBackendWithPeer, APeerThatStopsReadingFailsAWriteInAboutHalfASecond)
{
    auto client = createWhileAccepting(backend, peer, "NAME Deaf\n");
    auto out = client->openOutput(0);
    ASSERT_TRUE(out);

    Bytes sysEx(64 * 1024, 0x22);
    sysEx.front() = 0xF0;
    sysEx.back() = 0xF7;
    juce::uint32 failedAfter = 0;
    int sends = 0;
    for (; sends < 400 && failedAfter == 0; ++sends)
    {
        const auto start = juce::Time::getMillisecondCounter();
        if (!out->sendSysEx(sysEx.data(), sysEx.size(), nullptr))
            failedAfter = juce::Time::getMillisecondCounter() - start;
    }
    ASSERT_GT(failedAfter, 0u) << "the socket never filled";
    EXPECT_GE(failedAfter, 400u);
    EXPECT_LT(failedAfter, (juce::uint32) testsupport::hangMs); // the sender is not held

    // The next send waits again: meanwhile the device is still listed without delay.
    std::atomic<bool> sending{true};
    std::thread sender(
        [&]
        {
            EXPECT_FALSE(out->sendSysEx(sysEx.data(), sysEx.size(), nullptr));
            sending = false;
        });
    ASSERT_EQ(client->getNumSources(), 1);
    EXPECT_EQ(client->getSourceName(0)->device, "Deaf");
    EXPECT_TRUE(sending); // answered before the send gave up
    sender.join();
    EXPECT_TRUE(out->isEndpointPresent()); // slow is not gone
}
