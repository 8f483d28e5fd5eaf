#include "data/LibraryData.h"
#include "files/FileReader.h"
#include "files/FileWriter.h"
#include "files/LibraryFileReader.h"
#include "files/LibraryFileWriter.h"
#include "files/MemoryBasedZipUncompressor.h"
#include "files/ProgramFileReader.h"
#include "files/ProgramFileWriter.h"
#include "files/TuneOctFileReader.h"
#include "files/TuneOctFileWriter.h"
#include "files/TuneScaleFileReader.h"
#include "files/TuneScaleFileWriter.h"
#include "files/ZipLibraryFileReader.h"
#include "tests/files/FileSavingTestSupport.h"
#include "tests/files/LibraryFileTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ziptest;
using x47390_data::LibraryData;

namespace
{
juce::MemoryBlock fileBytes(const juce::File& f)
{
    juce::MemoryBlock block;
    f.loadFileAsData(block);
    return block;
}

juce::String memberText(MemoryBasedZipUncompressor& zip, const juce::String& name)
{
    const auto& block = zip.uncompressedData.at(name);
    return juce::String::fromUTF8(static_cast<const char*>(block.getData()), (int) block.getSize());
}

void expectSameProgram(const x47390_data::ProgramData& actual, const x47390_data::ProgramData& expected, int number)
{
    EXPECT_EQ(actual.binary, expected.binary) << number;
    EXPECT_EQ(actual.information.programmer, expected.information.programmer) << number;
    EXPECT_EQ(actual.information.comment, expected.information.comment) << number;
    EXPECT_EQ(actual.md5, expected.md5) << number;
}

const char* const xmlHeader = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n";
} // namespace

TEST(LibraryFile, RoundTripKeepsEveryRecord)
{
    testsupport::TemporaryFolder folder;
    auto saved = std::make_unique<LibraryData>();
    fillLibrary(*saved);
    const auto file = folder.file("lib.snvrlib");
    ASSERT_EQ(x47390_file::LibraryFileWriter(saved.get()).write(file), file::WriteError::noError);

    auto loaded = std::make_unique<LibraryData>();
    loaded->getTuneScaleData(2).information.programmer = "kept";
    ASSERT_EQ(x47390_file::LibraryFileReader(loaded.get()).read(file), file::ReadError::noError);
    for (int i = 0; i < LibraryData::numPrograms; ++i)
        expectSameProgram(loaded->getProgramData(i), saved->getProgramData(i), i);
    EXPECT_EQ(loaded->getFavoriteData().entries, saved->getFavoriteData().entries);
    for (int i = 0; i < LibraryData::numTuneScales; ++i)
    {
        EXPECT_EQ(loaded->getTuneScaleData(i).notes, saved->getTuneScaleData(i).notes);
        EXPECT_EQ(loaded->getTuneScaleData(i).md5, saved->getTuneScaleData(i).md5);
    }
    for (int i = 0; i < LibraryData::numTuneOcts; ++i)
    {
        EXPECT_EQ(loaded->getTuneOctData(i).notes, saved->getTuneOctData(i).notes);
        EXPECT_EQ(loaded->getTuneOctData(i).md5, saved->getTuneOctData(i).md5);
        EXPECT_TRUE(loaded->getTuneOctData(i).information.comment.isEmpty()) << "tuning texts stay in the file";
    }
    EXPECT_EQ(loaded->getTuneScaleData(2).information.programmer, "kept");

    // Saving the same library again gives the same bytes, and the file passes a common zip tool.
    const auto again = folder.file("again.snvrlib");
    ASSERT_EQ(x47390_file::LibraryFileWriter(saved.get()).write(again), file::WriteError::noError);
    EXPECT_EQ(fileBytes(again), fileBytes(file));
    if (haveTool("unzip"))
    {
        juce::String output;
        EXPECT_EQ(runShell("unzip -tq '" + file.getFullPathName() + "'", &output), 0) << output;
    }
}

