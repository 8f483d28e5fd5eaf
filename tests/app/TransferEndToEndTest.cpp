// The real program against the simulated instrument on the MIDI socket bridge, driven by key presses.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
juce::String programName(const simulator::Bytes& binary)
{
    return juce::String::fromUTF8(reinterpret_cast<const char*>(binary.data()) + 4, 12);
}

simulator::Bytes renamed(simulator::Bytes binary, const char* name)
{
    std::fill(binary.begin() + 4, binary.begin() + 16, ' ');
    std::copy(name, name + std::strlen(name), binary.begin() + 4);
    return binary;
}

// The communication dialog's button shows "OK" once the transfer has been refused, "Cancel" while it runs:
// the narrower text tells them apart.
bool showsOkButton(const juce::Image& dialog)
{
    int left = dialog.getWidth(), right = -1;
    for (int y = 104; y < 128 && y < dialog.getHeight(); ++y)
        for (int x = 352; x < 440 && x < dialog.getWidth(); ++x)
            if (dialog.getPixelAt(x, y).getBrightness() > 0.6f)
            {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return right >= left && right - left < 30;
}

// The simulated instrument served on a bridge socket, and the real program started against it.
class TransfersEndToEnd : public ::testing::Test
{
protected:
    std::unique_ptr<testsupport::RealProgram> startProgram(bool receiveAtStart)
    {
        const auto socket = folder.file("instrument.sock").getFullPathName();
        server = std::make_unique<simulator::BridgeInstrumentServer>(instrument, socket.toStdString());
        EXPECT_TRUE(server->start());
        const auto configHome = folder.file("config");
        EXPECT_TRUE(
            testsupport::RealProgram::writePreferences(configHome, {{"AutoReceive", receiveAtStart ? "1" : "0"}}));
        testsupport::RealProgram::Options options;
        options.bridgeSocket = socket;
        options.configHome = configHome;
        auto program = std::make_unique<testsupport::RealProgram>(options);
        EXPECT_TRUE(program->isStarted());
        return program;
    }

    testsupport::TemporaryFolder folder;
    simulator::SimulatedInstrument instrument;
    std::unique_ptr<simulator::BridgeInstrumentServer> server;
};
} // namespace

TEST_F(TransfersEndToEnd, ReceiveTheLibraryAndWriteItBack)
{
    // No receive at start: the library comes by the key press.
    const auto started = startProgram(false);
    auto& program = *started;
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    const auto untitled = program.getTitle(window);

    // Ctrl+L: the whole library arrives and is marked as an edit. Before the search at start has found the
    // instrument, the transfer starts another search and asks the user to try again.
    using simulator::MessageKind;
    for (int attempt = 0; attempt < 5 && instrument.getCount(MessageKind::programRequest) == 0; ++attempt)
    {
        program.pressKeyIn(window, "ctrl+l");
        unsigned long refused = 0;
        ASSERT_TRUE(program.waitUntil([&] {
            for (const auto& [dialog, title] : program.getWindows())
                if (title == "Receive Library" && showsOkButton(program.screenshot(dialog)))
                    refused = dialog;
            return instrument.getCount(MessageKind::programRequest) > 0 || refused != 0;
        }));
        if (refused == 0)
            break;
        program.clickIn(refused, {352 + 44, 104 + 12}); // OK
        ASSERT_TRUE(program.waitForMainWindowAlone());
    }
    ASSERT_TRUE(program.waitUntil([&] { return instrument.getCount(MessageKind::octaveRequest) == 6; }))
        << program.getOutput() << " programs " << instrument.getCount(MessageKind::programRequest)
        << " searches " << instrument.getCount(MessageKind::searchRequest);

    EXPECT_EQ(instrument.getCount(MessageKind::programRequest), 500);
    ASSERT_TRUE(program.waitUntil([&] { return program.getTitle(window) != untitled; }))
        << program.getTitle(window);

    // What the instrument holds changes behind the program's back; Ctrl+T writes the received library
    // back over it, once the warning is confirmed.
    instrument.setProgram(42, renamed(instrument.getProgram(42), "Changed"));
    ASSERT_TRUE(program.waitForMainWindowAlone());
    program.pressKeyIn(window, "ctrl+t");
    const auto warning = program.waitForTitle("Write to the sonavire");
    ASSERT_NE(warning, 0u) << program.getOutput();
    program.clickIn(warning, {368 + 36, 72 + 12}); // OK
    ASSERT_TRUE(program.waitUntil([&] { return instrument.getCount(MessageKind::liveSetWrite) == 1; }))
        << program.getOutput();
    EXPECT_EQ(instrument.getCount(MessageKind::programWrite), 500);
    EXPECT_EQ(programName(instrument.getProgram(42)), "Sim Prog 042");

    // The received library is an unsaved edit: closing asks first, and No ends the program.
    ASSERT_TRUE(program.waitForMainWindowAlone());
    program.closeWindow(window);
    program.nudgeMouse(window);
    const auto question = program.waitForTitle("Unsaved changes");
    ASSERT_NE(question, 0u) << program.getOutput();
    program.clickIn(question, {164, 72}); // No
    EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
}

// A program dump that arrives twice during the receive at start (a MIDI merge or loop) shifts nothing: the
// library written back leaves every program of the instrument where it was.
TEST_F(TransfersEndToEnd, ARepeatedDumpShiftsNothingThatIsWrittenBack)
{
    instrument.injectFault(simulator::MessageKind::programRequest, 6, simulator::Fault::duplicated);
    const auto started = startProgram(true);
    auto& program = *started;
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    // The library, then the user units, arrive at start.
    ASSERT_TRUE(program.waitUntil(
        [&] { return instrument.getCount(simulator::MessageKind::userSlotHeaderRequest) == 48; }, 60000))
        << program.getOutput() << " programs " << instrument.getCount(simulator::MessageKind::programRequest);
    EXPECT_EQ(instrument.getCount(simulator::MessageKind::programRequest), 500);
    EXPECT_EQ(instrument.getCount(simulator::MessageKind::octaveRequest), 6);

    ASSERT_TRUE(program.waitForMainWindowAlone());
    program.pressKeyIn(window, "ctrl+t");
    const auto warning = program.waitForTitle("Write to the sonavire");
    ASSERT_NE(warning, 0u) << program.getOutput();
    program.clickIn(warning, {368 + 36, 72 + 12}); // OK
    ASSERT_TRUE(
        program.waitUntil([&] { return instrument.getCount(simulator::MessageKind::liveSetWrite) == 1; }, 60000))
        << program.getOutput();
    EXPECT_EQ(instrument.getCount(simulator::MessageKind::programWrite), 500);
    for (int n = 0; n < 500; ++n)
        ASSERT_EQ(programName(instrument.getProgram(n)), juce::String::formatted("Sim Prog %03d", n)) << n;
}
