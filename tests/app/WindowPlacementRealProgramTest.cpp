// Where the real program's two windows open, on a bare X server and under a window manager that frames
// them: back exactly where they were after a close and reopen and after a restart, brought onto the screen
// when stored somewhere out of reach, and each with its own icon for the window manager.
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

namespace
{
using testsupport::RealProgram;

const juce::Rectangle<int> screen(0, 0, 1280, 1024);
// Long enough for a busy machine; only a hang reaches it.
constexpr int deadlineMs = 60000;

juce::StringArray storedEntries(const juce::File& file)
{
    juce::StringArray entries;
    if (const auto root = juce::XmlDocument::parse(file))
        for (auto* child : root->getChildIterator())
            entries.add(child->getTagName() + "=" + child->getStringAttribute("Value"));
    return entries;
}

// Keeps a picture of the screen once the windows have painted what their moves uncovered.
void keepSettledScreen(RealProgram& program, unsigned long main, const juce::String& name)
{
    juce::Image last;
    program.waitWhileMoving(
        main, {program.getWindowBounds(main).getWidth() - 20, 10},
        [&]
        {
            auto now = program.screenshot(0);
            const bool settled = testsupport::samePixels(now, last);
            last = now;
            return settled;
        },
        deadlineMs);
    program.keepScreenshot(0, name);
}

class WindowPlacementRealProgram : public ::testing::TestWithParam<bool>
{
protected:
    static bool withWindowManager() { return GetParam(); }

    RealProgram::Options options(const juce::File& config) const
    {
        RealProgram::Options result;
        result.configHome = config;
        result.windowManager = withWindowManager();
        return result;
    }

    static juce::String desktopName() { return withWindowManager() ? "openbox" : "bare"; }

    // Waits until the window has these bounds (a window manager frames and moves a new window after it
    // shows); the bounds it has then.
    static juce::Rectangle<int> settledBounds(RealProgram& program, unsigned long window, juce::Rectangle<int> expected)
    {
        RealProgram::waitUntil([&] { return program.getWindowBounds(window) == expected; }, deadlineMs);
        return program.getWindowBounds(window);
    }

    // Waits until the window and its frame lie where a user can reach them: the whole frame (title bar
    // included) on the screen.
    static bool waitUntilReachable(RealProgram& program, unsigned long window)
    {
        return RealProgram::waitUntil(
            [&]
            {
                const auto frame = program.getFrameBounds(window);
                return !frame.isEmpty() && screen.contains(frame) &&
                       (!program.hasWindowManager() || frame != program.getWindowBounds(window));
            },
            deadlineMs);
    }
};
} // namespace

TEST_P(WindowPlacementRealProgram, BothWindowsComeBackExactlyWhereTheyWere)
{
    const juce::Rectangle<int> mainBounds(40, 60, 940, 700), presetBounds(901, 120, 250, 500);
    testsupport::TemporaryFolder config;
    ASSERT_TRUE(RealProgram::writePreferences(config.get(), {{"ShowPresetWindow", "1"},
                                                             {"PresetWindowPositionX", "901"},
                                                             {"PresetWindowPositionY", "120"},
                                                             {"PresetWindowWidth", "250"},
                                                             {"PresetWindowHeight", "500"},
                                                             {"MainWindowPositionX", "40"},
                                                             {"MainWindowPositionY", "60"},
                                                             {"MainWindowHeight", "700"},
                                                             {"AutoReceive", "0"}}));

    for (int start = 1; start <= 2; ++start)
    {
        SCOPED_TRACE("start " + juce::String(start));
        RealProgram program(options(config.get()));
        ASSERT_TRUE(program.isStarted());
        ASSERT_EQ(program.hasWindowManager(), withWindowManager());
        const auto main = program.waitForMainWindow();
        ASSERT_NE(main, 0u) << program.getOutput();
        auto presets = program.waitForTitle("Presets");
        ASSERT_NE(presets, 0u) << program.getOutput();
        EXPECT_EQ(settledBounds(program, main, mainBounds), mainBounds);
        EXPECT_EQ(settledBounds(program, presets, presetBounds), presetBounds);
        if (start == 1)
        {
            keepSettledScreen(program, main, "placement/" + desktopName() + "-both-windows");
            // The preset window gives the window manager its own icon, the main window's.
            const auto mainIcon = program.getWindowIcon(main);
            const auto presetIcon = program.getWindowIcon(presets);
            ASSERT_TRUE(mainIcon.isValid());
            ASSERT_TRUE(presetIcon.isValid());
            EXPECT_EQ(presetIcon.getBounds(), mainIcon.getBounds());
            EXPECT_EQ(presetIcon.getPixelAt(presetIcon.getWidth() / 2, presetIcon.getHeight() / 2),
                      mainIcon.getPixelAt(mainIcon.getWidth() / 2, mainIcon.getHeight() / 2));
        }

        // Closed and opened again (Ctrl+P) twice: no creep.
        for (int reopen = 1; reopen <= 2; ++reopen)
        {
            SCOPED_TRACE("reopened " + juce::String(reopen));
            program.closeWindow(presets);
            ASSERT_TRUE(program.waitUntil(
                [&]
                {
                    for (const auto& [window, title] : program.getWindows())
                        if (title == "Presets")
                            return false;
                    return true;
                },
                deadlineMs));
            ASSERT_TRUE(program.focusWindow(main));
            program.pressKey("ctrl+p");
            presets = program.waitForTitle("Presets", deadlineMs);
            ASSERT_NE(presets, 0u) << program.getOutput();
            EXPECT_EQ(settledBounds(program, presets, presetBounds), presetBounds);
        }

        ASSERT_EQ(program.closeAndWaitForExit(main), 0) << program.getOutput();
        const auto stored = storedEntries(program.getPreferencesFile());
        for (const auto* expected :
             {"MainWindowPositionX=40", "MainWindowPositionY=60", "MainWindowHeight=700", "PresetWindowPositionX=901",
              "PresetWindowPositionY=120", "PresetWindowWidth=250", "PresetWindowHeight=500", "ShowPresetWindow=1"})
            EXPECT_TRUE(stored.contains(expected)) << expected << " in " << stored.joinIntoString(" ");
    }
}

