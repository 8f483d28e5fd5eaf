#pragma once

#include "data/Singleton.h"

#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include <array>
#include <map>

namespace ui
{
// The application's named text styles: every component asks for the font of a style key
// ("TextButton", "PopupMenu", ...) instead of building one. Message thread only.
//
// A typeface name that is not installed here ("Arial Unicode MS") keeps its name, but the fonts
// made through this library draw with an installed face that stands for it (see makeFont): Liberation
// Sans, whose metrics are those of the face our layouts were drawn for. Characters a face lacks come
// from DejaVu Sans (and for a Japanese user from a Japanese face). Faces are looked up by name through
// fontconfig; no other installed font is opened.
class FontLibrary : public Singleton<FontLibrary>, public juce::DeletedAtShutdown
{
public:
    ~FontLibrary() override;

    juce::String defaultTypefaceName{"Arial Unicode MS"};
    // Returned for keys that are not registered.
    juce::Font defaultFont;
    std::array<float, 6> heightSteps{{12.0f, 14.0f, 16.0f, 18.0f, 20.0f, 22.0f}};
    // Keys compare case-sensitively.
    std::map<juce::String, juce::Font> fonts;

    // The font of the key, or the default font (with a "Font not found" line on standard output).
    const juce::Font& getFont(const juce::String& key);
    // The first registration of a key wins.
    void addFont(const juce::String& key, const juce::Font& font);
    // Changes the registered font in place; copies taken earlier keep their height.
    void setFontHeight(const juce::String& key, int height);

    // A font of the given typeface name that always draws: a name that is not installed gets the
    // glyphs of an installed face (Liberation Sans when present) while the font keeps the name.
    juce::Font makeFont(const juce::String& typefaceName, float height, int styleFlags = juce::Font::plain);

    // The typeface that draws the font: the installed face standing for the font's typeface name.
    // Null for names that are installed or are the library's placeholders (they need no mapping).
    juce::Typeface::Ptr getMappedTypeface(const juce::Font& font);

    // The installed family that draws a typeface name: the name itself when installed.
    juce::String getInstalledTypefaceName(const juce::String& typefaceName);

    // The typeface that draws any font, placeholders and installed names included (the look-and-feel's
    // lookup); null only when no font at all can be read.
    juce::Typeface::Ptr getTypefaceFor(const juce::Font& font);

    // The installed families that draw the characters the main faces lack, in order.
    const juce::StringArray& getFallbackFamilies() const noexcept { return fallbackFamilies; }

private:
    friend class Singleton<FontLibrary>;
    FontLibrary();

    bool isInstalled(const juce::String& typefaceName);
    bool needsMapping(const juce::String& typefaceName);
    juce::Font drawable(const juce::Font& font);

    std::map<juce::String, bool> installed;
    juce::String substituteName;
    juce::StringArray fallbackFamilies;
    std::map<juce::String, juce::Typeface::Ptr> typefaces;
};
} // namespace ui
