#include "data/CurrentTuneRecord.h"

#include "data/ApplicationUndoManager.h"
#include "data/DataCenter.h"

#include <cstdio>

namespace x47390_data
{
namespace currentTune
{
LibraryData& library()
{
    return DataCenter::getInstance()->getLibraryData();
}

int resolveSlot(int i, const char* message)
{
    if (i >= 7)
    {
        std::printf(message, i);
        std::fflush(stdout);
        return -1;
    }
    const int low = i & 0xFF;
    return low <= 5 ? low : 0;
}

void listenToUndoManager(juce::ChangeListener* listener)
{
    application::ApplicationUndoManager::getInstance()->addChangeListener(listener);
}

void stopListeningToUndoManager(juce::ChangeListener* listener)
{
    if (auto* undoManager = application::ApplicationUndoManager::getInstanceWithoutCreating())
        undoManager->removeChangeListener(listener);
}
} // namespace currentTune
} // namespace x47390_data
