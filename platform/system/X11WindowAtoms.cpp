#include "platform/system/X11WindowAtoms.h"

#include <X11/Xlib.h>

#include <dlfcn.h>

#include <iterator>

namespace platform
{
namespace
{
using CloseDisplay = int (*)(Display*);
}

WindowManagerAtoms::WindowManagerAtoms()
{
    // The toolkit loads Xlib at run time as well; the program does not link it.
    xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
    if (xlib == nullptr)
        return;

    using OpenDisplay = Display* (*) (const char*);
    using InternAtoms = Status (*)(Display*, char**, int, Bool, Atom*);
    const auto openDisplay = reinterpret_cast<OpenDisplay>(dlsym(xlib, "XOpenDisplay"));
    const auto internAtoms = reinterpret_cast<InternAtoms>(dlsym(xlib, "XInternAtoms"));
    if (openDisplay == nullptr || internAtoms == nullptr || dlsym(xlib, "XCloseDisplay") == nullptr)
        return;

    auto* connection = openDisplay(nullptr);
    if (connection == nullptr)
        return;
    display = connection;

    // The names the toolkit asks for only when they exist, and then uses unchecked.
    char* names[] = {const_cast<char*>("WM_PROTOCOLS"),        const_cast<char*>("WM_TAKE_FOCUS"),
                     const_cast<char*>("WM_DELETE_WINDOW"),    const_cast<char*>("_NET_WM_PING"),
                     const_cast<char*>("WM_CHANGE_STATE"),     const_cast<char*>("WM_STATE"),
                     const_cast<char*>("_NET_WM_WINDOW_TYPE"), const_cast<char*>("_NET_WM_STATE"),
                     const_cast<char*>("_NET_WM_STATE_HIDDEN")};
    Atom atoms[std::size(names)];
    internAtoms(connection, names, (int) std::size(names), False, atoms);
}

WindowManagerAtoms::~WindowManagerAtoms()
{
    if (display != nullptr)
        reinterpret_cast<CloseDisplay>(dlsym(xlib, "XCloseDisplay"))(static_cast<Display*>(display));
    if (xlib != nullptr)
        dlclose(xlib);
}
} // namespace platform
