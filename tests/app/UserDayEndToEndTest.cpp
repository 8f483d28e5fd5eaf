// A user's day with the real program and the simulated instrument on the MIDI socket bridge: first start,
// edits in the program table, files, the microtuning page, writes to the instrument, the clipboard, and
// the faults a day brings. The program is driven only by real X input; results are read from outside:
// window titles, files, the instrument's memory and log, and screenshots, which are kept to look at.
#include "data/LibraryData.h"
#include "files/LibraryFileReader.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/BridgeInstrumentServer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using testsupport::RealProgram;
using simulator::MessageKind;

namespace
{
const juce::String applicationName("sonavire Sound Librarian");
const juce::String edited(" (edited)");

juce::String titleOf(const juce::String& file) { return applicationName + " - " + file; }

// The main window: menu bar 20, header 85, tab bar 30; the program table has a header of 28 and rows
// of 25; the tab pages reach 85 pixels below the window, and the live set starts 286 pixels above the
// page's bottom.
constexpr int pageTop = 20 + 85 + 30;
constexpr int rowsTop = pageTop + 28;
constexpr int rowHeight = 25;
constexpr int nameLeft = 48, nameRight = 228;
constexpr int categoryX = 260; // a cell without an editor

juce::Point<int> rowPoint(int row, int x = categoryX) { return {x, rowsTop + rowHeight * row + rowHeight / 2}; }

// The six tabs share the tab bar's width.
juce::Point<int> tabPoint(int index, int width) { return {width * (2 * index + 1) / 12, pageTop - 15}; }

// The tuning page lies at (75, 0) of its tab page.
juce::Point<int> tuningPoint(int x, int y) { return {75 + x, pageTop + y}; }

// A selected row is filled with 0x44aaaaaa over the black list.
bool rowLooksSelected(const juce::Image& shot, int row)
{
    return shot.getPixelAt(700, rowPoint(row).y).getBrightness() > 0.12f;
}

// The light pixels of an area: texts are white or light grey on dark grounds.
std::vector<bool> lightPixels(const juce::Image& shot, juce::Rectangle<int> area, float threshold = 0.5f)
{
    std::vector<bool> light;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            light.push_back(shot.getPixelAt(x, y).getBrightness() > threshold);
    return light;
}

// The lines of a Scala file that are not comments.
juce::StringArray pitchLines(const juce::File& file)
{
    juce::StringArray lines;
    for (const auto& line : juce::StringArray::fromLines(file.loadFileAsString()))
        if (!line.startsWith("!") && line.isNotEmpty())
            lines.add(line);
    return lines;
}

int count(const std::vector<bool>& pixels) { return (int) std::count(pixels.begin(), pixels.end(), true); }

// Two pictures of text show the same text: a selected row draws it white, another light grey, so their
// smoothed edges differ a little.
bool sameText(const std::vector<bool>& a, const std::vector<bool>& b)
{
    int differing = 0, either = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    {
        differing += a[i] != b[i] ? 1 : 0;
        either += a[i] || b[i] ? 1 : 0;
    }
    return a.size() == b.size() && either > 20 && differing * 6 < either;
}

juce::Rectangle<int> nameCell(int row) { return {nameLeft + 2, rowsTop + rowHeight * row + 3, nameRight - nameLeft - 4, rowHeight - 6}; }

// The name editor is open on a row: its text is selected, on the selection's grey.
bool isEditingName(const juce::Image& shot, int row)
{
    int selected = 0;
    const auto cell = nameCell(row);
    for (int y = cell.getY(); y < cell.getBottom(); ++y)
        for (int x = cell.getX(); x < cell.getRight(); ++x)
            selected += shot.getPixelAt(x, y) == juce::Colour(0xff555555) ? 1 : 0;
    return selected > 40;
}

using testsupport::samePixels;

std::unique_ptr<x47390_data::LibraryData> readLibrary(const juce::File& file)
{
    auto library = std::make_unique<x47390_data::LibraryData>();
    const int result = x47390_file::LibraryFileReader(library.get()).read(file);
    EXPECT_EQ(result, 0) << file.getFullPathName();
    return library;
}

juce::StringArray namesOf(const x47390_data::LibraryData& library, int count)
{
    juce::StringArray names;
    for (int i = 0; i < count; ++i)
        names.add(library.getProgramData(i).getName().trimEnd());
    return names;
}

juce::String nameOf(const simulator::Bytes& program)
{
    return juce::String::fromUTF8(reinterpret_cast<const char*>(program.data()) + 4, 12).trimEnd();
}

// What a library file holds against the instrument's memory: programs, live set and tunings; "" when
// they agree, else the first difference.
juce::String differenceToInstrument(const x47390_data::LibraryData& library, const simulator::SimulatedInstrument& instrument)
{
    for (int n = 0; n < x47390_data::LibraryData::numPrograms; ++n)
    {
        const auto& binary = library.getProgramData(n).binary;
        if (simulator::Bytes(binary.begin(), binary.end()) != instrument.getProgram(n))
            return "program " + juce::String(n) + " (" + library.getProgramData(n).getName() + " / "
                   + nameOf(instrument.getProgram(n)) + ")";
    }
    for (int bank = 0; bank < 4; ++bank)
        for (int slot = 0; slot < 8; ++slot)
            if (library.getFavoriteData().entries[(size_t) bank][(size_t) slot] != instrument.getLiveSetEntry(bank, slot))
                return "live set " + juce::String(bank) + ":" + juce::String(slot);
    for (int i = 0; i < 6; ++i)
    {
        const auto& scale = library.getTuneScaleData(i).notes;
        if (simulator::Bytes(scale.begin(), scale.end()) != instrument.getScale(i))
            return "user scale " + juce::String(i + 1);
        const auto& octave = library.getTuneOctData(i).notes;
        if (simulator::Bytes(octave.begin(), octave.end()) != instrument.getOctave(i))
            return "user octave " + juce::String(i + 1);
    }
    return {};
}

// The same between two library files.
juce::String differenceBetween(const x47390_data::LibraryData& a, const x47390_data::LibraryData& b)
{
    for (int n = 0; n < x47390_data::LibraryData::numPrograms; ++n)
        if (a.getProgramData(n).binary != b.getProgramData(n).binary)
            return "program " + juce::String(n);
    if (a.getFavoriteData().entries != b.getFavoriteData().entries)
        return "live set";
    for (int i = 0; i < 6; ++i)
        if (a.getTuneScaleData(i).notes != b.getTuneScaleData(i).notes
            || a.getTuneOctData(i).notes != b.getTuneOctData(i).notes)
            return "tuning " + juce::String(i);
    return {};
}

// Run on a bare X server and under a real window manager, which frames, places and focuses the windows.
class UserDayEndToEnd : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        RealProgram::screenshotFolder().getChildFile(shotFolder()).deleteRecursively();
    }

    // What the screen showed when a step failed, to look at.
    void TearDown() override
    {
        if (HasFailure() && program != nullptr && program->isRunning())
            keep(0, "failure");
    }

    // Starts the program on the simulated instrument with the user's preferences folder.
    void start(const juce::StringArray& arguments = {})
    {
        RealProgram::Options options;
        options.configHome = files.file("config");
        options.bridgeSocket = socket;
        options.arguments = arguments;
        options.windowManager = GetParam();
        program = std::make_unique<RealProgram>(options);
        ASSERT_TRUE(program->isStarted());
        window = program->waitForMainWindow();
        ASSERT_NE(window, 0u) << program->getOutput();
        width = program->getWindowBounds(window).getWidth();
    }

    // Pictures of every tab and dialog met on the way, numbered in the order of the day: "userday/NN-name"
    // ("userday-wm/" under the window manager).
    juce::String shotFolder() const { return GetParam() ? "userday-wm" : "userday"; }

    juce::String nextShot(const juce::String& name)
    {
        return shotFolder() + "/" + juce::String(++shots).paddedLeft('0', 2) + "-" + name;
    }

    // The window is still on the screen (a transfer's dialog closes by itself).
    bool isShown(unsigned long candidate)
    {
        for (const auto& entry : program->getWindows())
            if (entry.first == candidate)
                return true;
        return false;
    }

    // Keeps a picture once the window has finished painting. A dialog that closed by itself first is not
    // kept: it did what it was there for.
    void keep(unsigned long shown, const juce::String& name)
    {
        waitUntilSettled(shown);
        if (!program->keepScreenshot(shown, nextShot(name)))
            EXPECT_FALSE(shown == 0 || isShown(shown)) << name;
    }

    // Waits until two pictures in a row, a moment apart, agree: the window has painted what it had to.
    void waitUntilSettled(unsigned long shown, juce::Rectangle<int> area = {})
    {
        const auto look = [&] {
            const auto picture = program->screenshot(shown);
            return area.isEmpty() || !picture.isValid() ? picture : picture.getClippedImage(area);
        };
        auto last = look();
        program->waitUntil([&] {
            juce::Thread::sleep(100);
            auto now = look();
            const bool same = samePixels(now, last);
            last = now;
            return same || (shown != 0 && !isShown(shown));
        });
    }

    juce::Image shot() { return program->screenshot(window); }

    // Waits while the pointer moves to and fro over the empty end of the menu bar.
    bool waitFor(const std::function<bool()>& condition)
    {
        return program->waitWhileMoving(window, {width - 20, 10}, condition);
    }

    bool titleIs(const juce::String& title) { return program->waitForWindowTitle(window, title); }

    // Waits for a dialog, keeps its picture once it is painted (it has text), and returns it.
    unsigned long dialog(const juce::String& title, const juce::String& screenshotName)
    {
        const auto found = program->waitForTitle(title);
        if (found != 0 && screenshotName.isNotEmpty())
        {
            program->waitUntil([&] {
                const auto picture = program->screenshot(found);
                return count(lightPixels(picture, picture.getBounds(), 0.7f)) > 30 || !isShown(found);
            });
            keep(found, screenshotName);
        }
        return found;
    }

    // Clicks a dialog's button until the dialog has gone. The point is taken from the top: the body lies at the
    // window's top left, and a window manager has been seen to show the window taller than its body. A click
    // that the program has handled (it answers a drag over the main window only after the click) while the
    // dialog stays, even a while later, is given again; each repetition is reported with the state of the
    // desktop and a picture of the screen.
    bool clickUntilGone(unsigned long dialogWindow, juce::Point<int> point)
    {
        for (int attempt = 0; attempt < 3 && isShown(dialogWindow); ++attempt)
        {
            if (attempt > 0)
            {
                std::fprintf(stderr, "the dialog 0x%lx stayed after a click; clicking again at %d,%d in it\n%s",
                             dialogWindow, point.x, point.y, program->describeDesktop().toRawUTF8());
                program->keepScreenshot(0, "dialog-stayed-" + juce::String(attempt));
            }
            program->clickIn(dialogWindow, point);
            if (!program->waitUntilHandled(window)
                || program->waitUntil([&] { return !isShown(dialogWindow); }, 10000))
                break;
        }
        return program->waitUntil([&] { return !isShown(dialogWindow); });
    }

    void showTab(int index)
    {
        program->clickIn(window, tabPoint(index, width));
    }

    // Selects one row by a click on a cell without editor, and waits until the table shows it.
    void selectRow(int row)
    {
        program->clickIn(window, rowPoint(row));
        ASSERT_TRUE(waitFor([&] {
            const auto picture = shot();
            for (int other = 0; other < 11; ++other)
                if (rowLooksSelected(picture, other) != (other == row))
                    return false;
            return true;
        })) << "row " << row << " selected";
    }

    // The program ends with code 0, and the toolkit's leak and assertion checks found nothing.
    void expectCleanExit()
    {
        ASSERT_EQ(program->waitForExit(), 0) << program->getOutput();
        EXPECT_FALSE(program->getOutput().contains("Leaked objects")) << program->getOutput();
        EXPECT_FALSE(program->getOutput().contains("Assertion failure")) << program->getOutput();
    }

    // Keeps a picture of a transfer's dialog: the instrument answers the first message of a kind late (well
    // within the time-outs), so that the dialog shows long enough to be seen; the action starts the
    // transfer.
    void keepTransfer(const juce::String& title, const juce::String& screenshotName, MessageKind late,
                      const std::function<void()>& action = {})
    {
        instrument.answerLate(late, instrument.getCount(late) + 1, 1500);
        if (action)
            action();
        EXPECT_NE(dialog(title, screenshotName), 0u) << title;
    }

    // Confirms the write warning and waits for the transfer it starts to end; keeps pictures of both
    // dialogs when names are given.
    void confirmWrite(const juce::String& transferTitle, const juce::String& screenshotName, MessageKind late,
                      const std::function<bool()>& written)
    {
        const auto warning =
            dialog("Write to the sonavire", screenshotName.isEmpty() ? juce::String() : screenshotName + "-warning");
        ASSERT_NE(warning, 0u) << program->getOutput();
        const auto confirm = [&] { program->clickIn(warning, {368 + 36, 72 + 12}); }; // OK
        if (screenshotName.isNotEmpty())
            keepTransfer(transferTitle, screenshotName, late, confirm);
        else
            confirm();
        ASSERT_TRUE(program->waitUntil(written)) << transferTitle;
        ASSERT_TRUE(program->waitForMainWindowAlone()) << transferTitle;
    }

    // Save (the key press) to the library's file: waits for the new file.
    void save(const juce::File& file)
    {
        const auto identifier = file.getFileIdentifier();
        program->pressKeyIn(window, "ctrl+s");
        ASSERT_TRUE(program->waitUntil([&] { return file.getFileIdentifier() != identifier; })) << file.getFileName();
        ASSERT_TRUE(titleIs(titleOf(file.getFileName()))) << program->getTitle(window);
    }

    // Save As through the chooser; waits for the title that names the file.
    void saveAs(const juce::File& file, const juce::String& screenshotName = {})
    {
        program->pressKeyIn(window, "ctrl+shift+s");
        const auto chooser = program->waitForTitle("Save the library");
        ASSERT_NE(chooser, 0u) << program->getOutput();
        if (screenshotName.isNotEmpty())
            keep(chooser, screenshotName);
        program->chooseInChooser(chooser, file);
        ASSERT_TRUE(titleIs(titleOf(file.getFileName()))) << program->getTitle(window);
        ASSERT_TRUE(file.existsAsFile());
    }

    testsupport::TemporaryFolder files;
    const juce::String socket = files.file("instrument.sock").getFullPathName();
    simulator::SimulatedInstrument instrument;
    simulator::BridgeInstrumentServer server{instrument, socket.toStdString()};
    std::unique_ptr<RealProgram> program;
    unsigned long window = 0;
    int width = 940;
    int shots = 0;
};
} // namespace

