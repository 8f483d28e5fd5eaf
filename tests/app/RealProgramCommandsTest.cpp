// The file and option commands in the real program, driven with real key presses, clicks and a real drop.
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/ProgramFileWriter.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using testsupport::RealProgram;

namespace
{
const juce::String applicationName("sonavire Sound Librarian");

juce::String programNameIn(const juce::File& file)
{
    auto library = std::make_unique<x47390_data::LibraryData>();
    if (x47390_file::LibraryFileReader(library.get()).read(file) != 0)
        return "(unreadable)";
    return library->getProgramData(0).getName().trimEnd();
}

class RealProgramCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // No search and no receive at start: the commands are the only thing that happens.
        ASSERT_TRUE(RealProgram::writePreferences(configHome(), {{"MidiPortAutoScan", "0"}, {"AutoReceive", "0"}}));
    }

    juce::File configHome() const { return files.file("config"); }

    RealProgram::Options options() const
    {
        RealProgram::Options result;
        result.configHome = configHome();
        return result;
    }

    juce::File writeLibrary(const juce::String& name, const juce::String& programName) const
    {
        auto library = std::make_unique<x47390_data::LibraryData>();
        library->getProgramData(0).setName(programName);
        library->getProgramData(0).updateHash();
        const auto file = files.file(name);
        EXPECT_EQ(x47390_file::LibraryFileWriter(library.get()).write(file), 0);
        return file;
    }

    testsupport::TemporaryFolder files;
};
} // namespace

TEST_F(RealProgramCommands, OpenAndSaveWithTheKeyboard)
{
    const auto library = writeLibrary("Round Trip.snvrlib", "Round Trip");
    RealProgram program(options());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    EXPECT_EQ(program.getTitle(window), applicationName + " - Untitled");

    program.pressKeyIn(window, "ctrl+o");
    const auto chooser = program.waitForTitle("Open a library");
    ASSERT_NE(chooser, 0u) << program.getOutput();
    program.keepScreenshot(chooser, "commands/open-chooser");
    program.chooseInChooser(chooser, library);
    ASSERT_TRUE(program.waitForWindowTitle(window, applicationName + " - Round Trip.snvrlib")) << program.getTitle(window);

    // Ctrl+S writes the library back to its file: a new file replaces the old one.
    const auto before = library.getFileIdentifier();
    program.pressKeyIn(window, "ctrl+s");
    ASSERT_TRUE(program.waitUntil([&] { return library.getFileIdentifier() != before; }));
    EXPECT_EQ(programNameIn(library), "Round Trip");

    // Ctrl+Shift+S with another extension typed: the library file of that name is written.
    program.pressKeyIn(window, "ctrl+shift+s");
    const auto saveChooser = program.waitForTitle("Save the library");
    ASSERT_NE(saveChooser, 0u);
    program.chooseInChooser(saveChooser, files.file("Copy.txt"));
    ASSERT_TRUE(program.waitForWindowTitle(window, applicationName + " - Copy.snvrlib")) << program.getTitle(window);
    EXPECT_EQ(programNameIn(files.file("Copy.snvrlib")), "Round Trip");
    EXPECT_FALSE(files.file("Copy.txt").exists());

    EXPECT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
}

// A library file dragged from a file manager onto the main window opens; its extension counts in any case.
TEST_F(RealProgramCommands, ADroppedLibraryOpens)
{
    const auto library = writeLibrary("Dropped.SNVRLIB", "Dropped");
    RealProgram program(options());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();

    const auto bounds = program.getWindowBounds(window);
    EXPECT_EQ(program.dropFiles(window, bounds.getCentre() - bounds.getPosition(), {library.getFullPathName()}),
              RealProgram::DropOutcome::dropped);
    ASSERT_TRUE(program.waitForWindowTitle(window, applicationName + " - Dropped.SNVRLIB")) << program.getTitle(window);

    EXPECT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
}

