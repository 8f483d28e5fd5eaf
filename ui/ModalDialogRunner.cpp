#include "ui/ModalDialogRunner.h"

#include "ui/ModalDialogState.h"

#include <exception>

namespace ui
{
namespace
{
ModalDialogScript& script()
{
    static ModalDialogScript instance;
    return instance;
}
} // namespace

int runModalDialog(juce::Component& content, const juce::String& title, juce::Colour background,
                   bool escapeKeyCloses, bool resizable)
{
    if (script())
        return script()(content, title);
    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = title;
    options.content.setNonOwned(&content);
    options.dialogBackgroundColour = background;
    options.escapeKeyTriggersCloseButton = escapeKeyCloses;
    // The window manager draws the title bar, as on every other window of the program.
    options.useNativeTitleBar = true;
    options.resizable = resizable;
    options.useBottomRightCornerResizer = false;
    return options.runModal();
}

ScopedModalDialog::ScopedModalDialog() { ModalDialogState::getInstance()->beginModal(alreadyOpen); }

ScopedModalDialog::~ScopedModalDialog()
{
    const bool unwinding = std::uncaught_exceptions() > 0;
    if (auto* state = ModalDialogState::getInstanceWithoutCreating())
        state->endModal(alreadyOpen && !unwinding);
}

void setModalDialogScript(ModalDialogScript newScript) { script() = std::move(newScript); }
} // namespace ui
