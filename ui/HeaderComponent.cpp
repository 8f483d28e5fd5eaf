#include "ui/HeaderComponent.h"

#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuManager.h"
#include "ui/FontLibrary.h"
#include "ui/ImageLibrary.h"

namespace
{
struct ButtonSpec
{
    const char* text;
    juce::Rectangle<int> bounds;
    int command;
};

// "SEND" sits one pixel above "SEND ALL".
const ButtonSpec buttonSpecs[HeaderComponent::numButtons] = {
    {"SEND ALL", {640, 18, 80, 24}, x47390_menu::cmdWriteLibrary},
    {"SEND", {548, 17, 80, 24}, x47390_menu::cmdWriteProgram},
    {"RECEIVE", {548, 43, 80, 24}, x47390_menu::cmdReceiveProgram},
    {"RECEIVE ALL", {640, 43, 80, 24}, x47390_menu::cmdReceiveLibrary},
    {"SEND ALL", {761, 18, 80, 24}, x47390_menu::cmdWriteUserData},
    {"RECEIVE ALL", {761, 43, 80, 24}, x47390_menu::cmdReceiveUserData},
};

const juce::Colour headerBackground(0xff111111);

// A line of the display with the blanks that centre it the display's way: half a blank less per character,
// from 8 blanks down.
juce::String shiftedLine(const juce::String& line)
{
    const int blanks = (int) ((double) line.length() * -0.5 + 8.0);
    return blanks > 0 ? juce::String::repeatedString(" ", blanks) + line : line;
}
} // namespace

ProgramNameDisplayComponent::ProgramNameDisplayComponent() { setSize(200, 40); }

void ProgramNameDisplayComponent::setText(const juce::String& first, const juce::String& second)
{
    line1 = shiftedLine(first);
    line2 = shiftedLine(second);
    repaint();
}

void ProgramNameDisplayComponent::paint(juce::Graphics& g)
{
    g.setColour(juce::Colour(0xffffffff));
    g.setFont(ui::FontLibrary::getInstance()->getFont("HeaderProgDisplay"));
    g.drawText(line1, 0, 0, 192, 18, juce::Justification::centred, false);
    g.drawText(line2, 0, 18, 192, 18, juce::Justification::centred, false);
}

HeaderComponent::HeaderComponent()
{
    nameDisplay = std::make_unique<ProgramNameDisplayComponent>();
    addAndMakeVisible(*nameDisplay);
    nameDisplay->setName("new component");
    nameDisplay->setBounds(283, 23, 204, 40);

    const auto normal = ui::getImage("ButtonDark");
    const auto pressed = ui::getImage("ButtonLit");
    for (int i = 0; i < numButtons; ++i)
    {
        auto button = std::make_unique<ui::ImageTextButton>("new button");
        addAndMakeVisible(*button);
        button->setButtonText(buttonSpecs[i].text);
        button->setImages(false, true, true, normal, 1.0f, juce::Colour(0x00000000), juce::Image(), 1.0f,
                          juce::Colour(0x25333333), pressed, 1.0f, juce::Colour(0x00ffffff), 0.0f);
        buttons[(size_t) i] = std::move(button);
    }

    logoImage = ui::getImage("HeaderLogo");
    displayFrameImage = ui::getImage("HeaderDisplayFrame");
    userUnitCaptionImage = ui::getImage("HeaderUserUnitCaption");
    programCaptionImage = ui::getImage("HeaderProgramCaption");

    const auto& font = ui::FontLibrary::getInstance()->getFont("HeaderModeButton");
    for (auto& button : buttons)
    {
        button->textFont = font;
        button->textColour = juce::Colour(0xffd3d3d3);
    }

    auto& commandManager = x47390_menu::ApplicationMenuManager::getInstance()->getCommandManager();
    for (int i = 0; i < numButtons; ++i)
        buttons[(size_t) i]->setCommandToTrigger(&commandManager, buttonSpecs[i].command, false);

    x47390_data::CurrentProgramData::getInstance()->addListener(this);
    data::DataChangeBroadcaster::getInstance()->addListener(this);
    refreshProgramName();
}

HeaderComponent::~HeaderComponent()
{
    if (auto* broadcaster = data::DataChangeBroadcaster::getInstanceWithoutCreating())
        broadcaster->removeListener(this);
    if (auto* current = x47390_data::CurrentProgramData::getInstanceWithoutCreating())
        current->removeListener(this);
}

void HeaderComponent::paint(juce::Graphics& g)
{
    g.fillAll(headerBackground);
    g.setColour(juce::Colour(0xff000000));
    g.fillRect(276, 20, 212, 42);
    g.drawImage(logoImage, juce::Rectangle<float>(39.0f, 19.0f, 174.0f, 50.0f));
    g.drawImage(displayFrameImage, juce::Rectangle<float>(252.0f, 17.0f, 264.0f, 52.0f));
    const juce::RectanglePlacement caption(juce::RectanglePlacement::centred | juce::RectanglePlacement::onlyReduceInSize);
    g.drawImage(userUnitCaptionImage, juce::Rectangle<float>(765.0f, 5.0f, 70.0f, 10.0f), caption);
    g.drawImage(programCaptionImage, juce::Rectangle<float>(603.0f, 5.0f, 60.0f, 10.0f), caption);
}

void HeaderComponent::resized()
{
    for (int i = 0; i < numButtons; ++i)
        buttons[(size_t) i]->setBounds(buttonSpecs[i].bounds);
}

void HeaderComponent::currentProgramChanged() { refreshProgramName(); }

void HeaderComponent::dataChanged() { refreshProgramName(); }

void HeaderComponent::refreshProgramName()
{
    const auto* current = x47390_data::CurrentProgramData::getInstance();
    const int kind = current->getKind();
    if (kind == x47390_data::CurrentProgramData::none)
    {
        nameDisplay->setText("Prog ---", "------------");
        return;
    }
    const juce::String prefix = kind == x47390_data::CurrentProgramData::libraryProgram ? "Prog" : "Preset";
    nameDisplay->setText(prefix + juce::String::formatted(" %03d", current->getProgramNumber() + 1),
                         current->getProgramData().getName().trim());
}
