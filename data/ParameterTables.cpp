#include "data/ParameterTables.h"

#include <cstddef>

namespace
{
using K = ParameterKind;

constexpr ParameterDescription row(const char* name, const char* shortName, uint16_t offset, uint8_t length,
                                   int16_t minValue, int16_t maxValue, bool isSigned, ParameterKind kind,
                                   int32_t format, uint8_t auxFlag = 0, bool (*predicate)() = nullptr)
{
    return {name,   shortName, "", minValue, maxValue, 0,      auxFlag,  offset,
            length, 0,         8,  isSigned, kind,     format, predicate};
}

// One character of the header, the program name or the footer.
constexpr ParameterDescription character(const char* name, uint16_t offset)
{
    return row(name, "", offset, 1, 32, 125, false, K::Character, 19);
}

bool splitKeyPredicate()
{
    return false;
}

// The program's tuning byte. The row sits on it so that the tuning can be shown like any
// other choice; the common section is only 80 bytes, so nothing past it could be read.
constexpr uint16_t scaleSetOffset = 51;
} // namespace

const ParameterDescription defaultParameterDescription = {"", "", "", 32,    125,     0,  0,      0,
                                                          1,  0,  8,  false, K::None, 19, nullptr};

// clang-format off
const ParameterDescription programParameterTable[programParameterCount] = {
    character("Header 1", 0),
    character("Header 2", 1),
    character("Header 3", 2),
    character("Header 4", 3),
    character("Program Name 1", 4),
    character("Program Name 2", 5),
    character("Program Name 3", 6),
    character("Program Name 4", 7),
    character("Program Name 5", 8),
    character("Program Name 6", 9),
    character("Program Name 7", 10),
    character("Program Name 8", 11),
    character("Program Name 9", 12),
    character("Program Name 10", 13),
    character("Program Name 11", 14),
    character("Program Name 12", 15),
    row("Octave",          "Octave",       16, 1,  -2,    2, true,  K::Number, 14),
    row("SubOnPGMFetch",   "SubOnFetch",   17, 1,   0,    1, false, K::Switch, 39),
    row("Timb Edit",       "T.Edit",       18, 1,   0,    2, false, K::Choice, 24),
    row("Timb Type",       "T.Type",       19, 1,   0,    2, false, K::Choice, 23),
    row("MainSubBalance",  "MAIN/SUB",     20, 2,   0, 1023, false, K::Number,  5),
    row("MainSubPosition", "M/S POS",      22, 1,   0,    1, false, K::Number,  9),
    row("Split Key",       "Split Key",    23, 1,   0,   60, false, K::Choice, 26, 0, splitKeyPredicate),
    row("Tempo",           "Tempo",        24, 2, 300, 3000, false, K::Number,  5),
    row("ARP Timbre",      "ARP Timbre",   26, 1,   0,    2, false, K::Choice, 24),
    row("Category",        "Category",     29, 1,   0,    8, false, K::Choice, 21),
    row("Frequent Lower",  "FrqntLwr",     30, 2,   0, 1023, false, K::Number,  5),
    row("Frequent Upper",  "FrqntUpr",     32, 2,   0, 1023, false, K::Number,  5),
    row("LFO BPMSync",     "LFO B.Sync",   34, 1,   0,    1, false, K::Switch, 39),
    row("LFO KeySync",     "LFO K.Sync",   35, 1,   0,    1, false, K::Switch, 39),
    row("LFO VoiceSync",   "LFO V.Sync",   36, 1,   0,    1, false, K::Switch, 39),
    row("Amp Velocity",    "AmpVel",       37, 1,   0,  127, false, K::Number,  4),
    row("PortamentoMode",  "Portamento",   38, 1,   0,    1, false, K::Switch, 39),
    row("Program Level",   "Level",        40, 1,  76,  127, false, K::Number, 14),
    row("ModFx Type",      "ModFxType",    41, 1,   0,  127, false, K::Number,  4),
    row("ModFx Speed",     "ModFx Speed",  42, 2,   0, 1023, false, K::Number,  5),
    row("ModFx Depth",     "ModFx Depth",  44, 2,   0, 1023, false, K::Number,  5),
    row("EffectType",      "FX.Type",      62, 1,   0,    2, false, K::Choice, 22),
    row("EffectTime",      "FX.Time",      63, 2,   0, 1023, false, K::Number,  5),
    row("FeedBack",        "F.Back",       65, 2,   0, 1023, false, K::Number,  5),
    row("Mod Effect",      "Mod Effect",   71, 1,   0,    1, false, K::Switch, 39),
    row("Delay/Reverb",    "Delay/Reverb", 72, 1,   0,    1, false, K::Switch, 39),
    row("ARRPG SW",        "ARRP",         73, 1,   0,    2, false, K::Number,  2),
    row("ARRPG Range",     "ArrpRange",    74, 1,   0,   15, false, K::Number,  2),
    row("ARRPG Type",      "ArrpType",     75, 1,   0,   15, false, K::Number,  2),
    row("Like",            "Like",         76, 1,   0,  255, false, K::Choice, 36),
    row("Like",            "Like",         77, 1,   0,  255, false, K::Choice, 36),
    row("Like",            "Like",         78, 1,   0,  255, false, K::Choice, 36),
    row("Like",            "Like",         79, 1,   0,  255, false, K::Choice, 36),
    row("Scale Set",       "Scale",        scaleSetOffset, 1, 0, 139, false, K::Choice, 38),
};

