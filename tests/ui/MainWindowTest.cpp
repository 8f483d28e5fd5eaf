// The main window: where it opens, its title, its tabs and menu bar, and what it stores when it goes.
#include "app/ApplicationStartup.h"
#include "app/CJQZResource.h"
#include "app/CurrentLanguageModel.h"
#include "app/PreferencesData.h"
#include "data/DataEditStatus.h"
#include "data/LastSavedFileStatus.h"
#include "files/PresetFileManager.h"
#include "tests/support/TestSupport.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/FontLibrary.h"
#include "tuning/TuningEditComponent.h"
#include "ui/DraggableTableListBox.h"
#include "ui/MainComponent.h"
#include "ui/MainWindowManager.h"
#include "ui/SelectedTabStatus.h"
#include "ui/TooltipWindowManager.h"

#include <gtest/gtest.h>

#include <cstdlib>

using x47390_ui::computeMainWindowPlacement;

TEST(MainWindowPlacement, FollowsTheStoredPositionAndHeight)
{
    struct Case
    {
        const char* what;
        int x, y, height;
        juce::Array<juce::Rectangle<int>> screens;
        juce::Rectangle<int> expected;
        bool centred;
    };
    const juce::Rectangle<int> screen(0, 0, 1280, 1024);
    const juce::Rectangle<int> second(1280, 0, 1920, 1080);
    const juce::Rectangle<int> current(0, 0, 872, 668);
    const Case cases[] = {
        {"first start", -1, -1, 668, {screen}, {204, 178, 872, 668}, true},
        {"negative x: centred, height kept", -20, 300, 700, {screen}, {204, 162, 872, 700}, true},
        {"negative y: centred, not clamped", 100, -1, 2000, {screen}, {204, -488, 872, 2000}, true},
        {"no usable height: the window's own", -1, -1, 0, {screen}, {204, 178, 872, 668}, true},
        {"stored position: 940 wide", 100, 50, 700, {screen}, {100, 50, 940, 700}, false},
        {"too tall", 100, 50, 2000, {screen}, {100, 50, 940, 1400}, false},
        {"too short", 100, 50, 100, {screen}, {100, 50, 940, 620}, false},
        {"off every screen", 5000, 3000, 700, {screen}, {340, 324, 940, 700}, false},
        {"a sliver left on screen", 1250, 100, 700, {screen}, {340, 100, 940, 700}, false},
        {"on the second screen", 1500, 100, 700, {screen, second}, {1500, 100, 940, 700}, false},
        {"second screen gone", 1500, 100, 700, {screen}, {340, 100, 940, 700}, false},
    };
    for (const auto& entry : cases)
    {
        const auto placement = computeMainWindowPlacement(entry.x, entry.y, entry.height, current, entry.screens);
        EXPECT_EQ(placement.bounds, entry.expected) << entry.what;
        EXPECT_EQ(placement.centred, entry.centred) << entry.what;
    }
}

TEST(MainWindowTitle, NamesTheFileAndTheEditedState)
{
    auto* texts = CJQZResource::getInstance();
    const auto name = texts->getString("CommonApplicationName");
    const auto untitled = texts->getString("CommonUntitledFileName");
    const auto modified = texts->getString("CommonWindowTitleModified");
    ASSERT_TRUE(name.isNotEmpty() && untitled.isNotEmpty() && modified.isNotEmpty());

    EXPECT_EQ(MainAppWindow::makeTitle({}, false), name + " - " + untitled);
    EXPECT_EQ(MainAppWindow::makeTitle(juce::File("/home/u/My Sounds.snvrlib"), false), name + " - My Sounds.snvrlib");
    EXPECT_EQ(MainAppWindow::makeTitle(juce::File("/home/u/My Sounds.snvrlib"), true),
              name + " - My Sounds.snvrlib" + modified);
}

namespace
{
// The state the window needs, as the start-up routine leaves it, in a fresh preferences folder.
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", temp.file("config").getFullPathName().toRawUTF8(), 1);
        resetStores();
        initializeApplicationState();
    }

    void TearDown() override
    {
        x47390_ui::MainWindowManager::getInstance()->deleteMainWindow();
        application::DataEditStatus::getInstance()->setEdited(false);
        application::LastSavedFileStatus::getInstance()->setFile({});
        testsupport::drainMessageLoop();
        resetStores();
    }

    static void resetStores()
    {
        delete x47390_file::PresetFileManager::getInstanceWithoutCreating();
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        delete ui::FontLibrary::getInstanceWithoutCreating();
    }

    static x47390_preferences::PreferencesData& preferences()
    {
        return *x47390_preferences::PreferencesData::getInstance();
    }

    static MainAppWindow& openWindow()
    {
        auto* manager = x47390_ui::MainWindowManager::getInstance();
        manager->createMainWindow("sonavire Sound Librarian");
        return *manager->getMainWindow();
    }

    testsupport::TemporaryFolder temp;
};

