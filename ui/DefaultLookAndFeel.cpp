#include "ui/DefaultLookAndFeel.h"

#include "app/CurrentLanguageModel.h"
#include "ui/FontLibrary.h"

namespace x47390_ui
{
namespace
{
juce::Font libraryFont(const char* key)
{
    return ui::FontLibrary::getInstance()->getFont(key);
}

bool isJapaneseInterface()
{
    return x47390_application::CurrentLanguageModel::getInstance()->language == 1;
}

const juce::Colour menuBarColour(0xff222222);
const juce::Colour panelColour(0xff333333);
const juce::Colour lightTextColour(0xffd3d3d3);
} // namespace

DefaultLookAndFeel::DefaultLookAndFeel()
{
    using namespace juce;
    const std::pair<int, uint32> table[] = {
        {PopupMenu::backgroundColourId, 0xff333333},
        {PopupMenu::textColourId, 0xffd3d3d3},
        {PopupMenu::headerTextColourId, 0xffd3d3d3},
        {PopupMenu::highlightedBackgroundColourId, 0xff666666},
        {PopupMenu::highlightedTextColourId, 0xffffffff},
        {ToggleButton::textColourId, 0xffd3d3d3},
        {ToggleButton::tickColourId, 0xff000000},
        {ToggleButton::tickDisabledColourId, 0xffd3d3d3},
        // Translucent: buttons are grey over whatever lies behind them.
        {TextButton::buttonColourId, 0x49666666},
        {TextButton::buttonOnColourId, 0x69999999},
        {TextButton::textColourOffId, 0xffffffff},
        {TextButton::textColourOnId, 0xffffffff},
        {ProgressBar::backgroundColourId, 0xff333333},
        {ProgressBar::foregroundColourId, 0xff666666},
        {TextEditor::backgroundColourId, 0xff333333},
        {TextEditor::textColourId, 0xffd3d3d3},
        {TextEditor::highlightColourId, 0xff111111},
        {TextEditor::highlightedTextColourId, 0xffffffff},
        {TextEditor::outlineColourId, 0xff333333},
        {TextEditor::focusedOutlineColourId, 0xff333333},
        {TextEditor::shadowColourId, 0xff333333},
        {Slider::backgroundColourId, 0xff333333},
        {Slider::thumbColourId, 0xff666666},
        {Slider::trackColourId, 0xff666666},
        {Slider::textBoxTextColourId, 0xffd3d3d3},
        {Label::textColourId, 0xffffffff},
        {ComboBox::backgroundColourId, 0xff111111},
        {ComboBox::textColourId, 0xffd3d3d3},
        {ComboBox::outlineColourId, 0xff111111},
        {ComboBox::buttonColourId, 0xff111111},
        {ComboBox::arrowColourId, 0xff333333},
        {TreeView::backgroundColourId, 0xff111111},
        {TreeView::linesColourId, 0xffd3d3d3},
        {TreeView::dragAndDropIndicatorColourId, 0xff333333},
        {TreeView::selectedItemBackgroundColourId, 0xff333333},
        {TreeView::oddItemsColourId, 0xff111111},
        {TreeView::evenItemsColourId, 0xff111111},
    };

    for (const auto& [id, argb] : table)
        setColour(id, Colour(argb));
}

DefaultLookAndFeel::~DefaultLookAndFeel() = default;

juce::Typeface::Ptr DefaultLookAndFeel::getTypefaceForFont(const juce::Font& font)
{
    // Not created here: at shutdown the library may already be gone.
    auto* library = ui::FontLibrary::getInstanceWithoutCreating();
    if (library != nullptr)
        if (auto mapped = library->getMappedTypeface(font))
            return mapped;

    auto face = LookAndFeel_V3::getTypefaceForFont(font);

    // A face the system does not know comes back without a name: this happens to the default
    // sans-serif font once its name is set to a face missing here. Draw it with the application face.
    if (library != nullptr && face != nullptr && face->getName().isEmpty())
        if (auto mapped = library->getMappedTypeface(
                juce::Font(library->defaultTypefaceName, font.getHeight(), font.getStyleFlags())))
            return mapped;

    return face;
}

juce::Font DefaultLookAndFeel::getTextButtonFont(juce::TextButton&, int)
{
    return libraryFont("TextButton");
}

juce::Font DefaultLookAndFeel::getAlertWindowTitleFont()
{
    return libraryFont("AlertWindowTitle");
}

juce::Font DefaultLookAndFeel::getAlertWindowMessageFont()
{
    return libraryFont("AlertWindowMessage");
}

juce::Font DefaultLookAndFeel::getAlertWindowFont()
{
    return libraryFont("AlertWindow");
}

void DefaultLookAndFeel::drawTreeviewPlusMinusBox(juce::Graphics& g, const juce::Rectangle<float>& area, juce::Colour,
                                                  bool isOpen, bool isMouseOver)
{
    LookAndFeel_V2::drawTreeviewPlusMinusBox(g, area, lightTextColour, isOpen, isMouseOver);
}

bool DefaultLookAndFeel::areLinesDrawnForTreeView(juce::TreeView&)
{
    return true;
}

void DefaultLookAndFeel::drawPopupMenuBackground(juce::Graphics& g, int, int)
{
    g.fillAll(panelColour);
}

juce::Font DefaultLookAndFeel::getPopupMenuFont()
{
    return libraryFont("PopupMenu");
}

void DefaultLookAndFeel::drawMenuBarBackground(juce::Graphics& g, int, int, bool, juce::MenuBarComponent&)
{
    g.fillAll(menuBarColour);
}

int DefaultLookAndFeel::getMenuBarItemWidth(juce::MenuBarComponent&, int itemIndex, const juce::String&)
{
    switch (itemIndex)
    {
    case 0:
        return isJapaneseInterface() ? 60 : 40;
    case 1:
        return 40;
    case 2:
        return 80;
    case 3:
        return 50;
    default:
        return 40;
    }
}

juce::Font DefaultLookAndFeel::getMenuBarFont(juce::MenuBarComponent&, int, const juce::String&)
{
    return libraryFont("PopupMenu");
}

int DefaultLookAndFeel::getDefaultMenuBarHeight()
{
    return 20;
}

void DefaultLookAndFeel::drawMenuBarItem(juce::Graphics& g, int width, int height, int, const juce::String& itemText,
                                         bool, bool isMenuOpen, bool, juce::MenuBarComponent&)
{
    // Only an open menu highlights its title; hovering does not.
    g.fillAll(isMenuOpen ? panelColour : menuBarColour);
    g.setColour(lightTextColour);
    g.setFont(libraryFont("PopupMenu"));
    g.drawText(itemText, 0, 0, width, height, juce::Justification::centred, false);
}

juce::Font DefaultLookAndFeel::getLabelFont(juce::Label&)
{
    return libraryFont("Label");
}

int DefaultLookAndFeel::getTabButtonBestWidth(juce::TabBarButton&, int)
{
    return 180;
}

juce::Font DefaultLookAndFeel::getTabButtonFont(juce::TabBarButton&, float)
{
    return libraryFont("TabButton");
}
} // namespace x47390_ui
