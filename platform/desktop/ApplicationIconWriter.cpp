// Writes the program's icon for the desktop's icon theme, at build time: the window icon's own painter,
// drawn afresh at each size so that small icons stay sharp rather than being shrunk from the large one.
#include "ui/ImagePainters.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        std::fprintf(stderr, "usage: %s <theme folder> <icon name> <size>...\n", argv[0]);
        return 2;
    }

    // Fonts and the toolkit's helper threads are set up on first use; this takes them down again at the end.
    const juce::ScopedJuceInitialiser_GUI toolkit;
    const auto theme = juce::File::getCurrentWorkingDirectory().getChildFile(juce::String::fromUTF8(argv[1]));
    const auto fileName = juce::String::fromUTF8(argv[2]) + ".png";
    for (int i = 3; i < argc; ++i)
    {
        const int size = std::atoi(argv[i]);
        if (size <= 0)
        {
            std::fprintf(stderr, "not a size: %s\n", argv[i]);
            return 2;
        }

        juce::Image image(juce::Image::ARGB, size, size, true);
        {
            juce::Graphics g(image);
            ui::painters::paintApplicationIcon(g, size, size);
        }

        const auto sizeName = juce::String(size) + "x" + juce::String(size);
        const auto file = theme.getChildFile(sizeName).getChildFile("apps").getChildFile(fileName);
        juce::MemoryOutputStream png;
        if (!file.getParentDirectory().createDirectory() || !juce::PNGImageFormat().writeImageToStream(image, png)
            || !file.replaceWithData(png.getData(), png.getDataSize()))
        {
            std::fprintf(stderr, "could not write %s\n", file.getFullPathName().toRawUTF8());
            return 1;
        }
    }
    return 0;
}