// Rows and columns of a picture holding pixels brighter than the background.
juce::Rectangle<int> lightPixelBounds(const juce::Image& image, juce::Rectangle<int> area)
{
    juce::Rectangle<int> found;
    bool any = false;
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (image.getPixelAt(x, y).getBrightness() > 0.55f)
            {
                const juce::Rectangle<int> pixel(x, y, 1, 1);
                found = any ? found.getUnion(pixel) : pixel;
                any = true;
            }
    return found;
}
} // namespace

TEST_F(MainWindowTest, FirstStartCentresTheWindowWithoutLimitsAndStoresItsBoundsWhenItGoes)
{
    auto& window = openWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isUsingNativeTitleBar());
    EXPECT_TRUE(window.isResizable());
    EXPECT_EQ(window.getName(), "sonavire Sound Librarian - Untitled");
    ASSERT_NE(window.getMenuBarComponent(), nullptr);
    EXPECT_EQ(window.getMenuBarComponent()->getHeight(), 20);
    EXPECT_NE(x47390_ui::TooltipWindowManager::getInstance()->getTooltipWindow(), nullptr);
    EXPECT_GT(window.getConstrainer()->getMaximumHeight(), 1400); // no limits
    EXPECT_LT(window.getConstrainer()->getMinimumHeight(), 620);
    const auto centre = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay()->userArea.getCentre();
    EXPECT_LE(std::abs(window.getBounds().getCentreX() - centre.x), 1);
    EXPECT_LE(std::abs(window.getBounds().getCentreY() - centre.y), 1);

    const auto bounds = window.getBounds();
    x47390_ui::MainWindowManager::getInstance()->deleteMainWindow();
    EXPECT_EQ(preferences().getIntValue("MainWindowPositionX", -100), bounds.getX());
    EXPECT_EQ(preferences().getIntValue("MainWindowPositionY", -100), bounds.getY());
    EXPECT_EQ(preferences().getIntValue("MainWindowWidth", -100), bounds.getWidth());
    EXPECT_EQ(preferences().getIntValue("MainWindowHeight", -100), bounds.getHeight());
    EXPECT_EQ(x47390_ui::TooltipWindowManager::getInstance()->getTooltipWindow(), nullptr);
}

TEST_F(MainWindowTest, StoredPositionGivesAFixedWidthAndHeightLimits)
{
    preferences().setIntValue("MainWindowPositionX", 30);
    preferences().setIntValue("MainWindowPositionY", 40);
    preferences().setIntValue("MainWindowHeight", 3000);
    auto& window = openWindow();
    EXPECT_EQ(window.getBounds(), juce::Rectangle<int>(30, 40, 940, 1400));
    EXPECT_EQ(window.getRememberedBounds(), window.getBounds());
    auto* limits = window.getConstrainer();
    EXPECT_EQ(limits->getMinimumWidth(), 940);
    EXPECT_EQ(limits->getMaximumWidth(), 940);
    EXPECT_EQ(limits->getMinimumHeight(), 620);
    EXPECT_EQ(limits->getMaximumHeight(), 1400);

    window.setBounds(30, 40, 940, 700);
    EXPECT_EQ(window.getRememberedBounds(), juce::Rectangle<int>(30, 40, 940, 700));
}

TEST_F(MainWindowTest, TitleFollowsTheFileAndTheEditedFlag)
{
    auto& window = openWindow();
    application::LastSavedFileStatus::getInstance()->setFile(temp.file("My Sounds.snvrlib"));
    application::DataEditStatus::getInstance()->setEdited(true);
    EXPECT_TRUE(testsupport::runMessageLoopUntil(
        [&] { return window.getName() == "sonavire Sound Librarian - My Sounds.snvrlib (edited)"; }))
        << window.getName();
    application::DataEditStatus::getInstance()->setEdited(false);
    EXPECT_TRUE(testsupport::runMessageLoopUntil(
        [&] { return window.getName() == "sonavire Sound Librarian - My Sounds.snvrlib"; }));
}

