#include "ui/ModalDialogRunner.h"

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
    return juce::DialogWindow::showModalDialog(title, &content, nullptr, background, escapeKeyCloses, resizable,
                                               false);
}

void setModalDialogScript(ModalDialogScript newScript) { script() = std::move(newScript); }
} // namespace ui
