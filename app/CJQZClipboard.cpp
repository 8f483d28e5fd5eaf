#include "app/CJQZClipboard.h"

#include "data/ProgramData.h"
#include "platform/clipboard/Pasteboard.h"

const char* const CJQZClipboard::programDataType = "x47390_ProgramData";

void CJQZClipboard::copyToSystemPasteboard(const juce::MemoryBlock& bytes)
{
    platform::clipboard::Pasteboard::getDefault()->setData(programDataType, bytes);
}

std::optional<juce::MemoryBlock> CJQZClipboard::readFromSystemPasteboard()
{
    return platform::clipboard::Pasteboard::getDefault()->getData(programDataType);
}

void CJQZClipboard::copyProgram(const x47390_data::ProgramData& program)
{
    copyToSystemPasteboard(program.serialize());
}

std::optional<x47390_data::ProgramData> CJQZClipboard::readProgram()
{
    const auto bytes = readFromSystemPasteboard();
    if (!bytes.has_value() || bytes->isEmpty())
        return std::nullopt;
    x47390_data::ProgramData program;
    if (!program.deserialize(data::SerializedData(bytes->getData(), bytes->getSize())))
        return std::nullopt;
    return program;
}
