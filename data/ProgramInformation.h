#pragma once

#include <juce_core/juce_core.h>

#include <memory>
#include <string>

namespace x47390_data
{
// The two description texts of a program.
class ProgramInformation
{
public:
    virtual ~ProgramInformation() = default;

    // Root "sonavire_ProgramInformation" with "Programmer" and "Comment" in that order.
    std::unique_ptr<juce::XmlElement> createXml() const;
    // The same document's text, appended to out.
    void appendDocument(std::string& out) const;

    juce::String programmer;
    juce::String comment;
};
} // namespace x47390_data
