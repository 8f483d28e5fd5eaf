#include "files/UserUnitFileReader.h"
#include "data/UserData.h"
#include "files/UnitManifestValidation.h"
#include "tests/files/UserUnitTestFiles.h"
#include "tests/support/TestSupport.h"

#include <boost/property_tree/json_parser.hpp>
#include <gtest/gtest.h>

#include <sstream>

#include <vector>

using x47390_file::UserUnitFileReader;

namespace
{
using unittest::Member;
using unittest::manifestFor;

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

const std::string oscManifest = manifestFor("sonavire", "osc");
const std::string oscPayload = std::string("UOSC") + std::string(60, '\x5A');

class UserUnitFiles : public ::testing::Test
{
protected:
    juce::File write(const std::vector<Member>& members)
    {
        const auto file = folder.file("unit" + juce::String(++count) + ".snvrunit");
        EXPECT_TRUE(unittest::writeUnitFile(file, members));
        return file;
    }

    int read(const juce::File& file)
    {
        unit = std::make_unique<x47390_data::UserUnitData>();
        return UserUnitFileReader(unit.get()).read(file);
    }

    int read(const std::vector<Member>& members) { return read(write(members)); }

    testsupport::TemporaryFolder folder;
    std::unique_ptr<x47390_data::UserUnitData> unit;
    int count = 0;
};
} // namespace

TEST_F(UserUnitFiles, TheBlobIsTheHeaderThePayloadLengthThePayloadAndZeros)
{
    ASSERT_EQ(read({{"u/", ""}, {"u/manifest.json", oscManifest}, {"u/payload.bin", oscPayload}}), 0);
    EXPECT_TRUE(unit->message.isEmpty());

    std::string message;
    std::istringstream manifestStream(oscManifest);
    boost::property_tree::ptree tree;
    boost::property_tree::read_json(manifestStream, tree);
    const auto header = validateUnitManifest(tree, message);
    ASSERT_NE(header, nullptr);

    const auto& blob = unit->unitData;
    const auto* bytes = static_cast<const juce::uint8*>(blob.getData());
    ASSERT_EQ(blob.getSize(), oscPayload.size() + 1156);
    EXPECT_EQ(std::memcmp(bytes, header->data(), 1020), 0);
    EXPECT_EQ(juce::ByteOrder::littleEndianInt(bytes + 1020), oscPayload.size());
    EXPECT_EQ(std::memcmp(bytes + 1024, oscPayload.data(), oscPayload.size()), 0);
    for (size_t i = 1024 + oscPayload.size(); i < blob.getSize(); ++i)
        ASSERT_EQ(bytes[i], 0) << i;
}

TEST_F(UserUnitFiles, EveryInstrumentKindAndModuleReads)
{
    const char* magics[] = {"UGLB", "UMOD", "UDEL", "UREV", "UOSC"};
    for (size_t platform = 0; platform < unitPlatformNames.size(); ++platform)
        for (size_t module = 0; module < unitModuleNames.size(); ++module)
        {
            const auto manifest = manifestFor(unitPlatformNames[platform], unitModuleNames[module]);
            ASSERT_EQ(read({{"unit/manifest.json", manifest}, {"unit/payload.bin", std::string(magics[module]) + "x"}}),
                      0)
                << unitPlatformNames[platform] << " " << unitModuleNames[module];
            const auto* bytes = static_cast<const juce::uint8*>(unit->unitData.getData());
            EXPECT_EQ(bytes[0], module);
            EXPECT_EQ(bytes[1], platform + 1);
            EXPECT_EQ(unit->unitData.getSize(), 5u + 1156u);
        }
}

