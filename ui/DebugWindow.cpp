#include "ui/DebugWindow.h"

namespace x47390_debug
{
DebugWindow::DebugWindow()
    : juce::DocumentWindow("Debug Window", juce::Colour(0xffffffff), juce::DocumentWindow::closeButton, true)
{
    setContentOwned(new DebugMainComponent(), true);
    setUsingNativeTitleBar(false);
    setVisible(true);
    setResizable(true, false);
}

void DebugWindow::closeButtonPressed() { DebugWindowManager::getInstance()->closeDebugWindow(); }

DebugWindowManager::~DebugWindowManager()
{
    cancelPendingUpdate();
    window.reset();
}

void DebugWindowManager::openDebugWindow()
{
    if (window == nullptr)
        window = std::make_unique<DebugWindow>();
}
} // namespace x47390_debug
