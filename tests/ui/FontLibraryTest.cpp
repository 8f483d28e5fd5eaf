#include "ui/FontLibrary.h"
#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
class FontLibraryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        delete ui::FontLibrary::getInstanceWithoutCreating();
        library = ui::FontLibrary::getInstance();
    }

    void TearDown() override { delete ui::FontLibrary::getInstanceWithoutCreating(); }

    ui::FontLibrary* library = nullptr;
};

// The text drawn on a transparent image.
juce::Image drawn(const juce::Font& font, const juce::String& text)
{
    juce::Image image(juce::Image::ARGB, 300, 60, true);
    {
        juce::Graphics g(image);
        g.setColour(juce::Colours::white);
        g.setFont(font);
        g.drawText(text, 0, 0, 300, 60, juce::Justification::centredLeft, false);
    }
    return image;
}

// Number of pixels the text leaves on a transparent image.
int inkedPixels(const juce::Font& font, const juce::String& text)
{
    const auto image = drawn(font, text);
    int count = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            count += image.getPixelAt(x, y).getAlpha() > 0 ? 1 : 0;
    return count;
}

juce::String capturedOutput(const std::function<void()>& action)
{
    ::testing::internal::CaptureStdout();
    action();
    return ::testing::internal::GetCapturedStdout();
}
} // namespace

TEST_F(FontLibraryTest, UnknownKeyPrintsOneLineAndGivesTheDefaultFont)
{
    juce::Font font;
    const auto output = capturedOutput([&] { font = library->getFont("NoSuchStyle"); });

    EXPECT_EQ(output, "Font not found: NoSuchStyle\n");
    EXPECT_EQ(font.getTypefaceName(), "Arial Unicode MS");
    EXPECT_FLOAT_EQ(font.getHeight(), 18.0f);
    EXPECT_EQ(font.getStyleFlags(), juce::Font::plain);
    EXPECT_EQ(library->fonts.size(), 0u);
}

TEST_F(FontLibraryTest, RequestedFaceKeepsItsNameAndIsDrawnWithAnInstalledOne)
{
    const auto font = library->getFont("Anything");
    EXPECT_EQ(font.getTypefaceName(), "Arial Unicode MS");
    EXPECT_GT(inkedPixels(font, "Receive Library"), 50);

    // A default font replaced by one built by name only (as the start-up does) still draws.
    library->defaultFont = juce::Font("Arial Unicode MS", 16.0f, juce::Font::plain);
    const auto replaced = library->getFont("Anything");
    EXPECT_FLOAT_EQ(replaced.getHeight(), 16.0f);
    EXPECT_GT(inkedPixels(replaced, "Receive Library"), 50);

    // Registered fonts built by name draw too, also after a height change.
    library->addFont("Label", juce::Font(library->defaultTypefaceName, 14.0f, juce::Font::plain));
    library->setFontHeight("Label", 22);
    EXPECT_GT(inkedPixels(library->getFont("Label"), "Cancel"), 30);
    EXPECT_EQ(library->getFont("Label").getTypefaceName(), "Arial Unicode MS");
}

TEST_F(FontLibraryTest, JapaneseTextIsDrawnForAJapaneseUser)
{
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "ja_JP.UTF-8", 1);
    delete ui::FontLibrary::getInstanceWithoutCreating();
    library = ui::FontLibrary::getInstance();
    // DejaVu Sans first, then a Japanese face when one is installed.
    if (library->getFallbackFamilies().size() < 2)
        GTEST_SKIP() << "no Japanese face installed";

    const auto font = library->getFont("Anything");
    const auto japanese = juce::String::fromUTF8("\xe3\x82\xad\xe3\x83\xa3\xe3\x83\xb3\xe3\x82\xbb\xe3\x83\xab");
    EXPECT_GT(inkedPixels(font, japanese), 50);
    EXPECT_GT(inkedPixels(font, "OK " + japanese), inkedPixels(font, japanese));
}

TEST_F(FontLibraryTest, FirstRegistrationWinsAndKeysAreCaseSensitive)
{
    library->addFont("Label", library->makeFont("Arial Unicode MS", 16.0f));
    library->addFont("Label", library->makeFont("Arial Unicode MS", 22.0f));
    library->addFont("label", library->makeFont("Arial Unicode MS", 12.0f));

    EXPECT_FLOAT_EQ(library->getFont("Label").getHeight(), 16.0f);
    EXPECT_FLOAT_EQ(library->getFont("label").getHeight(), 12.0f);
    EXPECT_EQ(capturedOutput([&] { library->getFont("LABEL"); }), "Font not found: LABEL\n");
}

