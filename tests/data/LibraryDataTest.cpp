#include "data/LibraryData.h"
#include "data/DataCenter.h"

#include <gtest/gtest.h>

using x47390_data::LibraryData;

namespace
{
// Runs fn with standard output captured and returns what it printed.
template <class Fn> std::string printedBy(Fn&& fn)
{
    testing::internal::CaptureStdout();
    fn();
    return testing::internal::GetCapturedStdout();
}

void editEverything(LibraryData& library, int seed)
{
    for (int p = 0; p < 500; ++p)
    {
        auto& program = library.getProgramData(p);
        program.setName("P" + juce::String(p + seed));
        program.information.programmer = "programmer " + juce::String(seed);
        program.information.comment = "comment " + juce::String(p);
    }
    library.getFavoriteData().entries[2][5] = seed;
    for (int i = 0; i < 6; ++i)
    {
        auto& scale = library.getTuneScaleData(i);
        scale.notes[(size_t) i] = (juce::uint8)(seed + i);
        scale.updateHash();
        scale.information.programmer = "scale " + juce::String(seed);
        auto& octave = library.getTuneOctData(i);
        octave.notes[(size_t) i + 1] = (juce::uint8)(seed + i);
        octave.updateHash();
        octave.information.comment = "octave " + juce::String(seed);
    }
}

} // namespace

TEST(LibraryData, NewLibrary)
{
    auto library = std::make_unique<LibraryData>();
    for (int p = 0; p < 500; ++p)
        ASSERT_EQ(library->getProgramData(p).getName(), "Init Program");
    for (auto& bank : library->getFavoriteData().entries)
        for (int value : bank)
            EXPECT_EQ(value, 500);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(library->getTuneScaleData(i).notes, x47390_data::identityTuneScale);
        EXPECT_EQ(library->getTuneOctData(i).notes, x47390_data::identityTuneOct);
    }
}

TEST(LibraryData, NumbersOutOfRangeReachTheSpares)
{
    auto library = std::make_unique<LibraryData>();
    struct Case
    {
        const char* what;
        std::function<void*()> select;
        std::function<void*()> spare;
        const char* printed;
    };
    auto& lib = *library;
    const Case cases[] = {
        {"program 500", [&] { return (void*) &lib.getProgramData(500); },
         [&] { return (void*) &lib.getProgramData(-7); }, "Program Number Error: 500\n"},
        {"program -1", [&] { return (void*) &lib.getProgramData(-1); },
         [&] { return (void*) &lib.getProgramData(500); }, "Program Number Error: -1\n"},
        {"scale 6", [&] { return (void*) &lib.getTuneScaleData(6); }, [&] { return (void*) &lib.getTuneScaleData(-1); },
         "Tune Scale Number Error: 6\n"},
        {"scale -1", [&] { return (void*) &lib.getTuneScaleData(-1); },
         [&] { return (void*) &lib.getTuneScaleData(99); }, "Tune Scale Number Error: -1\n"},
        {"octave 6", [&] { return (void*) &lib.getTuneOctData(6); }, [&] { return (void*) &lib.getTuneOctData(1000); },
         "Tune Oct Number Error: 6\n"},
        {"octave min", [&] { return (void*) &lib.getTuneOctData(std::numeric_limits<int>::min()); },
         [&] { return (void*) &lib.getTuneOctData(6); }, "Tune Oct Number Error: -2147483648\n"},
    };
    for (auto& c : cases)
    {
        void* selected = nullptr;
        EXPECT_EQ(printedBy([&] { selected = c.select(); }), c.printed) << c.what;
        void* spare = nullptr;
        printedBy([&] { spare = c.spare(); });
        EXPECT_EQ(selected, spare) << c.what;
    }

    // In range prints nothing; the spare takes writes without touching the 500 programs.
    EXPECT_EQ(printedBy(
                  [&]
                  {
                      lib.getProgramData(0);
                      lib.getProgramData(499);
                      lib.getTuneScaleData(5);
                      lib.getTuneOctData(0);
                  }),
              "");
    printedBy([&] { lib.getProgramData(500).setName("Spare"); });
    for (int p = 0; p < 500; ++p)
        ASSERT_EQ(lib.getProgramData(p).getName(), "Init Program");
    EXPECT_EQ(printedBy([&] { EXPECT_EQ(lib.getProgramData(-1).getName(), "Spare       "); }),
              "Program Number Error: -1\n");
}