// Offsets from the first byte of a timbre; the main and the sub timbre share the rows.
const ParameterDescription timbreParameterTable[timbreParameterCount] = {
    row("Portamento",       "Porta",      0, 2,    0, 1023, false, K::Number,  5),
    row("Pan Width",        "PanWid",     2, 2, -512,  511, true,  K::Number, 16, 1),
    row("VoiceModeDepth",   "V.Depth",    4, 2,    0, 1023, false, K::Number,  5),
    row("Voice Type",       "VoiceType",  6, 1,    0,    2, false, K::Choice, 35),
    row("1Wave",            "1Wave",     10, 1,    0,    2, false, K::Choice, 27),
    row("1Octave",          "1Oct",      11, 1,    0,    3, false, K::Choice, 28),
    row("1Pitch",           "1Pitch",    12, 2,    0, 1023, false, K::Number,  5),
    row("1Shape",           "1Shape",    14, 2,    0, 1023, false, K::Number,  5),
    row("P.EG Target",      "Target",    16, 1,    0,    2, false, K::Choice, 29),
    row("Pitch EG",         "Pitch EG",  17, 2, -512,  511, true,  K::Number, 16, 1),
    row("2Wave",            "2Wave",     19, 1,    0,    2, false, K::Choice, 27),
    row("2Octave",          "2Oct",      20, 1,    0,    3, false, K::Choice, 28),
    row("2Pitch",           "2Pitch",    21, 2,    0, 1023, false, K::Number,  5),
    row("2Shape",           "2Shape",    23, 2,    0, 1023, false, K::Number,  5),
    row("Ring/Sync",        "RingSync",  25, 1,    0,    2, false, K::Choice, 30),
    row("CrossModInt",      "C.M.Int",   26, 2,    0, 1023, false, K::Number,  5),
    row("Multi Routine",    "MultRouti", 28, 1,    0,    1, false, K::Number,  2),
    row("Multi Type",       "Multi",     29, 1,    0,    2, false, K::Choice, 31),
    row("Multi Octave",     "MultOct",   30, 1,    0,    3, false, K::Choice, 28),
    row("Multi Noise",      "MultNoise", 31, 1,    0,  127, false, K::Number,  4),
    row("Multi VPM",        "MultVPM",   32, 1,    0,  127, false, K::Number,  4),
    row("Multi USER",       "MultUSER",  33, 1,    0,  127, false, K::Number,  4),
    row("Multi Shape",      "MultShape", 34, 2,    0, 1023, false, K::Number,  5),
    row("Multi Shift",      "MultShift", 36, 2,    0, 1023, false, K::Number,  5),
    row("VCO1 Level",       "VCO1Lvl",   38, 2,    0, 1023, false, K::Number,  5),
    row("VCO2 Level",       "VCO2Lvl",   40, 2,    0, 1023, false, K::Number,  5),
    row("MultiLevel",       "MultLvl",   42, 2,    0, 1023, false, K::Number,  5),
    row("Cutoff",           "Cutoff",    44, 2,    0, 1023, false, K::Number,  5),
    row("Resonance",        "Resonance", 46, 2,    0, 1023, false, K::Number,  5),
    row("EG Int",           "EG Int",    48, 2, -512,  511, true,  K::Number, 16, 1),
    row("Drive",            "Drive",     50, 1,    0,    2, false, K::Choice, 32),
    row("LowCut",           "LowCut",    51, 1,    0,    1, false, K::Number,  9),
    row("KetTrack",         "KeyTrack",  52, 1,    0,    2, false, K::Choice, 32),
    row("CutoffVelocity",   "Velocity",  53, 1,    0,  127, false, K::Number,  4),
    row("AmpEgAttack",      "A.EG Att",  54, 2,    0, 1023, false, K::Number,  5),
    row("AmpEgDecay",       "A.EG Dct",  56, 2,    0, 1023, false, K::Number,  5),
    row("AmpEGSustain",     "A.EG Stl",  58, 2,    0, 1023, false, K::Number,  5),
    row("AmpEGRelease",     "A.EG Rlt",  60, 2,    0, 1023, false, K::Number,  5),
    row("EG Attack",        "EG Att",    62, 2,    0, 1023, false, K::Number,  5),
    row("EG Decay",         "EG Dct",    64, 2,    0, 1023, false, K::Number,  5),
    row("EG Sustain",       "EG Stl",    66, 2,    0, 1023, false, K::Number,  5),
    row("EG Release",       "EG Rlt",    68, 2,    0, 1023, false, K::Number,  5),
    row("LFO Wave",         "LfoWave",   70, 1,    0,    2, false, K::Choice, 27),
    row("LFO Mode",         "LfoMode",   71, 1,    0,    2, false, K::Choice, 33),
    row("LFO Rate",         "LfoRate",   72, 2,    0, 1023, false, K::Number,  5),
    row("LFO Int",          "LfoInt",    74, 2,    0, 1023, false, K::Number,  5),
    row("LFO Target",       "LfoTarget", 76, 1,    0,    2, false, K::Choice, 34),
    row("Mod Wheel Assign", "ModAss",    77, 1,    0,   33, false, K::Choice, 37),
    row("E.Pedal Assign",   "EPdlAss",   78, 1,    0,   33, false, K::Choice, 37),
    row("Bend Range(+)",    "B.Range+",  79, 1,    0,   12, false, K::Number,  2),
    row("Bend Range(-)",    "B.Range-",  80, 1,    0,   12, false, K::Number,  2),
    row("VPM para1",        "VPM para1", 81, 1,    0,  127, false, K::Number,  4),
    row("VPM para2",        "VPM para2", 83, 1,    0,  127, false, K::Number,  4),
    row("VPM para3",        "VPM para3", 85, 1,    0,  127, false, K::Number,  4),
    row("VPM para4",        "VPM para4", 87, 1,    0,  127, false, K::Number,  4),
    row("VPM para5",        "VPM para5", 89, 1,    0,  127, false, K::Number,  4),
    row("VPM para6",        "VPM para6", 91, 1,    0,  127, false, K::Number,  4),
    row("USER para1",       "USERpara1", 93, 1,    0,  127, false, K::Number,  4),
    row("USER para2",       "USERpara2", 95, 1,    0,  127, false, K::Number,  4),
    row("USER para3",       "USERpara3", 97, 1,    0,  127, false, K::Number,  4),
    row("USER para4",       "USERpara4", 99, 1,    0,  127, false, K::Number,  4),
    row("USER para5",       "USERpara5", 101, 1,   0,  127, false, K::Number,  4),
    row("USER para6",       "USERpara6", 103, 1,   0,  127, false, K::Number,  4),
};

