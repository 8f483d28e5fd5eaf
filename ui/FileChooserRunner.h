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
    bool warnBeforeOverwriting = true;
};

juce::String makeFilePattern(const juce::StringArray& extensions);

// Shows the toolkit's own chooser (never a native helper program) and returns the chosen files, none
// when cancelled. The modal-dialog state is the caller's.
juce::Array<juce::File> runFileChooser(const FileChooserRequest& request);

// Tests answer choosers through a script; an empty function shows real choosers again.
using FileChooserScript = std::function<juce::Array<juce::File>(const FileChooserRequest&)>;
void setFileChooserScript(FileChooserScript script);
} // namespace ui