// Ctrl+, opens the preferences: Escape closes them storing nothing, OK writes the file at once.
TEST_F(RealProgramCommands, PreferencesOpenWithTheKeyboard)
{
    RealProgram program(options());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();
    const auto preferencesFile = program.getPreferencesFile();
    const auto before = preferencesFile.loadFileAsString();

    program.pressKeyIn(window, "ctrl+comma");
    auto dialog = program.waitForTitle("Preferences");
    ASSERT_NE(dialog, 0u) << program.getOutput();
    EXPECT_NEAR(program.getWindowBounds(dialog).getWidth(), 540, 2);
    program.keepScreenshot(dialog, "commands/preferences");
    program.clickIn(dialog, {40, 204}); // the warning toggle
    program.pressKeyIn(dialog, "Escape");
    ASSERT_TRUE(program.waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_EQ(preferencesFile.loadFileAsString(), before);

    // The dialog window goes before its modal state has ended, and a key pressed in between is swallowed: the
    // key is pressed again until the dialog opens (a press while it is open changes nothing).
    ASSERT_TRUE(program.waitUntil([&] {
        program.pressKeyIn(window, "ctrl+comma");
        dialog = program.waitForTitle("Preferences", 5000);
        return dialog != 0;
    }));
    program.clickIn(dialog, {40, 204});
    program.clickIn(dialog, {479, 290}); // OK
    // The file is written once the dialog has gone.
    EXPECT_TRUE(program.waitUntil(
        [&] { return preferencesFile.loadFileAsString().contains("<WarnBeforeWriting Value=\"0\"/>"); }))
        << preferencesFile.loadFileAsString();
    ASSERT_TRUE(program.waitUntil([&] { return program.getWindows().size() == 1; }));

    EXPECT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
}

// Exit on an edited library asks first: Escape keeps the program and its edit, No lets it end.
TEST_F(RealProgramCommands, ExitOnAnEditedLibraryAsksFirst)
{
    x47390_data::ProgramData sound;
    sound.setName("Dropped In");
    sound.updateHash();
    const auto programFile = files.file("One.snvrprog");
    ASSERT_EQ(x47390_file::ProgramFileWriter(&sound).write(programFile), 0);

    RealProgram program(options());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();

    // A program file dropped on the window goes into the selected program: the library is edited.
    const auto bounds = program.getWindowBounds(window);
    EXPECT_EQ(program.dropFiles(window, bounds.getCentre() - bounds.getPosition(), {programFile.getFullPathName()}),
              RealProgram::DropOutcome::dropped);
    ASSERT_TRUE(program.waitForWindowTitle(window, applicationName + " - Untitled (edited)")) << program.getTitle(window);

    program.pressKeyIn(window, "ctrl+q");
    auto question = program.waitForTitle("Unsaved changes");
    ASSERT_NE(question, 0u) << program.getOutput();
    program.keepScreenshot(question, "commands/discard-question");
    program.pressKeyIn(question, "Escape");
    ASSERT_TRUE(program.waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_TRUE(program.isRunning());
    EXPECT_EQ(program.getTitle(window), applicationName + " - Untitled (edited)");

    // Quit, the last item of the File menu, asks the same.
    ASSERT_TRUE(program.chooseFromMenu(window, 0, -1, "commands/file-menu-quit"));
    question = program.waitForTitle("Unsaved changes");
    ASSERT_NE(question, 0u);
    program.clickIn(question, {164, 72}); // No, below the one-line question
    EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
}

// Reset Presets, from the Option menu, asks, then removes the installed presets and ends the program; the
// preferences stay.
TEST_F(RealProgramCommands, InitialiseRemovesThePresets)
{
    const auto presets = configHome().getChildFile("VEXO sonavire Sound Librarian").getChildFile("Preset Data");
    ASSERT_TRUE(presets.getChildFile("Installed.isnvrpreset").create().wasOk());

    RealProgram program(options());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();

    // The File menu, looked at and closed again.
    program.focusWindow(window);
    program.clickIn(window, {20, 10});
    ASSERT_TRUE(program.waitUntil([&] { return program.getWindows().size() > 1; }));
    program.keepScreenshot(0, "commands/file-menu");
    program.pressKeyIn(window, "Escape");
    ASSERT_TRUE(program.waitUntil([&] { return program.getWindows().size() == 1; }));
    EXPECT_TRUE(presets.exists());

    // Option menu: Open Preset Window, Preferences, About, Reset Presets and Quit. It asks first, and Return
    // keeps everything: Cancel is the default where files would go.
    ASSERT_TRUE(program.chooseFromMenu(window, 3, 4, "commands/option-menu"));
    auto question = program.waitForTitle("Reset presets");
    ASSERT_NE(question, 0u) << program.getOutput();
    program.keepScreenshot(question, "commands/reset-presets-question");
    program.pressKeyIn(question, "Return");
    ASSERT_TRUE(program.waitForMainWindowAlone());
    EXPECT_TRUE(program.isRunning());
    EXPECT_TRUE(presets.exists());

    ASSERT_TRUE(program.chooseFromMenu(window, 3, 4));
    question = program.waitForTitle("Reset presets");
    ASSERT_NE(question, 0u) << program.getOutput();
    program.focusWindow(question);
    program.pressKey("Tab");
    program.pressKey("Return");
    EXPECT_EQ(program.waitForExit(), 0) << program.getOutput();
    EXPECT_FALSE(presets.exists());
    EXPECT_TRUE(program.getPreferencesFile().existsAsFile());
}