TEST_F(MainWindowTest, SixTabsWithProgramFirstAndEveryNameOnOneLine)
{
    auto& window = openWindow();
    auto* content = dynamic_cast<MainComponent*>(window.getContentComponent());
    ASSERT_NE(content, nullptr);
    auto* tabs = content->getTabs();
    EXPECT_EQ(tabs->getTabNames(), (juce::StringArray{"PROGRAM", "USER OSCILLATORS", "USER MODULATION FX",
                                                      "USER DELAY FX", "USER REVERB FX", "MICROTUNING"}));
    EXPECT_EQ(ui::SelectedTabStatus::getInstance()->tabIndex, 0);
    EXPECT_EQ(ui::SelectedTabStatus::getInstance()->tabName, "PROGRAM");
    EXPECT_EQ(tabs->getTabBarDepth(), 30);
    EXPECT_EQ(tabs->getBounds(), juce::Rectangle<int>(0, 85, content->getWidth(), content->getHeight()));

    // The narrowest the window gets (its first size): each name stays on one line inside its tab.
    auto& bar = tabs->getTabbedButtonBar();
    for (const int width : {content->getWidth(), 940})
    {
        content->setSize(width, content->getHeight());
        const auto image = bar.createComponentSnapshot(bar.getLocalBounds(), true, 1.0f);
        for (int i = 0; i < bar.getNumTabs(); ++i)
        {
            auto* button = bar.getTabButton(i);
            const auto text = lightPixelBounds(image, button->getBounds().reduced(2));
            SCOPED_TRACE(button->getButtonText() + " at " + juce::String(width));
            EXPECT_FALSE(text.isEmpty());
            EXPECT_LE(text.getHeight(), 15); // one line of a 15 pixel face
            EXPECT_GE(text.getX(), button->getX() + 2);
            EXPECT_LE(text.getRight(), button->getRight() - 2);
        }
    }
}

TEST(MenuBarTitles, AreNeverNarrowerThanTheirText)
{
    auto* fonts = ui::FontLibrary::getInstance();
    fonts->addFont("PopupMenu", fonts->makeFont("Arial Unicode MS", 16.0f));
    x47390_ui::DefaultLookAndFeel lookAndFeel;
    juce::MenuBarComponent bar;
    auto& language = x47390_application::CurrentLanguageModel::getInstance()->language;
    const auto font = fonts->getFont("PopupMenu");

    const juce::StringArray english{"File", "Edit", "MIDI", "Option"};
    const juce::StringArray japanese{juce::String::fromUTF8("ファイル"), juce::String::fromUTF8("編集"), "MIDI",
                                     juce::String::fromUTF8("オプション")};
    for (const auto* titles : {&english, &japanese})
        for (int index = 0; index < titles->size(); ++index)
            for (const int languageCode : {0, 1})
            {
                language = languageCode;
                const auto& title = (*titles)[index];
                const int width = lookAndFeel.getMenuBarItemWidth(bar, index, title);
                EXPECT_GE((float) width, font.getStringWidthFloat(title) + 8.0f) << title << " " << languageCode;
            }
    language = 0;
    // Short titles keep the fixed widths.
    EXPECT_EQ(lookAndFeel.getMenuBarItemWidth(bar, 0, "File"), 40);
    EXPECT_EQ(lookAndFeel.getMenuBarItemWidth(bar, 2, "MIDI"), 80);
    delete fonts;
}

// The page under a closed dialog takes the keyboard: the program table, or the tuning page with its own keys.
TEST_F(MainWindowTest, TheSelectedPageTakesTheKeyboard)
{
    auto& window = openWindow();
    auto* content = dynamic_cast<MainComponent*>(window.getContentComponent());
    ASSERT_NE(content, nullptr);
    auto* peer = window.getPeer();
    ASSERT_NE(peer, nullptr);
    // No window manager here hands the window the keyboard.
    ASSERT_TRUE(testsupport::runMessageLoopUntil(
        [&]
        {
            peer->grabFocus();
            return peer->isFocused();
        },
        60000));

    content->focusCurrentPage();
    EXPECT_NE(dynamic_cast<ui::DraggableTableListBox*>(juce::Component::getCurrentlyFocusedComponent()), nullptr);

    content->getTabs()->setCurrentTabIndex(5);
    content->focusCurrentPage();
    auto* focused = juce::Component::getCurrentlyFocusedComponent();
    ASSERT_NE(focused, nullptr);
    EXPECT_NE(dynamic_cast<TuningEditComponent*>(focused), nullptr) << typeid(*focused).name();
    content->getTabs()->setCurrentTabIndex(0);
}
