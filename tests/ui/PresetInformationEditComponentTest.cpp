#include "tests/support/RealProgram.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/ModalDriver.h"
#include "ui/ModalDialogRunner.h"
#include "ui/PresetInformationEditComponent.h"

#include <gtest/gtest.h>

TEST(PresetInformationDialog, ChildrenSitAtTheirPlaces)
{
    PresetInformationEditComponent panel;
    EXPECT_EQ(panel.getBounds(), juce::Rectangle<int>(0, 0, 480, 380));
    struct Place
    {
        juce::Component* child;
        juce::Rectangle<int> bounds;
    };
    const Place places[] = {
        {&panel.getDataIdEditor(), {152, 24, 288, 24}},  {&panel.getNameEditor(), {152, 64, 288, 24}},
        {&panel.getAuthorEditor(), {152, 104, 288, 24}}, {&panel.getDateEditor(), {152, 144, 288, 24}},
        {&panel.getCopyrightEditor(), {152, 184, 288, 24}}, {&panel.getVersionSlider(), {152, 224, 150, 24}},
        {&panel.getProgramCountSlider(), {152, 264, 150, 24}}, {&panel.getOkButton(), {272, 320, 78, 24}},
        {&panel.getCancelButton(), {360, 320, 78, 24}},
    };
    for (const auto& place : places)
        EXPECT_EQ(place.child->getBounds(), place.bounds);
    EXPECT_EQ(panel.getOkButton().getButtonText(), "OK");
    EXPECT_EQ(panel.getCancelButton().getButtonText(), "Cancel");

    const auto image = panel.createComponentSnapshot(panel.getLocalBounds(), true, 1.0f);
    EXPECT_EQ(image.getPixelAt(10, 370), juce::Colour(0xff333333));
    EXPECT_EQ(image.getPixelAt(460, 10), juce::Colour(0xff333333));
    // Each of the five text fields shows on the panel: an edge around a field of its own colour.
    for (auto* editor : {&panel.getDataIdEditor(), &panel.getNameEditor(), &panel.getAuthorEditor(),
                         &panel.getDateEditor(), &panel.getCopyrightEditor()})
    {
        const auto box = editor->getBounds();
        const auto inside = image.getPixelAt(box.getRight() - 6, box.getCentreY());
        const auto edge = image.getPixelAt(box.getCentreX(), box.getY());
        EXPECT_GT(std::abs(inside.getBrightness() - 0.2f), 0.08f) << editor->getBounds().toString();
        EXPECT_GT(std::abs(edge.getBrightness() - inside.getBrightness()), 0.15f) << editor->getBounds().toString();
    }
    testsupport::keepImage(image, "ui/preset-information-dialog");
}

TEST(PresetInformationDialog, OKCopiesTheFieldsAndCancelNothing)
{
    {
        PresetInformationEditComponent panel;
        EXPECT_EQ(panel.getInformation().version, 0) << "nothing is copied before OK";
        panel.buttonClicked(&panel.getOkButton());
        EXPECT_TRUE(panel.wasConfirmed());
        const auto& information = panel.getInformation();
        EXPECT_TRUE(information.dataID.isEmpty() && information.name.isEmpty() && information.author.isEmpty()
                    && information.date.isEmpty() && information.copyright.isEmpty() && information.prefix.isEmpty());
        EXPECT_EQ(information.version, 1);
        EXPECT_EQ(information.numOfProg, 1);
    }
    {
        PresetInformationEditComponent panel;
        panel.getDataIdEditor().setText("ID");
        panel.getDateEditor().setText("2024-05-01");
        panel.getCopyrightEditor().setText("(c) us");
        panel.buttonClicked(&panel.getCancelButton());
        EXPECT_FALSE(panel.wasConfirmed());
        EXPECT_TRUE(panel.getInformation().dataID.isEmpty());
        panel.buttonClicked(&panel.getOkButton());
        EXPECT_EQ(panel.getInformation().dataID, "ID");
        EXPECT_EQ(panel.getInformation().date, "2024-05-01");
        EXPECT_EQ(panel.getInformation().copyright, "(c) us");
    }
}

// Values change only through the buttons, within their ranges.
TEST(PresetInformationDialog, SlidersKeepTheirRanges)
{
    PresetInformationEditComponent panel;
    for (auto* slider : {&panel.getVersionSlider(), &panel.getProgramCountSlider()})
    {
        EXPECT_FALSE(slider->isTextBoxEditable());
        EXPECT_EQ(slider->getValue(), 1.0);
        slider->setValue(-5);
        EXPECT_EQ(slider->getValue(), 1.0);
    }
    panel.getVersionSlider().setValue(5000);
    panel.getProgramCountSlider().setValue(5000);
    EXPECT_EQ(panel.getVersionSlider().getValue(), 1000.0);
    EXPECT_EQ(panel.getProgramCountSlider().getValue(), 500.0);
}

// OK ends the window with 0 and Cancel with 1; Escape ends it with 0 and leaves it unconfirmed.
TEST(PresetInformationDialog, TheDialogEndsWithItsResults)
{
    struct Case
    {
        const char* what;
        int result;
        bool confirmed;
    };
    const Case cases[] = {{"OK", 0, true}, {"Cancel", 1, false}, {"Escape", 0, false}};
    for (const auto& c : cases)
    {
        PresetInformationEditComponent panel;
        uitest::ModalDriver driver;
        driver.then([&](juce::Component& modal) {
            const juce::String what(c.what);
            if (what == "OK")
                panel.getOkButton().triggerClick();
            else if (what == "Cancel")
                panel.getCancelButton().triggerClick();
            else
                modal.keyPressed(juce::KeyPress(juce::KeyPress::escapeKey));
            return true;
        });
        EXPECT_EQ(ui::runModalDialog(panel, "Preset Information"), c.result) << c.what;
        EXPECT_EQ(panel.wasConfirmed(), c.confirmed) << c.what;
    }
}
