#include "ui/DefaultLookAndFeel.h"

#include "app/CurrentLanguageModel.h"
#include "ui/DialogKeyboard.h"
#include "ui/FontLibrary.h"
#include "ui/WholeText.h"

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

// Room left and right of a menu bar title, and of a tab's text.
constexpr int menuBarTitleMargin = 5;
constexpr float tabTextMargin = 3.0f;
// A tab text narrower than this share of its natural width gets a smaller font instead.
constexpr float minimumTabTextScale = 0.8f;

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
    if (auto* library = ui::FontLibrary::getInstanceWithoutCreating())
        if (auto face = library->getTypefaceFor(font))
            return face;
    return LookAndFeel_V3::getTypefaceForFont(font);
}

void DefaultLookAndFeel::drawButtonBackground(juce::Graphics& g, juce::Button& button,
                                              const juce::Colour& backgroundColour, bool isHighlighted, bool isDown)
{
    juce::LookAndFeel_V3::drawButtonBackground(g, button, backgroundColour, isHighlighted, isDown);
    if (!ui::showsFocusRing(button))
        return;
    g.setColour(juce::Colour(focusRingColour));
    g.drawRoundedRectangle(button.getLocalBounds().toFloat().reduced(1.0f), 3.0f, 2.0f);
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

int DefaultLookAndFeel::getMenuBarItemWidth(juce::MenuBarComponent&, int itemIndex, const juce::String& itemText)
{
    int width = 40;
    switch (itemIndex)
    {
    case 0:
        width = isJapaneseInterface() ? 60 : 40;
        break;
    case 2:
        width = 80;
        break;
    case 3:
        width = 50;
        break;
    default:
        break;
    }
    // The fixed widths suit short titles; a longer title (another language, a larger face) gets
    // the room it needs, so it is never cut.
    const auto textWidth = (int) std::ceil(libraryFont("PopupMenu").getStringWidthFloat(itemText));
    return juce::jmax(width, textWidth + 2 * menuBarTitleMargin);
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

void DefaultLookAndFeel::createSingleLineTabTextLayout(const juce::TabBarButton& button, float length, float depth,
                                                       juce::Colour colour, juce::TextLayout& textLayout)
{
    // The toolkit's tab text, but always on one line: a text wider than its tab is narrowed a little,
    // and beyond that drawn smaller, rather than wrapped onto a second line the tab has no room for.
    juce::Font font(depth * 0.5f);
    font.setUnderline(button.hasKeyboardFocus(false));
    const auto text = button.getButtonText().trim();
    const float room = juce::jmax(1.0f, length - 2.0f * tabTextMargin);
    font = ui::fitFontToWidth(text, font, room, minimumTabTextScale);

    juce::AttributedString string;
    string.setJustification(juce::Justification::centred);
    string.setWordWrap(juce::AttributedString::none);
    string.append(text, font, colour);
    textLayout.createLayout(string, length);
}
} // namespace x47390_ui

namespace x47390_ui
{
// The third-generation tab (gradient, outline, text colour), with the text on one line.
void DefaultLookAndFeel::drawTabButton(juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver,
                                       bool isMouseDown)
{
    using juce::TabbedButtonBar;
    const auto activeArea = button.getActiveArea();
    const auto orientation = button.getTabbedButtonBar().getOrientation();
    const auto background = button.getTabBackgroundColour();

    if (button.getToggleState())
    {
        g.setColour(background);
    }
    else
    {
        juce::Point<int> from, to;
        switch (orientation)
        {
        case TabbedButtonBar::TabsAtBottom:
            from = activeArea.getBottomLeft();
            to = activeArea.getTopLeft();
            break;
        case TabbedButtonBar::TabsAtRight:
            from = activeArea.getTopRight();
            to = activeArea.getTopLeft();
            break;
        case TabbedButtonBar::TabsAtLeft:
            from = activeArea.getTopLeft();
            to = activeArea.getTopRight();
            break;
        case TabbedButtonBar::TabsAtTop:
        default:
            from = activeArea.getTopLeft();
            to = activeArea.getBottomLeft();
            break;
        }
        g.setGradientFill(juce::ColourGradient(background.brighter(0.2f), from.toFloat(), background.darker(0.1f),
                                               to.toFloat(), false));
    }
    g.fillRect(activeArea);

    g.setColour(button.findColour(TabbedButtonBar::tabOutlineColourId));
    auto outline = activeArea;
    if (orientation != TabbedButtonBar::TabsAtBottom)
        g.fillRect(outline.removeFromTop(1));
    if (orientation != TabbedButtonBar::TabsAtTop)
        g.fillRect(outline.removeFromBottom(1));
    if (orientation != TabbedButtonBar::TabsAtRight)
        g.fillRect(outline.removeFromLeft(1));
    if (orientation != TabbedButtonBar::TabsAtLeft)
        g.fillRect(outline.removeFromRight(1));

    const float alpha = button.isEnabled() ? ((isMouseOver || isMouseDown) ? 1.0f : 0.8f) : 0.3f;
    auto colour = background.contrasting().withMultipliedAlpha(alpha);
    if (auto* bar = button.findParentComponentOfClass<TabbedButtonBar>())
    {
        const auto id = button.isFrontTab() ? TabbedButtonBar::frontTextColourId : TabbedButtonBar::tabTextColourId;
        if (bar->isColourSpecified(id))
            colour = bar->findColour(id);
        else if (isColourSpecified(id))
            colour = findColour(id);
    }

    const auto area = button.getTextArea().toFloat();
    float length = area.getWidth();
    float depth = area.getHeight();
    if (button.getTabbedButtonBar().isVertical())
        std::swap(length, depth);

    juce::TextLayout layout;
    createSingleLineTabTextLayout(button, length, depth, colour, layout);

    juce::AffineTransform transform;
    switch (orientation)
    {
    case TabbedButtonBar::TabsAtLeft:
        transform = transform.rotated(juce::MathConstants<float>::pi * -0.5f).translated(area.getX(), area.getBottom());
        break;
    case TabbedButtonBar::TabsAtRight:
        transform = transform.rotated(juce::MathConstants<float>::pi * 0.5f).translated(area.getRight(), area.getY());
        break;
    default:
        transform = transform.translated(area.getX(), area.getY());
        break;
    }
    g.addTransform(transform);
    layout.draw(g, juce::Rectangle<float>(length, depth));
}
} // namespace x47390_ui
