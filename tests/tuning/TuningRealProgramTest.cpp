// The tuning page in the real program, driven by real clicks and key presses, read from its screen.
#include "tests/support/RealProgram.h"
#include "tests/tuning/TuningTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
constexpr int menuBarHeight = 20;
constexpr int headerHeight = 85;
constexpr int tabBarDepth = 30;

void saveShot(testsupport::RealProgram& program, unsigned long window, const juce::String& name)
{
    tuningtest::keepScreenshot(program.screenshot(window), name);
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
    // Another test may be starting the program at the same moment, and the toolkit's machine-wide
    // single-instance lock then turns this one away: start again until a window shows.
    std::unique_ptr<testsupport::RealProgram> started;
    unsigned long window = 0;
    const auto giveUp = juce::Time::getMillisecondCounter() + 90000;
    while (window == 0 && juce::Time::getMillisecondCounter() < giveUp)
    {
        started = std::make_unique<testsupport::RealProgram>();
        ASSERT_TRUE(started->isStarted());
        testsupport::RealProgram::waitUntil(
            [&]
            {
                for (const auto& [id, title] : started->getWindows())
                    if (title.startsWith("sonavire"))
                        window = id;
                return window != 0 || !started->isRunning();
            },
            20000);
        if (window == 0 && started->isRunning())
            break;
        if (window == 0)
            juce::Thread::sleep(300);
    }
    ASSERT_NE(window, 0u) << started->getOutput();
    auto& program = *started;

    // The MICROTUNING tab is the last of six equal tabs.
    const auto bounds = program.getWindowBounds(window);
    const juce::Point<int> tab(bounds.getWidth() * 11 / 12, menuBarHeight + headerHeight + tabBarDepth / 2);
    juce::Point<int> page{-1, -1};
    // A window just mapped may not take clicks yet: click again until the page shows.
    for (int attempt = 0; attempt < 15 && page.x < 0; ++attempt)
    {
        program.click(window, tab);
        testsupport::RealProgram::waitUntil([&] { return (page = findPage(program.screenshot(window))).x >= 0; },
                                            2000);
    }
    if (page.x < 0)
        saveShot(program, window, "tuning-real-no-page.png");
    ASSERT_GE(page.x, 0) << "window " << bounds.toString() << "\n" << program.getOutput();
    const auto before = program.screenshot(window);
    saveShot(program, window, "tuning-real-before.png");
    // "C 4" against "C#4": the boxes differ where the sharp sign stands.
    EXPECT_GT(differenceToInvertedSharpBox(before, page), 0.04);

    // A click opens the C note box for typing; Return hands the text over.
    program.click(window, page + juce::Point<int>(127 + 19, 320 + 9));
    juce::Thread::sleep(200);
    program.typeText("C#4");
    program.pressKey("Return");
    double difference = 1.0;
    EXPECT_TRUE(testsupport::RealProgram::waitUntil(
        [&] { return (difference = differenceToInvertedSharpBox(program.screenshot(window), page)) < 0.02; }))
        << difference;
    saveShot(program, window, "tuning-real-after.png");

    // The arrow keys page on: the label of the next octave lights up.
    program.pressKey("Right");
    EXPECT_TRUE(testsupport::RealProgram::waitUntil(
        [&]
        {
            const auto shot = program.screenshot(window);
            return labelBrightness(shot, page, 6) > 0.9f && labelBrightness(shot, page, 5) < 0.7f;
        }));

    program.closeWindow(window);
    program.waitForExit();
}
