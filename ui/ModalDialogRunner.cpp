#include "ui/ModalDialogRunner.h"

#include "platform/loop/EventLoop.h"
#include "platform/system/DialogWindowHints.h"
#include "ui/DialogKeyboard.h"
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
    const auto contentSize = content.getBounds().getBottomRight();
    juce::DialogWindow::LaunchOptions options;
    options.dialogTitle = title;
    options.content.setNonOwned(&content);
    options.dialogBackgroundColour = background;
    options.escapeKeyTriggersCloseButton = escapeKeyCloses;
    // The window manager draws the title bar, as on every other window of the program.
    options.useNativeTitleBar = true;
    options.resizable = resizable;
    options.useBottomRightCornerResizer = false;
    auto* window = options.create();
    // The window took the body's size with the toolkit's own title bar and kept it when it switched to the
    // native one; fitted again, the body keeps its own size.
    window->setContentComponentSize(contentSize.x, contentSize.y);
    window->centreWithSize(window->getWidth(), window->getHeight());
    markAsDialogWindow(*window);
    DialogKeyboard keyboard(*window, content);
    window->enterModalState(true, nullptr, true);
    keyboard.focusDefaultButton();
    return platform::runModalLoop(*window);
}

void markAsDialogWindow(juce::Component& window, bool closable)
{
    const juce::Component* owner = juce::TopLevelWindow::getActiveTopLevelWindow();
    if (owner == &window)
        owner = nullptr;
    for (int i = 0; owner == nullptr && i < juce::TopLevelWindow::getNumTopLevelWindows(); ++i)
        if (auto* candidate = juce::TopLevelWindow::getTopLevelWindow(i); candidate != &window && candidate->isShowing())
            owner = candidate;
    platform::setDialogWindowHints(window, owner, closable);
}

void endEnclosingDialog(juce::Component& content, int result)
{
    if (auto* window = content.findParentComponentOfClass<juce::DialogWindow>())
        window->exitModalState(result);
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
