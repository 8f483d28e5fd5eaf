// Every test binary runs with JUCE initialised, so singletons, async updaters and timers work.
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cstdlib>

#include <dlfcn.h>

namespace
{
// A JUCE application ignores X errors, such as the ones an X server without a window manager gives for the
// window-manager hints JUCE sets on a new window; a test binary is no JUCE application, so it does the same here
// instead of letting Xlib end the process.
void ignoreXErrors()
{
    void* x11 = dlopen("libX11.so.6", RTLD_LAZY | RTLD_GLOBAL);
    if (x11 == nullptr)
        return;
    using ErrorHandler = int (*)(void*, void*);
    using SetErrorHandler = ErrorHandler (*)(ErrorHandler);
    if (auto set = reinterpret_cast<SetErrorHandler>(dlsym(x11, "XSetErrorHandler")))
        set([](void*, void*) { return 0; });
}
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The program's texts come from the source tree unless a test run names another folder.
    setenv("SONAVIRE_RESOURCES", SONAVIRE_RESOURCES_DIR, 0);
    ignoreXErrors();
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    const int result = RUN_ALL_TESTS();
    juce::DeletedAtShutdown::deleteAll();
    return result;
}
