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
                return !frame.isEmpty() && screen.contains(frame)
                       && (!program.hasWindowManager() || frame != program.getWindowBounds(window));
            },
            deadlineMs);
    }
};
} // namespace

TEST_P(WindowPlacementRealProgram, BothWindowsComeBackExactlyWhereTheyWere)
{
    const juce::Rectangle<int> mainBounds(40, 60, 940, 700), presetBounds(901, 120, 250, 500);
    testsupport::TemporaryFolder config;
    ASSERT_TRUE(RealProgram::writePreferences(
        config.get(), {{"ShowPresetWindow", "1"},
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
            program.keepScreenshot(0, "placement/" + desktopName() + "-both-windows");
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
        for (const auto* expected : {"MainWindowPositionX=40", "MainWindowPositionY=60", "MainWindowHeight=700",
                                     "PresetWindowPositionX=901", "PresetWindowPositionY=120",
                                     "PresetWindowWidth=250", "PresetWindowHeight=500", "ShowPresetWindow=1"})
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
        // Title bars above the screen's top.
        {"title bars above the top", {100, -10}, {600, -40}},
        // Only a sliver on the screen.
        {"mostly off the screen", {1100, 100}, {-200, 300}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        testsupport::TemporaryFolder config;
        ASSERT_TRUE(RealProgram::writePreferences(
            config.get(), {{"ShowPresetWindow", "1"},
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
        program.keepScreenshot(0, "placement/" + desktopName() + "-brought-onto-screen-"
                                      + juce::String(c.what).replaceCharacter(' ', '-'));
        program.sendSignal(SIGTERM);
        EXPECT_EQ(program.waitForExit(deadlineMs), 0) << program.getOutput();
    }
}

// The stored-bounds cases of the start-up on both desktops: a stored position and a clamped height are
// kept as they are, and a negative position centres the window on the screen.
TEST_P(WindowPlacementRealProgram, StoredBoundsAreClampedAndANegativePositionCentres)
{
    struct Case
    {
        int x, y, height;
        juce::Rectangle<int> expected; // empty: centred at that height
    };
    const Case cases[] = {
        {100, 80, 2000, {100, 80, 940, 1400}},
        {100, 80, 100, {100, 80, 940, 620}},
        {-8, 80, 700, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(juce::String(c.x) + "," + juce::String(c.y) + "," + juce::String(c.height));
        testsupport::TemporaryFolder config;
        ASSERT_TRUE(RealProgram::writePreferences(config.get(), {{"MainWindowPositionX", juce::String(c.x)},
                                                                 {"MainWindowPositionY", juce::String(c.y)},
                                                                 {"MainWindowHeight", juce::String(c.height)},
                                                                 {"AutoReceive", "0"}}));
        RealProgram program(options(config.get()));
        const auto window = program.waitForMainWindow();
        ASSERT_NE(window, 0u) << program.getOutput();
        if (c.expected.isEmpty())
        {
            const auto centred = screen.withSizeKeepingCentre(940, c.height);
            const auto bounds = settledBounds(program, window, centred);
            EXPECT_EQ(bounds.getHeight(), c.height);
            EXPECT_LE(std::abs(bounds.getCentreX() - 640), 1) << bounds.toString();
            EXPECT_LE(std::abs(bounds.getCentreY() - 512), 1) << bounds.toString();
        }
        else
        {
            EXPECT_EQ(settledBounds(program, window, c.expected), c.expected);
        }
        const auto bounds = program.getWindowBounds(window);
        ASSERT_EQ(program.closeAndWaitForExit(window), 0) << program.getOutput();
        const auto stored = storedEntries(program.getPreferencesFile());
        EXPECT_TRUE(stored.contains("MainWindowPositionX=" + juce::String(bounds.getX()))) << stored.joinIntoString(" ");
        EXPECT_TRUE(stored.contains("MainWindowPositionY=" + juce::String(bounds.getY()))) << stored.joinIntoString(" ");
        EXPECT_TRUE(stored.contains("MainWindowHeight=" + juce::String(bounds.getHeight()))) << stored.joinIntoString(" ");
    }
}

INSTANTIATE_TEST_SUITE_P(Desktops, WindowPlacementRealProgram, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info)
                         { return info.param ? "UnderAWindowManager" : "OnABareXServer"; });