TEST(LibraryFile, MembersAndIndexOfASavedLibrary)
{
    testsupport::TemporaryFolder folder;
    auto library = std::make_unique<LibraryData>();
    fillLibrary(*library);
    const auto file = folder.file("lib.snvrlib");
    ASSERT_EQ(x47390_file::LibraryFileWriter(library.get()).write(file), 0);

    juce::StringArray expected{"LivesetData.lvs_data"};
    for (int i = 0; i < 500; ++i)
        expected.add(juce::String::formatted("Prog_%03d.prog_bin", i)),
            expected.add(juce::String::formatted("Prog_%03d.prog_info", i));
    for (int i = 0; i < 6; ++i)
        expected.add(juce::String::formatted("TunS_%03d.TunS_bin", i)),
            expected.add(juce::String::formatted("TunS_%03d.TunS_info", i));
    for (int i = 0; i < 6; ++i)
        expected.add(juce::String::formatted("TunO_%03d.TunO_bin", i)),
            expected.add(juce::String::formatted("TunO_%03d.TunO_info", i));
    expected.add("FileInformation.xml");

    MemoryBasedZipUncompressor zip(file);
    juce::StringArray names;
    for (const auto& entry : zip.entries)
        names.add(entry.name);
    ASSERT_EQ(names, expected);
    for (const auto& entry : zip.entries)
        EXPECT_TRUE(entry.compressed) << entry.name;
    ASSERT_TRUE(zip.uncompressAllEntries().wasOk());

    // Member bytes: the records' own forms.
    const auto& program7 = library->getProgramData(7);
    EXPECT_EQ(zip.uncompressedData.at("Prog_007.prog_bin"),
              juce::MemoryBlock(program7.binary.data(), program7.binary.size()));
    EXPECT_EQ(memberText(zip, "Prog_007.prog_info"), program7.createInformationText());
    EXPECT_EQ(memberText(zip, "LivesetData.lvs_data"), library->getFavoriteData().createDocumentText());
    EXPECT_EQ(zip.uncompressedData.at("TunS_005.TunS_bin").getSize(), 384u);
    EXPECT_EQ(memberText(zip, "TunS_005.TunS_info"), library->getTuneScaleData(5).createInformationText());
    EXPECT_EQ(zip.uncompressedData.at("TunO_000.TunO_bin"),
              juce::MemoryBlock(library->getTuneOctData(0).notes.data(), 36));

    juce::String index = xmlHeader;
    index << "<VexoMSLibrarian_Data>\r\n"
          << "  <Product>sonavire</Product>\r\n"
          << "  <Contents NumLivesetData=\"1\" NumProgramData=\"500\" NumPresetInformation=\"0\"\r\n"
          << "            NumTuneScaleData=\"6\" NumTuneOctData=\"6\">\r\n"
          << "    <LivesetData>\r\n"
          << "      <File>LivesetData.lvs_data</File>\r\n"
          << "    </LivesetData>\r\n";
    for (int i = 0; i < 500; ++i)
        index << "    <ProgramData>\r\n"
              << juce::String::formatted("      <Information>Prog_%03d.prog_info</Information>\r\n", i)
              << juce::String::formatted("      <ProgramBinary>Prog_%03d.prog_bin</ProgramBinary>\r\n", i)
              << "    </ProgramData>\r\n";
    for (int i = 0; i < 6; ++i)
        index << "    <TuneScaleData>\r\n"
              << juce::String::formatted("      <Information>TunS_%03d.TunS_info</Information>\r\n", i)
              << juce::String::formatted("      <TuneScaleBinary>TunS_%03d.TunS_bin</TuneScaleBinary>\r\n", i)
              << "    </TuneScaleData>\r\n";
    for (int i = 0; i < 6; ++i)
        index << "    <TuneOctData>\r\n"
              << juce::String::formatted("      <Information>TunO_%03d.TunO_info</Information>\r\n", i)
              << juce::String::formatted("      <TuneOctBinary>TunO_%03d.TunO_bin</TuneOctBinary>\r\n", i)
              << "    </TuneOctData>\r\n";
    index << "  </Contents>\r\n</VexoMSLibrarian_Data>\r\n";
    EXPECT_EQ(memberText(zip, "FileInformation.xml"), index);
}

