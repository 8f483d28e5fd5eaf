#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

namespace ui
{
// What a file chooser asks for. Patterns are "*" plus each extension, joined by ";".
struct FileChooserRequest
{
    enum class Mode
    {
        openOne,
        openSeveral,
        save
    };

    Mode mode = Mode::openOne;
    juce::String title;
    juce::StringArray extensions; // with their leading "."
    // Save mode: ask before an existing file is replaced.
    bool warnBeforeOverwriting = true;
    // When set, each chosen file is given this extension (same folder, the name without its extension),
    // and the overwrite question is about that file, the one that will really be written.
    juce::String forcedExtension;
};

juce::String makeFilePattern(const juce::StringArray& extensions);

// A request titled with the localised text of the key; save requests warn before overwriting.
FileChooserRequest makeFileChooserRequest(FileChooserRequest::Mode mode, const juce::String& titleKey,
                                          const juce::StringArray& extensions,
                                          const juce::String& forcedExtension = {});

// Shows the toolkit's own chooser (never a native helper program) and returns the chosen files, none
// when cancelled. Declining the overwrite question goes back to the chooser. The modal-dialog state is
// the caller's.
juce::Array<juce::File> runFileChooser(const FileChooserRequest& request);

// The same with the modal-dialog state set while the chooser runs; the state gets back its earlier value.
juce::Array<juce::File> runFileChooserInModalState(const FileChooserRequest& request);

// Tests answer choosers through a script: it gets the request and returns what the user chose (before
// the forced extension). The overwrite question is then asked through the modal dialog runner, and
// declining it calls the script again. An empty function shows real choosers again.
using FileChooserScript = std::function<juce::Array<juce::File>(const FileChooserRequest&)>;
void setFileChooserScript(FileChooserScript script);
} // namespace ui
