#pragma once

#include "app/PreferencesData.h"
#include "midi/MidiCommunicationDialog.h"
#include "midi/MidiDeviceManager.h"
#include "platform/clipboard/Pasteboard.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/data/EditTestSupport.h"
#include "tools/simulator/FabricInstrument.h"
#include "ui/FontLibrary.h"
#include "ui/ModalDialogRunner.h"
#include "ui/ModalDialogState.h"
#include "ui/SelectedTabStatus.h"
#include "ui/SelectedUserDelFXStatus.h"
#include "ui/SelectedUserModFXStatus.h"
#include "ui/SelectedUserOscStatus.h"
#include "ui/SelectedUserRevFXStatus.h"

#include <functional>

namespace transfercommandtest
{
using simulator::MessageKind;
using Bytes = std::vector<std::uint8_t>;

template <class T>
T* findChild(juce::Component& parent, const juce::String& name)
{
    for (auto* child : parent.getChildren())
        if (child->getName() == name)
            if (auto* found = dynamic_cast<T*>(child))
                return found;
    return nullptr;
}

// Answers the communication dialogs of the transfers a test runs (a transfer that succeeds may close its
// dialog before this sees it): OK once a failure is shown, and
// Cancel when the test's condition holds while the transfer runs.
class CommunicationDialogAnswerer : private juce::Timer
{
public:
    CommunicationDialogAnswerer() { startTimer(5); }
    ~CommunicationDialogAnswerer() override { stopTimer(); }

    std::function<bool()> cancelWhen;
    int failuresAcknowledged = 0;

private:
    void timerCallback() override
    {
        auto* window = dynamic_cast<juce::DocumentWindow*>(
            juce::ModalComponentManager::getInstance()->getModalComponent(0));
        auto* dialog = window != nullptr ? dynamic_cast<midi::MidiCommunicationDialog*>(window->getContentComponent())
                                         : nullptr;
        if (dialog == nullptr)
            return;
        // Each transfer shows a window of its own; the pointer forgets it when it goes.
        if (shown.getComponent() != window)
        {
            shown = window;
            cancelled = false;
            acknowledged = false;
        }
        auto* ok = findChild<juce::TextButton>(*dialog, "Button");
        auto* cancel = findChild<juce::TextButton>(*dialog, "CancelButton");
        if (ok != nullptr && ok->isVisible() && ok->isEnabled())
        {
            if (!acknowledged)
            {
                acknowledged = true;
                ++failuresAcknowledged;
                ok->triggerClick();
            }
        }
        else if (!cancelled && cancelWhen && cancel != nullptr && cancel->isVisible() && cancelWhen())
        {
            cancelled = true;
            cancel->triggerClick();
        }
    }

    juce::Component::SafePointer<juce::Component> shown;
    bool acknowledged = false;
    bool cancelled = false;
};

// How a test answers a write confirmation.
enum class Answer
{
    cancel,
    closeWindow, // the escape key or the window's close button
    ok,
    okAndDoNotAskAgain
};

// Fresh library, history, selections and preferences, with the simulated instrument plugged into a
// virtual MIDI system and the in-process pasteboard, for each test.
class TransferCommandTest : public edittest::EditFixture
{
protected:
    void SetUp() override
    {
        setenv("XDG_CONFIG_HOME", config.get().getFullPathName().toRawUTF8(), 1);
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        resetSelections();
        platform::clipboard::Pasteboard::setDefault(std::make_shared<platform::clipboard::InProcessPasteboard>());

        auto* fonts = ui::FontLibrary::getInstance();
        fonts->addFont("MidiCommunicationDialogStatus", fonts->makeFont("Arial Unicode MS", 18.0f));
        fonts->addFont("MidiCommunicationDialogDetail", fonts->makeFont("Arial Unicode MS", 16.0f));
        for (const auto* key : {"DialogText", "Label", "TextButton"})
            fonts->addFont(key, fonts->makeFont("Arial Unicode MS", 16.0f));

        useMidiBackend(fabric);
        ui::setModalDialogScript(
            [this](juce::Component& content, const juce::String& title)
            {
                dialogTitles.add(title);
                if (dialogScript)
                    return dialogScript(content, title);
                ADD_FAILURE() << "unexpected dialog " << title;
                return 0;
            });
    }

    void TearDown() override
    {
        ui::setModalDialogScript({});
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::clipboard::Pasteboard::setDefault(nullptr);
        delete x47390_preferences::PreferencesData::getInstanceWithoutCreating();
        resetSelections();
        testsupport::drainMessageLoop();
    }

    // A device manager on the backend that opens the instrument's ports by name.
    static void useMidiBackend(std::shared_ptr<platform::midi::MidiBackend> backend)
    {
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::midi::MidiBackend::setDefault(std::move(backend));
        auto* device = midi::MidiDeviceManager::getInstance();
        device->familyCode = 0x0135;
        device->isAutoScan = false;
        device->midiInPortName = device->midiOutPortName = "sonavire - Port 1";
        // Open as after a first transfer, so hand-overs to the background senders reach the instrument.
        ASSERT_TRUE(device->getMidi().openInput(0));
        ASSERT_TRUE(device->getMidi().openOutput(0));
        device->isConnected = true;
    }

    static void resetSelections()
    {
        delete ui::SelectedTabStatus::getInstanceWithoutCreating();
        delete ui::SelectedUserOscStatus::getInstanceWithoutCreating();
        delete ui::SelectedUserModFXStatus::getInstanceWithoutCreating();
        delete ui::SelectedUserDelFXStatus::getInstanceWithoutCreating();
        delete ui::SelectedUserRevFXStatus::getInstanceWithoutCreating();
        delete ui::SelectedProgramStatus::getInstanceWithoutCreating();
    }

    static x47390_preferences::PreferencesData& preferences()
    {
        return *x47390_preferences::PreferencesData::getInstance();
    }

    // Answers every write confirmation as given and counts them.
    void answerWarnings(Answer answer)
    {
        dialogScript = [this, answer](juce::Component& content, const juce::String&)
        {
            ++warningsShown;
            auto* ok = findChild<juce::TextButton>(content, "OkButton");
            auto* cancel = findChild<juce::TextButton>(content, "CancelButton");
            auto* toggle = findChild<juce::ToggleButton>(content, "DontWarning");
            auto* listener = dynamic_cast<juce::Button::Listener*>(&content);
            if (ok == nullptr || cancel == nullptr || toggle == nullptr || listener == nullptr)
            {
                ADD_FAILURE() << "not a write confirmation";
                return 0;
            }
            switch (answer)
            {
            case Answer::cancel:
                listener->buttonClicked(cancel);
                return 0;
            case Answer::closeWindow:
                return 0;
            case Answer::ok:
                listener->buttonClicked(ok);
                return 1;
            case Answer::okAndDoNotAskAgain:
                toggle->setToggleState(true, juce::sendNotificationSync);
                listener->buttonClicked(ok);
                return 1;
            }
            return 0;
        };
    }

    testsupport::TemporaryFolder config;
    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric = platform::midi::VirtualMidiFabric::create();
    simulator::SimulatedInstrument instrument;
    simulator::FabricInstrument attached{fabric, instrument};
    std::function<int(juce::Component&, const juce::String&)> dialogScript;
    juce::StringArray dialogTitles;
    int warningsShown = 0;
};

inline Bytes bytesOf(const x47390_data::ProgramBinary& binary) { return Bytes(binary.begin(), binary.end()); }

template <class Notes>
Bytes notesOf(const Notes& notes)
{
    return Bytes(notes.begin(), notes.end());
}
} // namespace transfercommandtest
