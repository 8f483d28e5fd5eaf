#include "ui/PresetWindow.h"

#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "ui/PresetWindowManager.h"

namespace x47390_ui
{
PresetWindow::PresetWindow()
    : juce::DocumentWindow(CJQZResource::getInstance()->getString("PresetWindowTitle"), juce::Colour(0xffffffff),
                           juce::DocumentWindow::closeButton, true)
{
}

PresetWindow::~PresetWindow()
{
    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    preferences->setIntValue("PresetWindowPositionX", lastBounds.getX());
    preferences->setIntValue("PresetWindowPositionY", lastBounds.getY());
    preferences->setIntValue("PresetWindowWidth", lastBounds.getWidth());
    preferences->setIntValue("PresetWindowHeight", lastBounds.getHeight());
    clearContentComponent();
}

void PresetWindow::resized()
{
    juce::DocumentWindow::resized();
    lastBounds = getBounds();
}

void PresetWindow::moved()
{
    juce::DocumentWindow::moved();
    lastBounds = getBounds();
}

// The window must not delete itself inside its own callback.
void PresetWindow::closeButtonPressed() { PresetWindowManager::getInstance()->triggerAsyncUpdate(); }
} // namespace x47390_ui
