#include "ui/ImageLibrary.h"

#include "ui/ImagePainters.h"

#include <vector>

namespace ui
{
namespace
{
struct ImageEntry
{
    const char* name;
    int width;
    int height;
    void (*paint)(juce::Graphics&, int width, int height);
};

// One row per image: name, pixel size, painter.
const std::vector<ImageEntry> imageTable{
    // Shared widgets
    {"ButtonDark", 160, 48, painters::paintButtonDark},
    {"ButtonLit", 160, 48, painters::paintButtonLit},
    // Header
    {"HeaderLogo", 348, 100, painters::paintHeaderLogo},
    {"HeaderDisplayFrame", 524, 104, painters::paintHeaderDisplayFrame},
    {"HeaderUserUnitCaption", 140, 20, painters::paintHeaderUserUnitCaption},
    {"HeaderProgramCaption", 120, 20, painters::paintHeaderProgramCaption},
    // Live-set favourites
    {"FavoriteNormal", 168, 80, painters::paintFavoriteNormal},
    {"FavoriteHighlight", 168, 80, painters::paintFavoriteHighlight},
};

juce::int64 cacheKey(const juce::String& name) { return juce::String("sonavire-image:" + name).hashCode64(); }
} // namespace

juce::Image getImage(const juce::String& name)
{
    for (const auto& entry : imageTable)
    {
        if (name != entry.name)
            continue;
        const auto key = cacheKey(name);
        auto image = juce::ImageCache::getFromHashCode(key);
        if (image.isNull())
        {
            image = juce::Image(juce::Image::ARGB, entry.width, entry.height, true);
            juce::Graphics g(image);
            entry.paint(g, entry.width, entry.height);
            juce::ImageCache::addImageToCache(image, key);
        }
        return image;
    }
    return {};
}

juce::StringArray getImageNames()
{
    juce::StringArray names;
    for (const auto& entry : imageTable)
        names.add(entry.name);
    return names;
}
} // namespace ui