TEST(LibraryFile, SingleRecordFilesExactly)
{
    testsupport::TemporaryFolder folder;

    x47390_data::ProgramData program;
    program.information.programmer = "Ann";
    ASSERT_EQ(x47390_file::ProgramFileWriter(&program).write(folder.file("p.snvrprog")), 0);
    MemoryBasedZipUncompressor programZip(folder.file("p.snvrprog"));
    ASSERT_TRUE(programZip.uncompressAllEntries().wasOk());
    ASSERT_EQ(programZip.getNumEntries(), 3);
    EXPECT_EQ(programZip.getEntry(0).name, "Prog_000.prog_bin");
    EXPECT_EQ(programZip.getEntry(1).name, "Prog_000.prog_info");
    EXPECT_EQ(memberText(programZip, "Prog_000.prog_info"),
              juce::String(xmlHeader) + "<sonavire_ProgramInformation>\r\n  <Programmer>Ann</Programmer>\r\n"
                                        "  <Comment></Comment>\r\n</sonavire_ProgramInformation>\r\n");
    EXPECT_EQ(memberText(programZip, "FileInformation.xml"),
              juce::String(xmlHeader) +
                  "<VexoMSLibrarian_Data>\r\n"
                  "  <Product>sonavire</Product>\r\n"
                  "  <Contents NumLivesetData=\"0\" NumProgramData=\"1\" NumPresetInformation=\"0\"\r\n"
                  "            NumTuneScaleData=\"0\" NumTuneOctData=\"0\">\r\n"
                  "    <ProgramData>\r\n"
                  "      <Information>Prog_000.prog_info</Information>\r\n"
                  "      <ProgramBinary>Prog_000.prog_bin</ProgramBinary>\r\n"
                  "    </ProgramData>\r\n"
                  "  </Contents>\r\n"
                  "</VexoMSLibrarian_Data>\r\n");

    const auto scale = makeScale(1);
    ASSERT_EQ(x47390_file::TuneScaleFileWriter(const_cast<x47390_data::TuneScaleData*>(&scale))
                  .write(folder.file("s.snvrtuns")),
              0);
    MemoryBasedZipUncompressor scaleZip(folder.file("s.snvrtuns"));
    ASSERT_TRUE(scaleZip.uncompressAllEntries().wasOk());
    ASSERT_EQ(scaleZip.getNumEntries(), 3);
    EXPECT_EQ(scaleZip.getEntry(0).name, "TunS_000.TunS_bin");
    EXPECT_EQ(scaleZip.getEntry(1).name, "TunS_000.TunS_info");
    EXPECT_EQ(memberText(scaleZip, "TunS_000.TunS_info"), scale.createInformationText());
    EXPECT_EQ(memberText(scaleZip, "FileInformation.xml"),
              juce::String(xmlHeader) +
                  "<VexoMSLibrarian_Data>\r\n"
                  "  <Product>sonavire</Product>\r\n"
                  "  <Contents NumProgramData=\"0\" NumPresetInformation=\"0\" NumTuneScaleData=\"1\"\r\n"
                  "            NumTuneOctData=\"0\">\r\n"
                  "    <TuneScaleData>\r\n"
                  "      <Information>TunS_000.TunS_info</Information>\r\n"
                  "      <TuneScaleBinary>TunS_000.TunS_bin</TuneScaleBinary>\r\n"
                  "    </TuneScaleData>\r\n"
                  "  </Contents>\r\n"
                  "</VexoMSLibrarian_Data>\r\n");

    auto octave = makeOctave(2);
    ASSERT_EQ(x47390_file::TuneOctFileWriter(&octave).write(folder.file("o.snvrtuno")), 0);
    MemoryBasedZipUncompressor octaveZip(folder.file("o.snvrtuno"));
    ASSERT_TRUE(octaveZip.uncompressAllEntries().wasOk());
    ASSERT_EQ(octaveZip.getNumEntries(), 3);
    EXPECT_EQ(octaveZip.getEntry(0).name, "TunO_000.TunO_bin");
    EXPECT_TRUE(memberText(octaveZip, "FileInformation.xml").contains("<TuneOctBinary>TunO_000.TunO_bin<"));
}

