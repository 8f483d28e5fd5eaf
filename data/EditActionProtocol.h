#pragma once

#include <juce_core/juce_core.h>

namespace x47390_action
{
// The edited-flag protocol every action follows: perform (and redo) takes the history to the state after the
// action, undo back to the state before it; the library counts as edited wherever that is not the save point.
class EditedFlagMemory
{
public:
    void noteAndSetEdited();
    void restoreEdited() const;

private:
    juce::uint64 stateBefore = 0;
    juce::uint64 stateAfter = 0; // given at the first perform, kept for every redo
};
} // namespace x47390_action
