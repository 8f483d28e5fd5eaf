#include "files/VoicingEditorLibraryDataImporter.h"

#include "data/LibraryData.h"
#include "data/XmlText.h"
#include "files/VoicingEditorFileHeaderReaderWriter.h"
#include "platform/system/RegularFileInputStream.h"

#include <algorithm>

namespace x47390_file
{
namespace
{
// A text field up to its first zero byte. The older editor's texts are UTF-8 as far as we know;
// a field cut inside a character loses that character, anything else undecodable reads as Latin-1.
juce::String textFromField(const std::uint8_t* bytes, int size)
{
    int length = 0;
    while (length < size && bytes[length] != 0)
        ++length;
    const auto* chars = reinterpret_cast<const char*>(bytes);
    for (int cut = 0; cut <= 3 && cut <= length; ++cut)
        if (data::isValidUtf8(chars, static_cast<size_t>(length - cut)))
            return juce::String::fromUTF8(chars, length - cut);
    juce::String text;
    for (int i = 0; i < length; ++i)
        text += static_cast<juce::juce_wchar>(bytes[i]);
    return text;
}
} // namespace

VoicingEditorLibraryDataImporter::VoicingEditorLibraryDataImporter(x47390_data::LibraryData* targetToUse)
    : target(targetToUse)
{
}

VoicingEditorLibraryDataImporter::~VoicingEditorLibraryDataImporter() = default;

int VoicingEditorLibraryDataImporter::read(const juce::File& file)
{
    platform::RegularFileInputStream stream(file);
    if (!stream.openedOk())
        return 1;

    VoicingEditorFileHeaderReaderWriter container;
    if (container.read(stream) != 0)
        return 4;
    if (container.tag != libraryTag)
        return 5;

    constexpr juce::int64 headerSize = VoicingEditorFileHeaderReaderWriter::headerSize;
    juce::int64 chunkStart = headerSize;
    bool programSetRead = false;

    for (int chunk = 0; chunk < 3; ++chunk)
    {
        VoicingEditorFileHeaderReaderWriter header;
        if (!stream.setPosition(chunkStart) || header.read(stream) != 0 || header.dataSize < 0)
            return 3;

        if (header.tag == programSetTag)
        {
            if (header.count != programCount)
                return 12;

            juce::int64 programStart = chunkStart + headerSize;
            for (int j = 0; j < programCount; ++j)
            {
                VoicingEditorFileHeaderReaderWriter programHeader;
                if (!stream.setPosition(programStart) || programHeader.read(stream) != 0)
                    return 7;
                if (programHeader.tag != programTag)
                    return 8;

                std::uint8_t data[programDataSize];
                if (programHeader.dataSize < 0 || !stream.setPosition(programStart + headerSize) ||
                    stream.read(data, programDataSize) != programDataSize)
                    return 7;

                auto& program = target->getProgramData(j);
                std::copy(data, data + programBinarySize, program.binary.begin());
                program.updateHash();
                program.information.programmer =
                    textFromField(data + programBinarySize + programGapSize, programmerSize);
                program.information.comment =
                    textFromField(data + programBinarySize + programGapSize + programmerSize, commentSize);

                programStart += headerSize + programHeader.dataSize;
            }
            programSetRead = true;
        }

        chunkStart += headerSize + header.dataSize;
    }

    // A library without its programs is not a library we can import.
    return programSetRead ? 0 : 3;
}
} // namespace x47390_file