TEST(LibraryFile, SingleRecordRoundTripsAndCrossReading)
{
    testsupport::TemporaryFolder folder;
    auto program = makeProgram(42);
    auto scale = makeScale(3);
    auto octave = makeOctave(4);
    const auto programFile = folder.file("p.snvrprog");
    const auto scaleFile = folder.file("s.snvrtuns");
    const auto octaveFile = folder.file("o.snvrtuno");
    ASSERT_EQ(x47390_file::ProgramFileWriter(&program).write(programFile), 0);
    ASSERT_EQ(x47390_file::TuneScaleFileWriter(&scale).write(scaleFile), 0);
    ASSERT_EQ(x47390_file::TuneOctFileWriter(&octave).write(octaveFile), 0);

    x47390_data::ProgramData loadedProgram;
    ASSERT_EQ(x47390_file::ProgramFileReader(&loadedProgram).read(programFile), 0);
    expectSameProgram(loadedProgram, program, 42);

    // Tunings take the notes and MD5 text; the target's texts stay.
    x47390_data::TuneScaleData loadedScale;
    loadedScale.information.comment = "mine";
    ASSERT_EQ(x47390_file::TuneScaleFileReader(&loadedScale).read(scaleFile), 0);
    EXPECT_EQ(loadedScale.notes, scale.notes);
    EXPECT_EQ(loadedScale.md5, scale.md5);
    EXPECT_EQ(loadedScale.information.comment, "mine");
    EXPECT_TRUE(loadedScale.information.programmer.isEmpty());

    x47390_data::TuneOctData loadedOctave;
    ASSERT_EQ(x47390_file::TuneOctFileReader(&loadedOctave).read(octaveFile), 0);
    EXPECT_EQ(loadedOctave.notes, octave.notes);
    EXPECT_EQ(loadedOctave.md5, octave.md5);
    EXPECT_TRUE(loadedOctave.information.comment.isEmpty());

    // A file without a record of the reader's kind is refused; the target stays as it was.
    const auto untouched = makeProgram(7);
    auto target = untouched;
    EXPECT_EQ(x47390_file::ProgramFileReader(&target).read(scaleFile), file::ReadError::programDataMissing);
    expectSameProgram(target, untouched, 7);
    x47390_data::TuneScaleData scaleTarget;
    EXPECT_EQ(x47390_file::TuneScaleFileReader(&scaleTarget).read(octaveFile), file::ReadError::tuneScaleDataMissing);
    x47390_data::TuneOctData octaveTarget;
    EXPECT_EQ(x47390_file::TuneOctFileReader(&octaveTarget).read(programFile), file::ReadError::tuneOctDataMissing);
    EXPECT_EQ(octaveTarget.notes, x47390_data::identityTuneOct);

    // A program file opened as a library: program 0 is the file's, everything else initial.
    auto library = std::make_unique<LibraryData>();
    fillLibrary(*library);
    ASSERT_EQ(x47390_file::LibraryFileReader(library.get()).read(programFile), 0);
    EXPECT_EQ(library->getProgramData(0).binary, program.binary);
    EXPECT_EQ(library->getProgramData(1).binary, x47390_data::initProgramTemplate);
    EXPECT_EQ(library->getProgramData(499).binary, x47390_data::initProgramTemplate);
    EXPECT_EQ(library->getFavoriteData().entries[3][7], 500);
    EXPECT_EQ(library->getTuneScaleData(0).notes, x47390_data::identityTuneScale);

    // A library file read by the program reader gives its program 0.
    const auto libraryFile = folder.file("lib.snvrlib");
    fillLibrary(*library);
    ASSERT_EQ(x47390_file::LibraryFileWriter(library.get()).write(libraryFile), 0);
    ASSERT_EQ(x47390_file::ProgramFileReader(&loadedProgram).read(libraryFile), 0);
    expectSameProgram(loadedProgram, library->getProgramData(0), 0);
}

namespace
{
juce::String indexText(const juce::String& product, const juce::String& contents)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<VexoMSLibrarian_Data><Product>" + product +
           "</Product><Contents>" + contents + "</Contents></VexoMSLibrarian_Data>";
}

const char* const programEntry =
    "<ProgramData><Information>P.info</Information><ProgramBinary>P.bin</ProgramBinary></ProgramData>";
const char* const scaleEntry =
    "<TuneScaleData><Information>S.info</Information><TuneScaleBinary>S.bin</TuneScaleBinary></TuneScaleData>";
const char* const octaveEntry =
    "<TuneOctData><Information>O.info</Information><TuneOctBinary>O.bin</TuneOctBinary></TuneOctData>";
const char* const livesetEntry = "<LivesetData><File>L.lvs</File></LivesetData>";
const char* const presetEntry = "<PresetInformation><File>I.xml</File></PresetInformation>";

juce::String information(const char* root, const juce::String& programmer = "p")
{
    return juce::String("<") + root + "><Programmer>" + programmer + "</Programmer><Comment>c</Comment></" + root + ">";
}

