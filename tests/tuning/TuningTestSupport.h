#pragma once

#include <juce_graphics/juce_graphics.h>

#include <cstdlib>

namespace tuningtest
{
// Keeps a picture for people to look at when SONAVIRE_SCREENSHOTS names a folder.
inline void keepScreenshot(const juce::Image& image, const juce::String& name)
{
    const char* folder = std::getenv("SONAVIRE_SCREENSHOTS");
    if (folder == nullptr || *folder == 0)
        return;
    const auto file = juce::File(folder).getChildFile(name);
    file.getParentDirectory().createDirectory();
    if (auto out = file.createOutputStream())
    {
        out->setPosition(0);
        out->truncate();
        juce::PNGImageFormat().writeImageToStream(image, *out);
    }
}
} // namespace tuningtest