TEST(LibraryData, InitialiseKeepsTextsAndSpares)
{
    auto library = std::make_unique<LibraryData>();
    editEverything(*library, 9);
    printedBy(
        [&]
        {
            library->getProgramData(500).setName("Spare");
            library->getTuneScaleData(6).notes[0] = 77;
        });

    library->initialise();
    for (int p = 0; p < 500; ++p)
    {
        ASSERT_EQ(library->getProgramData(p).getName(), "Init Program");
        ASSERT_EQ(library->getProgramData(p).md5, x47390_data::ProgramData().md5);
    }
    EXPECT_EQ(library->getProgramData(3).information.comment, "comment 3");
    EXPECT_EQ(library->getProgramData(3).information.programmer, "programmer 9");
    EXPECT_EQ(library->getFavoriteData().entries[2][5], 500);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(library->getTuneScaleData(i).notes, x47390_data::identityTuneScale);
        EXPECT_EQ(library->getTuneScaleData(i).md5, x47390_data::TuneScaleData().md5);
        EXPECT_EQ(library->getTuneScaleData(i).information.programmer, "scale 9");
        EXPECT_EQ(library->getTuneOctData(i).notes, x47390_data::identityTuneOct);
        EXPECT_EQ(library->getTuneOctData(i).information.comment, "octave 9");
    }
    printedBy(
        [&]
        {
            EXPECT_EQ(library->getProgramData(500).getName(), "Spare       ");
            EXPECT_EQ(library->getTuneScaleData(6).notes[0], 77);
        });
}

TEST(LibraryData, CopyFromTakesProgramsLiveSetAndTuningNotesOnly)
{
    auto source = std::make_unique<LibraryData>();
    auto target = std::make_unique<LibraryData>();
    editEverything(*source, 20);
    editEverything(*target, 40);
    printedBy(
        [&]
        {
            source->getProgramData(500).setName("Source spare");
            target->getProgramData(500).setName("Target spare");
            source->getTuneOctData(6).notes[0] = 99;
        });

    EXPECT_EQ(&target->copyFrom(*source), target.get());
    for (int p = 0; p < 500; ++p)
    {
        ASSERT_EQ(target->getProgramData(p).binary, source->getProgramData(p).binary);
        ASSERT_EQ(target->getProgramData(p).md5, source->getProgramData(p).md5);
        ASSERT_EQ(target->getProgramData(p).information.programmer, "programmer 20");
    }
    EXPECT_EQ(target->getFavoriteData().entries, source->getFavoriteData().entries);
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(target->getTuneScaleData(i).notes, source->getTuneScaleData(i).notes);
        EXPECT_EQ(target->getTuneScaleData(i).md5, source->getTuneScaleData(i).md5);
        EXPECT_EQ(target->getTuneScaleData(i).information.programmer, "scale 40");
        EXPECT_EQ(target->getTuneOctData(i).notes, source->getTuneOctData(i).notes);
        EXPECT_EQ(target->getTuneOctData(i).information.comment, "octave 40");
    }
    printedBy(
        [&]
        {
            EXPECT_EQ(target->getProgramData(500).getName(), "Target spare");
            EXPECT_EQ(target->getTuneOctData(6).notes, x47390_data::identityTuneOct);
        });
}

TEST(LibraryData, CopyConstructorCopiesEverything)
{
    auto source = std::make_unique<LibraryData>();
    editEverything(*source, 5);
    printedBy(
        [&]
        {
            source->getProgramData(500).setName("Spare");
            source->getTuneScaleData(6).information.comment = "s";
        });

    auto copy = std::make_unique<LibraryData>(*source);
    EXPECT_EQ(copy->getProgramData(7).information.comment, "comment 7");
    EXPECT_EQ(copy->getTuneScaleData(2).information.programmer, "scale 5");
    EXPECT_EQ(copy->getTuneScaleData(2).md5, source->getTuneScaleData(2).md5);
    printedBy(
        [&]
        {
            EXPECT_EQ(copy->getProgramData(500).getName(), "Spare       ");
            EXPECT_EQ(copy->getTuneScaleData(6).information.comment, "s");
        });
}

TEST(LibraryData, SerializeRoundTrip)
{
    auto source = std::make_unique<LibraryData>();
    editEverything(*source, 3);
    const auto block = source->serialize();

    auto target = std::make_unique<LibraryData>();
    ASSERT_TRUE(target->deserialize(block));
    for (int p = 0; p < 500; ++p)
    {
        ASSERT_EQ(target->getProgramData(p).binary, source->getProgramData(p).binary);
        ASSERT_EQ(target->getProgramData(p).information.comment, source->getProgramData(p).information.comment);
    }
    EXPECT_EQ(target->getFavoriteData().entries, source->getFavoriteData().entries);
    EXPECT_EQ(target->getTuneOctData(5).notes, source->getTuneOctData(5).notes);
    EXPECT_EQ(target->getTuneScaleData(5).information.programmer, "scale 3");

    // A cut block changes nothing.
    auto cut = block;
    cut.setSize(cut.getSize() / 2);
    auto untouched = std::make_unique<LibraryData>();
    EXPECT_FALSE(untouched->deserialize(cut));
    EXPECT_EQ(untouched->getProgramData(0).getName(), "Init Program");
}

TEST(DataCenter, OwnsOneLibraryPresetListAndUserData)
{
    auto* center = x47390_data::DataCenter::getInstance();
    EXPECT_EQ(center, x47390_data::DataCenter::getInstance());
    EXPECT_EQ(center->getPresetLibrary().getNumPresetData(), 0);
    EXPECT_EQ(center->getUserData().getUserOscData(0).slot, -1);
    EXPECT_EQ(center->getLibraryData().getProgramData(0).getName(), "Init Program");
    delete center;
    EXPECT_EQ(x47390_data::DataCenter::getInstanceWithoutCreating(), nullptr);
}