// Every member a full index can name, each well formed.
Members wellFormedMembers(const juce::String& index)
{
    return {{"FileInformation.xml", bytesOf(index)},
            {"L.lvs", bytesOf("<sonavire_Liveset><Bank><Data>7</Data></Bank></sonavire_Liveset>")},
            {"I.xml", bytesOf("<sonavire_Preset><DataID>id</DataID></sonavire_Preset>")},
            {"P.bin", filledBytes(336, 1)},
            {"P.info", bytesOf(information("sonavire_ProgramInformation"))},
            {"S.bin", filledBytes(384, 2)},
            {"S.info", bytesOf(information("sonavire_TuneScaleInformation"))},
            {"O.bin", filledBytes(36, 3)},
            {"O.info", bytesOf(information("sonavire_TuneOctInformation"))}};
}

Members with(Members members, const juce::String& name, const juce::MemoryBlock& bytes)
{
    for (auto& member : members)
        if (member.first == name)
        {
            member.second = bytes;
            return members;
        }
    members.emplace_back(name, bytes);
    return members;
}

Members without(Members members, const juce::String& name)
{
    members.erase(std::remove_if(members.begin(), members.end(), [&](const auto& m) { return m.first == name; }),
                  members.end());
    return members;
}
} // namespace

// Each read-error code of the library-type format from a small archive.
TEST(LibraryFile, ReadErrorCodes)
{
    const juce::String all = juce::String(livesetEntry) + presetEntry + programEntry + scaleEntry + octaveEntry;
    const auto full = wellFormedMembers(indexText("sonavire", all));
    const auto notXml = bytesOf("this is <not xml");
    // The full archive whose index names one kind of entry that many times.
    const auto indexNaming = [&full](const char* entry, int times, const char* product = "sonavire")
    { return with(full, "FileInformation.xml", bytesOf(indexText(product, juce::String::repeatedString(entry, times)))); };

    struct Case
    {
        const char* label;
        Members members;
        int expected;
    };
    const std::vector<Case> cases = {
        {"everything present", full, 0},
        {"empty archive", {}, 14},
        {"no index member", without(full, "FileInformation.xml"), 15},
        {"index not XML", with(full, "FileInformation.xml", notXml), 15},
        {"index not UTF-8", with(full, "FileInformation.xml", juce::MemoryBlock("<a>\xff</a>", 8)), 15},
        {"wrong root",
         with(full, "FileInformation.xml", bytesOf("<Library><Product>sonavire</Product><Contents/></Library>")), 16},
        {"no Product",
         with(full, "FileInformation.xml", bytesOf("<VexoMSLibrarian_Data><Contents/></VexoMSLibrarian_Data>")), 16},
        {"no Contents",
         with(full, "FileInformation.xml",
              bytesOf("<VexoMSLibrarian_Data><Product>sonavire</Product></VexoMSLibrarian_Data>")),
         16},
        {"capital product name", with(full, "FileInformation.xml", bytesOf(indexText("SONAVIRE", all))), 13},
        {"other product", with(full, "FileInformation.xml", bytesOf(indexText("another synth", all))), 13},
        {"live set missing, short binary", with(without(full, "L.lvs"), "P.bin", filledBytes(10, 1)), 17},
        {"live set not XML", with(full, "L.lvs", notXml), 23},
        {"live set refused", with(full, "L.lvs", bytesOf("<sonavire_Other/>")), 23},
        {"preset information missing", without(full, "I.xml"), 22},
        {"preset information not XML", with(full, "I.xml", notXml), 30},
        {"preset information wrong root", with(full, "I.xml", bytesOf("<sonavire_Liveset/>")), 30},
        {"program binary missing", without(full, "P.bin"), 18},
        {"program information missing", without(full, "P.info"), 18},
        {"program binary one byte short", with(full, "P.bin", filledBytes(335, 1)), 24},
        {"program binary empty", with(full, "P.bin", {}), 24},
        {"program information not XML", with(full, "P.info", notXml), 27},
        {"program information refused", with(full, "P.info", bytesOf(information("sonavire_Liveset"))), 27},
        {"scale binary missing", without(full, "S.bin"), 19},
        {"scale binary short", with(full, "S.bin", filledBytes(383, 1)), 25},
        {"scale information refused", with(full, "S.info", bytesOf(information("sonavire_TuneOctInformation"))), 28},
        {"octave information missing", without(full, "O.info"), 20},
        {"octave binary short", with(full, "O.bin", filledBytes(35, 1)), 26},
        {"octave information not XML", with(full, "O.info", notXml), 29},
        {"index nested too deeply",
         with(full, "FileInformation.xml", bytesOf(juce::String::repeatedString("<a>", 200000))), 15},
        {"program information nested too deeply",
         with(full, "P.info",
              bytesOf("<sonavire_ProgramInformation>" + juce::String::repeatedString("<a x='>'>", 100000))),
         27},
        {"index names an absent program though its counts say none",
         {{"FileInformation.xml",
           bytesOf("<VexoMSLibrarian_Data><Product>sonavire</Product><Contents NumProgramData=\"0\">" +
                   juce::String(programEntry) + "</Contents></VexoMSLibrarian_Data>")}},
         18},
        {"index names 500 programs, the most a library holds", indexNaming(programEntry, 500), 0},
        {"index names 501 programs", indexNaming(programEntry, 501), 16},
        {"index names two live sets", indexNaming(livesetEntry, 2), 16},
        {"index names seven user scales", indexNaming(scaleEntry, 7), 16},
        {"index names seven user octaves", indexNaming(octaveEntry, 7), 16},
        {"index names two preset informations", indexNaming(presetEntry, 2), 16},
        {"a sibling's live sets are passed over, however many", indexNaming(livesetEntry, 3, "dorvantin"), 0},
        {"index larger than any library's", indexNaming("<Unknown/>", 110000), 16},
        {"live set larger than any document of ours",
         with(full, "L.lvs", bytesOf("<sonavire_Liveset>" + juce::String::repeatedString("<Bank/>", 150000) +
                                     "</sonavire_Liveset>")),
         23},
        {"incomplete and unknown elements are passed over",
         with(full, "FileInformation.xml",
              bytesOf(indexText("sonavire", "<ProgramData><Information>X.info</Information></ProgramData>"
                                            "<LivesetData/><Unknown><File>nothing</File></Unknown>"))),
         0},
    };

    testsupport::TemporaryFolder folder;
    for (const auto& c : cases)
    {
        const auto file = writeZip(folder.file("case.snvrlib"), c.members);
        x47390_file::ZipLibraryFileReader reader(file);
        EXPECT_EQ(reader.parse(), c.expected) << c.label;
    }

    // Unusable archives.
    EXPECT_EQ(x47390_file::ZipLibraryFileReader(folder.file("missing.snvrlib")).parse(), 14);
    const auto text = folder.file("text.snvrlib");
    text.replaceWithText("not a zip archive at all");
    EXPECT_EQ(x47390_file::ZipLibraryFileReader(text).parse(), 14);
    auto damaged = zipBytes(full);
    putU32(damaged, centralRecordOf(damaged, 3) + 16, 0x12345678); // CRC of "P.bin"
    const auto damagedFile = folder.file("damaged.snvrlib");
    damagedFile.replaceWithData(damaged.getData(), damaged.getSize());
    EXPECT_EQ(x47390_file::ZipLibraryFileReader(damagedFile).parse(), 14);
    const auto truncatedFile = folder.file("truncated.snvrlib");
    truncatedFile.replaceWithData(damaged.getData(), damaged.getSize() / 2);
    EXPECT_EQ(x47390_file::ZipLibraryFileReader(truncatedFile).parse(), 14);
}

