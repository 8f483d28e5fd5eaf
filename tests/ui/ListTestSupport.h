#pragma once

#include "app/PreferencesData.h"
#include "app/PreferencesDataChangeBroadcaster.h"
#include "tests/data/EditTestSupport.h"
#include "ui/FontLibrary.h"

#include <cstdlib>

// Fresh library singletons and a private preferences store holding a row height of 25, as after a
// first start, for the tests of the list windows.
class ListFixture : public edittest::EditFixture
{
protected:
    ListFixture()
    {
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        setenv("XDG_CONFIG_HOME", temp.file("config").getFullPathName().toRawUTF8(), 1);
        preferences().setIntValue("ProgramListHeight", 25);
        auto* fonts = ui::FontLibrary::getInstance();
        for (const char* key : {"ProgramListNumber", "ProgramListCategory", "PresetListItemProgram"})
            fonts->addFont(key, fonts->makeFont(fonts->defaultTypefaceName, 16.0f));
        fonts->addFont("ProgramListName", fonts->makeFont(fonts->defaultTypefaceName, 18.0f));
        // Programs made current are not sent: with no instrument a send waits seconds for its answer.
        // Tests of the hand-over clear the flag.
        midi().isCommunicating = true;
    }

    ~ListFixture() override
    {
        testsupport::drainMessageLoop();
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
    }

    static x47390_preferences::PreferencesData& preferences()
    {
        return *x47390_preferences::PreferencesData::getInstance();
    }

    // Sets the row height and lets the lists hear of it.
    static void setRowHeight(int height)
    {
        preferences().setIntValue("ProgramListHeight", height);
        application::PreferencesDataChangeBroadcaster::getInstance()->triggerAsyncUpdate();
        drain();
    }

    testsupport::TemporaryFolder temp;
};
