#include "data/FactoryScaleTemplates.h"
#include "tests/data/EditTestSupport.h"
#include "tests/support/RealProgram.h"
#include "tuning/TuningNoteMath.h"
#include "tuning/TuningTemplateComponent.h"
#include "ui/ModalDialogRunner.h"

#include <gtest/gtest.h>

namespace
{
using x47390_data::DataCenter;

struct TemplateTest : ::testing::Test
{
    void SetUp() override { edittest::resetSingletons(); }
    void TearDown() override
    {
        ui::setModalDialogScript({});
        edittest::resetSingletons();
    }

    static x47390_data::LibraryData& library() { return DataCenter::getInstance()->getLibraryData(); }
    static auto* undo() { return application::ApplicationUndoManager::getInstance(); }

    // Semitone offset (sign-extended) and fraction of entry k of a user octave.
    static std::pair<int, int> octaveEntry(int slot, int k)
    {
        const auto* e = &library().getTuneOctData(slot).notes[(size_t) k * 3];
        return {e[0] >= 64 ? e[0] - 128 : e[0], e[1] * 128 + e[2]};
    }
};
} // namespace

TEST_F(TemplateTest, EveryTemplateFoldsIntoAUserOctaveAsOneUndoStep)
{
    currentTuningSlot = 2;
    const auto before = library().getTuneOctData(2).notes;
    for (int id = 1; id <= numFactoryScaleTemplates; ++id)
    {
        TuningTemplateComponent::applyTemplate(id);
        const auto& source = factoryScaleTemplates[(size_t) (id - 1)];
        for (int k = 0; k < 12; ++k)
        {
            const auto* t = &source[(size_t) (60 + k) * 3];
            const auto [offset, fraction] = octaveEntry(2, k);
            EXPECT_EQ(offset, TuningEditor::foldIntoOctaveRange(t[0] - 60)) << "id " << id << " k " << k;
            EXPECT_EQ(fraction, t[1] * 128 + t[2]) << "id " << id << " k " << k;
        }
    }
    for (int id = numFactoryScaleTemplates; id >= 1; --id)
        ASSERT_TRUE(undo()->undo());
    EXPECT_EQ(library().getTuneOctData(2).notes, before);
    EXPECT_FALSE(undo()->canUndo());
}

TEST_F(TemplateTest, WorkedOctaveValues)
{
    currentTuningSlot = 2;
    TuningTemplateComponent::applyTemplate(12); // Major Penta
    const int majorPenta[12] = {0, 2, 4, 7, 9, 12, 14, 16, 19, 21, 12, 14};
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(octaveEntry(2, k), std::make_pair(majorPenta[k], 0)) << k;

    TuningTemplateComponent::applyTemplate(21); // KW001
    const int kw001[12] = {-12, -11, 2, 15, 16, 17, -6, -5, -4, 9, 22, 23};
    for (int k = 0; k < 12; ++k)
        EXPECT_EQ(octaveEntry(2, k).first, kw001[k]) << k;
    EXPECT_EQ(library().getTuneOctData(2).notes[0], 0x74);
}

TEST_F(TemplateTest, ScaleTemplatesAreCopiedWholeAndUndone)
{
    currentTuningSlot = 8; // user scale 3
    const auto before = library().getTuneScaleData(2).notes;
    TuningTemplateComponent::applyTemplate(14); // Reverse
    const auto& notes = library().getTuneScaleData(2).notes;
    EXPECT_TRUE(std::equal(notes.begin(), notes.end(), factoryScaleTemplates[13].begin()));
    EXPECT_EQ(notes[0], 120);
    EXPECT_EQ(notes[120 * 3], 0);
    EXPECT_EQ(notes[121 * 3], 121);

    TuningTemplateComponent::applyTemplate(12); // Major Penta: key 62 plays 64
    EXPECT_EQ(library().getTuneScaleData(2).notes[62 * 3], 64);
    EXPECT_EQ(library().getTuneScaleData(2).notes[34 * 3], 34);

    TuningTemplateComponent::applyTemplate(1);
    EXPECT_EQ(library().getTuneScaleData(2).notes, x47390_data::identityTuneScale);
    ASSERT_TRUE(undo()->undo());
    ASSERT_TRUE(undo()->undo());
    ASSERT_TRUE(undo()->undo());
    EXPECT_EQ(library().getTuneScaleData(2).notes, before);
}

TEST_F(TemplateTest, IdsOutsideTheTableChangeNothing)
{
    for (std::uint8_t slot : {2, 8})
    {
        currentTuningSlot = slot;
        for (int id : {0, 24, -3})
            TuningTemplateComponent::applyTemplate(id);
        EXPECT_FALSE(undo()->canUndo()) << (int) slot;
    }
}

TEST_F(TemplateTest, TheDialogOffersTheTwentyThreeNamesAndAppliesEachChoice)
{
    TuningTemplateComponent dialog;
    EXPECT_EQ(dialog.getBounds(), juce::Rectangle<int>(0, 0, 250, 100));
    EXPECT_EQ(dialog.getComboBox().getBounds(), juce::Rectangle<int>(32, 24, 184, 24));
    EXPECT_EQ(dialog.getOkButton().getBounds(), juce::Rectangle<int>(136, 64, 78, 24));
    auto& combo = dialog.getComboBox();
    ASSERT_EQ(combo.getNumItems(), 23);
    EXPECT_EQ(combo.getItemText(0), "Equal Temp");
    EXPECT_EQ(combo.getItemText(13), "Reverse");
    EXPECT_EQ(combo.getItemText(22), "KW003");
    EXPECT_EQ(combo.getItemId(22), 23);
    EXPECT_EQ(combo.getSelectedId(), 0);

    currentTuningSlot = 6;
    combo.setSelectedId(14, juce::sendNotificationSync);
    combo.setSelectedId(2, juce::sendNotificationSync);
    EXPECT_EQ(library().getTuneScaleData(0).notes[61 * 3], 60); // Pure Major C#
    ASSERT_TRUE(undo()->undo());
    EXPECT_EQ(library().getTuneScaleData(0).notes[0], 120); // back to Reverse
}

TEST_F(TemplateTest, TheDialogIsDrawnDarkWithItsChoiceAndOk)
{
    TuningTemplateComponent dialog;
    dialog.getComboBox().setSelectedId(5, juce::dontSendNotification);
    const auto shot = dialog.createComponentSnapshot(dialog.getLocalBounds());
    testsupport::keepImage(shot, "tuning/tuning-template");
    EXPECT_EQ(shot.getPixelAt(5, 5), juce::Colour(0xff333333));
    EXPECT_EQ(shot.getPixelAt(34, 26), juce::Colour(0xff111111)); // the combo box
    EXPECT_NE(shot.getPixelAt(175, 76), juce::Colour(0xff333333)); // OK
}

TEST_F(TemplateTest, OkEndsTheDialogWithOne)
{
    TuningTemplateComponent dialog;
    ui::setModalDialogScript([](juce::Component& content, const juce::String&)
    {
        auto& body = dynamic_cast<TuningTemplateComponent&>(content);
        juce::DialogWindow window("test", juce::Colours::white, true, false);
        window.setContentNonOwned(&body, true);
        window.addToDesktop();
        window.setVisible(true);
        juce::MessageManager::callAsync([&body] { body.getOkButton().triggerClick(); });
        const int result = window.runModalLoop();
        window.clearContentComponent();
        return result;
    });
    EXPECT_EQ(ui::runModalDialog(dialog, "Tuning Templates"), 1);
    EXPECT_FALSE(undo()->canUndo());
}