TEST(LibraryFile, IndexAndEntryRules)
{
    testsupport::TemporaryFolder folder;
    const auto file = folder.file("x.snvrlib");

    // Element names ignore letter case; binaries longer than their record give their first bytes.
    auto members = wellFormedMembers(indexText(
        "sonavire", juce::String(programEntry).replace("ProgramData", "programdata") + livesetEntry + presetEntry));
    auto longBinary = filledBytes(400, 9);
    members = with(members, "P.bin", longBinary);
    members = with(members, "I.xml",
                   bytesOf("<sonavire_preset><Version>12abc</Version><NumOfProg> -3</NumOfProg>"
                           "<Name>first<b>bold</b></Name><Name>second</Name><Copyright/></sonavire_preset>"));
    writeZip(file, members);
    x47390_file::ZipLibraryFileReader reader(file);
    ASSERT_EQ(reader.parse(), 0);
    ASSERT_EQ(reader.programEntries.size(), 1u);
    EXPECT_EQ(0, memcmp(reader.programEntries[0].program.binary.data(), longBinary.getData(), 336));
    EXPECT_EQ(reader.programEntries[0].program.md5,
              x47390_data::md5Text(reader.programEntries[0].program.binary.data(), 336));
    EXPECT_EQ(reader.programEntries[0].program.information.programmer, "p");
    ASSERT_EQ(reader.livesetEntries.size(), 1u);
    EXPECT_EQ(reader.livesetEntries[0].liveset.entries[0][0], 7);
    EXPECT_EQ(reader.livesetEntries[0].liveset.entries[0][1], 500);
    ASSERT_EQ(reader.presetInformationEntries.size(), 1u);
    const auto& info = reader.presetInformationEntries[0].information;
    EXPECT_EQ(info.version, 12);
    EXPECT_EQ(info.numOfProg, -3);
    EXPECT_EQ(info.name, "firstbold");
    EXPECT_TRUE(info.dataID.isEmpty());

    // Missing preset fields keep the entry's starting values.
    writeZip(file, with(members, "I.xml", bytesOf("<sonavire_Preset><Version>x</Version></sonavire_Preset>")));
    x47390_file::ZipLibraryFileReader second(file);
    ASSERT_EQ(second.parse(), 0);
    EXPECT_EQ(second.presetInformationEntries[0].information.version, 0);
    EXPECT_EQ(second.presetInformationEntries[0].information.numOfProg, 500);
}

