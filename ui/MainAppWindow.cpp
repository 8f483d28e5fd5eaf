#include "ui/MainAppWindow.h"

#include "app/CJQZResource.h"
#include "app/PreferencesData.h"
#include "platform/system/FileNameBytes.h"
#include "ui/MainComponent.h"
#include "ui/TooltipWindowManager.h"

MainAppWindow::MainAppWindow(const juce::String& name)
    : juce::DocumentWindow(name, juce::Colour(0xff111111), juce::DocumentWindow::allButtons, true)
{
    setLookAndFeel(&ownLookAndFeel);
    setContentOwned(new MainComponent(), true);
}

MainAppWindow::~MainAppWindow()
{
    auto* preferences = x47390_preferences::PreferencesData::getInstance();
    preferences->setIntValue("MainWindowPositionX", remembered.getX());
    preferences->setIntValue("MainWindowPositionY", remembered.getY());
    preferences->setIntValue("MainWindowWidth", remembered.getWidth());
    preferences->setIntValue("MainWindowHeight", remembered.getHeight());

    if (auto* fileStatus = application::LastSavedFileStatus::getInstanceWithoutCreating())
        fileStatus->removeListener(this);
    if (auto* editStatus = application::DataEditStatus::getInstanceWithoutCreating())
        editStatus->removeListener(this);

    if (auto* tooltips = x47390_ui::TooltipWindowManager::getInstanceWithoutCreating())
        tooltips->deleteTooltipWindow();

    clearContentComponent();
    setMenuBar(nullptr);
    setLookAndFeel(nullptr);
}

void MainAppWindow::resized()
{
    juce::DocumentWindow::resized();
    remembered = getBounds();
}

void MainAppWindow::moved()
{
    juce::DocumentWindow::moved();
    remembered = getBounds();
}

void MainAppWindow::closeButtonPressed()
{
    if (auto* application = juce::JUCEApplicationBase::getInstance())
        application->systemRequestedQuit();
}

void MainAppWindow::dataEditStatusChanged(const bool&) { updateTitle(); }

void MainAppWindow::lastSavedFileChanged(const juce::File&) { updateTitle(); }

juce::String MainAppWindow::makeTitle(const juce::File& file, bool edited)
{
    auto* resource = CJQZResource::getInstance();
    const auto path = file.getFullPathName();
    const auto filePart = path.isEmpty() ? resource->getString("CommonUntitledFileName")
                                         : platform::displayedFileName(path.fromLastOccurrenceOf("/", false, false));
    auto title = resource->getString("CommonApplicationName") + " - " + filePart;
    if (edited)
        title += resource->getString("CommonWindowTitleModified");
    return title;
}

void MainAppWindow::updateTitle()
{
    setName(makeTitle(application::LastSavedFileStatus::getInstance()->getFile(),
                      application::DataEditStatus::getInstance()->isEdited()));
}

void MainAppWindow::keepPlacedBounds(juce::Rectangle<int> bounds)
{
    positionKeeper.onFrameKnown = [this](juce::BorderSize<int> frame)
    {
        // The toolkit hands the window manager its size limits less the frame, as if they held the frame:
        // a window of fixed width would lose the frame's width.
        if (auto* limits = getConstrainer())
            limits->setSizeLimits(limits->getMinimumWidth() + frame.getLeftAndRight(),
                                  limits->getMinimumHeight() + frame.getTopAndBottom(),
                                  limits->getMaximumWidth() + frame.getLeftAndRight(),
                                  limits->getMaximumHeight() + frame.getTopAndBottom());
    };
    positionKeeper.keep(*this, bounds);
}

void MainAppWindow::focusGained(FocusChangeType)
{
    // The window is handed the keyboard when it becomes active again: it goes on to the page at once, so that
    // a key pressed right after reaches the page and is not lost on the window.
    if (auto* main = dynamic_cast<MainComponent*>(getContentComponent());
        main != nullptr && !isCurrentlyBlockedByAnotherModalComponent())
        main->focusCurrentPage();
}

void MainAppWindow::rememberBounds(juce::Rectangle<int> bounds) { remembered = bounds; }
