#include "midi/MidiCommunicationDialog.h"
#include "app/CJQZResource.h"
#include "midi/MidiDeviceManager.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/midi/TransferTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/simulator/FabricInstrument.h"
#include "ui/FontLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#undef KeyPress // Xlib's event name, not the toolkit's class

using midi::MidiCommunicationDialog;
using platform::midi::VirtualMidiFabric;

namespace
{
juce::String text(const char* key)
{
    return CJQZResource::getInstance()->getString(key);
}

// A process whose run the test scripts.
struct ScriptedProcess : midi::MidiCommunicationProcess
{
    int execute() override
    {
        ++executions;
        return body ? body(*this) : 0;
    }
    bool isSuccess(int result) override { return result == 0; }
    juce::String getTitle() override { return "Test Transfer"; }
    bool isCancellable() override { return cancellable; }

    // Reports a failure the way the transfer processes do.
    int fail(int code)
    {
        setStatusMessage(getCommunicationErrorMessage(code));
        if (code != 1)
            setDetailMessage(getCommunicationErrorDetail(code));
        return code;
    }

    // Waits for the user's cancel (the thread's exit request) without polling.
    bool waitForCancel(int timeoutMs)
    {
        struct ExitGate : juce::Thread::Listener
        {
            juce::WaitableEvent signalled;
            void exitSignalSent() override { signalled.signal(); }
        } gate;
        communicationThread->addListener(&gate);
        const bool cancelled = isCancelRequested() || gate.signalled.wait(timeoutMs);
        communicationThread->removeListener(&gate);
        return cancelled;
    }

    std::function<int(ScriptedProcess&)> body;
    bool cancellable = true;
    std::atomic<int> executions{0};
    juce::WaitableEvent gate;
};

template <class T>
T* child(juce::Component& parent, const juce::String& name)
{
    for (auto* c : parent.getChildren())
        if (c->getName() == name)
            return dynamic_cast<T*>(c);
    return nullptr;
}

midi::DialogWithNoCloseButton* modalWindow()
{
    return dynamic_cast<midi::DialogWithNoCloseButton*>(
        juce::ModalComponentManager::getInstance()->getModalComponent(0));
}

// Steps run one after the other from a timer inside the modal loop; each returns true when it is done. A script that
// stalls ends the modal loop with 99 so that a broken dialog fails the test instead of hanging it.
class ModalScript : private juce::Timer
{
public:
    using Step = std::function<bool(MidiCommunicationDialog&)>;

    explicit ModalScript(std::vector<Step> scriptSteps, int timeoutMs = 10000)
        : steps(std::move(scriptSteps)), deadline(juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs)
    {
        startTimer(5);
    }
    ~ModalScript() override { stopTimer(); }

    bool finished() const { return next == steps.size(); }

private:
    void timerCallback() override
    {
        auto* window = modalWindow();
        if (juce::Time::getMillisecondCounter() > deadline)
        {
            ADD_FAILURE() << "script stalled at step " << next;
            stopTimer();
            if (window != nullptr)
                window->exitModalState(99);
            return;
        }
        if (window == nullptr || next == steps.size())
            return;
        if (auto* dialog = dynamic_cast<MidiCommunicationDialog*>(window->getContentComponent()))
            if (steps[next](*dialog))
                ++next;
    }