// An index may name one member for many entries: each entry gets what the member holds (it is read once).
TEST(LibraryFile, OneMemberNamedByEveryEntry)
{
    testsupport::TemporaryFolder folder;
    const auto file = writeZip(
        folder.file("shared.snvrlib"),
        wellFormedMembers(indexText("sonavire", juce::String::repeatedString(programEntry, 500) +
                                                    juce::String::repeatedString(scaleEntry, 6))));
    x47390_file::ZipLibraryFileReader reader(file);
    ASSERT_EQ(reader.parse(), 0);
    ASSERT_EQ(reader.programEntries.size(), 500u);
    for (const auto& entry : reader.programEntries)
    {
        ASSERT_EQ(entry.program.information.programmer, "p");
        ASSERT_EQ(entry.program.information.comment, "c");
        ASSERT_EQ(entry.program.md5, reader.programEntries.front().program.md5);
    }
    ASSERT_EQ(reader.tuneScaleEntries.size(), 6u);
    for (const auto& entry : reader.tuneScaleEntries)
        EXPECT_EQ(entry.scale.information.programmer, "p");
}

// Files of the sibling instruments share the format; their live set is never read.
TEST(LibraryFile, SiblingInstrumentFiles)
{
    testsupport::TemporaryFolder folder;
    struct Case
    {
        const char* product;
        const char* scaleRoot;
        const char* octaveRoot;
        const char* extension;
        bool livesetRead;
    };
    const Case cases[] = {
        {"dorvantin", "dorvantin_TuneScaleInformation", "dorvantin_TuneOctInformation", ".drvntuns", false},
        {"quintaval", "quintaval_TuneScaleInformation", "quintaval_TuneOctInformation", ".qntvtuns", false},
        {"dorvantin zq and more words", "dorvantinzq_TuneScaleInformation", "dorvantinzq_TuneOctInformation",
         ".drvnzqtuns", false},
        {"the sonavire editor", "sonavire_TuneScaleInformation", "sonavire_TuneOctInformation", ".snvrtuns", true},
    };
    for (const auto& c : cases)
    {
        auto members = wellFormedMembers(
            indexText(c.product, juce::String(livesetEntry) + programEntry + scaleEntry + octaveEntry));
        members = with(members, "S.info", bytesOf(information(c.scaleRoot, "their programmer")));
        members = with(members, "O.info", bytesOf(information(c.octaveRoot)));
        const auto file = writeZip(folder.file(juce::String("tuning") + c.extension), members);

        x47390_data::TuneScaleData scale;
        scale.information.programmer = "mine";
        ASSERT_EQ(x47390_file::TuneScaleFileReader(&scale).read(file), 0) << c.product;
        EXPECT_EQ(scale.notes[1], (juce::uint8) filledBytes(384, 2)[1]) << c.product;
        EXPECT_EQ(scale.information.programmer, "mine") << c.product;
        x47390_data::TuneOctData octave;
        ASSERT_EQ(x47390_file::TuneOctFileReader(&octave).read(file), 0) << c.product;
        EXPECT_EQ(0, memcmp(octave.notes.data(), filledBytes(36, 3).getData(), 36)) << c.product;

        auto library = std::make_unique<LibraryData>();
        ASSERT_EQ(x47390_file::LibraryFileReader(library.get()).read(file), 0) << c.product;
        EXPECT_EQ(library->getFavoriteData().entries[0][0], c.livesetRead ? 7 : 500) << c.product;
        EXPECT_EQ(library->getTuneOctData(0).notes, octave.notes) << c.product;
    }
}

