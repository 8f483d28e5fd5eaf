#pragma once

namespace x47390_action
{
// The edited-flag protocol every action follows: perform notes the flag before it writes and sets it;
// undo clears it again only when it was clear before that perform.
class EditedFlagMemory
{
public:
    void noteAndSetEdited();
    void restoreEdited() const;

private:
    bool editedBefore = false;
};
} // namespace x47390_action
