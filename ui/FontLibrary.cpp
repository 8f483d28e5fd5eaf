#include "ui/FontLibrary.h"

#include "platform/fonts/FontFileTypeface.h"
#include "platform/system/SystemLanguage.h"

#include <cstdio>

namespace ui
{
namespace
{
// Installed faces that stand for a requested face missing here, in order of preference: the first has
// the metrics of the face our layouts were drawn for.
const char* const substituteFamilies[] = {"Liberation Sans", "Arimo", "DejaVu Sans", "Noto Sans", "FreeSans"};

// The face that draws the characters the main face lacks.
const char* const fallbackFamily = "DejaVu Sans";

// Faces that hold Japanese glyphs; for a Japanese user the first one installed draws the characters the
// other faces lack.
const char* const japaneseFamilies[] = {"Noto Sans CJK JP", "Noto Sans JP",        "Source Han Sans JP",
                                        "IPAexGothic",      "IPAGothic",           "TakaoGothic",
                                        "VL Gothic",        "Droid Sans Fallback", "WenQuanYi Zen Hei"};

bool isPlaceholder(const juce::String& name)
{
    return name == juce::Font::getDefaultSansSerifFontName() || name == juce::Font::getDefaultSerifFontName() ||
           name == juce::Font::getDefaultMonospacedFontName();
}

constexpr int styleMask = juce::Font::bold | juce::Font::italic;
} // namespace

// Fonts are looked up by name in fontconfig's cache: the toolkit's own lookup would open every installed
// font file first.
FontLibrary::FontLibrary()
{
    for (const char* family : substituteFamilies)
        if (isInstalled(family))
        {
            substituteName = family;
            break;
        }

    if (isInstalled(fallbackFamily))
        fallbackFamilies.add(fallbackFamily);
    if (platform::isSystemLanguageJapanese())
        for (const char* family : japaneseFamilies)
            if (isInstalled(family))
            {
                fallbackFamilies.add(family);
                break;
            }
    // Text in fonts that do not come from this library falls back the same way.
    if (!fallbackFamilies.isEmpty())
        juce::Font::setFallbackFontName(fallbackFamilies[fallbackFamilies.size() - 1]);

    defaultFont = makeFont(defaultTypefaceName, 18.0f);
}

FontLibrary::~FontLibrary()
{
    platform::fonts::releaseFontLookup();
}

bool FontLibrary::isInstalled(const juce::String& typefaceName)
{
    if (auto found = installed.find(typefaceName); found != installed.end())
        return found->second;
    const bool isThere = platform::fonts::findInstalledFace(typefaceName, false, false).isValid();
    installed[typefaceName] = isThere;
    return isThere;
}

bool FontLibrary::needsMapping(const juce::String& typefaceName)
{
    return !isPlaceholder(typefaceName) && !isInstalled(typefaceName);
}

juce::String FontLibrary::getInstalledTypefaceName(const juce::String& typefaceName)
{
    if (!needsMapping(typefaceName))
        return typefaceName;
    return substituteName.isNotEmpty() ? substituteName : juce::Font::getDefaultSansSerifFontName();
}

juce::Typeface::Ptr FontLibrary::getMappedTypeface(const juce::Font& font)
{
    return needsMapping(font.getTypefaceName()) ? getTypefaceFor(font) : nullptr;
}

juce::Typeface::Ptr FontLibrary::getTypefaceFor(const juce::Font& font)
{
    const auto name = font.getTypefaceName();
    const int styleFlags = font.getStyleFlags() & styleMask;
    const auto cacheKey = name + "\n" + juce::String(styleFlags);
    if (auto found = typefaces.find(cacheKey); found != typefaces.end())
        return found->second;

    // The placeholders stand for the application's face and fontconfig's generic families.
    juce::String shownName = name, family;
    if (name == juce::Font::getDefaultSansSerifFontName() || name.isEmpty())
    {
        shownName = defaultTypefaceName;
        family = getInstalledTypefaceName(defaultTypefaceName);
    }
    else if (name == juce::Font::getDefaultSerifFontName())
        family = "serif";
    else if (name == juce::Font::getDefaultMonospacedFontName())
        family = "monospace";
    else
        family = getInstalledTypefaceName(name);
    if (isPlaceholder(family))
        family = "sans-serif";

    const bool bold = (styleFlags & juce::Font::bold) != 0;
    const bool italic = (styleFlags & juce::Font::italic) != 0;
    auto face = platform::fonts::findInstalledFace(family, bold, italic);
    if (!face.isValid())
        face = platform::fonts::findInstalledFace("sans-serif", bold, italic);

    juce::Typeface::Ptr typeface;
    if (face.isValid())
    {
        std::vector<platform::fonts::InstalledFace> fallbacks;
        for (const auto& fallback : fallbackFamilies)
            fallbacks.push_back(platform::fonts::findInstalledFace(fallback, bold, italic));
        auto drawn = new platform::fonts::FontFileTypeface(
            shownName, juce::Font(shownName, 10.0f, styleFlags).getTypefaceStyle(), face, fallbacks);
        typeface = drawn;
        if (!drawn->isUsable())
            typeface = nullptr;
    }
    typefaces[cacheKey] = typeface;
    return typeface;
}

juce::Font FontLibrary::makeFont(const juce::String& typefaceName, float height, int styleFlags)
{
    juce::Font font(typefaceName, height, styleFlags);
    if (auto mapped = getMappedTypeface(font))
        return juce::Font(mapped).withHeight(height);
    return font;
}

juce::Font FontLibrary::drawable(const juce::Font& font)
{
    auto mapped = getMappedTypeface(font);
    if (mapped == nullptr || font.getTypefacePtr() == mapped)
        return font;

    auto result = juce::Font(mapped).withHeight(font.getHeight());
    result.setHorizontalScale(font.getHorizontalScale());
    result.setExtraKerningFactor(font.getExtraKerningFactor());
    result.setUnderline(font.isUnderlined());
    return result;
}

const juce::Font& FontLibrary::getFont(const juce::String& key)
{
    if (auto found = fonts.find(key); found != fonts.end())
        return found->second;

    std::printf("Font not found: %s\n", key.toRawUTF8());
    std::fflush(stdout);
    // The start-up may have replaced the default font by one built by name only.
    defaultFont = drawable(defaultFont);
    return defaultFont;
}

void FontLibrary::addFont(const juce::String& key, const juce::Font& font)
{
    fonts.emplace(key, drawable(font));
}

void FontLibrary::setFontHeight(const juce::String& key, int height)
{
    auto found = fonts.find(key);
    if (found == fonts.end())
    {
        std::printf("Font not found: %s\n", key.toRawUTF8());
        std::fflush(stdout);
        return;
    }
    found->second.setHeight((float) height);
}
} // namespace ui
