#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The program table. It listens to the tab bar so that the current program is sent again on every tab change.
class ProgramListComponent : public juce::Component, public juce::ChangeListener
{
public:
    ProgramListComponent() = default;

    void changeListenerCallback(juce::ChangeBroadcaster*) override {}
};
