#include "data/LastSavedFileStatus.h"

namespace application
{
LastSavedFileStatus::~LastSavedFileStatus()
{
    cancelPendingUpdate();
}

void LastSavedFileStatus::setFile(const juce::File& newFile)
{
    if (newFile == file)
        return;
    file = newFile;
    triggerAsyncUpdate();
}

void LastSavedFileStatus::handleAsyncUpdate()
{
    callListeners([this](LastSavedFileStatusListener& listener) { listener.lastSavedFileChanged(file); });
}
} // namespace application
