#pragma once

#include "midi/MidiCommunicationProcess.h"
#include "midi/MidiCommunicationThread.h"
#include "ui/DefaultLookAndFeel.h"
#include "ui/ProgressBarComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

namespace midi
{
// The window of a transfer: the user ends it only through the dialog's buttons. Its title bar is the window
// manager's, asked for no buttons; a close request that comes all the same is ignored.
class DialogWithNoCloseButton : public juce::DocumentWindow
{
public:
    using juce::DocumentWindow::DocumentWindow;
    ~DialogWithNoCloseButton() override = default;

    void closeButtonPressed() override {}
};

// The modal progress dialog of one transfer. It opens the MIDI ports when it first appears (or tells why it cannot),
// runs the process on its own communication thread, shows progress, status and detail texts, lets the user cancel,
// closes itself on success and waits for OK otherwise.
class MidiCommunicationDialog : public juce::Component,
                                public juce::Button::Listener,
                                public MidiCommunicationProcessObserver,
                                public MidiCommunicationThreadListener,
                                public juce::AsyncUpdater
{
public:
    static constexpr int dialogWidth = 460;
    static constexpr int plainHeight = 150;
    static constexpr int detailHeight = 193;

    explicit MidiCommunicationDialog(MidiCommunicationProcess* process);
    ~MidiCommunicationDialog() override;

    // Runs the process under the dialog in a modal window titled with the process's title; returns 0 when the
    // process succeeded, 1 otherwise (also when the ports could not be opened, or the program quit meanwhile).
    // Message thread.
    static int runModal(MidiCommunicationProcess& process);

    // For a program asked to end: asks the running process to stop, as Cancel does, and closes the dialog as soon
    // as it has, without waiting for OK. False when no dialog runs.
    static bool cancelAndCloseRunning();

    void visibilityChanged() override;
    void resized() override;
    void buttonClicked(juce::Button* button) override;
    void buttonStateChanged(juce::Button*) override {}
    void processStateChanged() override;
    void communicationFinished() override;

    // The dialog's asynchronous update: the ports could not be opened.
    void handleAsyncUpdate() override { showOpenError(); }
    void showOpenError();

    void showOkButton();
    // Ends the modal state of the hosting window: 0 after success, else 1.
    void closeDialog();

    bool isSuccess() const noexcept { return success; }
    MidiCommunicationThread* getThread() const noexcept { return thread.get(); }

private:
    // Opens the port object's ports as the device manager's settings say; true when the thread may start.
    bool openConnection();

    x47390_ui::DefaultLookAndFeel lookAndFeel;
    MidiCommunicationProcess* process;
    std::unique_ptr<MidiCommunicationThread> thread;
    bool success = false;
    bool appeared = false;
    bool closeWhenFinished = false;
    bool running = false; // from the thread's start until its end has been reported
    bool portsFailed = false; // else the instrument was not found

    std::unique_ptr<ui::ProgressBarComponent> progressBar;
    std::unique_ptr<juce::TextButton> okButton;
    std::unique_ptr<juce::TextButton> cancelButton;
    std::unique_ptr<juce::TextEditor> detailBox;
    std::unique_ptr<juce::Label> statusLabel;

    JUCE_DECLARE_NON_COPYABLE(MidiCommunicationDialog)
};
} // namespace midi
