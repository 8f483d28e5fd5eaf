#include "data/PresetData.h"
#include "files/FileReader.h"
#include "files/MemoryBasedZipUncompressor.h"
#include "files/PresetFileReader.h"
#include "files/PresetFileWriter.h"
#include "files/ZipLibraryFileWriter.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(PresetFiles, WriteAndReadBack)
{
    testsupport::TemporaryFolder folder;
    auto preset = std::make_unique<x47390_data::PresetData>();
    auto& info = preset->information;
    info.dataID = "ID";
    info.name = "Name & <more>";
    info.author = "Author";
    info.copyright = "Copyright";
    info.date = "2026-12-10";
    info.prefix = "P";
    info.version = 7;
    info.numOfProg = 3; // all 500 programs are written anyway
    for (int i = 0; i < 500; ++i)
    {
        preset->programs[(size_t) i].setName("P" + juce::String(i));
        preset->programs[(size_t) i].information.comment = "c" + juce::String(i);
    }
    const auto file = folder.file("a.snvrpreset");
    ASSERT_EQ(x47390_file::PresetFileWriter(preset.get()).write(file), 0);

    auto read = std::make_unique<x47390_data::PresetData>();
    ASSERT_EQ(x47390_file::PresetFileReader(read.get()).read(file), 0);
    EXPECT_EQ(read->information.dataID, "ID");
    EXPECT_EQ(read->information.name, "Name & <more>");
    EXPECT_EQ(read->information.author, "Author");
    EXPECT_EQ(read->information.copyright, "Copyright");
    EXPECT_EQ(read->information.date, "2026-12-10");
    EXPECT_EQ(read->information.prefix, "P");
    EXPECT_EQ(read->information.version, 7);
    EXPECT_EQ(read->information.numOfProg, 3);
    for (int i = 0; i < 500; ++i)
    {
        ASSERT_EQ(read->programs[(size_t) i].binary, preset->programs[(size_t) i].binary) << i;
        ASSERT_EQ(read->programs[(size_t) i].information.comment, "c" + juce::String(i));
    }
}

TEST(PresetFiles, ShortAndInformationlessFiles)
{
    testsupport::TemporaryFolder folder;
    x47390_data::ProgramData named;
    named.setName("Only one");

    // Three programs: the rest read as initial programs.
    {
        x47390_file::ZipLibraryFileWriter writer;
        x47390_data::PresetInformation info;
        info.dataID = "Short";
        writer.addPresetInformation(info);
        for (int i = 0; i < 3; ++i)
            writer.addProgram(named);
        ASSERT_EQ(writer.writeLibrary(folder.file("short.snvrpreset")), 0);
    }
    auto preset = std::make_unique<x47390_data::PresetData>();
    preset->programs[100].setName("Stale");
    ASSERT_EQ(x47390_file::PresetFileReader(preset.get()).read(folder.file("short.snvrpreset")), 0);
    EXPECT_EQ(preset->programs[2].getName().trimEnd(), "Only one");
    EXPECT_EQ(preset->programs[3].binary, x47390_data::initProgramTemplate);
    EXPECT_EQ(preset->programs[100].binary, x47390_data::initProgramTemplate);

    // No preset information: 22, and the target is left reset.
    {
        x47390_file::ZipLibraryFileWriter writer;
        writer.addProgram(named);
        ASSERT_EQ(writer.writeLibrary(folder.file("noinfo.snvrpreset")), 0);
    }
    preset->programs[0].setName("Stale");
    preset->information.dataID = "Stale";
    EXPECT_EQ(x47390_file::PresetFileReader(preset.get()).read(folder.file("noinfo.snvrpreset")),
              file::ReadError::presetInformationMissing);
    EXPECT_EQ(preset->programs[0].binary, x47390_data::initProgramTemplate);
    EXPECT_TRUE(preset->information.dataID.isEmpty());
    EXPECT_EQ(preset->information.numOfProg, 500);
}

// The description and the index keep the exact text older versions wrote.
TEST(PresetFiles, DescriptionAndIndexExactly)
{
    testsupport::TemporaryFolder folder;
    auto preset = std::make_unique<x47390_data::PresetData>();
    auto& info = preset->information;
    info.dataID = "ID-1";
    info.name = "Pads & <Strings>";
    info.author = juce::String::fromUTF8("J\xc3\xbcrgen");
    info.version = 7;
    info.numOfProg = -3;
    info.prefix = "  ";
    info.copyright = "line\r\nnext";
    const auto file = folder.file("p.snvrpreset");
    ASSERT_EQ(x47390_file::PresetFileWriter(preset.get()).write(file), 0);

    MemoryBasedZipUncompressor zip(file);
    ASSERT_TRUE(zip.uncompressAllEntries().wasOk());
    auto text = [&](const char* name)
    {
        const auto& block = zip.uncompressedData.at(name);
        return juce::String::fromUTF8(static_cast<const char*>(block.getData()), (int) block.getSize());
    };
    const juce::String header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n";
    EXPECT_EQ(text("PresetInformation.xml"), header + "<sonavire_Preset>\r\n"
                                                      "  <DataID>ID-1</DataID>\r\n"
                                                      "  <Name>Pads &amp; &lt;Strings&gt;</Name>\r\n"
                                                      "  <Author>J&#252;rgen</Author>\r\n"
                                                      "  <Version>7</Version>\r\n"
                                                      "  <NumOfProg>-3</NumOfProg>\r\n"
                                                      "  <Date></Date>\r\n"
                                                      "  <Prefix><![CDATA[  ]]></Prefix>\r\n"
                                                      "  <Copyright>line&#13;\nnext</Copyright>\r\n"
                                                      "</sonavire_Preset>\r\n");
    const auto index = text("FileInformation.xml");
    const juce::String indexStart = header + "<VexoMSLibrarian_Data>\r\n"
                                         "  <Product>sonavire</Product>\r\n"
                                         "  <Contents NumLivesetData=\"0\" NumProgramData=\"500\" NumPresetInformation=\"1\"\r\n"
                                         "            NumTuneScaleData=\"0\" NumTuneOctData=\"0\">\r\n"
                                         "    <PresetInformation>\r\n"
                                         "      <File>PresetInformation.xml</File>\r\n"
                                         "    </PresetInformation>\r\n"
                                         "    <ProgramData>\r\n"
                                         "      <Information>Prog_000.prog_info</Information>\r\n"
                                         "      <ProgramBinary>Prog_000.prog_bin</ProgramBinary>\r\n"
                                         "    </ProgramData>\r\n";
    EXPECT_EQ(index.substring(0, indexStart.length()), indexStart);
    EXPECT_TRUE(index.endsWith("    </ProgramData>\r\n  </Contents>\r\n</VexoMSLibrarian_Data>\r\n"));
}