    std::vector<Step> steps;
    size_t next = 0;
    juce::uint32 deadline;
};

bool okShown(MidiCommunicationDialog& dialog)
{
    auto* ok = child<juce::TextButton>(dialog, "Button");
    return ok->isVisible() && ok->isEnabled();
}

ModalScript::Step clickOk()
{
    return [](MidiCommunicationDialog& dialog)
    {
        if (!okShown(dialog))
            return false;
        child<juce::TextButton>(dialog, "Button")->triggerClick();
        return true;
    };
}

juce::String statusText(MidiCommunicationDialog& dialog)
{
    return child<juce::Label>(dialog, "StatusMessage")->getText();
}

// The instrument's ports on a virtual fabric behind another device, and a device manager set to the named ports.
struct CommunicationDialogTest : ::testing::Test
{
    void SetUp() override
    {
        platform::midi::MidiBackend::setDefault(fabric);
        instrument.clearLog();
        other = fabric->addDevice("Keys", {"Out"}, {"In"});
        attached = std::make_unique<simulator::FabricInstrument>(fabric, instrument);
        manager = midi::MidiDeviceManager::getInstance();
        manager->familyCode = 0x0135;
        manager->isAutoScan = false;
        manager->midiInPortName = "sonavire - Port 1";
        manager->midiOutPortName = "sonavire - Port 1";
        auto* fonts = ui::FontLibrary::getInstance();
        fonts->addFont("MidiCommunicationDialogStatus", fonts->makeFont("Arial Unicode MS", 15.0f, juce::Font::bold));
        fonts->addFont("MidiCommunicationDialogDetail", fonts->makeFont("Arial Unicode MS", 12.0f));
    }

    void TearDown() override
    {
        testsupport::runMessageLoopUntil([this] { return !manager->getScanner().isScanning(); });
        testsupport::drainMessageLoop();
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        attached.reset();
        fabric->removeDevice(other);
        platform::midi::MidiBackend::setDefault(nullptr);
        midi::midiDeviceScanInProgress = false;
    }

    int run(ScriptedProcess& process, std::vector<ModalScript::Step> steps)
    {
        ModalScript script(std::move(steps));
        const int result = MidiCommunicationDialog::runModal(process);
        EXPECT_TRUE(script.finished());
        EXPECT_EQ(modalWindow(), nullptr);
        return result;
    }

    std::shared_ptr<VirtualMidiFabric> fabric = VirtualMidiFabric::create();
    std::shared_ptr<VirtualMidiFabric::Device> other;
    simulator::SimulatedInstrument instrument;
    std::unique_ptr<simulator::FabricInstrument> attached;
    midi::MidiDeviceManager* manager = nullptr;
    ScriptedProcess process;
};
} // namespace

TEST_F(CommunicationDialogTest, ShowsProgressAndClosesItselfOnSuccess)
{
    process.body = [](ScriptedProcess& p)
    {
        p.setStatusMessage("Receiving programs");
        p.setProgress(0.5f);
        p.gate.wait(5000);
        p.setProgress(1.0f);
        return 0;
    };
    const int result = run(process, {[this](MidiCommunicationDialog& dialog)
                                     {
                                         auto* bar = child<juce::Slider>(dialog, "ProgressBar");
                                         if (bar->getValue() != 50.0)
                                             return false;
                                         EXPECT_EQ(statusText(dialog), "Receiving programs");
                                         EXPECT_EQ(bar->getTextFromValue(bar->getValue()), "50%");
                                         EXPECT_EQ(bar->getBounds(), juce::Rectangle<int>(20, 64, 420, 24));
                                         EXPECT_TRUE(child<juce::TextButton>(dialog, "CancelButton")->isVisible());
                                         EXPECT_EQ(child<juce::TextButton>(dialog, "CancelButton")->getButtonText(),
                                                   text("CommonCancel"));
                                         EXPECT_FALSE(child<juce::TextButton>(dialog, "Button")->isVisible());
                                         EXPECT_FALSE(child<juce::TextEditor>(dialog, "DetailMessage")->isVisible());
                                         EXPECT_EQ(dialog.getBounds().getHeight(), 150);
                                         EXPECT_EQ(modalWindow()->getName(), "Test Transfer");
                                         EXPECT_FALSE(modalWindow()->isResizable());
                                         EXPECT_TRUE(modalWindow()->isUsingNativeTitleBar());
                                         EXPECT_EQ(modalWindow()->getContentComponent()->getWidth(), 460);
                                         process.gate.signal();
                                         return true;
                                     }});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(process.executions, 1);
    EXPECT_TRUE(manager->isConnected);
}

