#include "platform/fonts/FontFileTypeface.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace platform::fonts
{
namespace
{
bool isGenericFamily(const juce::String& family)
{
    return family == "sans-serif" || family == "serif" || family == "monospace";
}

// One FreeType face, opened on first use.
struct Face
{
    InstalledFace source;
    FT_Face face = nullptr;
    bool tried = false;
    // Font units to the typeface's units (1 = the main face's ascent plus descent).
    float scale = 0.0f;
};

struct OutlineSink
{
    juce::Path* path;
    float scale;
    bool open = false;

    juce::Point<float> at(const FT_Vector* v) const { return {(float) v->x * scale, -(float) v->y * scale}; }
};

int moveTo(const FT_Vector* to, void* user)
{
    auto& sink = *static_cast<OutlineSink*>(user);
    if (sink.open)
        sink.path->closeSubPath();
    sink.path->startNewSubPath(sink.at(to));
    sink.open = true;
    return 0;
}

int lineTo(const FT_Vector* to, void* user)
{
    auto& sink = *static_cast<OutlineSink*>(user);
    sink.path->lineTo(sink.at(to));
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto& sink = *static_cast<OutlineSink*>(user);
    sink.path->quadraticTo(sink.at(control), sink.at(to));
    return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    auto& sink = *static_cast<OutlineSink*>(user);
    sink.path->cubicTo(sink.at(control1), sink.at(control2), sink.at(to));
    return 0;
}
} // namespace

InstalledFace findInstalledFace(const juce::String& family, bool bold, bool italic)
{
    InstalledFace found;
    if (family.isEmpty() || FcInit() == FcFalse)
        return found;

    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.toRawUTF8()));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr)
        return found;

    FcChar8* value = nullptr;
    bool familyMatches = isGenericFamily(family);
    for (int n = 0; FcPatternGetString(match, FC_FAMILY, n, &value) == FcResultMatch; ++n)
    {
        const auto name = juce::String::fromUTF8(reinterpret_cast<const char*>(value));
        if (n == 0)
            found.family = name;
        if (name.equalsIgnoreCase(family))
        {
            familyMatches = true;
            found.family = name;
        }
    }
    FcBool scalable = FcFalse;
    int index = 0;
    if (familyMatches && FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch &&
        (FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) != FcResultMatch || scalable == FcTrue))
    {
        found.file = juce::String::fromUTF8(reinterpret_cast<const char*>(value));
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
            found.index = index;
    }
    FcPatternDestroy(match);
    if (!found.isValid())
        found = {};
    return found;
}

void releaseFontLookup()
{
    FcFini();
}

struct FontFileTypeface::Faces
{
    FT_Library library = nullptr;
    std::vector<Face> faces;     // the main face first
    float unitsPerHeight = 0.0f; // the main face's ascent plus descent, per em

    ~Faces()
    {
        for (auto& f : faces)
            if (f.face != nullptr)
                FT_Done_Face(f.face);
        if (library != nullptr)
            FT_Done_FreeType(library);
    }

    FT_Face open(Face& f)
    {
        if (f.tried)
            return f.face;
        f.tried = true;
        if (library == nullptr || FT_New_Face(library, f.source.file.toRawUTF8(), f.source.index, &f.face) != 0)
        {
            f.face = nullptr;
            return nullptr;
        }
        if (FT_Select_Charmap(f.face, FT_ENCODING_UNICODE) != 0 && f.face->num_charmaps > 0)
            FT_Set_Charmap(f.face, f.face->charmaps[0]);
        const auto em = (float) juce::jmax<FT_UShort>(1, f.face->units_per_EM);
        if (&f == &faces.front())
            unitsPerHeight = (float) juce::jmax<FT_Short>(1, (FT_Short) (f.face->ascender - f.face->descender)) / em;
        f.scale = 1.0f / (unitsPerHeight * em);
        return f.face;
    }
};

FontFileTypeface::FontFileTypeface(const juce::String& name, const juce::String& style, const InstalledFace& main,
                                   const std::vector<InstalledFace>& fallbacks)
    : faces(std::make_unique<Faces>())
{
    if (FT_Init_FreeType(&faces->library) != 0)
        faces->library = nullptr;
    faces->faces.push_back({main});
    for (const auto& fallback : fallbacks)
        if (fallback.isValid() && fallback.file != main.file)
            faces->faces.push_back({fallback});

    float ascent = 0.8f;
    if (auto* face = faces->open(faces->faces.front()))
        ascent = (float) face->ascender / (float) juce::jmax(1, face->ascender - face->descender);
    setCharacteristics(name, style, ascent, L' ');
}

FontFileTypeface::~FontFileTypeface() = default;

bool FontFileTypeface::isUsable() const noexcept
{
    return faces->faces.front().face != nullptr;
}

bool FontFileTypeface::loadGlyphIfPossible(juce::juce_wchar character)
{
    if (!isUsable())
        return false;

    const auto add = [&](Face& from, FT_UInt glyphIndex)
    {
        auto* face = from.face;
        if (FT_Load_Glyph(face, glyphIndex,
                          FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM | FT_LOAD_NO_HINTING) != 0 ||
            face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return false;

        juce::Path shape;
        OutlineSink sink{&shape, from.scale};
        const FT_Outline_Funcs funcs{moveTo, lineTo, conicTo, cubicTo, 0, 0};
        if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink) != 0)
            return false;
        if (sink.open)
            shape.closeSubPath();
        addGlyph(character, shape, (float) face->glyph->metrics.horiAdvance * from.scale);

        if (&from == &faces->faces.front() && FT_HAS_KERNING(face))
        {
            FT_UInt rightIndex = 0;
            for (auto right = FT_Get_First_Char(face, &rightIndex); rightIndex != 0;
                 right = FT_Get_Next_Char(face, right, &rightIndex))
            {
                FT_Vector kerning{};
                if (FT_Get_Kerning(face, glyphIndex, rightIndex, FT_KERNING_UNSCALED, &kerning) == 0 && kerning.x != 0)
                    addKerningPair(character, (juce::juce_wchar) right, (float) kerning.x * from.scale);
            }
        }
        return true;
    };

    for (auto& candidate : faces->faces)
        if (auto* face = faces->open(candidate))
            if (const auto glyphIndex = FT_Get_Char_Index(face, (FT_ULong) character); glyphIndex != 0)
                if (add(candidate, glyphIndex))
                    return true;

    // No face has it: the main face's box for a missing glyph.
    return add(faces->faces.front(), 0);
}
} // namespace platform::fonts
