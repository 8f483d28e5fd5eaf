#include "platform/system/SystemFolders.h"

#include "platform/system/SystemLanguage.h"

#include <cstdlib>

namespace platform
{
namespace
{
juce::String environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? juce::String::fromUTF8(value) : juce::String();
}

juce::File homeFolder()
{
    const auto home = environmentValue("HOME");
    if (home.isNotEmpty())
        return juce::File(home);
    return juce::File::getSpecialLocation(juce::File::userHomeDirectory);
}

// A relative value in these variables is invalid (XDG); it is taken from the home folder.
juce::File absoluteFolder(const juce::String& path)
{
    return juce::File::isAbsolutePath(path) ? juce::File(path) : homeFolder().getChildFile(path);
}
} // namespace

juce::File userConfigFolder()
{
    const auto configHome = environmentValue("XDG_CONFIG_HOME");
    if (configHome.isNotEmpty())
        return absoluteFolder(configHome);
    return homeFolder().getChildFile(".config");
}

juce::File applicationPreferencesFolder()
{
    return userConfigFolder().getChildFile("VEXO sonavire Sound Librarian");
}

juce::File resourceFolder()
{
    const auto fromEnvironment = environmentValue("SONAVIRE_RESOURCES");
    if (fromEnvironment.isNotEmpty())
        return juce::File::getCurrentWorkingDirectory().getChildFile(fromEnvironment);

    const auto executableFolder =
        juce::File::getSpecialLocation(juce::File::currentExecutableFile).getParentDirectory();
    const auto besideExecutable = executableFolder.getChildFile("Resources");
    if (besideExecutable.isDirectory())
        return besideExecutable;

    const auto installed = executableFolder.getChildFile("../share/sonavire-sound-librarian");
    if (installed.isDirectory())
        return installed;

    return besideExecutable;
}

juce::File localisedResourceFile(const juce::String& fileName)
{
    const auto folder = resourceFolder();
    const auto language = systemLanguageCode();
    if (language.isNotEmpty())
    {
        const auto variant = folder.getChildFile(language + ".lproj").getChildFile(fileName);
        if (variant.existsAsFile())
            return variant;
    }
    return folder.getChildFile(fileName);
}

juce::File temporaryFolder()
{
    const auto fromEnvironment = environmentValue("TMPDIR");
    if (fromEnvironment.isNotEmpty() && juce::File::isAbsolutePath(fromEnvironment))
        return juce::File(fromEnvironment);
    return juce::File("/tmp");
}
} // namespace platform