TEST_F(CommunicationDialogTest, DetailTextGrowsAndShrinksTheDialog)
{
    process.body = [](ScriptedProcess& p)
    {
        p.setDetailMessage("Program 12 of 500");
        p.gate.wait(5000);
        p.setDetailMessage({});
        p.gate.wait(5000);
        return 0;
    };
    const int result = run(process, {[this](MidiCommunicationDialog& dialog)
                                     {
                                         if (dialog.getHeight() != 193)
                                             return false;
                                         auto* detail = child<juce::TextEditor>(dialog, "DetailMessage");
                                         EXPECT_TRUE(detail->isVisible());
                                         EXPECT_EQ(detail->getText(), "Program 12 of 500");
                                         EXPECT_EQ(detail->getBounds(), juce::Rectangle<int>(20, 52, 420, 45));
                                         EXPECT_EQ(child<juce::Slider>(dialog, "ProgressBar")->getY(), 114);
                                         EXPECT_EQ(child<juce::Button>(dialog, "CancelButton")->getY(), 154);
                                         EXPECT_EQ(modalWindow()->getContentComponent()->getHeight(), 193);
                                         process.gate.signal();
                                         return true;
                                     },
                                     [this](MidiCommunicationDialog& dialog)
                                     {
                                         if (dialog.getHeight() != 150)
                                             return false;
                                         EXPECT_FALSE(child<juce::TextEditor>(dialog, "DetailMessage")->isVisible());
                                         EXPECT_EQ(child<juce::Slider>(dialog, "ProgressBar")->getY(), 64);
                                         process.gate.signal();
                                         return true;
                                     }});
    EXPECT_EQ(result, 0);
}

TEST_F(CommunicationDialogTest, CancelEndsTheProcessAndWaitsForOk)
{
    process.body = [](ScriptedProcess& p)
    {
        p.waitForCancel(-1);
        return p.fail(1);
    };
    const int result =
        run(process, {[](MidiCommunicationDialog& dialog)
                      {
                          child<juce::TextButton>(dialog, "CancelButton")->triggerClick();
                          return true;
                      },
                      [](MidiCommunicationDialog& dialog)
                      {
                          if (!okShown(dialog))
                              return false;
                          EXPECT_FALSE(child<juce::Button>(dialog, "CancelButton")->isVisible());
                          EXPECT_EQ(statusText(dialog), text("MidiCommunicationCanceled"));
                          EXPECT_EQ(child<juce::Button>(dialog, "Button")->getButtonText(), text("CommonOK"));
                          EXPECT_FALSE(dialog.isSuccess());
                          return true;
                      },
                      clickOk()});
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(text("MidiCommunicationCanceled").isEmpty());
}

TEST_F(CommunicationDialogTest, FailuresShowTheirTextsBehindOk)
{
    for (int code : {3, 4, 5, 6, 8, 9})
    {
        SCOPED_TRACE(code);
        ScriptedProcess failing;
        failing.cancellable = false;
        failing.body = [code](ScriptedProcess& p) { return p.fail(code); };
        bool sawCancel = false;
        const int result = run(failing, {[&](MidiCommunicationDialog& dialog)
                                         {
                                             sawCancel |= child<juce::Button>(dialog, "CancelButton")->isVisible();
                                             if (!okShown(dialog))
                                                 return false;
                                             EXPECT_EQ(statusText(dialog), getCommunicationErrorMessage(code));
                                             EXPECT_EQ(child<juce::TextEditor>(dialog, "DetailMessage")->getText(),
                                                       getCommunicationErrorDetail(code));
                                             EXPECT_EQ(dialog.getHeight(), 193);
                                             return true;
                                         },
                                         clickOk()});
        EXPECT_EQ(result, 1);
        EXPECT_FALSE(sawCancel);
        EXPECT_FALSE(getCommunicationErrorMessage(code).isEmpty());
        EXPECT_FALSE(getCommunicationErrorDetail(code).isEmpty());
    }
}