// A library unpacked and re-packed by a common zip tool, in another member order, still opens.
TEST(LibraryFile, RepackedByZipToolsStillOpens)
{
    if (!haveTool("zip") || !haveTool("unzip"))
        GTEST_SKIP() << "zip and unzip are not installed";
    testsupport::TemporaryFolder folder;
    auto saved = std::make_unique<LibraryData>();
    fillLibrary(*saved);
    const auto original = folder.file("lib.snvrlib");
    ASSERT_EQ(x47390_file::LibraryFileWriter(saved.get()).write(original), 0);
    const auto dir = folder.get().getFullPathName();
    juce::String output;
    ASSERT_EQ(runShell("cd '" + dir + "' && mkdir x && cd x && unzip -q ../lib.snvrlib", &output), 0) << output;

    const char* const commands[] = {
        "zip -q ../re.snvrlib FileInformation.xml TunO_* TunS_* Prog_* LivesetData.lvs_data",
        "zip -q -0 ../re.snvrlib FileInformation.xml LivesetData.lvs_data && zip -q ../re.snvrlib Prog_* Tun*",
        "zip -q - FileInformation.xml Tun* Prog_* LivesetData.lvs_data | cat > ../re.snvrlib",
    };
    for (const auto* command : commands)
    {
        folder.file("re.snvrlib").deleteFile();
        ASSERT_EQ(runShell("cd '" + dir + "/x' && " + command, &output), 0) << command << output;
        auto loaded = std::make_unique<LibraryData>();
        ASSERT_EQ(x47390_file::LibraryFileReader(loaded.get()).read(folder.file("re.snvrlib")), 0) << command;
        for (int i = 0; i < LibraryData::numPrograms; ++i)
            expectSameProgram(loaded->getProgramData(i), saved->getProgramData(i), i);
        EXPECT_EQ(loaded->getFavoriteData().entries, saved->getFavoriteData().entries) << command;
        EXPECT_EQ(loaded->getTuneScaleData(5).notes, saved->getTuneScaleData(5).notes) << command;
        EXPECT_EQ(loaded->getTuneOctData(5).notes, saved->getTuneOctData(5).notes) << command;
    }
}

// A failed save leaves the previous file as it was and nothing else behind; its code stays the write error.
TEST(LibraryFile, FailedSavesKeepThePreviousFile)
{
    testsupport::TemporaryFolder folder;
    auto library = std::make_unique<LibraryData>();
    fillLibrary(*library);
    const auto target = folder.file("lib.snvrlib");
    x47390_data::ProgramData program;
    ASSERT_EQ(x47390_file::ProgramFileWriter(&program).write(target), 0);
    const auto before = fileBytes(target);

    {
        DiskFullSimulation full(before.getSize() + 1000);
        EXPECT_EQ(x47390_file::LibraryFileWriter(library.get()).write(target), file::WriteError::writeData);
    }
    EXPECT_EQ(fileBytes(target), before);
    {
        ImmutableFile locked(target);
        if (locked.isImmutable())
        {
            EXPECT_EQ(x47390_file::LibraryFileWriter(library.get()).write(target), file::WriteError::deleteFile);
        }
    }
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_EQ(folderListing(folder.get()), juce::StringArray{"lib.snvrlib"});

    x47390_data::ProgramData loaded;
    EXPECT_EQ(x47390_file::ProgramFileReader(&loaded).read(target), 0) << "the old file still reads";

    EXPECT_EQ(x47390_file::TuneScaleFileWriter(&library->getTuneScaleData(0)).write(target.getChildFile("s.snvrtuns")),
              file::WriteError::openFile);
    EXPECT_EQ(x47390_file::TuneOctFileWriter(&library->getTuneOctData(0)).write(folder.file("no/such/o.snvrtuno")),
              file::WriteError::openFile);
    EXPECT_EQ(folderListing(folder.get()), juce::StringArray{"lib.snvrlib"});
}
