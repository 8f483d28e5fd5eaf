// Reaches the toolkit's X connection the way its own optional modules do.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include "platform/system/DialogWindowHints.h"

namespace platform
{
void setDialogWindowHints(juce::Component& dialog, const juce::Component* owner, bool closable)
{
    auto* system = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* display = system != nullptr ? system->getDisplay() : nullptr;
    auto* peer = dialog.getPeer();
    if (display == nullptr || peer == nullptr)
        return;
    auto* x = juce::X11Symbols::getInstance();
    const auto window = (::Window) peer->getNativeHandle();
    const juce::XWindowSystemUtilities::ScopedXLock lock;

    // The toolkit writes these hints only when a window manager has made their atom already; without one the
    // hints would be missing for a manager that comes later.
    enum : unsigned long
    {
        functionsGiven = 1,
        decorationsGiven = 2,
        canMove = 4,
        canClose = 32,
        border = 2,
        title = 8
    };
    const unsigned long motifHints[5] = {functionsGiven | decorationsGiven, canMove | (closable ? canClose : 0),
                                         border | title, 0, 0};
    const auto motifAtom = x->xInternAtom(display, "_MOTIF_WM_HINTS", False);
    x->xChangeProperty(display, window, motifAtom, motifAtom, 32, PropModeReplace,
                       reinterpret_cast<const unsigned char*>(motifHints), 5);

    const ::Atom dialogType = x->xInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    x->xChangeProperty(display, window, x->xInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                       PropModeReplace, reinterpret_cast<const unsigned char*>(&dialogType), 1);

    if (owner != nullptr)
        if (auto* ownerPeer = owner->getPeer())
        {
            const ::Window ownerWindow = (::Window) ownerPeer->getNativeHandle();
            x->xChangeProperty(display, window, XA_WM_TRANSIENT_FOR, XA_WINDOW, 32, PropModeReplace,
                               reinterpret_cast<const unsigned char*>(&ownerWindow), 1);
        }
}
} // namespace platform
