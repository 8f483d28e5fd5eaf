#include "app/ApplicationCommandIds.h"
#include "app/ApplicationMenuManager.h"
#include "tests/ui/ProgramPageTestSupport.h"
#include "ui/HeaderComponent.h"
#include "ui/ModalDialogState.h"

using namespace programpage;
using x47390_data::CurrentProgramData;

namespace
{
class HeaderComponentTest : public ProgramPageFixture
{
protected:
    HeaderComponentTest()
    {
        header = std::make_unique<HeaderComponent>();
        header->setSize(940, 85);
        drain();
    }

    ~HeaderComponentTest() override
    {
        header.reset();
        delete x47390_menu::ApplicationMenuManager::getInstanceWithoutCreating();
        delete ui::ModalDialogState::getInstanceWithoutCreating();
    }

    std::pair<juce::String, juce::String> lines()
    {
        drain();
        return {header->getNameDisplay().getLine1(), header->getNameDisplay().getLine2()};
    }

    std::unique_ptr<HeaderComponent> header;
};
} // namespace

TEST_F(HeaderComponentTest, ShowsTheCurrentProgram)
{
    using Lines = std::pair<juce::String, juce::String>;
    EXPECT_EQ(lines(), Lines("    Prog 001", "      P000")) << "program 0 is current at start-up";

    auto* current = CurrentProgramData::getInstance();
    current->clearProgram();
    EXPECT_EQ(lines(), Lines("    Prog ---", "  ------------"));

    x47390_data::PresetData preset;
    preset.getProgramData(499).setName("  Far End  ");
    x47390_data::DataCenter::getInstance()->getPresetLibrary().addPresetData(preset);
    current->setPresetProgram(0, 499);
    EXPECT_EQ(lines(), Lines("   Preset 500", "    Far End"));

    library().getProgramData(41).setName("ABC");
    current->setLibraryProgram(41);
    EXPECT_EQ(lines(), Lines("    Prog 042", "      ABC"));

    // A rename of the current program shows without a change of selection.
    undoManager().beginNewTransaction("PasteProgramName");
    undoManager().perform(new x47390_action::SetProgramNameAction(41, "Renamed"));
    EXPECT_EQ(lines(), Lines("    Prog 042", "    Renamed"));
}

TEST_F(HeaderComponentTest, LinesAreShiftedByHalfABlankPerMissingCharacter)
{
    auto& display = header->getNameDisplay();
    const std::pair<const char*, int> cases[] = {
        {"", 8}, {"A", 7}, {"ABC", 6}, {"12345678", 4}, {"123456789012", 2}, {"12345678901234", 1},
        {"123456789012345", 0}, {"1234567890123456", 0}};
    for (const auto& [text, blanks] : cases)
    {
        display.setText(text, text);
        EXPECT_EQ(display.getLine1(), juce::String::repeatedString(" ", blanks) + text) << text;
        EXPECT_EQ(display.getLine2(), display.getLine1());
    }
    EXPECT_EQ(display.getBounds(), juce::Rectangle<int>(283, 23, 204, 40));
    EXPECT_EQ(display.getName(), "new component");
}

TEST_F(HeaderComponentTest, SixButtonsTriggerTheTransferCommands)
{
    struct Case
    {
        const char* text;
        juce::Rectangle<int> bounds;
        int command;
    };
    const Case cases[] = {
        {"SEND ALL", {640, 18, 80, 24}, x47390_menu::cmdWriteLibrary},
        {"SEND", {548, 17, 80, 24}, x47390_menu::cmdWriteProgram},
        {"RECEIVE", {548, 43, 80, 24}, x47390_menu::cmdReceiveProgram},
        {"RECEIVE ALL", {640, 43, 80, 24}, x47390_menu::cmdReceiveLibrary},
        {"SEND ALL", {761, 18, 80, 24}, x47390_menu::cmdWriteUserData},
        {"RECEIVE ALL", {761, 43, 80, 24}, x47390_menu::cmdReceiveUserData},
    };
    for (int i = 0; i < HeaderComponent::numButtons; ++i)
    {
        auto& button = header->getButton(i);
        EXPECT_EQ(button.getButtonText(), cases[i].text);
        EXPECT_EQ(button.getBounds(), cases[i].bounds) << i;
        EXPECT_EQ(button.getCommandID(), cases[i].command);
        EXPECT_EQ(button.getName(), "new button");
        EXPECT_FLOAT_EQ(button.textFont.getHeight(), 12.0f);
        EXPECT_EQ(button.textColour, juce::Colour(0xffd3d3d3));
        EXPECT_TRUE(button.getTooltip().isEmpty());
        EXPECT_TRUE(button.isEnabled()) << i;
    }
}

TEST_F(HeaderComponentTest, ButtonsFollowTheirCommands)
{
    ui::SelectedProgramStatus::getInstance()->setSelection({});
    drain();
    EXPECT_FALSE(header->getButton(1).isEnabled()) << "SEND needs a program";
    EXPECT_FALSE(header->getButton(2).isEnabled()) << "RECEIVE needs a program";
    EXPECT_TRUE(header->getButton(0).isEnabled());

    ui::SelectedProgramStatus::getInstance()->setSelection({3});
    ui::ModalDialogState::getInstance()->setModalDialogOpen(true);
    drain();
    for (int i = 0; i < HeaderComponent::numButtons; ++i)
        EXPECT_FALSE(header->getButton(i).isEnabled()) << i;

    ui::ModalDialogState::getInstance()->setModalDialogOpen(false);
    drain();
    for (int i = 0; i < HeaderComponent::numButtons; ++i)
        EXPECT_TRUE(header->getButton(i).isEnabled()) << i;
}
