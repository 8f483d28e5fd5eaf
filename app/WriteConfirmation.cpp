#include "app/WriteConfirmation.h"

#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"
#include "ui/WriteWarningComponents.h"

namespace
{
template <class Panel>
bool confirmWithPanel(const char* titleKey)
{
    if (!x47390_preferences::PreferencesData::getInstance()->getBoolValue("WarnBeforeWriting", true))
        return true;

    auto* modalState = ui::ModalDialogState::getInstance();
    bool wasAlreadyOpen = false;
    modalState->beginModal(wasAlreadyOpen);
    bool confirmed = false;
    if (!wasAlreadyOpen)
    {
        Panel panel;
        confirmed = ui::runModalDialog(panel, CJQZResource::getInstance()->getString(titleKey)) != 0;
    }
    modalState->endModal(wasAlreadyOpen);
    return confirmed;
}
} // namespace

bool confirmWriteToDevice() { return confirmWithPanel<WriteWarningComponent>("WriteWarningDialogTitle"); }

bool confirmWriteUserData()
{
    return confirmWithPanel<WriteUserDataWarningComponent>("WriteUserDataWarningDialogTitle");
}
