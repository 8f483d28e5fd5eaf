#include "files/ScalaDataImporter.h"

#include "data/ApplicationUndoManager.h"
#include "data/CurrentTuneOctData.h"
#include "data/CurrentTuneScaleData.h"
#include "data/TuneEditActions.h"
#include "data/TuningSelection.h"
#include "platform/system/RegularFileInputStream.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace x47390_file
{
juce::String ScalaDataImporter::keyboardMapFileName;
ScalaDataImporter::KeyboardMap ScalaDataImporter::keyboardMap;
ScalaDataImporter::Scale ScalaDataImporter::scale;

namespace
{
using ScaleNotes = x47390_data::TuneScaleNotes;
using OctNotes = x47390_data::TuneOctNotes;
using ScaleFlags = std::array<juce::uint8, x47390_data::tuneScaleNoteCount>;
using OctFlags = std::array<juce::uint8, x47390_data::tuneOctNoteCount>;

// The bytes of a Scala text. Every number is read here, byte by byte, so nothing depends on the
// process locale. A zero byte ends the data like the end of the file.
class ScalaText
{
public:
    explicit ScalaText(juce::InputStream& source) : stream(source) {}

    // The next byte, or -1 at the end of the data.
    int next()
    {
        if (pending >= 0)
        {
            const int b = pending;
            pending = -1;
            return b;
        }
        if (ended)
            return -1;
        char c = 0;
        if (stream.read(&c, 1) != 1 || c == 0)
        {
            ended = true;
            return -1;
        }
        return (unsigned char) c;
    }

    // The next byte that can decide anything: bytes 0x80 to 0xFF (text in other scripts) never do.
    int nextDeciding()
    {
        for (;;)
        {
            const int b = next();
            if (b < 0x80)
                return b;
        }
    }

    // Drops what is left of the line the deciding byte belongs to; CR, LF and CR LF all end a line.
    void skipRestOfLine(int decidingByte)
    {
        if (decidingByte == '\n')
            return;
        if (decidingByte != '\r')
        {
            int b = next();
            while (b >= 0 && b != '\n' && b != '\r')
                b = next();
            if (b != '\r')
                return;
        }
        const int following = next();
        if (following != '\n')
            pending = following;
    }

private:
    juce::InputStream& stream;
    int pending = -1;
    bool ended = false;
};

bool isDigit(int b)
{
    return b >= '0' && b <= '9';
}

// Numbers are gathered in 64 bits; a field that does not fit is refused rather than wrapped.
bool appendDigit(std::int64_t& value, int digit)
{
    if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
        return false;
    value = value * 10 + digit;
    return true;
}

bool fitsInt(std::int64_t value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

// One integer field (the scale's count, the keyboard map's fields). Comment lines and lines without
// digits are passed over; whatever follows the number on its line is ignored. False when the data ends
// before a number or the number does not fit in 64 bits.
bool readIntegerField(ScalaText& text, bool minusAllowed, std::int64_t& result)
{
    std::int64_t value = 0;
    bool digits = false;
    bool negative = false;
    for (;;)
    {
        const int b = text.nextDeciding();
        if (b < 0)
            return false;
        if (isDigit(b))
        {
            if (!appendDigit(value, b - '0'))
                return false;
            digits = true;
            continue;
        }
        if (b == ' ' && !digits)
            continue;
        if (b == '-' && minusAllowed)
        {
            negative = true;
            continue;
        }
        text.skipRestOfLine(b);
        if (digits)
            break;
    }
    result = negative ? -value : value;
    return true;
}

enum class PitchResult
{
    value,
    noValue, // the data ended before the value began
    failed
};

// One pitch: cents when it has a point, otherwise a ratio (a whole number is a ratio over 1), in
// semitones, single precision. Whatever follows a value on its line is ignored.
PitchResult readPitchValue(ScalaText& text, float& pitch)
{
    int digits = 0;
    bool minus = false;
    bool point = false;
    bool slash = false;
    std::int64_t integerPart = 0;
    std::int64_t denominator = 0;
    // Ratio terms too long for 64 bits (real files have them) are taken by their value in floating point.
    double numeratorValue = 0.0;
    double denominatorValue = 0.0;
    bool numeratorTooLong = false;
    bool denominatorTooLong = false;
    float accumulator = 0.0f;
    float weight = 0.1f;

    for (;;)
    {
        const int b = text.nextDeciding();
        if (b < 0)
        {
            if (digits == 0)
                return PitchResult::noValue;
            break;
        }
        if (isDigit(b))
        {
            const int d = b - '0';
            if (slash)
            {
                denominatorTooLong = denominatorTooLong || !appendDigit(denominator, d);
                denominatorValue = denominatorValue * 10.0 + d;
            }
            else if (point)
            {
                accumulator += (float) d * weight;
                weight = weight / 10.0f;
            }
            else
            {
                numeratorTooLong = numeratorTooLong || !appendDigit(integerPart, d);
                numeratorValue = numeratorValue * 10.0 + d;
                accumulator = accumulator * 10.0f + (float) d;
            }
            ++digits;
            continue;
        }
        if (b == '-')
        {
            if (digits > 0 || point || slash || minus)
                return PitchResult::failed;
            minus = true;
            continue;
        }
        if (b == '.')
        {
            if (point || slash)
                return PitchResult::failed;
            point = true;
            continue;
        }
        if (b == '/')
        {
            if (slash || point)
                return PitchResult::failed;
            slash = true;
            continue;
        }
        if (b == '!')
        {
            text.skipRestOfLine(b);
            if (digits > 0)
                break;
            continue;
        }
        // Any other byte ends a value; before a value it is passed over.
        if (digits > 0)
        {
            text.skipRestOfLine(b);
            break;
        }
    }

    float value = 0.0f;
    if (point)
    {
        if (numeratorTooLong)
            return PitchResult::failed;
        value = accumulator / 100.0f;
    }
    else if (numeratorTooLong || denominatorTooLong)
    {
        double ratio = numeratorValue;
        if (slash && denominatorValue != 0.0)
            ratio = ratio / denominatorValue;
        if (!(ratio > 0.0) || !std::isfinite(ratio))
            return PitchResult::failed;
        value = (float) (std::log(ratio) / 0.6931471805599453 * 12.0);
    }
    else
    {
        // A denominator of 0 is ignored; a ratio of 0 has no pitch.
        float ratio = slash ? (float) integerPart : accumulator;
        if (slash && denominator != 0)
            ratio = ratio / (float) denominator;
        if (integerPart == 0 || !(ratio > 0.0f))
            return PitchResult::failed;
        value = std::log(ratio) / 0.6931472f * 12.0f;
    }
    if (minus)
        value = -value;
    if (!std::isfinite(value))
        return PitchResult::failed;
    pitch = value;
    return PitchResult::value;
}

bool parseScale(ScalaText& text, ScalaDataImporter::Scale& result)
{
    // Comment lines, then the description line, which may be empty.
    for (;;)
    {
        const int b = text.nextDeciding();
        if (b < 0)
            return false;
        text.skipRestOfLine(b);
        if (b != '!')
            break;
    }

    std::int64_t count = 0;
    if (!readIntegerField(text, false, count) || count > ScalaDataImporter::maxPitches)
        return false;

    result.pitchCount = (int) count;
    for (int degree = 1; degree <= result.pitchCount; ++degree)
    {
        float pitch = 0.0f;
        if (readPitchValue(text, pitch) != PitchResult::value)
            return false;
        result.pitches[(size_t) degree] = pitch;
    }
    return true;
}

// The reference frequency in hertz: digits with at most one point. It must be followed by more data.
bool readFrequency(ScalaText& text, float& frequency)
{
    float value = 0.0f;
    float weight = 0.1f;
    bool digits = false;
    bool point = false;
    for (;;)
    {
        const int b = text.nextDeciding();
        if (b < 0)
            return false;
        if (isDigit(b))
        {
            const int d = b - '0';
            if (point)
            {
                value += (float) d * weight;
                weight = weight / 10.0f;
            }
            else
            {
                value = value * 10.0f + (float) d;
            }
            digits = true;
            continue;
        }
        if (b == '.')
        {
            if (point)
                return false;
            point = true;
            continue;
        }
        if (b == '!')
        {
            text.skipRestOfLine(b);
            if (digits)
                break;
            continue;
        }
        if (digits)
        {
            text.skipRestOfLine(b);
            break;
        }
    }
    // A frequency of 0 (or beyond single precision) would give the keys no finite pitch.
    if (!(value > 0.0f) || !std::isfinite(value))
        return false;
    frequency = value;
    return true;
}

// The mapping entries: scale degrees, one per line; "x" marks an unmapped key, which is passed over.
bool readMapping(ScalaText& text, ScalaDataImporter::KeyboardMap& map)
{
    if (map.mapSize == 0)
    {
        map.mapping[0] = 0;
        return true;
    }
    int stored = 0;
    bool ended = false;
    while (stored < map.mapSize && !ended)
    {
        std::int64_t value = 0;
        bool digits = false;
        for (;;)
        {
            const int b = text.nextDeciding();
            if (b < 0)
            {
                ended = true;
                break;
            }
            if (isDigit(b))
            {
                if (!appendDigit(value, b - '0'))
                    return false;
                digits = true;
                continue;
            }
            if (b == 'x' || b == 'X' || b == '!')
            {
                text.skipRestOfLine(b);
                if (digits)
                    break;
                continue;
            }
            if (digits)
            {
                text.skipRestOfLine(b);
                break;
            }
        }
        if (digits)
        {
            if (!fitsInt(value))
                return false;
            map.mapping[(size_t) stored++] = (int) value;
        }
    }
    return stored == map.mapSize;
}

bool parseKeyboardMap(ScalaText& text, ScalaDataImporter::KeyboardMap& map)
{
    std::int64_t value = 0;
    if (!readIntegerField(text, false, value) || value > ScalaDataImporter::mappingTableSize)
        return false;
    map.mapSize = (int) value;

    // The three key numbers are bytes; larger numbers wrap.
    std::uint8_t* const notes[] = {&map.firstNote, &map.lastNote, &map.middleNote};
    for (auto* note : notes)
    {
        if (!readIntegerField(text, false, value))
            return false;
        *note = (std::uint8_t)(value & 0xFF);
    }

    if (!readIntegerField(text, true, value) || !fitsInt(value))
        return false;
    map.referenceNote = (int) value;

    if (!readFrequency(text, map.referenceFrequency))
        return false;

    if (!readIntegerField(text, false, value) || !fitsInt(value))
        return false;
    map.octaveDegree = (int) value;

    if (!readMapping(text, map))
        return false;

    map.offset = (float) (69 - (std::int64_t) map.referenceNote) +
                 12.0f * std::log10(map.referenceFrequency / 440.0f) / 0.30103f;
    return std::isfinite(map.offset);
}

int floorDiv(int a, int b)
{
    const int q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

int floorMod(int a, int b)
{
    const int r = a % b;
    return r < 0 ? r + b : r;
}

// A user-scale note: kept within 0 to just below 127 + 1/2, so the reserved 7F 7F 7F never arises.
// Returns the display flag: 1 when the note lies less than half a semitone above its semitone.
juce::uint8 encodeScaleNote(float t, juce::uint8* entry)
{
    if (!(t >= 0.0f))
        t = 0.0f;
    if (t >= 127.5f)
        t = 127.49f;
    const int s = (int) t;
    const int f = (int) ((t - (float) s) * 16384.0f);
    entry[0] = (juce::uint8)(s & 0x7F);
    entry[1] = (juce::uint8)((f >> 7) & 0x7F);
    entry[2] = (juce::uint8)(f & 0x7F);
    return f < 8192 ? 1 : 0;
}

// A user-octave note, -12.5 to just below 23.5 semitones; the semitone is the floor of the pitch,
// stored as a 7-bit two's complement number.
juce::uint8 encodeOctaveNote(float t, juce::uint8* entry)
{
    if (!(t >= -12.5f))
        t = -12.5f;
    if (t >= 23.5f)
        t = 23.49f;
    int s = (int) t;
    int f = (int) ((t - (float) s) * 16384.0f);
    if (t < 0.0f && f != 0)
    {
        s -= 1;
        f += 16384;
    }
    entry[0] = (juce::uint8)(s & 0x7F);
    entry[1] = (juce::uint8)((f >> 7) & 0x7F);
    entry[2] = (juce::uint8)(f & 0x7F);
    return f < 8192 ? 1 : 0;
}

float pitchOf(const ScalaDataImporter::Scale& scale, int degree)
{
    return degree == 0 ? 0.0f : scale.pitches[(size_t) degree];
}

// Pitch of a mapped key in semitones; false when its mapping entry names a degree the scale lacks.
bool mappedPitch(const ScalaDataImporter::Scale& scale, const ScalaDataImporter::KeyboardMap& map, int key,
                 float& pitch)
{
    const int k = key - (int) map.middleNote + 60;
    const int degree = map.mapping[(size_t) floorMod(k, map.mapSize)];
    if (degree < 0 || degree >= map.octaveDegree)
        return false;
    const float octave = pitchOf(scale, map.octaveDegree);
    pitch = (float) floorDiv(k, map.mapSize) * octave + map.offset + pitchOf(scale, degree);
    return true;
}

int selectedOctaveSlot()
{
    return currentTuningSlot < 6 ? currentTuningSlot : 0;
}

int selectedScaleSlot()
{
    return currentTuningSlot >= 6 ? currentTuningSlot - 6 : 0;
}

// The laid-out notes become the edit buffer and, as one undoable step, the library slot's tuning.
void storeUserScale(const ScaleNotes& notes, const ScaleFlags& flags)
{
    auto* holder = x47390_data::CurrentTuneScaleData::getInstance();
    x47390_data::CurrentTuneScaleData::editBuffer = notes;
    holder->displayFlags = flags;
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteTuneScale");
    undoManager->perform(new x47390_action::SetTuneScaleEditAction(selectedScaleSlot()));
    holder->tuneScaleChanged();
}

void storeUserOctave(const OctNotes& notes, const OctFlags& flags)
{
    auto* holder = x47390_data::CurrentTuneOctData::getInstance();
    x47390_data::CurrentTuneOctData::editBuffer = notes;
    holder->displayFlags = flags;
    auto* undoManager = application::ApplicationUndoManager::getInstance();
    undoManager->beginNewTransaction("PasteTuneOct");
    undoManager->perform(new x47390_action::SetTuneOctEditAction(selectedOctaveSlot()));
    holder->tuneOctChanged();
}
} // namespace

int ScalaDataImporter::read(const juce::File& file)
{
    platform::RegularFileInputStream input(file);
    if (!input.openedOk())
        return file::ReadError::openFile;
    juce::BufferedInputStream buffered(input, 4096);
    ScalaText text(buffered);

    Scale parsed;
    if (!parseScale(text, parsed))
        return file::ReadError::failedToImportScalaData;
    scale = parsed;
    return applyToSelectedSlot();
}

int ScalaDataImporter::applyToSelectedSlot()
{
    const int count = scale.pitchCount;
    if (keyboardMap.mapSize != 0 && keyboardMap.octaveDegree != count)
        resetKeyboardMapping();

    const bool octaveSlot = currentTuningSlot < 6;
    if (keyboardMap.mapSize == 0)
    {
        if (octaveSlot)
            fillUserOctave(count);
        else
            fillUserScale(count);
        return file::ReadError::noError;
    }

    // Every key is laid out before anything is written, so a map that names a missing degree changes nothing.
    if (octaveSlot)
    {
        OctNotes notes{};
        OctFlags flags{};
        for (int n = 0; n < x47390_data::tuneOctNoteCount; ++n)
        {
            float t = 0.0f;
            if (!mappedPitch(scale, keyboardMap, n, t))
                return file::ReadError::failedToImportScalaData;
            flags[(size_t) n] = encodeOctaveNote(t, &notes[(size_t) n * 3]);
        }
        storeUserOctave(notes, flags);
        return file::ReadError::noError;
    }

    ScaleNotes notes{};
    ScaleFlags flags{};
    for (int n = 0; n < x47390_data::tuneScaleNoteCount; ++n)
    {
        if (n < keyboardMap.firstNote || n > keyboardMap.lastNote)
        {
            flags[(size_t) n] = 1;
            continue;
        }
        float t = 0.0f;
        if (!mappedPitch(scale, keyboardMap, n, t))
            return file::ReadError::failedToImportScalaData;
        flags[(size_t) n] = encodeScaleNote(t, &notes[(size_t) n * 3]);
    }
    storeUserScale(notes, flags);
    return file::ReadError::noError;
}

// Lays the first count degrees of the scale out over the notes, repeating them octave by octave.
template <class Notes, class Flags, class Encode, class Store>
void layOutLinearly(const ScalaDataImporter::Scale& scale, int count, Encode encode, Store store)
{
    if (count > ScalaDataImporter::maxPitches)
        return;
    Notes notes{};
    Flags flags{};
    flags.fill(1);
    if (count > 0)
    {
        const float octave = pitchOf(scale, count);
        for (int n = 0; n < (int) flags.size(); ++n)
        {
            const float t = (float) (n / count) * octave + pitchOf(scale, n % count);
            flags[(size_t) n] = encode(t, &notes[(size_t) n * 3]);
        }
    }
    store(notes, flags);
}

void ScalaDataImporter::fillUserScale(int count)
{
    layOutLinearly<ScaleNotes, ScaleFlags>(scale, count, encodeScaleNote, storeUserScale);
}

void ScalaDataImporter::fillUserOctave(int count)
{
    layOutLinearly<OctNotes, OctFlags>(scale, count, encodeOctaveNote, storeUserOctave);
}

int ScalaDataImporter::importKeyboardMap(const juce::File& file)
{
    platform::RegularFileInputStream input(file);
    if (!input.openedOk())
        return file::ReadError::openFile;
    juce::BufferedInputStream buffered(input, 4096);
    ScalaText text(buffered);

    // A map that fails leaves the one in force untouched.
    KeyboardMap parsed = keyboardMap;
    if (!parseKeyboardMap(text, parsed))
        return file::ReadError::failedToImportMapData;
    keyboardMap = parsed;
    keyboardMapFileName = file.getFileName();
    return file::ReadError::noError;
}

void ScalaDataImporter::resetKeyboardMapping()
{
    keyboardMap.mapSize = 0;
    keyboardMap.firstNote = 0;
    keyboardMap.lastNote = 127;
    keyboardMap.middleNote = 60;
    keyboardMap.referenceNote = 69;
    keyboardMap.referenceFrequency = 440.0f;
    keyboardMap.octaveDegree = 12;
    keyboardMap.offset = 0.0f;
    for (int i = 0; i < 128; ++i)
        keyboardMap.mapping[(size_t) i] = i;
    keyboardMapFileName.clear();
}
} // namespace x47390_file
