#pragma once

#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "data/ProgramEditActions.h"
#include "tests/data/EditTestSupport.h"
#include "ui/DragItems.h"
#include "ui/FontLibrary.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

namespace programpage
{
// The text styles the program page draws with, at their sizes after start-up with 25 pixel rows.
inline void registerTextStyles()
{
    auto* fonts = ui::FontLibrary::getInstance();
    for (const char* key : {"ProgramListNumber", "ProgramListName", "ProgramListCategory", "ProgramListLike",
                            "ProgramListTimbType", "ProgramListVco1Wave", "ProgramListVco2Wave", "ProgramListMultiType",
                            "ProgramListScaleSet"})
        fonts->addFont(key, fonts->makeFont("Arial Unicode MS", 15.0f));
    fonts->addFont("FavoriteDisplayNumber", fonts->makeFont("Arial Unicode MS", 18.0f));
    fonts->addFont("FavoriteDisplayName", fonts->makeFont("Arial Unicode MS", 16.0f));
    fonts->addFont("HeaderModeButton", fonts->makeFont("Arial Unicode MS", 12.0f));
    fonts->addFont("HeaderProgDisplay", fonts->makeFont("Arial Unicode MS", 20.0f));
    fonts->addFont("ImageTextButton", fonts->makeFont("Arial Unicode MS", 16.0f));
    fonts->addFont("Label", fonts->makeFont("Arial Unicode MS", 16.0f));
    fonts->addFont("TabButton", fonts->makeFont("Arial Unicode MS", 18.0f));
}

// Fresh library, history and selection around each test; preferences in a folder of their own with
// 25 pixel rows; programs named "P000" to "P499" without an undo step.
class ProgramPageFixture : public edittest::EditFixture
{
protected:
    ProgramPageFixture()
    {
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        setenv("XDG_CONFIG_HOME", config.get().getFullPathName().toRawUTF8(), 1);
        x47390_preferences::PreferencesData::getInstance()->setIntValue("ProgramListHeight", 25);
        registerTextStyles();
        // Nothing reaches an instrument: a send to none would keep each test waiting for its answer.
        midi().isCommunicating = true;
        for (int i = 0; i < 500; ++i)
            library().getProgramData(i).setName(juce::String::formatted("P%03d", i));
    }

    ~ProgramPageFixture() override
    {
        juce::ModifierKeys::currentModifiers = juce::ModifierKeys();
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        unsetenv("XDG_CONFIG_HOME");
    }

    static juce::String nameOf(int program) { return library().getProgramData(program).getName().trim(); }

    static std::vector<int> programOrder(int count)
    {
        std::vector<int> order;
        for (int i = 0; i < count; ++i)
            order.push_back(nameOf(i).substring(1).getIntValue());
        return order;
    }

    static int favorite(int bank, int slot) { return library().getFavoriteData().entries[(size_t) bank][(size_t) slot]; }

    static void holdOption(bool held)
    {
        juce::ModifierKeys::currentModifiers =
            held ? juce::ModifierKeys(juce::ModifierKeys::altModifier) : juce::ModifierKeys();
    }

    static juce::var programRows(std::vector<int> rows)
    {
        return ui::makeListDragDescription(ui::programListDragItemTypeName, rows);
    }

    static juce::String undoName() { return undoManager().getUndoDescription(); }

    testsupport::TemporaryFolder config;
};
} // namespace programpage
