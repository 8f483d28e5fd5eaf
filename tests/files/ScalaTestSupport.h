#pragma once

#include "data/FactoryScaleTemplates.h"
#include "files/ScalaDataImporter.h"
#include "tests/data/EditTestSupport.h"

#include <array>

namespace scalatest
{
using Note = std::array<int, 3>;

// Tuning slots as the tuning editor numbers them.
constexpr int octaveSlot(int octave)
{
    return octave;
}
constexpr int scaleSlot(int scale)
{
    return 6 + scale;
}

template <class Notes>
Note noteAt(const Notes& notes, int n)
{
    return {notes[(size_t) n * 3], notes[(size_t) n * 3 + 1], notes[(size_t) n * 3 + 2]};
}

// A fresh library and history around each test, and no keyboard map in force.
class ScalaFixture : public edittest::EditFixture
{
protected:
    ScalaFixture() { x47390_file::ScalaDataImporter::resetKeyboardMapping(); }
    ~ScalaFixture() override { x47390_file::ScalaDataImporter::resetKeyboardMapping(); }

    juce::File writeFile(const juce::String& name, const juce::String& text)
    {
        const auto file = folder.file(name);
        file.deleteFile();
        file.create();
        file.appendData(text.toRawUTF8(), text.getNumBytesAsUTF8());
        return file;
    }

    // Imports a scale text into a tuning slot (0 to 5 user octaves, 6 to 11 user scales).
    int importScale(const juce::String& text, int slot)
    {
        currentTuningSlot = (std::uint8_t) slot;
        x47390_file::ScalaDataImporter importer;
        return importer.read(writeFile("scale.scl", text));
    }

    int importScaleFile(const juce::File& file, int slot)
    {
        currentTuningSlot = (std::uint8_t) slot;
        x47390_file::ScalaDataImporter importer;
        return importer.read(file);
    }

    int importMap(const juce::String& text, const juce::String& name = "map.kbm")
    {
        return x47390_file::ScalaDataImporter::importKeyboardMap(writeFile(name, text));
    }

    static const x47390_data::TuneScaleNotes& scaleNotes(int scale) { return library().getTuneScaleData(scale).notes; }
    static const x47390_data::TuneOctNotes& octaveNotes(int octave) { return library().getTuneOctData(octave).notes; }

    // Puts a factory template into a library scale and forgets how it got there.
    static void seedScale(int scale, int templateNumber)
    {
        auto& target = library().getTuneScaleData(scale);
        std::copy(factoryScaleTemplates[(size_t) templateNumber].begin(),
                  factoryScaleTemplates[(size_t) templateNumber].end(), target.notes.begin());
        target.updateHash();
    }

    testsupport::TemporaryFolder folder;
};

// A scale text in the usual layout: a comment, a description, the count and one value per line.
inline juce::String scaleText(const juce::StringArray& values, const juce::String& lineEnd = "\n")
{
    juce::String text =
        "! test.scl" + lineEnd + "A test scale" + lineEnd + juce::String(values.size()) + lineEnd + "!" + lineEnd;
    for (const auto& value : values)
        text << " " << value << lineEnd;
    return text;
}

// 12-tone equal temperament: 100.0 to 1100.0 cents and 2/1.
inline juce::String twelveTone(const juce::String& lineEnd = "\n")
{
    juce::StringArray values;
    for (int i = 1; i < 12; ++i)
        values.add(juce::String(i * 100) + ".0");
    values.add("2/1");
    return scaleText(values, lineEnd);
}

// A keyboard-map text: the seven header fields, then the mapping entries one per line.
inline juce::String mapText(int size, int first, int last, int middle, int reference, const juce::String& frequency,
                            int octaveDegree, const juce::StringArray& entries)
{
    juce::String text = "! map.kbm\n!\n";
    text << size << "\n" << first << "\n" << last << "\n" << middle << "\n" << reference << "\n";
    text << frequency << "\n" << octaveDegree << "\n! Mapping.\n";
    for (const auto& entry : entries)
        text << entry << "\n";
    return text;
}

inline juce::StringArray identityEntries(int count)
{
    juce::StringArray entries;
    for (int i = 0; i < count; ++i)
        entries.add(juce::String(i));
    return entries;
}
} // namespace scalatest
