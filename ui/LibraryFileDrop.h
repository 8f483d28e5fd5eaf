#pragma once

#include <juce_core/juce_core.h>

namespace ui
{
// Files dropped from the desktop on the main window and the program page: the first library,
// program or preset file of a drop is opened, loaded or imported; nothing while a modal dialog is open.
bool isInterestedInLibraryFileDrag(const juce::StringArray& files);
void handleLibraryFileDrop(const juce::StringArray& files);
} // namespace ui
