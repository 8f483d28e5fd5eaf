// The preset window of the real program: opened at start-up at its stored bounds, a clicked preset
// made the current program, and preset programs dragged with the real mouse from it onto the program
// table of the main window.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
using testsupport::RealProgram;

// The preset window at the top left, the main window beside it.
const juce::Rectangle<int> presetBounds(0, 0, 280, 600);
constexpr int mainX = 300;

// Run on a bare X server and under a real window manager, which frames and places the windows.
class PresetWindowRealProgram : public ::testing::TestWithParam<bool>
{
};

// Preset window rows of 25: the library, then its programs.
juce::Point<int> presetRow(int row) { return {100, 25 * row + 12}; }
// Program table rows in main window coordinates: menu bar 20, header 85, tabs 30, table header 28.
juce::Point<int> tableRow(int row) { return {150, 20 + 85 + 30 + 28 + 25 * row + 12}; }

// Where text is drawn in a row's name cell: the light pixels (names are white or light grey, the
// selection background is a dark grey).
std::vector<bool> nameCellText(const juce::Image& mainShot, int row)
{
    std::vector<bool> light;
    const auto centre = tableRow(row);
    for (int y = centre.y - 9; y <= centre.y + 9; ++y)
        for (int x = 40; x < 250; ++x)
            light.push_back(mainShot.getPixelAt(x, y).getBrightness() > 0.5f);
    return light;
}

bool hasLightPixels(const juce::Image& shot, juce::Rectangle<int> area)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (shot.getPixelAt(x, y).getBrightness() > 0.5f)
                return true;
    return false;
}

bool differ(const juce::Image& a, const juce::Image& b)
{
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt(x, y) != b.getPixelAt(x, y))
                return true;
    return false;
}

bool rowLooksSelected(const juce::Image& mainShot, int row)
{
    const auto p = tableRow(row);
    // Right of the multi type, left of the tuning: no text there.
    return mainShot.getPixelAt(700, p.y).getBrightness() > 0.12f;
}

} // namespace

TEST_P(PresetWindowRealProgram, OpensAtItsBoundsAndItsProgramsAreDraggedIntoTheProgramTable)
{
    testsupport::TemporaryFolder config;
    ASSERT_TRUE(RealProgram::writePreferences(
        config.get(), {{"ShowPresetWindow", "1"}, {"ProgramListHeight", "25"}, {"PresetWindowPositionX", "0"},
                       {"PresetWindowPositionY", "0"}, {"PresetWindowWidth", "280"}, {"PresetWindowHeight", "600"},
                       {"MainWindowPositionX", juce::String(mainX)}, {"MainWindowPositionY", "0"},
                       {"MainWindowHeight", "700"}, {"AutoReceive", "0"}}));
    RealProgram::Options options;
    options.configHome = config.get();
    options.windowManager = GetParam();
    RealProgram program(options);
    ASSERT_TRUE(program.isStarted());
    const auto main = program.waitForMainWindow();
    const auto presets = program.waitForTitle("Presets");
    ASSERT_NE(main, 0u) << program.getOutput();
    ASSERT_NE(presets, 0u) << program.getOutput();
    // Where a window manager puts the window is a matter of the placement tests.
    if (!program.hasWindowManager())
        EXPECT_EQ(program.getWindowBounds(presets), presetBounds);
    EXPECT_EQ(program.getWindowBounds(presets).getWidth(), presetBounds.getWidth());
    EXPECT_EQ(program.getWindowBounds(presets).getHeight(), presetBounds.getHeight());
    const auto title = program.getTitle(main);
    // A point of the main window for an input given relative to the preset window.
    const auto inMain = [&](juce::Point<int> mainPoint)
    { return mainPoint + program.getWindowBounds(main).getPosition() - program.getWindowBounds(presets).getPosition(); };

    // Input is read at once and what is painted shows at once while the pointer moves: here over the
    // empty end of the main window's menu bar.
    const juce::Point<int> rest(program.getWindowBounds(main).getWidth() - 20, 10);
    const auto waitFor = [&](const std::function<bool()>& condition)
    { return program.waitWhileMoving(main, rest, condition); };

    // Open the factory library: its first program row gets its text.
    ASSERT_TRUE(waitFor([&] { return rowLooksSelected(program.screenshot(main), 0); }));
    program.clickIn(presets, {8, 12});
    ASSERT_TRUE(waitFor([&] { return hasLightPixels(program.screenshot(presets), {40, 25 + 5, 150, 15}); }));

    // A click makes the preset current: the header shows it, and no program row stays selected.
    const juce::Rectangle<int> display(560, 40, 230, 50);
    const auto headerBefore = program.screenshot(main).getClippedImage(display);
    program.clickIn(presets, presetRow(2));
    ASSERT_TRUE(waitFor(
        [&]
        {
            const auto shot = program.screenshot(main);
            return !rowLooksSelected(shot, 0) && differ(shot.getClippedImage(display), headerBefore);
        }));

    // Two drags of the second preset program, onto rows 5 and 7 of the table.
    program.drag(presets, presetRow(2), inMain(tableRow(5)));
    ASSERT_TRUE(waitFor([&] { return program.getTitle(main) != title; })) << program.getTitle(main);
    EXPECT_TRUE(program.getTitle(main).endsWith(" (edited)"));
    EXPECT_TRUE(waitFor([&] { return rowLooksSelected(program.screenshot(main), 5); }));
    program.drag(presets, presetRow(2), inMain(tableRow(7)));
    EXPECT_TRUE(waitFor([&] { return rowLooksSelected(program.screenshot(main), 7); }));

    // Select row 0 and show the page afresh; rows 5 and 7 now hold the preset's name, row 6 does not.
    program.clickIn(main, tableRow(0));
    program.clickIn(main, {3 * 940 / 12, 20 + 85 + 15});
    program.clickIn(main, {940 / 12, 20 + 85 + 15});
    ASSERT_TRUE(waitFor([&] { return rowLooksSelected(program.screenshot(main), 0); }));
    // The rows' texts may reach the screen a paint after the selection does.
    juce::Image shot;
    waitFor(
        [&]
        {
            shot = program.screenshot(main);
            return nameCellText(shot, 5) == nameCellText(shot, 7) && nameCellText(shot, 5) != nameCellText(shot, 6)
                   && nameCellText(shot, 6) == nameCellText(shot, 8);
        });
    EXPECT_EQ(nameCellText(shot, 5), nameCellText(shot, 7));
    EXPECT_NE(nameCellText(shot, 5), nameCellText(shot, 6));
    EXPECT_EQ(nameCellText(shot, 6), nameCellText(shot, 8));
    // The edited library would be questioned on quitting: the test's end stops the program.
}

INSTANTIATE_TEST_SUITE_P(Desktop, PresetWindowRealProgram, ::testing::Bool(),
                         [](const auto& info) { return std::string(testsupport::desktopName(info.param)); });