const ParameterDescription footerParameterTable[footerParameterCount] = {
    character("Footer 1", 0),
    character("Footer 2", 1),
    character("Footer 3", 2),
    character("Footer 4", 3),
};
// clang-format on

namespace
{
// Three rows per note: semitone, fraction high 7 bits, fraction low 7 bits.
template <int Rows> constexpr std::array<ParameterDescription, Rows> makeTuneTable()
{
    constexpr const char* partNames[3] = {"Note", "Cent-H", "Cent-L"};
    std::array<ParameterDescription, Rows> table{};
    for (int i = 0; i < Rows; ++i)
    {
        const char* name = partNames[i % 3];
        table[static_cast<size_t>(i)] = row(name, name, static_cast<uint16_t>(i), 1, 0, 127, false, K::Number, 4);
    }
    return table;
}
} // namespace

const std::array<ParameterDescription, tuneOctParameterCount> tuneOctParameterTable =
    makeTuneTable<tuneOctParameterCount>();
const std::array<ParameterDescription, tuneScaleParameterCount> tuneScaleParameterTable =
    makeTuneTable<tuneScaleParameterCount>();

const ParameterTable parameterTableList[parameterGroupCount] = {
    {programParameterTable, programParameterCount},
    {timbreParameterTable, timbreParameterCount},
    {timbreParameterTable, timbreParameterCount},
    {nullptr, 0},
    {nullptr, 0},
    {nullptr, 0},
};

const PackedDataSection packedDataSectionTable[parameterGroupCount] = {
    {0, 80},    // "PROG", the name and the common part
    {80, 126},  // main timbre
    {206, 126}, // sub timbre
    {0, 32},    {0, 3}, {0, 3},
};
