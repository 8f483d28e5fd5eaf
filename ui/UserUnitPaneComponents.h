#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The pages of the four user-unit tabs.
class UserUnitPaneComponent : public juce::Component
{
public:
    void paint(juce::Graphics& g) override { g.fillAll(juce::Colour(0xff111111)); }
};

class UserOscPaneComponent : public UserUnitPaneComponent
{
};

class UserModFXPaneComponent : public UserUnitPaneComponent
{
};

class UserDelFXPaneComponent : public UserUnitPaneComponent
{
};

class UserRevFXPaneComponent : public UserUnitPaneComponent
{
};