TEST_P(WindowPlacementRealProgram, StoredPositionsOutOfReachAreBroughtOntoTheScreen)
{
    struct Case
    {
        const char* what;
        juce::Point<int> main, presets;
    };
    const Case cases[] = {
        // Stored at scale 1 and opened on a screen of half the size, the main one gone to the right.
        {"off the screen", {2000, 1500}, {1691, 1476}},
        // Title bars above the screen's top (under a window manager; a bare server has none).
        {"title bars above the top", {100, 5}, {600, 3}},
        // Only a sliver on the screen. (A negative coordinate means no stored position: centred.)
        {"mostly off the screen", {1100, 100}, {1200, 300}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        testsupport::TemporaryFolder config;
        ASSERT_TRUE(RealProgram::writePreferences(config.get(), {{"ShowPresetWindow", "1"},
                                                                 {"PresetWindowPositionX", juce::String(c.presets.x)},
                                                                 {"PresetWindowPositionY", juce::String(c.presets.y)},
                                                                 {"PresetWindowWidth", "250"},
                                                                 {"PresetWindowHeight", "500"},
                                                                 {"MainWindowPositionX", juce::String(c.main.x)},
                                                                 {"MainWindowPositionY", juce::String(c.main.y)},
                                                                 {"MainWindowHeight", "700"},
                                                                 {"AutoReceive", "0"}}));
        RealProgram program(options(config.get()));
        const auto main = program.waitForMainWindow();
        ASSERT_NE(main, 0u) << program.getOutput();
        const auto presets = program.waitForTitle("Presets");
        ASSERT_NE(presets, 0u) << program.getOutput();
        EXPECT_TRUE(waitUntilReachable(program, main)) << program.getFrameBounds(main).toString();
        EXPECT_TRUE(waitUntilReachable(program, presets)) << program.getFrameBounds(presets).toString();
        // The size stays as stored.
        EXPECT_EQ(program.getWindowBounds(main).getWidth(), 940);
        EXPECT_EQ(program.getWindowBounds(main).getHeight(), 700);
        EXPECT_EQ(program.getWindowBounds(presets).getWidth(), 250);
        EXPECT_EQ(program.getWindowBounds(presets).getHeight(), 500);
        keepSettledScreen(program, main,
                          "placement/" + desktopName() + "-brought-onto-screen-" +
                              juce::String(c.what).replaceCharacter(' ', '-'));
        program.sendSignal(SIGTERM);
        EXPECT_EQ(program.waitForExit(deadlineMs), 0) << program.getOutput();
    }
}

// The stored-bounds cases of the start-up on both desktops: a stored position and its clamped height are
// kept exactly, and a negative coordinate centres the window, at its natural width, on the screen.
TEST_P(WindowPlacementRealProgram, StoredBoundsAreClampedAndANegativePositionCentres)
{
    const std::pair<juce::Rectangle<int>, juce::Rectangle<int>> storedAndShown[] = {
        {{100, 80, 940, 2000}, {100, 80, 940, 1400}},
        {{100, 80, 940, 100}, {100, 80, 940, 620}},
        {{-8, 80, 940, 700}, screen.withSizeKeepingCentre(872, 700)},
    };
    for (const auto& [stored, shown] : storedAndShown)
    {
        SCOPED_TRACE(stored.toString());
        testsupport::TemporaryFolder config;
        ASSERT_TRUE(RealProgram::writePreferences(config.get(), {{"MainWindowPositionX", juce::String(stored.getX())},
                                                                 {"MainWindowPositionY", juce::String(stored.getY())},
                                                                 {"MainWindowHeight", juce::String(stored.getHeight())},
                                                                 {"AutoReceive", "0"}}));
        RealProgram program(options(config.get()));
        const auto main = program.waitForMainWindow();
        ASSERT_NE(main, 0u) << program.getOutput();
        EXPECT_EQ(settledBounds(program, main, shown), shown);
        ASSERT_EQ(program.closeAndWaitForExit(main), 0) << program.getOutput();
        const auto entries = storedEntries(program.getPreferencesFile());
        for (const auto& expected :
             {"MainWindowPositionX=" + juce::String(shown.getX()), "MainWindowPositionY=" + juce::String(shown.getY()),
              "MainWindowHeight=" + juce::String(shown.getHeight())})
            EXPECT_TRUE(entries.contains(expected)) << expected << " in " << entries.joinIntoString(" ");
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, WindowPlacementRealProgram, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info)
                         { return info.param ? "UnderAWindowManager" : "OnABareXServer"; });
