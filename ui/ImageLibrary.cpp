#include "ui/ImageLibrary.h"

#include "data/Singleton.h"
#include "ui/ImagePainters.h"

#include <map>
#include <mutex>
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
    // Application shell
    {"AboutPicture", 1200, 800, painters::paintAboutPicture},
    {"ApplicationIcon", 512, 512, painters::paintApplicationIcon},
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
    // Tuning page.
    {"TuningKeyboard", 1090, 698, painters::tuningKeyboard},
    {"TuningKeyTile", 84, 32, painters::tuningKeyTile},
    {"TuningLastKeyTile", 84, 32, painters::tuningLastKeyTile},
    {"TuningKeyGuide0", 84, 32, painters::tuningKeyGuide<0>},
    {"TuningKeyGuide1", 84, 32, painters::tuningKeyGuide<1>},
    {"TuningKeyGuide2", 84, 32, painters::tuningKeyGuide<2>},
    {"TuningKeyGuide3", 84, 32, painters::tuningKeyGuide<3>},
    {"TuningKeyGuide4", 84, 32, painters::tuningKeyGuide<4>},
    {"TuningKeyGuide5", 84, 32, painters::tuningKeyGuide<5>},
    {"TuningKeyGuide6", 84, 32, painters::tuningKeyGuide<6>},
    {"TuningKeyGuide7", 84, 32, painters::tuningKeyGuide<7>},
    {"TuningKeyGuide8", 84, 32, painters::tuningKeyGuide<8>},
    {"TuningKeyGuide9", 84, 32, painters::tuningKeyGuide<9>},
    {"TuningKeyGuide10", 84, 32, painters::tuningKeyGuide<10>},
    {"TuningKeyGuide11", 84, 32, painters::tuningKeyGuide<11>},
    {"TuningLastKeyGuide", 84, 32, painters::tuningLastKeyGuide},
    {"TuningOctaveGuide0", 900, 372, painters::tuningOctaveGuide<0>},
    {"TuningOctaveGuide1", 900, 372, painters::tuningOctaveGuide<1>},
    {"TuningOctaveGuide2", 900, 372, painters::tuningOctaveGuide<2>},
    {"TuningOctaveGuide3", 900, 372, painters::tuningOctaveGuide<3>},
    {"TuningOctaveGuide4", 900, 372, painters::tuningOctaveGuide<4>},
    {"TuningOctaveGuide5", 900, 372, painters::tuningOctaveGuide<5>},
    {"TuningOctaveGuide6", 900, 372, painters::tuningOctaveGuide<6>},
    {"TuningOctaveGuide7", 900, 372, painters::tuningOctaveGuide<7>},
    {"TuningOctaveGuide8", 900, 372, painters::tuningOctaveGuide<8>},
    {"TuningOctaveGuide9", 900, 372, painters::tuningOctaveGuide<9>},
    {"TuningOctaveGuide10", 900, 372, painters::tuningOctaveGuide<10>},
    {"TuningOctaveGuide11", 900, 372, painters::tuningOctaveGuide<11>},
};

// Drawn images by name. The toolkit's image cache would look for unused images every 2 s for as long as it
// holds any, which wakes the idle program; here an image that nobody else holds is let go at the first call
// after 5 s without use. Like the toolkit's cache, it goes at shutdown with the toolkit's other objects.
class DrawnImages : public Singleton<DrawnImages>, public juce::DeletedAtShutdown
{
public:
    juce::Image find(const juce::String& name)
    {
        const std::lock_guard<std::mutex> guard(lock);
        const auto now = juce::Time::getMillisecondCounter();
        for (auto it = images.begin(); it != images.end();)
        {
            if (it->first != name && it->second.image.getReferenceCount() <= 1 && now - it->second.lastUse > keepMs)
                it = images.erase(it);
            else
                ++it;
        }
        const auto found = images.find(name);
        if (found == images.end())
            return {};
        found->second.lastUse = now;
        return found->second.image;
    }

    void add(const juce::String& name, const juce::Image& image)
    {
        const std::lock_guard<std::mutex> guard(lock);
        images[name] = {image, juce::Time::getMillisecondCounter()};
    }

private:
    friend class Singleton<DrawnImages>;
    DrawnImages() = default;

    static constexpr juce::uint32 keepMs = 5000;
    struct Entry
    {
        juce::Image image;
        juce::uint32 lastUse = 0;
    };
    std::mutex lock;
    std::map<juce::String, Entry> images;
};

DrawnImages& drawnImages() { return *DrawnImages::getInstance(); }

const ImageEntry* findEntry(const juce::String& name)
{
    for (const auto& entry : imageTable)
        if (name == entry.name)
            return &entry;
    return nullptr;
}
} // namespace

juce::Image getImage(const juce::String& name)
{
    if (const auto* found = findEntry(name))
    {
        const auto& entry = *found;
        auto image = drawnImages().find(name);
        if (image.isNull())
        {
            image = juce::Image(juce::Image::ARGB, entry.width, entry.height, true);
            {
                juce::Graphics g(image);
                entry.paint(g, entry.width, entry.height);
            }
            drawnImages().add(name, image);
        }
        return image;
    }
    return {};
}

void drawImageShapes(juce::Graphics& g, const juce::String& name, juce::Rectangle<float> area)
{
    const auto* entry = findEntry(name);
    if (entry == nullptr)
        return;
    const juce::Graphics::ScopedSaveState state(g);
    g.addTransform(juce::AffineTransform::scale(area.getWidth() / (float) entry->width,
                                                area.getHeight() / (float) entry->height)
                       .translated(area.getPosition()));
    entry->paint(g, entry->width, entry->height);
}

juce::StringArray getImageNames()
{
    juce::StringArray names;
    for (const auto& entry : imageTable)
        names.add(entry.name);
    return names;
}
} // namespace ui
