// The real program against the simulated instrument on the MIDI socket bridge, driven by key presses.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"

#include <gtest/gtest.h>

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
} // namespace

// Needs the start-up routine (the family code and the search at start) that the application object is
// getting.
TEST(TransfersEndToEnd, ReceiveTheLibraryAndWriteItBack)
{
    testsupport::TemporaryFolder folder;
    simulator::SimulatedInstrument instrument;
    const auto socket = folder.file("instrument.sock").getFullPathName();
    simulator::BridgeInstrumentServer server(instrument, socket.toStdString());
    ASSERT_TRUE(server.start());

    // No receive at start: the library comes by the key press.
    const auto configHome = folder.file("config");
    const auto preferences = configHome.getChildFile("VEXO sonavire Sound Librarian/PreferencesData.xml");
    ASSERT_TRUE(preferences.getParentDirectory().createDirectory());
    ASSERT_TRUE(preferences.replaceWithText("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PreferencesData>\n"
                                            "  <AutoReceive Value=\"0\"/>\n</PreferencesData>\n"));

    testsupport::RealProgram::Options options;
    options.bridgeSocket = socket;
    options.configHome = configHome;
    testsupport::RealProgram program(options);
    ASSERT_TRUE(program.isStarted());
    const auto window = program.waitForWindow([](const juce::String& title) { return title.startsWith("sonavire"); });
    ASSERT_NE(window, 0u) << program.getOutput();
    const auto untitled = program.getTitle(window);

    // Ctrl+L: the whole library arrives and is marked as an edit.
    program.moveMouse(window, {400, 300});
    program.pressKey("ctrl+l");
    // Before any search has found the instrument, the transfer starts one and asks the user to try again.
    if (!testsupport::RealProgram::waitUntil(
            [&] { return instrument.getCount(simulator::MessageKind::programRequest) > 0; }, 3000))
    {
        const auto dialog =
            program.waitForWindow([](const juce::String& title) { return title == "Receive Library"; }, 5000);
        ASSERT_NE(dialog, 0u) << program.getOutput();
        program.click(dialog, {352 + 44, 104 + 12}); // OK
        ASSERT_TRUE(testsupport::RealProgram::waitUntil(
            [&] { return instrument.getCount(simulator::MessageKind::searchRequest) > 0; }, 5000));
        juce::Thread::sleep(500);
        program.moveMouse(window, {400, 300});
        program.pressKey("ctrl+l");
    }
    ASSERT_TRUE(testsupport::RealProgram::waitUntil(
        [&] { return instrument.getCount(simulator::MessageKind::octaveRequest) == 6; }, 30000))
        << program.getOutput() << " programs " << instrument.getCount(simulator::MessageKind::programRequest)
        << " searches " << instrument.getCount(simulator::MessageKind::searchRequest);

    EXPECT_EQ(instrument.getCount(simulator::MessageKind::programRequest), 500);
    ASSERT_TRUE(testsupport::RealProgram::waitUntil([&] { return program.getTitle(window) != untitled; }))
        << program.getTitle(window);

    // What the instrument holds changes behind the program's back; Ctrl+T writes the received library
    // back over it, once the warning is confirmed.
    instrument.setProgram(42, renamed(instrument.getProgram(42), "Changed"));
    program.moveMouse(window, {400, 300});
    program.pressKey("ctrl+t");
    const auto warning = program.waitForWindow([](const juce::String& title) { return title == "Write to the sonavire"; });
    ASSERT_NE(warning, 0u) << program.getOutput();
    program.saveScreenshot(folder.file("warning.png"), warning);
    program.click(warning, {368 + 36, 72 + 12}); // OK
    ASSERT_TRUE(testsupport::RealProgram::waitUntil(
        [&] { return instrument.getCount(simulator::MessageKind::liveSetWrite) == 1; }, 30000))
        << program.getOutput();
    EXPECT_EQ(instrument.getCount(simulator::MessageKind::programWrite), 500);
    EXPECT_EQ(programName(instrument.getProgram(42)), "Sim Prog 042");

    // The received library is an unsaved edit: closing asks first, and No ends the program.
    program.closeWindow(window);
    const auto question = program.waitForWindow([](const juce::String& title) { return title == "Unsaved changes"; });
    ASSERT_NE(question, 0u) << program.getOutput();
    program.click(question, {164, 72}); // No
    EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
}
