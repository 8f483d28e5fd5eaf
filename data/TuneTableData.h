#pragma once

#include "data/SerializedData.h"
#include "data/SerializedSectionDataReader.h"
#include "data/SerializedSectionDataWriter.h"
#include "data/XmlText.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstring>

namespace x47390_data
{
// What the user octave and the user scale share: tables of 3-byte notes with a programmer and a comment.
// Only the names differ, so both keep their own classes and delegate here.
namespace tuneTable
{
struct Names
{
    const char* writtenRoot;
    const char* acceptedRoots[4]; // ours first, then those of the sibling instruments
    // Our own container form; nothing outside the tuning classes reads it.
    const char* containerTag;
    const char* notesTag;
    const char* informationTag;
};

// Entry n is {n, 0, 0}: every note at its own equal-tempered pitch.
template <size_t Size>
constexpr std::array<juce::uint8, Size> makeIdentity()
{
    std::array<juce::uint8, Size> notes{};
    for (size_t n = 0; n < Size / 3; ++n)
        notes[n * 3] = (juce::uint8) n;
    return notes;
}

inline bool isAcceptedRoot(const juce::XmlElement& root, const Names& names)
{
    bool accepted = false;
    for (auto* name : names.acceptedRoots)
        accepted = accepted || data::tagNameIs(root, name);
    return accepted;
}

template <typename TuneData>
bool loadInformation(TuneData& target, const juce::XmlElement& root, const Names& names)
{
    if (!isAcceptedRoot(root, names))
        return false;

    data::readInformationTexts(root, target.information.programmer, target.information.comment);
    return true;
}

template <typename TuneData>
data::SerializedData serialize(const TuneData& source, const Names& names)
{
    data::SerializedData result;
    data::SerializedSectionDataWriter writer(result);
    writer.addSection(names.notesTag, source.notes.data(), source.notes.size());
    const auto text = source.createInformationText();
    const char* utf8 = text.toRawUTF8();
    writer.addSection(names.informationTag, utf8, std::strlen(utf8) + 1);
    writer.finish(names.containerTag);
    return result;
}

// Leaves target untouched unless the whole container decodes.
template <typename TuneData>
bool deserialize(TuneData& target, const data::SerializedData& source, const Names& names)
{
    data::SerializedSectionDataReader reader(source);
    if (!reader.read() || reader.getTag() != names.containerTag)
        return false;

    TuneData decoded(target);
    for (const auto& section : reader.getSections())
    {
        if (section.tag == names.notesTag)
        {
            if (section.payload.getSize() != decoded.notes.size())
                return false;
            std::memcpy(decoded.notes.data(), section.payload.getData(), decoded.notes.size());
        }
        else if (section.tag == names.informationTag)
        {
            auto root = data::parseDocumentBytes(section.payload.getData(), section.payload.getSize());
            if (root == nullptr || !decoded.loadInformationFromXml(*root))
                return false;
        }
    }

    decoded.updateHash();
    target = decoded;
    return true;
}
} // namespace tuneTable
} // namespace x47390_data