TEST_P(UserDayEndToEnd, FromTheFirstStartToTheFaultsOfTheDay)
{
    // 1. First start: the search finds the instrument and the automatic receive fills the library and
    //    the user-unit slots.
    // Both transfers' first answers are late from the start: the second one follows the first at once.
    instrument.answerLate(MessageKind::userSlotHeaderRequest, 1, 1500);
    ASSERT_NO_FATAL_FAILURE(keepTransfer("Receive Library", "receive-library", MessageKind::programRequest,
                                         [&] { start(); }));
    ASSERT_TRUE(program != nullptr && window != 0);
    EXPECT_NE(dialog("Receive User Units", "receive-user-units"), 0u);
    ASSERT_TRUE(program->waitUntil(
        [&] { return instrument.getCount(MessageKind::userSlotHeaderRequest) == 48; }, 120000))
        << program->getOutput() << " programs asked for: " << instrument.getCount(MessageKind::programRequest);
    EXPECT_EQ(instrument.getCount(MessageKind::programRequest), 500);
    EXPECT_EQ(instrument.getCount(MessageKind::scaleRequest), 6);
    EXPECT_EQ(instrument.getCount(MessageKind::octaveRequest), 6);
    ASSERT_TRUE(program->waitForMainWindowAlone());
    ASSERT_TRUE(titleIs(titleOf("Untitled" + edited))) << program->getTitle(window);

    // Every tab as it shows the instrument's content.
    ASSERT_TRUE(waitFor([&] { return count(lightPixels(shot(), nameCell(10))) > 20; })) << "program names shown";
    keep(window, "program-tab");
    const char* const tabNames[] = {"", "user-oscillators", "user-modulation-fx", "user-delay-fx", "user-reverb-fx"};
    // The units the instrument holds: oscillators in slots 1 to 3, a modulation effect in slot 1 and a
    // delay effect in slot 2; no reverb effect. Names reach past the dashes of an empty slot.
    const std::vector<std::vector<bool>> filled = {{}, {true, true, true, false}, {true, false}, {false, true}, {false, false}};
    for (int tab = 1; tab <= 4; ++tab)
    {
        showTab(tab);
        ASSERT_TRUE(waitFor([&] {
            const auto picture = shot();
            for (size_t row = 0; row < filled[(size_t) tab].size(); ++row)
                if ((count(lightPixels(picture, {80, rowsTop + rowHeight * (int) row + 3, 120, rowHeight - 6})) > 10)
                    != filled[(size_t) tab][row])
                    return false;
            return true;
        })) << tabNames[tab];
        keep(window, tabNames[tab]);
    }
    showTab(5);
    ASSERT_TRUE(waitFor([&] { return shot().getPixelAt(tuningPoint(300, 20).x, tuningPoint(300, 20).y) == juce::Colours::black; }));
    keep(window, "microtuning");
    showTab(0);

    // What was received, saved to a file: the instrument's library, to the byte.
    ASSERT_NO_FATAL_FAILURE(saveAs(files.file("received.snvrlib"), "save-chooser"));
    EXPECT_EQ(differenceToInstrument(*readLibrary(files.file("received.snvrlib")), instrument), "");

    // 2. A program renamed in the table, two rows dragged to a new place, a program put on a live-set
    //    slot, and that last step undone and done again.
    ASSERT_NO_FATAL_FAILURE(selectRow(4));
    const auto nameBefore = lightPixels(shot(), nameCell(4));
    // A double-click opens the name editor.
    program->click(window, rowPoint(4, 100), 1, 2);
    ASSERT_TRUE(waitFor([&] { return isEditingName(shot(), 4); }));
    program->pressKey("ctrl+a"); // the whole name
    program->typeText("Morning Pad");
    program->pressKeyIn(window, "Return");
    ASSERT_TRUE(titleIs(titleOf("received.snvrlib" + edited))) << program->getTitle(window);
    ASSERT_TRUE(waitFor([&] { return lightPixels(shot(), nameCell(4)) != nameBefore && !isEditingName(shot(), 4); }));

    // Rows 2 and 3 (programs 1 and 2) dragged before row 7: the table reads 0, 3, 4, 5, 1, 2, 6.
    ASSERT_NO_FATAL_FAILURE(selectRow(1));
    program->pressKeyIn(window, "shift+Down");
    ASSERT_TRUE(waitFor([&] { return rowLooksSelected(shot(), 1) && rowLooksSelected(shot(), 2); }));
    program->drag(window, rowPoint(2), {categoryX, rowsTop + rowHeight * 6 + 3});
    program->nudgeMouse(window);
    ASSERT_TRUE(waitFor([&] {
        const auto picture = shot();
        return rowLooksSelected(picture, 4) && rowLooksSelected(picture, 5) && !rowLooksSelected(picture, 1);
    })) << "the moved rows are selected at their new place";
    keep(window, "program-tab-edited");

    // The renamed program, now in row 3, dragged by its name onto live-set slot A-4.
    const int favouritesTop = program->getWindowBounds(window).getHeight() - 286 + 85;
    const juce::Rectangle<int> slotA4(85 + 97 * 3, favouritesTop + 7, 84, 40);
    ASSERT_NO_FATAL_FAILURE(selectRow(2));
    const auto slotBefore = shot().getClippedImage(slotA4);
    program->drag(window, rowPoint(2, 100), slotA4.getCentre());
    program->nudgeMouse(window);
    ASSERT_TRUE(waitFor([&] { return !samePixels(shot().getClippedImage(slotA4), slotBefore); }))
        << "slot A-4 shows the program";
    // Once the drop highlight is gone.
    waitUntilSettled(window, slotA4);
    const auto slotAfter = shot().getClippedImage(slotA4);
    ASSERT_TRUE(program->chooseFromMenu(window, 1, 1, nextShot("edit-menu"))); // Undo
    ASSERT_TRUE(waitFor([&] { return samePixels(shot().getClippedImage(slotA4), slotBefore); })) << "undone";
    program->pressKeyIn(window, "ctrl+shift+z");
    ASSERT_TRUE(waitFor([&] { return samePixels(shot().getClippedImage(slotA4), slotAfter); })) << "done again";
    EXPECT_EQ(program->getTitle(window), titleOf("received.snvrlib" + edited));
    keep(window, "live-set-edited");

    // 3. Saved under a new name, the program ended, and started again with that file.
    const auto day = files.file("day.snvrlib");
    ASSERT_NO_FATAL_FAILURE(saveAs(day));
    {
        const auto saved = readLibrary(day);
        EXPECT_EQ(namesOf(*saved, 8), (juce::StringArray{"Sim Prog 000", "Sim Prog 003", "Morning Pad", "Sim Prog 005",
                                                         "Sim Prog 001", "Sim Prog 002", "Sim Prog 006", "Sim Prog 007"}));
        // The live set follows the moved programs (3 is now in row 1); A-4 holds the renamed program.
        const std::array<int, 8> bankA{0, 1, 6, 2, 12, 15, 18, 21};
        EXPECT_EQ(saved->getFavoriteData().entries[0], bankA);
        EXPECT_EQ(saved->getFavoriteData().entries[3][7], 93);
    }
    program->pressKeyIn(window, "ctrl+q");
    ASSERT_NO_FATAL_FAILURE(expectCleanExit()) << "a saved library ends without a question";

    instrument.clearLog();
    ASSERT_NO_FATAL_FAILURE(start({day.getFullPathName()}));
    ASSERT_TRUE(titleIs(titleOf("day.snvrlib"))) << program->getTitle(window);
    ASSERT_TRUE(program->waitUntil([&] { return instrument.getCount(MessageKind::searchRequest) > 0; }));
    keep(window, "program-tab-reopened");
    // What the program shows now is saved again: the same library, with nothing received meanwhile.
    const auto reopened = files.file("day-reopened.snvrlib");
    ASSERT_NO_FATAL_FAILURE(saveAs(reopened));
    EXPECT_EQ(differenceBetween(*readLibrary(day), *readLibrary(reopened)), "");
    EXPECT_EQ(instrument.getCount(MessageKind::programRequest), 0) << "no receive when a file came on the command line";
    EXPECT_EQ(instrument.getCount(MessageKind::userSlotHeaderRequest), 0);

    // 4. The microtuning page: a note of user scale 1 edited, a Scala file imported into user scale 2 and
    //    exported again, both scales written to the instrument.
    const auto receivedScale1 = instrument.getScale(0);
    showTab(5);
    const auto black = [&](juce::Point<int> p) { return shot().getPixelAt(p.x, p.y) == juce::Colours::black; };
    ASSERT_TRUE(waitFor([&] { return black(tuningPoint(300, 20)); }));
    const auto scaleButton = [](int k) { return tuningPoint(113 + (k - 1) * 93 + (k > 3 ? 1 : 0) + 40, 40 + 12); };
    const juce::Rectangle<int> cBox(tuningPoint(127, 320).x, tuningPoint(127, 320).y, 38, 18);
    program->clickIn(window, scaleButton(1));
    // The C note box of page "C 4" (note 60): typing a note name there retunes the note.
    waitUntilSettled(window, cBox);
    const auto cBoxBefore = shot().getClippedImage(cBox);
    bool retuned = false;
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) testsupport::hangMs;
    while (!retuned && juce::Time::getMillisecondCounter() < end)
    {
        // Typing the same name again changes nothing, so a click the program did not see is made again.
        program->clickIn(window, cBox.getCentre());
        program->pressKey("ctrl+a");
        program->typeText("D4");
        program->pressKeyIn(window, "Return");
        retuned = program->waitWhileMoving(
            window, {width - 20, 10}, [&] { return !samePixels(shot().getClippedImage(cBox), cBoxBefore); }, 5000);
    }
    ASSERT_TRUE(retuned);
    EXPECT_TRUE(titleIs(titleOf("day-reopened.snvrlib" + edited))) << "a typed note is an edit";
    keep(window, "microtuning-edited");

    program->clickIn(window, scaleButton(2));
    // File menu, from its end: Quit, Import Preset File, Export Tuning, Import Tuning Window.
    ASSERT_TRUE(program->chooseFromMenu(window, 0, -4, nextShot("file-menu-import-tuning")));
    const auto importDialog = dialog("Import Tuning", "import-tuning");
    ASSERT_NE(importDialog, 0u) << program->getOutput();
    program->clickIn(importDialog, {96 + 44, 65 + 12}); // the Scala file's import button
    const auto scalaChooser = dialog("Import a Scala scale into the user scale", "import-scala-chooser");
    ASSERT_NE(scalaChooser, 0u);
    const auto scala = testsupport::sharedTestDataFolder().getChildFile("scala/tuning-library/12-intune.scl");
    ASSERT_TRUE(scala.existsAsFile()) << scala.getFullPathName();
    program->chooseInChooser(scalaChooser, scala);
    ASSERT_TRUE(program->waitUntil([&] { return program->getWindows().size() == 2; })) << "back in the dialog";
    program->clickIn(importDialog, {368 + 47, 112 + 12}); // OK
    ASSERT_TRUE(program->waitForMainWindowAlone());
    keep(window, "microtuning-imported");

    ASSERT_TRUE(program->chooseFromMenu(window, 0, -3)); // Export Tuning
    const auto exportChooser = dialog("Export the tuning as a Scala scale", "export-scala-chooser");
    ASSERT_NE(exportChooser, 0u) << program->getOutput();
    program->chooseInChooser(exportChooser, files.file("exported.scl"));
    const auto mapChooser = dialog("Export the keyboard map of the tuning", "export-map-chooser");
    ASSERT_NE(mapChooser, 0u) << program->getOutput();
    program->chooseInChooser(mapChooser, files.file("exported.kbm"));
    ASSERT_TRUE(program->waitUntil([&] { return files.file("exported.kbm").existsAsFile(); }));
    ASSERT_TRUE(program->waitForMainWindowAlone());
    EXPECT_TRUE(files.file("exported.scl").existsAsFile());

    const juce::Point<int> writeButton = tuningPoint(579 + 40, 198 + 12);
    program->clickIn(window, writeButton); // user scale 2
    ASSERT_NO_FATAL_FAILURE(confirmWrite("Write User Scale", "write-user-scale", MessageKind::scaleWrite,
                                         [&] { return instrument.getCount(MessageKind::scaleWrite) == 1; }));
    program->clickIn(window, scaleButton(1));
    program->clickIn(window, writeButton);
    ASSERT_NO_FATAL_FAILURE(confirmWrite("Write User Scale", {}, MessageKind::scaleWrite,
                                         [&] { return instrument.getCount(MessageKind::scaleWrite) == 2; }));
    // User scale 1 as received, but note 60 (C 4) tuned to D 4; user scale 2 in equal temperament.
    auto expectedScale1 = receivedScale1;
    expectedScale1[60 * 3] = 62;
    EXPECT_EQ(instrument.getScale(0), expectedScale1);
    simulator::Bytes equalTempered;
    for (std::uint8_t note = 0; note < 128; ++note)
        equalTempered.insert(equalTempered.end(), {note, 0, 0});
    EXPECT_EQ(instrument.getScale(1), equalTempered);
    // The export: the scale as 128 pitches 100 cents apart, and a keyboard map that lays them on every key.
    const auto scaleLines = pitchLines(files.file("exported.scl"));
    ASSERT_EQ(scaleLines.size(), 130) << files.file("exported.scl").loadFileAsString();
    EXPECT_EQ(scaleLines[1], "128");
    for (int k = 1; k <= 128; ++k)
        EXPECT_NEAR(scaleLines[k + 1].getDoubleValue(), 100.0 * k, 1e-6) << k;
    auto mapLines = juce::StringArray::fromLines(files.file("exported.kbm").loadFileAsString());
    mapLines.removeEmptyStrings();
    ASSERT_EQ(mapLines.size(), 17 + 128) << files.file("exported.kbm").loadFileAsString();
    EXPECT_EQ(mapLines[0], "! exported.kbm");
    EXPECT_EQ(mapLines[3], "128");
    EXPECT_EQ(mapLines[11], " 69");
    EXPECT_EQ(mapLines[13], " 440.000000");
    EXPECT_EQ(mapLines[17 + 127], " 127");

    // 5. The whole library written to the instrument, the warning confirmed: the instrument then holds
    //    exactly what the program shows, as the program saves it.
    showTab(0);
    instrument.clearLog();
    program->pressKeyIn(window, "ctrl+t");
    ASSERT_NO_FATAL_FAILURE(confirmWrite("Write Library", "write-library", MessageKind::programWrite,
                                         [&] { return instrument.getCount(MessageKind::liveSetWrite) == 1; }));
    EXPECT_EQ(instrument.getCount(MessageKind::programWrite), 500);
    EXPECT_EQ(instrument.getCount(MessageKind::scaleWrite), 6);
    EXPECT_EQ(instrument.getCount(MessageKind::octaveWrite), 6);
    ASSERT_NO_FATAL_FAILURE(save(reopened));
    EXPECT_EQ(differenceToInstrument(*readLibrary(reopened), instrument), "");
    // The live-set image keeps the instrument's own bytes around the program numbers.
    const auto liveSet = instrument.getLiveSet();
    for (size_t i = 0; i < liveSet.size(); ++i)
        if (i < 4 || i >= 4 + 32 * 4 || (i - 4) % 32 >= 16)
            EXPECT_EQ(liveSet[i], (std::uint8_t) (i ^ 0xA5)) << "live-set byte " << i;

    // 6. The clipboard: the renamed program copied into row 10; row 6 cut and pasted into row 11; row 7
    //    cleared.
    // Names are compared while neither row is selected (a selected row draws its text brighter): the
    // first row is selected before each look.
    const auto nameIn = [&](int row) { return lightPixels(shot(), nameCell(row)); };
    const auto afterwards = [&](int row, const char* key, const std::function<bool()>& shown) {
        ASSERT_NO_FATAL_FAILURE(selectRow(row));
        program->pressKeyIn(window, key);
        ASSERT_NO_FATAL_FAILURE(selectRow(0));
        ASSERT_TRUE(waitFor(shown)) << key << " on row " << row;
    };
    ASSERT_NO_FATAL_FAILURE(selectRow(0));
    const auto renamedName = nameIn(2);
    const auto cutName = nameIn(5);
    ASSERT_NO_FATAL_FAILURE(afterwards(2, "ctrl+c", [] { return true; }));
    ASSERT_NO_FATAL_FAILURE(afterwards(9, "ctrl+v", [&] { return sameText(nameIn(9), renamedName); }));
    ASSERT_NO_FATAL_FAILURE(afterwards(5, "ctrl+x", [&] { return !sameText(nameIn(5), cutName); }));
    ASSERT_NO_FATAL_FAILURE(afterwards(10, "ctrl+v", [&] { return sameText(nameIn(10), cutName); }));
    ASSERT_NO_FATAL_FAILURE(afterwards(6, "ctrl+k", [&] { return sameText(nameIn(6), nameIn(5)); }));
    keep(window, "program-tab-clipboard");
    ASSERT_NO_FATAL_FAILURE(save(reopened));
    {
        const auto saved = readLibrary(reopened);
        const auto written = readLibrary(files.file("received.snvrlib")); // row 5 held program 1 then
        EXPECT_EQ(namesOf(*saved, 11), (juce::StringArray{"Sim Prog 000", "Sim Prog 003", "Morning Pad", "Sim Prog 005",
                                                          "Sim Prog 001", "Init Program", "Init Program", "Sim Prog 007",
                                                          "Sim Prog 008", "Morning Pad", "Sim Prog 002"}));
        EXPECT_EQ(saved->getProgramData(9).binary, saved->getProgramData(2).binary);
        EXPECT_EQ(saved->getProgramData(10).binary, written->getProgramData(2).binary);
        EXPECT_EQ(saved->getProgramData(5).binary, x47390_data::initProgramTemplate);
        EXPECT_EQ(saved->getProgramData(6).binary, x47390_data::initProgramTemplate);
    }

    // 7. Faults. The instrument stops answering halfway through a Receive Library: the dialog says so, the
    //    library stays as it was, and once the instrument answers again a receive goes through.
    instrument.clearLog();
    instrument.stopAnsweringAt(MessageKind::programRequest, 250);
    const auto titleBefore = program->getTitle(window);
    ASSERT_TRUE(program->chooseFromMenu(window, 2, 1, nextShot("midi-menu"))); // Receive Library
    const auto receiving = program->waitForTitle("Receive Library");
    ASSERT_NE(receiving, 0u) << program->getOutput();
    ASSERT_TRUE(program->waitUntil([&] { return instrument.getCount(MessageKind::programRequest) >= 250; }, 60000));
    keep(receiving, "receive-library-stopped");
    // The result's detail text makes the dialog 43 pixels taller, and its OK button shows. The dialog
    // draws a title bar of its own above its 460 x 193 content.
    const int progressHeight = program->getWindowBounds(receiving).getHeight();
    ASSERT_TRUE(program->waitUntil(
        [&] { return program->getWindowBounds(receiving).getHeight() == progressHeight + 43; }))
        << program->getWindowBounds(receiving).toString();
    const auto failed = program->getWindowBounds(receiving);
    const int border = (failed.getWidth() - 460) / 2;
    const juce::Point<int> content(border, failed.getHeight() - 193 - border);
    ASSERT_TRUE(program->waitUntil([&] {
        const auto picture = program->screenshot(receiving);
        return count(lightPixels(picture, juce::Rectangle<int>(20, 52, 420, 45) + content, 0.7f)) > 100;
    })) << "the detail text";
    keep(receiving, "receive-library-failed");
    program->clickIn(receiving, content + juce::Point<int>(352 + 44, 154 + 12)); // OK
    ASSERT_TRUE(program->waitForMainWindowAlone());
    EXPECT_EQ(program->getTitle(window), titleBefore);
    EXPECT_EQ(instrument.getCount(MessageKind::programRequest), 250);
    const auto afterFailure = files.file("after-failure.snvrlib");
    ASSERT_NO_FATAL_FAILURE(saveAs(afterFailure));
    EXPECT_EQ(differenceBetween(*readLibrary(reopened), *readLibrary(afterFailure)), "");

    instrument.resumeAnswering();
    instrument.clearLog();
    program->pressKeyIn(window, "ctrl+l");
    ASSERT_TRUE(program->waitUntil([&] { return instrument.getCount(MessageKind::octaveRequest) == 6; }, 120000))
        << program->getOutput();
    ASSERT_TRUE(program->waitForMainWindowAlone());
    ASSERT_TRUE(titleIs(titleOf("after-failure.snvrlib" + edited))) << program->getTitle(window);
    ASSERT_NO_FATAL_FAILURE(save(afterFailure));
    EXPECT_EQ(differenceToInstrument(*readLibrary(afterFailure), instrument), "");

    // A damaged library file opened from the File menu: the error is shown and nothing changes.
    auto damagedBytes = juce::MemoryBlock();
    ASSERT_TRUE(day.loadFileAsData(damagedBytes));
    damagedBytes.setSize(damagedBytes.getSize() / 2);
    const auto damaged = files.file("damaged.snvrlib");
    ASSERT_TRUE(damaged.replaceWithData(damagedBytes.getData(), damagedBytes.getSize()));
    ASSERT_TRUE(program->chooseFromMenu(window, 0, 2, nextShot("file-menu"))); // New, Open
    const auto openChooser = dialog("Open a library", "open-chooser");
    ASSERT_NE(openChooser, 0u) << program->getOutput();
    program->chooseInChooser(openChooser, damaged);
    const auto error = dialog("Error", "open-damaged-error");
    ASSERT_NE(error, 0u) << program->getOutput();
    ASSERT_TRUE(clickUntilGone(error, {400 - 44, 113 - 28})); // OK of a body 113 pixels high
    ASSERT_TRUE(program->waitForMainWindowAlone());
    EXPECT_EQ(program->getTitle(window), titleOf("after-failure.snvrlib"));

    // A file that is no library, dropped on the window, is refused: the toolkit takes every drop and
    // finishes it, but nothing opens and nothing changes.
    const auto notes = files.file("notes.txt");
    ASSERT_TRUE(notes.replaceWithText("Morning Pad: less release\n"));
    const auto bounds = program->getWindowBounds(window);
    EXPECT_NE(program->dropFiles(window, {bounds.getWidth() / 2, 300}, {notes.getFullPathName()}),
              RealProgram::DropOutcome::noAnswer);
    EXPECT_TRUE(program->waitForMainWindowAlone());
    EXPECT_EQ(program->getTitle(window), titleOf("after-failure.snvrlib"));
    const auto afterFaults = files.file("after-faults.snvrlib");
    ASSERT_NO_FATAL_FAILURE(saveAs(afterFaults));
    EXPECT_EQ(differenceToInstrument(*readLibrary(afterFaults), instrument), "");

    // The end of the day: the saved library ends the program without a question, and nothing is left in
    // the temporary folder.
    program->pressKeyIn(window, "ctrl+q");
    EXPECT_NO_FATAL_FAILURE(expectCleanExit());
    EXPECT_EQ(program->getTemporaryFolder().getNumberOfChildFiles(juce::File::findFilesAndDirectories), 0);
}

INSTANTIATE_TEST_SUITE_P(Desktop, UserDayEndToEnd, ::testing::Bool(),
                         [](const auto& info) { return std::string(testsupport::desktopName(info.param)); });