TEST_F(CommunicationDialogTest, PortOpeningDecisions)
{
    enum class Setup
    {
        connected,
        scanFound,
        scanFoundBadOutput,
        scanNotFound,
        noScanYet,
        scanUnderWay,
        namedPorts,
        namedInputMissing,
        namedOutputMissing,
    };
    struct Case
    {
        const char* name;
        Setup setup;
        bool runs;              // the ports open and the process runs
        const char* messageKey; // else the error shown
        bool scanStarted;
    };
    const Case cases[] = {
        {"connected", Setup::connected, true, nullptr, false},
        {"auto-scan found", Setup::scanFound, true, nullptr, false},
        {"auto-scan found, output fails", Setup::scanFoundBadOutput, false, "ConnectionErrorFailedToOpenPort", false},
        {"auto-scan not found", Setup::scanNotFound, false, "ConnectionErrorNotFoundsonavire", false},
        {"no search yet", Setup::noScanYet, false, "ConnectionErrorNotFoundsonavire", true},
        // The search under way will find the instrument; the transfer started before it ended.
        {"search under way", Setup::scanUnderWay, false, "ConnectionErrorNotFoundsonavire", true},
        {"named ports", Setup::namedPorts, true, nullptr, false},
        {"named input missing", Setup::namedInputMissing, false, "ConnectionErrorFailedToOpenPort", false},
        {"named output missing", Setup::namedOutputMissing, false, "ConnectionErrorFailedToOpenPort", false},
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        auto& scanner = manager->getScanner();
        switch (c.setup)
        {
        case Setup::connected:
            // Ports opened by an earlier transfer stay in use, whatever the settings say now.
            ASSERT_TRUE(manager->getMidi().openInput(1));
            ASSERT_TRUE(manager->getMidi().openOutput(1));
            manager->isConnected = true;
            manager->midiInPortName = "nothing";
            break;
        case Setup::scanFound:
        case Setup::scanFoundBadOutput:
        case Setup::scanNotFound:
            manager->isAutoScan = true;
            manager->isScanDone = true;
            scanner.isFound = c.setup != Setup::scanNotFound;
            scanner.foundInputIndex = c.setup == Setup::scanNotFound ? -1 : 1;
            scanner.foundOutputIndex = c.setup == Setup::scanNotFound ? -1 : c.setup == Setup::scanFound ? 1 : 7;
            break;
        case Setup::noScanYet:
            manager->isAutoScan = true;
            break;
        case Setup::scanUnderWay:
            manager->isAutoScan = true;
            ASSERT_TRUE(manager->startDeviceScan()); // the dialog starts no second one
            break;
        case Setup::namedPorts:
            break;
        case Setup::namedInputMissing:
            manager->midiInPortName = "sonavire - Port 2";
            break;
        case Setup::namedOutputMissing:
            manager->midiOutPortName = "Keys - Out";
            break;
        }

        ScriptedProcess probe;
        juce::String shown;
        std::vector<ModalScript::Step> steps;
        if (!c.runs)
            steps = {[&](MidiCommunicationDialog& dialog)
                     {
                         if (!okShown(dialog))
                             return false;
                         shown = statusText(dialog);
                         EXPECT_FALSE(child<juce::Button>(dialog, "CancelButton")->isVisible());
                         EXPECT_EQ(dialog.getHeight(), 150);
                         return true;
                     },
                     clickOk()};
        const int result = run(probe, steps);

        EXPECT_EQ(result, c.runs ? 0 : 1);
        EXPECT_EQ(probe.executions, c.runs ? 1 : 0);
        EXPECT_EQ(manager->isConnected, c.runs);
        EXPECT_EQ(manager->getMidi().isInputOpen(), c.runs);
        EXPECT_EQ(manager->getMidi().isOutputOpen(), c.runs);
        if (c.runs)
        {
            // The instrument's own ports (source and destination 1), not the other device's.
            EXPECT_EQ(fabric->getNumOpenInputs(), 1);
            EXPECT_EQ(fabric->getNumOpenOutputs(), 1);
        }
        else
        {
            EXPECT_EQ(shown, text(c.messageKey));
            EXPECT_FALSE(shown.isEmpty());
        }
        ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return !scanner.isScanning(); }));
        EXPECT_EQ(instrument.getCount(simulator::MessageKind::searchRequest), c.scanStarted ? 1 : 0);
    }
}

