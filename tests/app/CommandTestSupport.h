#pragma once

#include "data/LibraryData.h"
#include "platform/midi/VirtualMidiFabric.h"
#include "tests/support/TestSupport.h"
#include "ui/FileChooserRunner.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace commandtest
{
// A chooser or dialog as the program asked for it, with whether the modal-dialog state was set meanwhile.
struct ChooserCall
{
    ui::FileChooserRequest request;
    bool modalStateSet = false;
};

struct DialogCall
{
    juce::String title;
    juce::String message; // the text of an alert box
    bool modalStateSet = false;
};

// Every test gets its own preferences folder, a MIDI fabric, an initial unedited library without a file or
// undo history, program 0 selected on the program tab, and scripted choosers and dialogs: answers are taken
// in order; a chooser without a queued answer is cancelled and a dialog without one is closed (result 0).
class CommandTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    void choose(const juce::File& file) { chooserAnswers.push_back({file}); }
    void chooseSeveral(const juce::Array<juce::File>& files) { chooserAnswers.push_back(files); }
    void cancelChooser() { chooserAnswers.push_back({}); }
    void answerDialog(int result);
    void answerDialog(std::function<int(juce::Component&)> answer) { dialogAnswers.push_back(std::move(answer)); }

    // The alert texts shown so far.
    juce::StringArray alertMessages() const;

    juce::File file(const juce::String& name) const { return temp.file(name); }

    static x47390_data::LibraryData& library();
    // Renames program 0 through the undo manager: the library is edited and has something to undo.
    static void editLibrary(const juce::String& programName = "Edited");
    static bool isEdited();
    static juce::File currentFile();
    static bool canUndo();
    static void selectPrograms(const std::vector<int>& rows);
    // Writes a library whose program 0 has the name.
    juce::File writeLibraryFile(const juce::String& fileName, const juce::String& programName) const;

    std::vector<ChooserCall> choosers;
    std::vector<DialogCall> dialogs;
    std::deque<juce::Array<juce::File>> chooserAnswers;
    std::deque<std::function<int(juce::Component&)>> dialogAnswers;
    int quitRequests = 0;

    testsupport::TemporaryFolder temp;
    std::shared_ptr<platform::midi::VirtualMidiFabric> fabric = platform::midi::VirtualMidiFabric::create();
};

// The texts the error dialog shows for a code.
juce::String readErrorText(int code);
juce::String writeErrorText(int code);

// A program's name as stored (12 characters, padded) for comparisons.
juce::String storedName(const juce::String& name);

// Collects what JUCE reports on standard error (its assertion messages among it) while it lives.
class StandardErrorCapture
{
public:
    StandardErrorCapture();
    ~StandardErrorCapture();
    juce::String text();

private:
    testsupport::TemporaryFolder folder;
    int savedDescriptor = -1;
};
} // namespace commandtest
