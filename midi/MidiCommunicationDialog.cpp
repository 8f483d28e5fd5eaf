#include "midi/MidiCommunicationDialog.h"

#include "app/CJQZResource.h"
#include "midi/MidiDeviceManager.h"
#include "platform/loop/EventLoop.h"
#include "ui/DialogKeyboard.h"
#include "ui/FontLibrary.h"
#include "ui/ModalDialogRunner.h"

#include <cstdio>

namespace midi
{
namespace
{
juce::String localised(const char* key)
{
    return CJQZResource::getInstance()->getString(key);
}

const juce::Colour windowBackground(0xFF333333);

MidiCommunicationDialog* runningDialog = nullptr;
} // namespace

MidiCommunicationDialog::MidiCommunicationDialog(MidiCommunicationProcess* communicationProcess)
    : process(communicationProcess)
{
    auto* fonts = ui::FontLibrary::getInstance();

    statusLabel = std::make_unique<juce::Label>("StatusMessage", juce::String());
    statusLabel->setFont(fonts->getFont("MidiCommunicationDialogStatus"));
    statusLabel->setJustificationType(juce::Justification::centredTop);
    statusLabel->setEditable(false, false, false);
    addAndMakeVisible(*statusLabel);

    detailBox = std::make_unique<juce::TextEditor>("DetailMessage", 0);
    detailBox->setFont(fonts->getFont("MidiCommunicationDialogDetail"));
    detailBox->setReadOnly(true);
    detailBox->setCaretVisible(false);
    detailBox->setMultiLine(true, true);
    detailBox->setPopupMenuEnabled(false);
    addChildComponent(*detailBox);

    cancelButton = std::make_unique<juce::TextButton>("CancelButton");
    cancelButton->setButtonText(localised("CommonCancel"));
    cancelButton->addListener(this);
    cancelButton->setEnabled(true);
    addChildComponent(*cancelButton);
    cancelButton->setVisible(process->isCancellable());

    okButton = std::make_unique<juce::TextButton>("Button");
    okButton->addListener(this);
    okButton->setEnabled(false);
    addChildComponent(*okButton);

    // Once finished, Return and Escape both take the result in; while a transfer runs, Escape cancels it and
    // Return does nothing, so a key meant for elsewhere cannot cut a write short.
    ui::setDefaultButton(*okButton);
    ui::setEscapeButton(*okButton);
    ui::setEscapeButton(*cancelButton);

    progressBar = std::make_unique<ui::ProgressBarComponent>("ProgressBar");
    progressBar->setRange(0.0, 100.0, 1.0);
    progressBar->setTextBoxIsEditable(false);
    progressBar->setSliderStyle(juce::Slider::LinearBar);
    progressBar->setTextValueSuffix("%");
    addAndMakeVisible(*progressBar);

    setName("MidiCommunicationDialog");
    setSize(dialogWidth, plainHeight);
    for (auto* child : getChildren())
        child->setLookAndFeel(&lookAndFeel);

    thread = std::make_unique<MidiCommunicationThread>(process);
    thread->addListener(this);
    process->addListener(this);
}

MidiCommunicationDialog::~MidiCommunicationDialog()
{
    process->removeListener(this);
    cancelPendingUpdate();
    if (thread != nullptr)
    {
        thread->removeListener(this);
        if (thread->isThreadRunning())
        {
            thread->signalThreadShouldExit();
            if (!thread->waitForThreadToExit(2000))
                std::printf("cannot stop MIDI communication thread.\n");
        }
        thread.reset(); // waits until the process has returned
    }
    progressBar.reset();
    okButton.reset();
    cancelButton.reset();
    detailBox.reset();
    statusLabel.reset();
}

int MidiCommunicationDialog::runModal(MidiCommunicationProcess& process)
{
    const auto title = process.getTitle();
    x47390_ui::DefaultLookAndFeel windowLookAndFeel; // outlives the window
    auto dialog = std::make_unique<MidiCommunicationDialog>(&process);

    DialogWithNoCloseButton window(title, windowBackground, 0, true);
    window.setLookAndFeel(&windowLookAndFeel);
    // The window manager draws the title bar, as on every other window of the program; set before the content, so
    // the window is fitted to it with the native frame.
    window.setUsingNativeTitleBar(true);
    // Showing the dialog as content is its first appearance: the ports are opened and the thread starts.
    window.setContentNonOwned(dialog.get(), true);
    window.setResizable(false, false);
    window.centreWithSize(window.getWidth(), window.getHeight());
    // Only the dialog's own buttons end it: the frame is asked for none.
    ui::markAsDialogWindow(window, false);
    ui::DialogKeyboard keyboard(window, *dialog);

    runningDialog = dialog.get();
    const int result = platform::runModalLoop(window);
    runningDialog = nullptr;
    // A loop ended from outside (the program quitting) is no success, whatever the loop gives.
    const bool succeeded = result == 0 && dialog->isSuccess();

    window.clearContentComponent();
    dialog.reset();
    window.setLookAndFeel(nullptr);
    return succeeded ? 0 : 1;
}

bool MidiCommunicationDialog::cancelAndCloseRunning()
{
    auto* dialog = runningDialog;
    if (dialog == nullptr)
        return false;
    dialog->closeWhenFinished = true;
    if (dialog->running)
    {
        dialog->cancelButton->setEnabled(false);
        dialog->thread->signalThreadShouldExit();
    }
    else
    {
        // Not started (the ports did not open) or finished already: nothing left to wait for.
        dialog->closeDialog();
    }
    return true;
}

bool MidiCommunicationDialog::openConnection()
{
    auto* manager = MidiDeviceManager::getInstance();
    auto& port = manager->getMidi();

    // Once open, the ports stay in use for every later transfer. The instrument may have gone and come back
    // meanwhile: ports whose endpoint went are opened again by name, and without them nothing can be sent.
    if (manager->isConnected)
        return port.refreshPorts();

    if (manager->isAutoScan)
    {
        if (!manager->isScanDone)
        {
            // Nothing found yet: search now, and let the user try again once it has ended.
            manager->startDeviceScan();
            return false;
        }
        const auto& scanner = manager->getScanner();
        if (scanner.foundInputIndex == -1 || scanner.foundOutputIndex == -1)
            return false;
        if (!port.openInput(scanner.foundInputIndex))
            return false;
        if (!port.openOutput(scanner.foundOutputIndex))
        {
            port.closeInput();
            return false;
        }
        manager->isConnected = true;
        return true;
    }

    int source = -1;
    for (int i = 0; i < port.getNumSources() && source < 0; ++i)
        if (port.getSourceName(i) == manager->midiInPortName)
            source = i;
    if (source < 0 || !port.openInput(source))
        return false;

    int destination = -1;
    for (int i = 0; i < port.getNumDestinations() && destination < 0; ++i)
        if (port.getDestinationName(i) == manager->midiOutPortName)
            destination = i;
    if (destination < 0 || !port.openOutput(destination))
    {
        port.closeInput();
        return false;
    }
    manager->isConnected = true;
    return true;
}

void MidiCommunicationDialog::visibilityChanged()
{
    if (!isVisible() || appeared)
        return;
    appeared = true;
    if (openConnection())
    {
        running = true;
        thread->startThread();
        return;
    }
    // The reason is taken now: a search this dialog has just started may find the instrument before the error shows,
    // and the user must still read that it was not found. The found flag means something only once a search has
    // ended; while one runs the instrument has not been found.
    auto* manager = MidiDeviceManager::getInstance();
    const auto& scanner = manager->getScanner();
    portsFailed = !manager->isAutoScan || (!scanner.isScanning() && scanner.isFound);
    triggerAsyncUpdate();
}

void MidiCommunicationDialog::showOpenError()
{
    statusLabel->setText(localised(portsFailed ? "ConnectionErrorFailedToOpenPort" : "ConnectionErrorNotFoundsonavire"),
                         juce::dontSendNotification);
    detailBox->setText({}, false);
    okButton->setButtonText(localised("CommonOK"));
    showOkButton();
    setSize(dialogWidth, plainHeight);
    resized();
}

void MidiCommunicationDialog::resized()
{
    const bool hasDetail = process->getDetailMessage().isNotEmpty();
    statusLabel->setBounds(20, 24, 420, 40);
    if (hasDetail)
        detailBox->setBounds(20, 52, 420, 45);
    const int y = hasDetail ? 114 : 64;
    progressBar->setBounds(20, y, 420, 24);
    okButton->setBounds(352, y + 40, 88, 24);
    cancelButton->setBounds(352, y + 40, 88, 24);
}

void MidiCommunicationDialog::buttonClicked(juce::Button* button)
{
    if (button == okButton.get())
    {
        closeDialog();
    }
    else if (button == cancelButton.get())
    {
        cancelButton->setEnabled(false);
        thread->signalThreadShouldExit();
    }
}

void MidiCommunicationDialog::processStateChanged()
{
    progressBar->setValue(process->getProgress() * 100.0, juce::dontSendNotification);
    statusLabel->setText(process->getStatusMessage(), juce::dontSendNotification);
    const auto detail = process->getDetailMessage();
    detailBox->setText(detail, false);
    detailBox->setVisible(detail.isNotEmpty());

    const int wantedHeight = detail.isNotEmpty() ? detailHeight : plainHeight;
    if (getHeight() != wantedHeight)
        setSize(dialogWidth, wantedHeight); // the window follows its content
    else
        resized();
}

void MidiCommunicationDialog::communicationFinished()
{
    running = false;
    success = process->isSuccess(thread->getResult());
    if (success || closeWhenFinished)
    {
        closeDialog();
        return;
    }
    okButton->setButtonText(localised("CommonOK"));
    showOkButton();
}

void MidiCommunicationDialog::showOkButton()
{
    if (!okButton->isVisible())
        okButton->setVisible(true);
    okButton->setEnabled(true);
    cancelButton->setVisible(false);
    if (isShowing())
        okButton->grabKeyboardFocus();
}

void MidiCommunicationDialog::closeDialog()
{
    if (auto* window = findParentComponentOfClass<juce::DocumentWindow>())
        window->exitModalState(success ? 0 : 1);
}
} // namespace midi