TEST_F(CommunicationDialogTest, ATransferAfterTheSearchFoundTheInstrumentOpensTheFoundPorts)
{
    manager->isAutoScan = true;
    ScriptedProcess first;
    EXPECT_EQ(run(first, {clickOk()}), 1); // starts the search
    ASSERT_TRUE(testsupport::runMessageLoopUntil([this] { return manager->isScanDone; }));
    ASSERT_TRUE(manager->getScanner().isFound);

    EXPECT_EQ(run(process, {}), 0);
    EXPECT_EQ(first.executions, 0);
    EXPECT_EQ(process.executions, 1);
    EXPECT_TRUE(manager->getMidi().isInputOpen());
}

TEST_F(CommunicationDialogTest, ShowingTheDialogAgainStartsNothing)
{
    MidiCommunicationDialog dialog(&process);
    dialog.setVisible(true);
    ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return !dialog.getThread()->isThreadRunning(); }));
    dialog.setVisible(false);
    dialog.setVisible(true);
    testsupport::drainMessageLoop();
    EXPECT_EQ(process.executions, 1);
}

TEST_F(CommunicationDialogTest, DestroyingTheDialogStopsARunningProcess)
{
    std::atomic<bool> sawCancel{false};
    process.body = [&](ScriptedProcess& p)
    {
        sawCancel = p.waitForCancel(60000);
        return 1;
    };
    {
        MidiCommunicationDialog dialog(&process);
        dialog.setVisible(true);
        ASSERT_TRUE(testsupport::runMessageLoopUntil([&] { return process.executions == 1; }));
    }
    EXPECT_TRUE(sawCancel);
}

TEST_F(CommunicationDialogTest, SnapshotShowsTheTexts)
{
    testsupport::TemporaryFolder folder;
    juce::File png;
    process.cancellable = false;
    process.body = [](ScriptedProcess& p)
    {
        p.setProgress(0.42f);
        return p.fail(3);
    };
    int statusInk = 0, buttonInk = 0;
    run(process, {[&](MidiCommunicationDialog& dialog)
                  {
                      if (!okShown(dialog))
                          return false;
                      auto* window = modalWindow();
                      const auto image = window->createComponentSnapshot(window->getLocalBounds());
                      png = folder.file("communication-dialog.png");
                      juce::FileOutputStream out(png);
                      EXPECT_TRUE(juce::PNGImageFormat().writeImageToStream(image, out));
                      out.flush();
                      if (const char* keep = std::getenv("SONAVIRE_KEEP_SNAPSHOTS"))
                          png.copyFileTo(juce::File(keep).getChildFile(png.getFileName()));

                      // Text drawn in light ink on the dark grey: count bright pixels inside the label and the button.
                      const auto origin = dialog.getPosition();
                      auto countInk = [&](juce::Rectangle<int> area)
                      {
                          int count = 0;
                          area += origin;
                          for (int y = area.getY(); y < area.getBottom(); ++y)
                              for (int x = area.getX(); x < area.getRight(); ++x)
                                  if (image.getPixelAt(x, y).getBrightness() > 0.6f)
                                      ++count;
                          return count;
                      };
                      statusInk = countInk(child<juce::Label>(dialog, "StatusMessage")->getBounds().withHeight(26));
                      buttonInk = countInk(child<juce::Button>(dialog, "Button")->getBounds().reduced(4));
                      EXPECT_EQ(image.getPixelAt(5, image.getHeight() - 5).getARGB(), 0xFF333333u);
                      return true;
                  },
                  clickOk()});
    EXPECT_TRUE(png.existsAsFile());
    EXPECT_GT(statusInk, 40);
    EXPECT_GT(buttonInk, 10);
}

namespace
{
// Hands a key to the dialog's window as the window system does.
bool press(const juce::KeyPress& key)
{
    auto* window = modalWindow();
    return window != nullptr && window->getPeer() != nullptr && window->getPeer()->handleKeyPress(key);
}

const juce::KeyPress returnKey(juce::KeyPress::returnKey);
const juce::KeyPress escapeKey(juce::KeyPress::escapeKey);

// A property of the dialog's window as the window manager reads it, in 32-bit items.
std::vector<unsigned long> windowProperty(const char* name)
{
    std::vector<unsigned long> items;
    auto* window = modalWindow();
    auto* display = XOpenDisplay(nullptr);
    if (window == nullptr || display == nullptr)
        return items;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, (Window) window->getWindowHandle(), XInternAtom(display, name, False), 0, 16,
                           False, AnyPropertyType, &type, &format, &count, &remaining, &data)
            == Success
        && data != nullptr)
    {
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        items.assign(values, values + count);
        XFree(data);
    }
    XCloseDisplay(display);
    return items;
}
} // namespace

