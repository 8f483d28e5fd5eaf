#pragma once

namespace platform
{
// Creates, on the X server of $DISPLAY, the window-manager atoms that the toolkit looks up once when
// it connects but never creates itself (WM_PROTOCOLS, WM_DELETE_WINDOW, WM_STATE, _NET_WM_STATE, ...).
// A window manager creates them; on a bare X server they would be missing, so every window would
// carry no close protocol and each property call on them would fail with BadAtom. Make one before
// the toolkit opens its own connection and keep it while the toolkit runs: an X server without
// clients resets itself and forgets its atoms. Does nothing without a display.
class WindowManagerAtoms
{
public:
    WindowManagerAtoms();
    ~WindowManagerAtoms();

    WindowManagerAtoms(const WindowManagerAtoms&) = delete;
    WindowManagerAtoms& operator=(const WindowManagerAtoms&) = delete;

private:
    void* xlib = nullptr;
    void* display = nullptr;
};
} // namespace platform
