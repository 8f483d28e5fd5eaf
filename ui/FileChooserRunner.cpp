#include "ui/FileChooserRunner.h"

namespace ui
{
namespace
{
FileChooserScript& script()
{
    static FileChooserScript instance;
    return instance;
}
} // namespace

juce::String makeFilePattern(const juce::StringArray& extensions)
{
    juce::StringArray patterns;
    for (const auto& extension : extensions)
        patterns.add("*" + extension);
    return patterns.joinIntoString(";");
}

juce::Array<juce::File> runFileChooser(const FileChooserRequest& request)
{
    if (script())
        return script()(request);

    juce::FileChooser chooser(request.title, juce::File(), makeFilePattern(request.extensions), false);
    switch (request.mode)
    {
        case FileChooserRequest::Mode::openOne:
            if (chooser.browseForFileToOpen())
                return {chooser.getResult()};
            break;
        case FileChooserRequest::Mode::openSeveral:
            if (chooser.browseForMultipleFilesToOpen())
                return chooser.getResults();
            break;
        case FileChooserRequest::Mode::save:
            if (chooser.browseForFileToSave(request.warnBeforeOverwriting))
                return {chooser.getResult()};
            break;
    }
    return {};
}

void setFileChooserScript(FileChooserScript newScript) { script() = std::move(newScript); }
} // namespace ui
