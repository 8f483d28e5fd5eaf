#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace x47390_data
{
// The two description texts of a program.
class ProgramInformation
{
public:
    virtual ~ProgramInformation() = default;

    // Root "sonavire_ProgramInformation" with "Programmer" and "Comment" in that order.
    std::unique_ptr<juce::XmlElement> createXml() const;

    juce::String programmer;
    juce::String comment;
};
} // namespace x47390_data
