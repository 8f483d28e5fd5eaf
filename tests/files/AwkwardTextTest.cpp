// Texts that XML handles in its own ways (line ends, white space, references) keep every character
// through a save and a read of each file kind.
#include "data/LibraryData.h"
#include "data/PresetData.h"
#include "data/XmlText.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/PresetFileReader.h"
#include "files/PresetFileWriter.h"
#include "files/ProgramFileReader.h"
#include "files/ProgramFileWriter.h"
#include "tests/files/LibraryFileTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
struct AwkwardText
{
    const char* what;
    juce::String text;
};

std::vector<AwkwardText> awkwardTexts()
{
    return {
        {"CR LF", "line one\r\nline two"},
        {"CR alone", "a\rb"},
        {"CR at the end", "ends\r"},
        {"CR LF alone", "\r\n"},
        {"LF", "\n\nblank lines\n\n"},
        {"tabs", "\tone\ttwo\t"},
        {"spaces around", "  padded  "},
        {"spaces only", "   "},
        {"ideographic space only", juce::String::fromUTF8("\xe3\x80\x80")},
        {"control characters XML refuses", "bell\x07 escape\x1b start\x01 form\x0c"},
        {"non-ASCII", juce::String::fromUTF8("Gr\xc3\xbc\xc3\x9f" "e \xe2\x99\xaa \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xb9")},
        {"markup", "Ann & <Bob> \"quoted\" 'single' ]]> <![CDATA[ &amp; &#13;"},
        {"empty", ""},
    };
}

std::unique_ptr<x47390_data::LibraryData> libraryWith(const juce::String& text)
{
    auto library = std::make_unique<x47390_data::LibraryData>();
    for (int i = 0; i < 3; ++i)
    {
        auto& program = library->getProgramData(i);
        program.setName("Text " + juce::String(i));
        program.information.programmer = text;
        program.information.comment = "<" + text + ">";
        program.updateHash();
    }
    return library;
}
} // namespace

TEST(AwkwardTexts, SurviveLibraryProgramAndPresetFiles)
{
    testsupport::TemporaryFolder folder;
    for (const auto& [what, text] : awkwardTexts())
    {
        SCOPED_TRACE(what);

        const auto saved = libraryWith(text);
        const auto libraryFile = folder.file("a.snvrlib");
        ASSERT_EQ(x47390_file::LibraryFileWriter(saved.get()).write(libraryFile), 0);
        auto loaded = std::make_unique<x47390_data::LibraryData>();
        ASSERT_EQ(x47390_file::LibraryFileReader(loaded.get()).read(libraryFile), 0);
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_EQ(loaded->getProgramData(i).information.programmer, text);
            EXPECT_EQ(loaded->getProgramData(i).information.comment, "<" + text + ">");
        }

        const auto programFile = folder.file("a.snvrprog");
        ASSERT_EQ(x47390_file::ProgramFileWriter(&saved->getProgramData(1)).write(programFile), 0);
        x47390_data::ProgramData program;
        ASSERT_EQ(x47390_file::ProgramFileReader(&program).read(programFile), 0);
        EXPECT_EQ(program.information.programmer, text);
        EXPECT_EQ(program.information.comment, "<" + text + ">");

        auto preset = std::make_unique<x47390_data::PresetData>();
        auto& info = preset->information;
        info.dataID = "ID" + text;
        info.name = text;
        info.author = text + "a";
        info.copyright = "c" + text;
        info.date = text;
        info.prefix = text;
        preset->programs[499].information.comment = text;
        const auto presetFile = folder.file("a.snvrpreset");
        ASSERT_EQ(x47390_file::PresetFileWriter(preset.get()).write(presetFile), 0);
        auto read = std::make_unique<x47390_data::PresetData>();
        ASSERT_EQ(x47390_file::PresetFileReader(read.get()).read(presetFile), 0);
        EXPECT_EQ(read->information.dataID, "ID" + text);
        EXPECT_EQ(read->information.name, text);
        EXPECT_EQ(read->information.author, text + "a");
        EXPECT_EQ(read->information.copyright, "c" + text);
        EXPECT_EQ(read->information.date, text);
        EXPECT_EQ(read->information.prefix, text);
        EXPECT_EQ(read->programs[499].information.comment, text);
    }
}

// Only the texts the toolkit's own writer loses are written differently; the rest of a document keeps its
// bytes, so files saved before read and compare as they did.
TEST(AwkwardTexts, DocumentsDifferFromTheToolkitsFormOnlyWhereItLosesText)
{
    for (const auto& [what, text] : awkwardTexts())
    {
        SCOPED_TRACE(what);
        juce::XmlElement root("Root");
        root.setAttribute("Value", text);
        root.setAttribute("Second", "a long attribute value that wraps the attribute line");
        root.setAttribute("Third", 3);
        data::addTextChild(root, "Text", text);
        root.createNewChildElement("Empty");
        auto* mixed = root.createNewChildElement("Mixed");
        mixed->addTextElement("before ");
        mixed->createNewChildElement("Inner")->setAttribute("x", "1");
        mixed->addTextElement(" after");

        const auto ours = data::toDocumentText(root);
        const bool lostByToolkit = text.containsChar('\r') || (text.isNotEmpty() && !text.containsNonWhitespaceChars());
        if (!lostByToolkit)
            EXPECT_EQ(ours, root.toString());
        else
            EXPECT_NE(ours, root.toString());

        const auto back = data::parseDocumentBytes(ours.toRawUTF8(), ours.getNumBytesAsUTF8());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->getStringAttribute("Value"), text);
        EXPECT_EQ(back->getChildByName("Text")->getAllSubText(), text);
    }
}

// A program information member written before carriage returns were kept still reads, with its line ends
// read as line feeds as they always were.
TEST(AwkwardTexts, OlderInformationWithRawLineEndsStillReads)
{
    x47390_data::ProgramData program;
    program.information.comment = "one\r\ntwo\rthree";
    const auto older = program.information.createXml()->toString();
    ASSERT_TRUE(older.contains("one\r\ntwo\rthree"));

    ziptest::Members members;
    x47390_data::ProgramData initial;
    members.emplace_back("Prog_000.prog_bin", juce::MemoryBlock(initial.binary.data(), initial.binary.size()));
    members.emplace_back("Prog_000.prog_info", juce::MemoryBlock(older.toRawUTF8(), older.getNumBytesAsUTF8()));
    const juce::String index = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<VexoMSLibrarian_Data><Product>sonavire</Product>"
                               "<Contents><ProgramData><Information>Prog_000.prog_info</Information>"
                               "<ProgramBinary>Prog_000.prog_bin</ProgramBinary></ProgramData></Contents>"
                               "</VexoMSLibrarian_Data>";
    members.emplace_back("FileInformation.xml", juce::MemoryBlock(index.toRawUTF8(), index.getNumBytesAsUTF8()));
    testsupport::TemporaryFolder folder;
    const auto file = ziptest::writeZip(folder.file("older.snvrprog"), members);

    x47390_data::ProgramData read;
    ASSERT_EQ(x47390_file::ProgramFileReader(&read).read(file), 0);
    EXPECT_EQ(read.information.comment, "one\ntwo\nthree");
}
