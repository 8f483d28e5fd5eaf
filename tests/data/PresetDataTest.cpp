#include "data/PresetData.h"

#include <gtest/gtest.h>

using x47390_data::PresetData;
using x47390_data::PresetLibrary;

namespace
{
template <class Fn> std::string printedBy(Fn&& fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

void describe(x47390_data::PresetInformation& info)
{
    info.dataID = "id";
    info.name = "name";
    info.author = "author";
    info.copyright = "(c)";
    info.date = "2026";
    info.prefix = "PX";
    info.version = 3;
    info.numOfProg = 120;
}
} // namespace

TEST(PresetData, NewPresetLibraryIsFullyInitialised)
{
    auto preset = std::make_unique<PresetData>();
    EXPECT_EQ(preset->information.version, 0);
    EXPECT_EQ(preset->information.numOfProg, 0);
    EXPECT_TRUE(preset->information.dataID.isEmpty() && preset->information.prefix.isEmpty());
    EXPECT_EQ(preset->getProgramData(499).getName(), "Init Program");
}

TEST(PresetData, ProgramNumberOutOfRangeReachesTheSpare)
{
    auto preset = std::make_unique<PresetData>();
    x47390_data::ProgramData* spare = nullptr;
    EXPECT_EQ(printedBy([&] { spare = &preset->getProgramData(500); }), "Preset Program Number Error: 500\n");
    EXPECT_EQ(printedBy([&] { EXPECT_EQ(&preset->getProgramData(-1), spare); }), "Preset Program Number Error: -1\n");
    EXPECT_EQ(printedBy([&] { EXPECT_EQ(&preset->getProgramData(0), &preset->programs[0]); }), "");
}

TEST(PresetData, CopyTakesProgramsAndDescriptionButNotTheSpare)
{
    auto source = std::make_unique<PresetData>();
    describe(source->information);
    source->programs[10].setName("Ten");
    source->programs[10].information.comment = "c";
    printedBy([&] { source->getProgramData(500).setName("Changed spare"); });

    auto copy = std::make_unique<PresetData>(*source);
    EXPECT_EQ(copy->programs[10].getName(), "Ten         ");
    EXPECT_EQ(copy->programs[10].information.comment, "c");
    EXPECT_EQ(copy->programs[10].md5, source->programs[10].md5);
    EXPECT_EQ(copy->information.dataID, "id");
    EXPECT_EQ(copy->information.prefix, "PX");
    EXPECT_EQ(copy->information.version, 3);
    EXPECT_EQ(copy->information.numOfProg, 120);
    printedBy([&] { EXPECT_EQ(copy->getProgramData(500).getName(), "Init Program"); });
}

TEST(PresetData, InformationCopyFromTakesAllEightFields)
{
    x47390_data::PresetInformation source, target;
    describe(source);
    target.copyFrom(source);
    EXPECT_EQ(target.name, "name");
    EXPECT_EQ(target.author, "author");
    EXPECT_EQ(target.copyright, "(c)");
    EXPECT_EQ(target.date, "2026");
    EXPECT_EQ(target.version, 3);
    EXPECT_EQ(target.numOfProg, 120);
}

TEST(PresetLibrary, IndexOutOfRangeGivesTheFallback)
{
    PresetLibrary library;
    auto first = std::make_unique<PresetData>();
    first->information.name = "first";
    library.addPresetData(*first);
    first->information.name = "changed after adding";

    EXPECT_EQ(library.getNumPresetData(), 1);
    EXPECT_EQ(library.getPresetData(0).information.name, "first");
    auto& fallback = library.getPresetData(-1);
    EXPECT_EQ(&library.getPresetData(1), &fallback);
    EXPECT_EQ(printedBy([&] { library.getPresetData(1); }), "");
    EXPECT_TRUE(fallback.information.name.isEmpty());
    for (auto& program : fallback.programs)
        ASSERT_EQ(program.binary, x47390_data::initProgramTemplate);

    library.clear();
    EXPECT_EQ(library.getNumPresetData(), 0);
    EXPECT_EQ(&library.getPresetData(0), &fallback);
}