TEST_F(FontLibraryTest, HeightChangesApplyToLaterFetchesOnly)
{
    library->addFont("ProgramListName", library->makeFont("Arial Unicode MS", 18.0f));
    const juce::Font kept = library->getFont("ProgramListName");

    library->setFontHeight("ProgramListName", 15);
    EXPECT_FLOAT_EQ(kept.getHeight(), 18.0f);
    EXPECT_FLOAT_EQ(library->getFont("ProgramListName").getHeight(), 15.0f);

    library->setFontHeight("ProgramListName", 0);
    EXPECT_FLOAT_EQ(library->getFont("ProgramListName").getHeight(), 0.1f);
    library->setFontHeight("ProgramListName", 20000);
    EXPECT_FLOAT_EQ(library->getFont("ProgramListName").getHeight(), 10000.0f);
}

TEST_F(FontLibraryTest, HeightOfAnUnknownKeyPrintsAndRegistersNothing)
{
    EXPECT_EQ(capturedOutput([&] { library->setFontHeight("TabBarButton", 12); }), "Font not found: TabBarButton\n");
    EXPECT_EQ(library->fonts.count("TabBarButton"), 0u);
}

TEST_F(FontLibraryTest, InstalledFacesAreNotMapped)
{
    const auto names = juce::Font::findAllTypefaceNames();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(library->getInstalledTypefaceName(names[0]), names[0]);
    EXPECT_EQ(library->getMappedTypeface(juce::Font(names[0], 12.0f, juce::Font::plain)), nullptr);
    EXPECT_TRUE(names.contains(library->getInstalledTypefaceName("Arial Unicode MS")) ||
                library->getInstalledTypefaceName("Arial Unicode MS") == juce::Font::getDefaultSansSerifFontName());
}

// The requested face draws with an Arial-metric face, so the layouts drawn for Arial hold: three digits fit
// the number column's 36 pixels at the largest row height's font.
TEST_F(FontLibraryTest, TheApplicationFaceHasArialMetrics)
{
    EXPECT_EQ(library->getInstalledTypefaceName("Arial Unicode MS"), "Liberation Sans");
    const auto font = library->makeFont("Arial Unicode MS", 24.0f);
    EXPECT_EQ(font.getTypefaceName(), "Arial Unicode MS");
    EXPECT_LE(font.getStringWidthFloat("500"), 36.0f);
    EXPECT_FLOAT_EQ(font.getStringWidthFloat("USER MODULATION FX"),
                    juce::Font(library->getTypefaceFor(juce::Font("Liberation Sans", 24.0f, juce::Font::plain)))
                        .withHeight(24.0f)
                        .getStringWidthFloat("USER MODULATION FX"));
    // Bold asks for the bold face.
    EXPECT_GT(library->makeFont("Arial Unicode MS", 24.0f, juce::Font::bold).getStringWidthFloat("POLY SYNTH"),
              font.getStringWidthFloat("POLY SYNTH"));
}

// A character the main face lacks comes from the fallback face, not as the missing-glyph box.
TEST_F(FontLibraryTest, CharactersTheMainFaceLacksComeFromTheFallbackFace)
{
    ASSERT_TRUE(library->getFallbackFamilies().contains("DejaVu Sans"));
    const auto font = library->makeFont("Arial Unicode MS", 30.0f);
    const auto umbrella = juce::String::charToString((juce::juce_wchar) 0x2602); // not in Liberation Sans
    const auto nowhere = juce::String::charToString((juce::juce_wchar) 0xe000);  // in no installed face
    EXPECT_GT(inkedPixels(font, umbrella), 50);
    EXPECT_FALSE(testsupport::samePixels(drawn(font, umbrella), drawn(font, nowhere)));
    // Placeholders and installed names are drawn by the library too.
    for (const auto& name : {juce::Font::getDefaultSansSerifFontName(), juce::Font::getDefaultMonospacedFontName(),
                             juce::String("DejaVu Sans")})
    {
        const auto face = library->getTypefaceFor(juce::Font(name, 20.0f, juce::Font::plain));
        ASSERT_NE(face, nullptr) << name;
        EXPECT_GT(inkedPixels(juce::Font(face).withHeight(20.0f), "Receive"), 30) << name;
    }
}
