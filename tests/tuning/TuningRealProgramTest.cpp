// The tuning page in the real program, driven by real clicks and key presses, read from its screen.
#include "tests/support/RealProgram.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
constexpr int menuBarHeight = 20;
constexpr int headerHeight = 85;
constexpr int tabBarDepth = 30;

void saveShot(testsupport::RealProgram& program, unsigned long window, const juce::String& name)
{
    program.keepScreenshot(window, "tuning/" + name.upToLastOccurrenceOf(".png", false, false));
}

bool isPageBlack(juce::Colour c)
{
    return c.getRed() == 0 && c.getGreen() == 0 && c.getBlue() == 0;
}

// The page's top-left corner in the window: the first pure black column of the page area, and the
// top of the keyboard picture, which lies 163 pixels below the page's top.
juce::Point<int> findPage(const juce::Image& shot)
{
    const int row = menuBarHeight + headerHeight + tabBarDepth + 20;
    int left = -1;
    for (int x = 0; x < shot.getWidth() && left < 0; ++x)
        if (isPageBlack(shot.getPixelAt(x, row)))
            left = x;
    if (left < 0)
        return {-1, -1};
    // The first long bright run down the white key C, past the captions above the keyboard.
    const int keyColumn = left + 113 + 20;
    int run = 0;
    for (int y = row; y < shot.getHeight(); ++y)
    {
        run = shot.getPixelAt(keyColumn, y).getBrightness() > 0.9f ? run + 1 : 0;
        if (run == 40)
            return {left, y - 39 - 163};
    }
    return {-1, -1};
}

// How far the C note box (black text on a white key) differs from the C# note box (white text on a
// black key) with its brightness turned round: the share of pixels that disagree. Both boxes are
// 38 x 18 with right-aligned text, so the same text in both gives almost none.
double differenceToInvertedSharpBox(const juce::Image& shot, juce::Point<int> page)
{
    const juce::Point<int> cBox = page + juce::Point<int>(127, 320);
    const juce::Point<int> sharpBox = page + juce::Point<int>(152, 240);
    int differing = 0;
    int total = 0;
    for (int y = 2; y < 16; ++y)
    {
        for (int x = 2; x < 36; ++x)
        {
            const float c = shot.getPixelAt(cBox.x + x, cBox.y + y).getBrightness();
            const float sharp = 1.0f - shot.getPixelAt(sharpBox.x + x, sharpBox.y + y).getBrightness();
            differing += std::abs(c - sharp) > 0.5f ? 1 : 0;
            ++total;
        }
    }
    return (double) differing / total;
}

// The brightest pixel of page label i: white for the page shown, grey for the others.
float labelBrightness(const juce::Image& shot, juce::Point<int> page, int i)
{
    float brightest = 0.0f;
    for (int y = 385; y < 400; ++y)
        for (int x = 113 + 42 * i; x < 113 + 42 * i + 27; ++x)
            brightest = juce::jmax(brightest, shot.getPixelAt(page.x + x, page.y + y).getBrightness());
    return brightest;
}
} // namespace

TEST(TuningRealProgram, TypingANoteNameIntoANoteBox)
{
    testsupport::RealProgram program;
    ASSERT_TRUE(program.isStarted());
    const auto window = program.waitForMainWindow();
    ASSERT_NE(window, 0u) << program.getOutput();

    // Input is read at once and what is painted shows at once while the pointer moves: here over the
    // empty end of the menu bar.
    const auto bounds = program.getWindowBounds(window);
    const juce::Point<int> rest(bounds.getWidth() - 20, 10);
    const auto waitFor = [&](const std::function<bool()>& condition)
    { return program.waitWhileMoving(window, rest, condition); };

    // The MICROTUNING tab is the last of six equal tabs.
    const juce::Point<int> tab(bounds.getWidth() * 11 / 12, menuBarHeight + headerHeight + tabBarDepth / 2);
    juce::Point<int> page{-1, -1};
    program.clickIn(window, tab);
    if (!waitFor([&] { return (page = findPage(program.screenshot(window))).x >= 0; }))
        saveShot(program, window, "tuning-real-no-page.png");
    ASSERT_GE(page.x, 0) << "window " << bounds.toString() << "\n" << program.getOutput();
    const auto before = program.screenshot(window);
    saveShot(program, window, "tuning-real-before.png");
    // "C 4" against "C#4": the boxes differ where the sharp sign stands.
    EXPECT_GT(differenceToInvertedSharpBox(before, page), 0.04);

    // A click opens the C note box for typing; Return hands the text over. Typing the same name again
    // changes nothing, so a click the program did not see yet is simply made again.
    double difference = 1.0;
    bool typed = false;
    for (int attempt = 0; attempt < 3 && !typed; ++attempt)
    {
        program.clickIn(window, page + juce::Point<int>(127 + 19, 320 + 9));
        program.typeText("C#4");
        program.pressKeyIn(window, "Return");
        typed = waitFor([&] { return (difference = differenceToInvertedSharpBox(program.screenshot(window), page)) < 0.02; });
    }
    EXPECT_TRUE(typed) << difference;
    saveShot(program, window, "tuning-real-after.png");

    // The arrow keys page on: the label of the next octave lights up.
    program.pressKeyIn(window, "Right");
    EXPECT_TRUE(waitFor(
        [&]
        {
            const auto shot = program.screenshot(window);
            return labelBrightness(shot, page, 6) > 0.9f && labelBrightness(shot, page, 5) < 0.7f;
        }));
    // The edited library would be questioned on quitting: the test's end stops the program.
}
