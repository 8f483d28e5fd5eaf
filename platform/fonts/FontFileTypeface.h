#pragma once

#include <juce_graphics/juce_graphics.h>

#include <memory>
#include <vector>

namespace platform::fonts
{
// An installed font face: its file and its index in that file.
struct InstalledFace
{
    juce::String file;
    int index = 0;
    juce::String family;

    bool isValid() const { return file.isNotEmpty(); }
};

// Asks fontconfig for the installed face of a family nearest the weight and slant, from fontconfig's
// cache: no font file is opened. A family that is not installed gives an invalid face (fontconfig's
// substitutes do not count), except the generic families "sans-serif", "serif" and "monospace", which
// give whatever face fontconfig picks for them.
InstalledFace findInstalledFace(const juce::String& family, bool bold, bool italic);

// Frees what the look-ups loaded; the next look-up loads it again.
void releaseFontLookup();

// A typeface drawn from installed font files with FreeType, under a name of our choosing. Each character
// comes from the main face, or when the main face lacks it, from the first fallback face that has it,
// scaled to the main face's size. Glyphs load when first drawn; a fallback file is opened only when
// one of its glyphs is needed.
class FontFileTypeface : public juce::CustomTypeface
{
public:
    FontFileTypeface(const juce::String& name, const juce::String& style, const InstalledFace& main,
                     const std::vector<InstalledFace>& fallbacks);
    ~FontFileTypeface() override;

    // False when the main face could not be read.
    bool isUsable() const noexcept;

protected:
    bool loadGlyphIfPossible(juce::juce_wchar character) override;

private:
    struct Faces;
    std::unique_ptr<Faces> faces;

    JUCE_DECLARE_NON_COPYABLE(FontFileTypeface)
};
} // namespace platform::fonts