// While a transfer runs Return does nothing and Escape cancels; once it has finished Return or Escape takes the
// result in with OK.
TEST_F(CommunicationDialogTest, KeysCancelAndCloseAsTheButtonsDo)
{
    process.body = [](ScriptedProcess& p)
    {
        p.setStatusMessage("Writing");
        p.waitForCancel(-1);
        return p.fail(1);
    };
    const int result = run(process, {[this](MidiCommunicationDialog& dialog)
                                     {
                                         if (statusText(dialog) != "Writing")
                                             return false;
                                         EXPECT_FALSE(press(returnKey)) << "Return cannot cut a transfer short";
                                         EXPECT_FALSE(process.isCancelRequested());
                                         EXPECT_TRUE(press(escapeKey));
                                         return true;
                                     },
                                     [](MidiCommunicationDialog& dialog)
                                     {
                                         if (!okShown(dialog))
                                             return false;
                                         EXPECT_TRUE(press(returnKey));
                                         return true;
                                     }});
    EXPECT_EQ(result, 1);

    ScriptedProcess failing;
    failing.cancellable = false;
    failing.body = [](ScriptedProcess& p) { return p.fail(3); };
    EXPECT_EQ(run(failing, {[](MidiCommunicationDialog& dialog)
                            {
                                if (!okShown(dialog))
                                    return false;
                                EXPECT_TRUE(press(escapeKey));
                                return true;
                            }}),
              1);
}

// The frame is asked for no close button (functions: move only), as a dialog of the window it opened over.
TEST_F(CommunicationDialogTest, TheWindowAsksForNoCloseButton)
{
    juce::DocumentWindow owner("Owner", juce::Colours::black, 0, true);
    owner.setSize(200, 100);
    owner.setVisible(true);
    process.body = [](ScriptedProcess& p)
    {
        p.gate.wait(10000);
        return 0;
    };
    run(process, {[&](MidiCommunicationDialog&)
                  {
                      const auto motif = windowProperty("_MOTIF_WM_HINTS");
                      EXPECT_EQ(motif.size(), 5u);
                      if (motif.size() == 5)
                      {
                          EXPECT_EQ(motif[0] & 1, 1u) << "functions given";
                          EXPECT_EQ(motif[1], 4u) << "move only, no close";
                      }
                      const auto transientFor = windowProperty("WM_TRANSIENT_FOR");
                      EXPECT_EQ(transientFor, std::vector<unsigned long>{(unsigned long) owner.getWindowHandle()});
                      EXPECT_EQ(windowProperty("_NET_WM_WINDOW_TYPE").size(), 1u);
                      process.gate.signal();
                      return true;
                  }});
}

// A program asked to end cancels the transfer and does not wait for OK; the run counts as failed.
TEST_F(CommunicationDialogTest, CancellingForShutdownClosesWithoutOk)
{
    std::atomic<bool> sawCancel{false};
    process.body = [&](ScriptedProcess& p)
    {
        p.setStatusMessage("Writing");
        sawCancel = p.waitForCancel(60000);
        return p.fail(1);
    };
    EXPECT_FALSE(MidiCommunicationDialog::cancelAndCloseRunning()) << "nothing runs yet";
    const int result = run(process, {[](MidiCommunicationDialog& dialog)
                                     {
                                         if (statusText(dialog) != "Writing")
                                             return false;
                                         EXPECT_TRUE(MidiCommunicationDialog::cancelAndCloseRunning());
                                         return true;
                                     }});
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(sawCancel);
    EXPECT_FALSE(MidiCommunicationDialog::cancelAndCloseRunning());
}
