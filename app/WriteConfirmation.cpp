#include "app/WriteConfirmation.h"

#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "ui/ModalDialogRunner.h"
#include "ui/WriteWarningComponents.h"

namespace
{
template <class Panel>
bool confirmWithPanel(const char* titleKey)
{
    if (!x47390_preferences::PreferencesData::getInstance()->getBoolValue("WarnBeforeWriting", true))
        return true;

    ui::ScopedModalDialog modal;
    if (modal.wasAlreadyOpen())
        return false;
    Panel panel;
    return ui::runModalDialog(panel, CJQZResource::getInstance()->getString(titleKey)) != 0;
}
} // namespace

bool confirmWriteToDevice() { return confirmWithPanel<WriteWarningComponent>("WriteWarningDialogTitle"); }

bool confirmWriteUserData()
{
    return confirmWithPanel<WriteUserDataWarningComponent>("WriteUserDataWarningDialogTitle");
}
