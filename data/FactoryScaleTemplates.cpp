#include "data/FactoryScaleTemplates.h"

namespace
{
// One note: a semitone and a 14-bit fraction of a semitone above it.
struct Pitch
{
    int semitone;
    int fraction;
};

constexpr void setEntry(FactoryScaleTemplate& t, int note, Pitch p)
{
    t[(std::size_t) note * 3] = (std::uint8_t) p.semitone;
    t[(std::size_t) note * 3 + 1] = (std::uint8_t)((p.fraction >> 7) & 0x7F);
    t[(std::size_t) note * 3 + 2] = (std::uint8_t)(p.fraction & 0x7F);
}

constexpr FactoryScaleTemplate identity()
{
    FactoryScaleTemplate t{};
    for (int n = 0; n < 128; ++n)
        setEntry(t, n, {n, 0});
    return t;
}

// Tunings that repeat every octave: per pitch class a semitone offset (0 or -1) and a fraction.
// clang-format off
constexpr Pitch octavePatterns[7][12] = {
    // Pure Major
    {{0, 0}, {-1, 11469}, {0, 655}, {0, 2458}, {-1, 14090}, {-1, 16056},
     {-1, 11141}, {0, 328}, {-1, 11796}, {-1, 13763}, {0, 2785}, {-1, 14418}},
    // Pure Minor
    {{0, 0}, {0, 5407}, {0, 655}, {0, 2621}, {-1, 14090}, {-1, 16056},
     {0, 5079}, {0, 328}, {0, 2294}, {-1, 13763}, {0, 2949}, {-1, 14418}},
    // Pythagorean
    {{0, 0}, {0, 2242}, {0, 641}, {-1, 15423}, {0, 1281}, {-1, 16064},
     {0, 1922}, {0, 320}, {0, 2562}, {0, 961}, {-1, 15743}, {0, 1602}},
    // Werckmeister
    {{0, 0}, {-1, 14782}, {-1, 15103}, {-1, 15423}, {-1, 14782}, {-1, 16064},
     {-1, 14462}, {-1, 15743}, {-1, 15103}, {-1, 14462}, {-1, 15743}, {-1, 15103}},
    // kirnberger
    {{0, 0}, {-1, 14782}, {-1, 15263}, {-1, 15423}, {-1, 14142}, {-1, 16064},
     {-1, 14782}, {-1, 15823}, {-1, 15103}, {-1, 14702}, {-1, 15743}, {-1, 14462}},
    // Slendro
    {{0, 0}, {0, 0}, {0, 10322}, {0, 0}, {0, 0}, {-1, 13763},
     {0, 0}, {0, 6390}, {0, 0}, {0, 12288}, {0, 0}, {0, 0}},
    // Pelog
    {{0, 0}, {0, 0}, {-1, 10977}, {0, 0}, {0, 1966}, {0, 6062},
     {0, 0}, {-1, 13599}, {0, 0}, {0, 5734}, {0, 0}, {0, 0}},
};
// clang-format on

constexpr FactoryScaleTemplate octavePattern(const Pitch (&pattern)[12])
{
    FactoryScaleTemplate t{};
    for (int n = 0; n < 128; ++n)
        setEntry(t, n, {n + pattern[n % 12].semitone, pattern[n % 12].fraction});
    return t;
}

// A mode laid over every key: key 60 plays C and each key above or below plays the next or
// previous step. Keys whose step would leave the MIDI range keep their own pitch.
struct Mode
{
    int length;
    int steps[7];
};

constexpr Mode modes[5] = {
    {7, {0, 2, 4, 5, 7, 9, 11}}, // Ionian
    {7, {0, 2, 3, 5, 7, 9, 10}}, // Dorian
    {7, {0, 2, 3, 5, 7, 8, 10}}, // Aelian
    {5, {0, 2, 4, 7, 9}},        // Major Penta
    {5, {0, 3, 5, 7, 10}},       // Minor Penta
};

constexpr FactoryScaleTemplate mode(const Mode& m)
{
    FactoryScaleTemplate t{};
    for (int n = 0; n < 128; ++n)
    {
        const int offset = n - 60;
        int q = offset / m.length;
        if (offset % m.length < 0)
            --q; // floor division
        const int r = offset - q * m.length;
        const int p = 60 + 12 * q + m.steps[r];
        setEntry(t, n, p >= 0 && p <= 127 ? Pitch{p, 0} : Pitch{n, 0});
    }
    return t;
}

constexpr FactoryScaleTemplate reverse()
{
    FactoryScaleTemplate t = identity();
    for (int n = 0; n <= 120; ++n)
        setEntry(t, n, {120 - n, 0});
    return t;
}

// The hand-made tunings: notes 60 to 71 as semitone offsets from middle C with their fractions.
// clang-format off
constexpr Pitch freeTables[9][12] = {
    // XQV001
    {{0, 0}, {3, 11703}, {4, 10299}, {5, 8894}, {9, 4213}, {10, 2809},
     {11, 1404}, {12, 0}, {15, 11703}, {16, 10299}, {17, 8894}, {21, 4213}},
    // XQV002
    {{0, 0}, {0, 3277}, {0, 6554}, {0, 9830}, {6, 1638}, {6, 4915},
     {6, 8192}, {12, 0}, {12, 3277}, {12, 6554}, {12, 9830}, {18, 1638}},
    // XQV003
    {{0, 0}, {2, 641}, {3, 14142}, {5, 14782}, {7, 320}, {8, 13821},
     {10, 14462}, {12, 0}, {14, 641}, {15, 14142}, {17, 14782}, {19, 320}},
    // XQV004
    {{0, 0}, {2, 5108}, {3, 2563}, {4, 5748}, {4, 16064}, {5, 13519},
     {6, 2865}, {7, 320}, {7, 10636}, {8, 13821}, {9, 11276}, {12, 0}},
    // XQV005
    {{0, 0}, {1, 13501}, {2, 641}, {2, 5108}, {2, 10956}, {3, 2563},
     {3, 9744}, {3, 14142}, {4, 16064}, {5, 8408}, {5, 13519}, {6, 2865}},
    // XQV006
    {{0, 0}, {1, 10650}, {1, 13501}, {2, 641}, {2, 5108}, {2, 10956},
     {3, 2563}, {3, 7767}, {3, 14142}, {4, 2869}, {4, 5748}, {4, 16064}},
    // KW001
    {{-24, 0}, {-11, 0}, {2, 0}, {15, 0}, {28, 0}, {41, 0},
     {-30, 0}, {-17, 0}, {-4, 0}, {9, 0}, {22, 0}, {35, 0}},
    // KW002
    {{-25, 15565}, {2, 0}, {-5, 2458}, {5, 0}, {2, 15565}, {5, 1638},
     {4, 15565}, {7, 0}, {11, 15565}, {10, 0}, {10, 2458}, {2, 13926}},
    // KW003
    {{6, 15237}, {6, 15401}, {6, 15565}, {6, 15729}, {6, 15892}, {6, 16056},
     {6, 16220}, {7, 0}, {7, 164}, {7, 328}, {7, 492}, {7, 655}},
};
// clang-format on

constexpr int kw001 = 6;

constexpr FactoryScaleTemplate freeTable(int index)
{
    FactoryScaleTemplate t = identity();
    for (int k = 0; k < 12; ++k)
        setEntry(t, 60 + k, {60 + freeTables[index][k].semitone, freeTables[index][k].fraction});
    if (index == kw001)
    {
        // KW001 spreads the keys below middle C as well.
        setEntry(t, 58, {106, 0});
        setEntry(t, 59, {35, 0});
    }
    return t;
}

constexpr FactoryScaleTemplateTable buildFactoryScaleTemplates()
{
    FactoryScaleTemplateTable table{};
    int i = 0;
    table[(std::size_t) i++] = identity();
    for (const auto& pattern : octavePatterns)
        table[(std::size_t) i++] = octavePattern(pattern);
    for (const auto& m : modes)
        table[(std::size_t) i++] = mode(m);
    table[(std::size_t) i++] = reverse();
    for (int f = 0; f < 9; ++f)
        table[(std::size_t) i++] = freeTable(f);
    return table;
}
} // namespace

// Constant-initialised, so it is complete before any code of another file can read it.
constexpr FactoryScaleTemplateTable factoryScaleTemplates = buildFactoryScaleTemplates();

static_assert(factoryScaleTemplates.size() == numFactoryScaleTemplates);
