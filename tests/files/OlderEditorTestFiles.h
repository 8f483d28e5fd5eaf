#pragma once

#include "data/ProgramData.h"
#include "files/VoicingEditorLibraryDataImporter.h"

#include <juce_core/juce_core.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace olderEditorTest
{
using x47390_file::VoicingEditorLibraryDataImporter;

// Writes files in the older editor's layout: chunk headers of 32 bytes (tag, header size, data size,
// three 16-bit values, count, one 32-bit value, fill) followed by their data.
class OlderEditorFileWriter
{
public:
    struct Program
    {
        x47390_data::ProgramBinary binary = x47390_data::initProgramTemplate;
        std::string programmer;
        std::string comment;
        std::string tag = VoicingEditorLibraryDataImporter::programTag;
    };

    OlderEditorFileWriter()
    {
        for (int i = 0; i < 500; ++i)
        {
            auto& program = programs[(size_t) i];
            const auto name = juce::String::formatted("Old %03d", i).paddedRight(' ', 12);
            std::memcpy(program.binary.data() + 4, name.toRawUTF8(), 12);
            program.binary[100] = (juce::uint8) i;
            program.programmer = "Author " + std::to_string(i);
            program.comment = "Comment for program " + std::to_string(i);
        }
    }

    static void header(juce::MemoryOutputStream& out, const std::string& tag, int dataSize, int count)
    {
        char tagBytes[8] = {};
        std::memcpy(tagBytes, tag.data(), std::min<size_t>(tag.size(), 8));
        out.write(tagBytes, 8);
        out.writeShort(32);
        out.writeInt(dataSize);
        out.writeShort(0);
        out.writeShort(0);
        out.writeShort(0);
        out.writeInt(count);
        out.writeInt(0);
        out.writeInt(-1);
    }

    static void programChunk(juce::MemoryOutputStream& out, const Program& program)
    {
        header(out, program.tag, VoicingEditorLibraryDataImporter::programDataSize, 1);
        out.write(program.binary.data(), program.binary.size());
        out.writeRepeatedByte(0xAA, 32);
        writeField(out, program.programmer, 24);
        writeField(out, program.comment, 64);
        out.writeRepeatedByte(0x55, 24);
    }

    static void writeField(juce::MemoryOutputStream& out, const std::string& text, size_t size)
    {
        std::string field = text.substr(0, size);
        field.resize(size, '\0');
        out.write(field.data(), size);
    }

    juce::MemoryBlock build() const
    {
        juce::MemoryOutputStream chunks;
        for (const auto& chunk : before)
            otherChunk(chunks, chunk);
        if (withProgramSet)
        {
            juce::MemoryOutputStream set;
            for (int i = 0; i < programsWritten; ++i)
                programChunk(set, programs[(size_t) i]);
            header(chunks, programSetTag, (int) set.getDataSize(), programSetCount);
            chunks.write(set.getData(), set.getDataSize());
        }
        for (const auto& chunk : after)
            otherChunk(chunks, chunk);

        juce::MemoryOutputStream file;
        header(file, containerTag, (int) chunks.getDataSize(), (int) (before.size() + after.size() + 1));
        file.write(chunks.getData(), chunks.getDataSize());
        return file.getMemoryBlock();
    }

    static void otherChunk(juce::MemoryOutputStream& out, const std::string& tag)
    {
        header(out, tag, 40, 1);
        out.writeRepeatedByte(0x11, 40);
    }

    std::array<Program, 500> programs;
    std::string containerTag = VoicingEditorLibraryDataImporter::libraryTag;
    std::string programSetTag = VoicingEditorLibraryDataImporter::programSetTag;
    std::vector<std::string> before{"7390LvsS"};
    std::vector<std::string> after{"7390TunS"};
    bool withProgramSet = true;
    int programSetCount = 500;
    int programsWritten = 500;
};
} // namespace olderEditorTest
