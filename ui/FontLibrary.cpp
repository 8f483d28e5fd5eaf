#include "ui/FontLibrary.h"

#include "platform/system/SystemLanguage.h"

#include <cstdio>

namespace ui
{
namespace
{
// Installed faces that stand for a requested face missing here, in order of preference.
const char* const substituteFamilies[] = {"DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"};

// Faces that hold Japanese glyphs; the first one installed draws the characters the main face lacks.
const char* const japaneseFamilies[] = {"Noto Sans CJK JP", "Noto Sans JP",        "Source Han Sans JP",
                                        "IPAexGothic",      "IPAGothic",           "TakaoGothic",
                                        "VL Gothic",        "Droid Sans Fallback", "WenQuanYi Zen Hei"};

bool isPlaceholder(const juce::String& name)
{
    return name == juce::Font::getDefaultSansSerifFontName() || name == juce::Font::getDefaultSerifFontName() ||
           name == juce::Font::getDefaultMonospacedFontName();
}

// The style of an installed family closest to the requested flags.
juce::String pickStyle(const juce::String& family, int styleFlags)
{
    const auto styles = juce::Font::findAllTypefaceStyles(family);
    const bool bold = (styleFlags & juce::Font::bold) != 0;
    const bool italic = (styleFlags & juce::Font::italic) != 0;

    juce::StringArray wanted;
    if (bold && italic)
        wanted = {"Bold Italic", "Bold Oblique", "Bold"};
    else if (bold)
        wanted = {"Bold", "Semibold", "Medium"};
    else if (italic)
        wanted = {"Italic", "Oblique"};
    wanted.addArray(juce::StringArray{"Regular", "Book", "Normal", "Roman", "Medium"});

    for (const auto& style : wanted)
        if (styles.contains(style, true))
            return style;
    return styles[0];
}

// Draws with another typeface while reporting the requested name and style.
class MappedTypeface : public juce::Typeface
{
public:
    MappedTypeface(const juce::String& typefaceName, const juce::String& typefaceStyle, juce::Typeface::Ptr face)
        : juce::Typeface(typefaceName, typefaceStyle), target(std::move(face))
    {
    }

    float getAscent() const override { return target->getAscent(); }
    float getDescent() const override { return target->getDescent(); }
    float getHeightToPointsFactor() const override { return target->getHeightToPointsFactor(); }
    float getStringWidth(const juce::String& text) override { return target->getStringWidth(text); }
    void getGlyphPositions(const juce::String& text, juce::Array<int>& glyphs, juce::Array<float>& offsets) override
    {
        target->getGlyphPositions(text, glyphs, offsets);
    }
    bool getOutlineForGlyph(int glyph, juce::Path& path) override { return target->getOutlineForGlyph(glyph, path); }
    juce::EdgeTable* getEdgeTableForGlyph(int glyph, const juce::AffineTransform& transform, float height) override
    {
        return target->getEdgeTableForGlyph(glyph, transform, height);
    }
    bool isHinted() const override { return target->isHinted(); }

private:
    juce::Typeface::Ptr target;
};
} // namespace

FontLibrary::FontLibrary() : installedNames(juce::Font::findAllTypefaceNames())
{
    for (const char* family : substituteFamilies)
        if (installedNames.contains(family))
        {
            substituteName = family;
            break;
        }

    // Our main face has no Japanese glyphs: for a Japanese user the library's per-glyph fallback
    // takes them from an installed Japanese face.
    if (platform::isSystemLanguageJapanese())
    {
        for (const char* family : japaneseFamilies)
            if (installedNames.contains(family))
            {
                juce::Font::setFallbackFontName(family);
                juce::Font::setFallbackFontStyle(pickStyle(family, juce::Font::plain));
                break;
            }
    }

    defaultFont = makeFont(defaultTypefaceName, 18.0f);
}

FontLibrary::~FontLibrary() = default;

bool FontLibrary::needsMapping(const juce::String& typefaceName)
{
    return !isPlaceholder(typefaceName) && !installedNames.contains(typefaceName);
}

juce::String FontLibrary::getInstalledTypefaceName(const juce::String& typefaceName)
{
    if (!needsMapping(typefaceName))
        return typefaceName;
    return substituteName.isNotEmpty() ? substituteName : juce::Font::getDefaultSansSerifFontName();
}

juce::Typeface::Ptr FontLibrary::getMappedTypeface(const juce::Font& font)
{
    const auto name = font.getTypefaceName();
    if (!needsMapping(name))
        return nullptr;

    const int styleFlags = font.getStyleFlags() & (juce::Font::bold | juce::Font::italic);
    const auto cacheKey = name + "\n" + juce::String(styleFlags);
    if (auto found = mappedTypefaces.find(cacheKey); found != mappedTypefaces.end())
        return found->second;

    juce::Typeface::Ptr face;
    const auto installed = getInstalledTypefaceName(name);
    if (isPlaceholder(installed))
        face = juce::Font::getDefaultTypefaceForFont(juce::Font(installed, 10.0f, styleFlags));
    else
        face = juce::Typeface::createSystemTypefaceFor(juce::Font(installed, pickStyle(installed, styleFlags), 10.0f));

    juce::Typeface::Ptr mapped = new MappedTypeface(name, juce::Font(name, 10.0f, styleFlags).getTypefaceStyle(), face);
    mappedTypefaces[cacheKey] = mapped;
    return mapped;
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