TEST_F(UserUnitFiles, BrokenFilesGiveTheirErrorsAndLeaveTheTargetAlone)
{
    const std::string bom = "\xEF\xBB\xBF";
    struct Case
    {
        const char* what;
        std::vector<Member> members;
        int result;
    };
    const Case cases[] = {
        {"byte order mark", {{"u/manifest.json", bom + oscManifest}, {"u/payload.bin", oscPayload}}, 0},
        {"text after a zero byte is ignored",
         {{"u/manifest.json", oscManifest + std::string(1, '\0') + "junk"}, {"u/payload.bin", oscPayload}},
         0},
        {"single member", {{"u/manifest.json", oscManifest}}, 35},
        {"no folder", {{"manifest.json", oscManifest}, {"payload.bin", oscPayload}}, 35},
        {"first member is a bare name",
         {{"readme", ""}, {"u/manifest.json", oscManifest}, {"u/payload.bin", oscPayload}},
         35},
        {"no manifest", {{"u/payload.bin", oscPayload}, {"u/other.txt", "x"}}, 36},
        {"manifest in another folder", {{"u/payload.bin", oscPayload}, {"v/manifest.json", oscManifest}}, 36},
        {"payload in another folder", {{"u/manifest.json", oscManifest}, {"v/payload.bin", oscPayload}}, 37},
        {"trailing text", {{"u/manifest.json", oscManifest + " {}"}, {"u/payload.bin", oscPayload}}, 38},
        {"not JSON", {{"u/manifest.json", "header: osc"}, {"u/payload.bin", oscPayload}}, 38},
        {"empty manifest", {{"u/manifest.json", ""}, {"u/payload.bin", oscPayload}}, 38},
        {"bad api", {{"u/manifest.json", replaced(oscManifest, "1.2-3", "1.2.3")}, {"u/payload.bin", oscPayload}}, 38},
        {"unknown platform", {{"u/manifest.json", manifestFor("tonebox", "osc")}, {"u/payload.bin", oscPayload}}, 38},
        {"parameter count without parameters",
         {{"u/manifest.json", replaced(oscManifest, "\"num_param\": 0", "\"num_param\": 2")},
          {"u/payload.bin", oscPayload}},
         38},
        {"parameter of unknown type",
         {{"u/manifest.json",
           replaced(oscManifest, "\"num_param\": 0", R"("num_param": 1, "params": [["Shape", 0, 100, "dB"]])")},
          {"u/payload.bin", oscPayload}},
         38},
        {"payload of another module",
         {{"u/manifest.json", manifestFor("sonavire", "modfx")}, {"u/payload.bin", oscPayload}},
         34},
        {"payload shorter than its magic", {{"u/manifest.json", oscManifest}, {"u/payload.bin", "UOS"}}, 34},
        {"empty payload", {{"u/manifest.json", oscManifest}, {"u/payload.bin", ""}}, 34},
    };
    for (const auto& c : cases)
    {
        const int result = read(c.members);
        EXPECT_EQ(result, c.result) << c.what;
        if (result != 0)
        {
            EXPECT_EQ(unit->message, "Uninitialized data.") << c.what;
            EXPECT_EQ(unit->unitData.getSize(), 0u) << c.what;
        }
    }
}

TEST_F(UserUnitFiles, ParametersReachTheBlob)
{
    const auto manifest = replaced(manifestFor("fennoc-sirelle", "osc"), "\"num_param\": 0",
                                   R"("num_param": 2, "params": [["Shape", -100, 100, "%"], ["Mix", 0, 100, ""]])");
    ASSERT_EQ(read({{"u/manifest.json", manifest}, {"u/payload.bin", oscPayload}}), 0);
    const auto* bytes = static_cast<const juce::uint8*>(unit->unitData.getData());
    EXPECT_EQ(juce::ByteOrder::littleEndianInt(bytes + 32), 2u);
    EXPECT_EQ((juce::int8) bytes[36], -100);
    EXPECT_EQ(bytes[38], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 39)), "Shape");
    EXPECT_EQ(bytes[52 + 2], 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 55)), "Mix");
}

TEST_F(UserUnitFiles, FilesThatAreNoUsableArchive)
{
    const auto text = folder.file("text.snvrunit");
    text.replaceWithText("not a zip archive");
    EXPECT_EQ(read(text), 35);
    EXPECT_EQ(read(folder.file("missing.snvrunit")), 35);

    // A member whose bytes no longer match its checksum makes the archive unreadable.
    const auto file = write({{"u/manifest.json", oscManifest}, {"u/payload.bin", oscPayload}});
    juce::MemoryBlock bytes;
    ASSERT_TRUE(file.loadFileAsData(bytes));
    static_cast<char*>(bytes.getData())[30 + 15 + 4] ^= 0x5A; // inside the manifest's deflated bytes
    file.replaceWithData(bytes.getData(), bytes.getSize());
    EXPECT_EQ(read(file), 14);
}
