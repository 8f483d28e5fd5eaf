// Any bytes as an XML document, the way every file and clipboard reader takes one: the parse returns
// (no hang, no deep recursion), and a document that reads writes back to text that reads to the same tree
// (text runs compared merged and without the whitespace-only ones, which the writer adds and the reader drops;
// every other character, line ends included, the same). Its texts written straight as a document give the
// element tree's bytes.
#include "data/FavoriteData.h"
#include "data/ProgramInformation.h"
#include "data/TuneScaleData.h"
#include "data/XmlText.h"
#include "fuzz/FuzzSupport.h"

#include <string>

namespace
{
void writeDocument(const juce::File& folder, const juce::String& name, const juce::XmlElement& element)
{
    const auto text = data::toDocumentText(element);
    fuzzsupport::writeSeed(folder, name, juce::MemoryBlock(text.toRawUTF8(), text.getNumBytesAsUTF8()));
}

// Built in a std::string: appending to a juce::String measures the whole text each time.
void describe(const juce::XmlElement& element, std::string& out)
{
    out += "<" + element.getTagName().toStdString();
    for (int i = 0; i < element.getNumAttributes(); ++i)
        out += " " + element.getAttributeName(i).toStdString() + "=[" + element.getAttributeValue(i).toStdString() + "]";
    out += ">";
    juce::StringArray run;
    auto endRun = [&]
    {
        // Carriage returns the first tree holds (from references or sections) are written so that they stay.
        const auto text = run.joinIntoString({});
        if (text.containsNonWhitespaceChars())
            out += "{" + text.toStdString() + "}";
        run.clear();
    };
    for (auto* child : element.getChildIterator())
    {
        if (child->isTextElement())
        {
            run.add(child->getText());
            continue;
        }
        endRun();
        describe(*child, out);
    }
    endRun();
    out += "</>";
}

std::string description(const juce::XmlElement& element)
{
    std::string out;
    describe(element, out);
    return out;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzzsupport::initialise(
        [](const juce::File& folder)
        {
            x47390_data::ProgramInformation information;
            information.programmer = "Seed & \"quotes\" <tags>";
            information.comment = juce::String::fromUTF8("line\r\nnext \xc3\xa4\xe2\x82\xac");
            writeDocument(folder, "information", *information.createXml());
            writeDocument(folder, "favorites", *x47390_data::FavoriteData().createXml());
            writeDocument(folder, "scale", *x47390_data::TuneScaleInformation().createXml());
            const char* mixed = "<?xml version=\"1.0\"?><!-- c --><a b='1' c=\"&#65;\"><![CDATA[<x>]]>t&amp;<d/></a>";
            fuzzsupport::writeSeed(folder, "mixed", juce::MemoryBlock(mixed, std::strlen(mixed)));
        });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto first = data::parseDocumentBytes(data, size);
    if (first == nullptr)
        return 0;
    const auto text = data::toDocumentText(*first);
    const auto second = data::parseDocumentBytes(text.toRawUTF8(), text.getNumBytesAsUTF8());
    fuzzsupport::require(second != nullptr);
    fuzzsupport::require(description(*second) == description(*first));

    // Its texts written straight into a document give the same bytes as through an element tree.
    x47390_data::ProgramInformation information;
    information.programmer = first->getAllSubText();
    information.comment = first->getTagName();
    std::string direct;
    information.appendDocument(direct);
    fuzzsupport::require(direct == data::toDocumentText(*information.createXml()).toStdString());
    return 0;
}
