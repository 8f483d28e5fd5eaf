#include "data/UserUnitEditActions.h"
#include "tests/data/EditTestSupport.h"

#include <functional>

using namespace edittest;
using namespace x47390_action;

namespace
{
class UserUnitEditActions : public EditFixture
{
};

// An entry as loading a user-unit file builds it.
template <class Entry>
Entry loadedUnit(juce::uint8 marker)
{
    juce::MemoryBlock unit(64, true);
    static_cast<juce::uint8*>(unit.getData())[0] = 4;
    static_cast<juce::uint8*>(unit.getData())[20] = marker;
    static_cast<juce::uint8*>(unit.getData())[40] = marker;
    Entry e;
    e.setLoadedUnit(unit);
    return e;
}

void expectSameEntry(const x47390_data::UserUnitSlotData& a, const x47390_data::UserUnitSlotData& b)
{
    EXPECT_EQ(a.payload, b.payload);
    EXPECT_EQ(a.header, b.header);
    EXPECT_EQ(a.slot, b.slot);
    EXPECT_EQ(a.state, b.state);
}

bool isEmptyEntry(const x47390_data::UserUnitSlotData& e)
{
    return e.payload.isEmpty() && e.header == decltype(e.header){} && e.slot == -1 && e.state == 0;
}
} // namespace

TEST_F(UserUnitEditActions, SizesInUnits)
{
    x47390_data::UserData data;
    EXPECT_EQ(SetUserOscDataAction(0, {}).getSizeInUnits(), 132);
    EXPECT_EQ(SetUserModFXDataAction(0, {}).getSizeInUnits(), 132);
    EXPECT_EQ(SetUserDelFXDataAction(0, {}).getSizeInUnits(), 132);
    EXPECT_EQ(SetUserRevFXDataAction(0, {}).getSizeInUnits(), 132);
    EXPECT_EQ(ClearUserOscDataAction(0).getSizeInUnits(), 132);
    EXPECT_EQ(ClearUserModFXDataAction(0).getSizeInUnits(), 132);
    EXPECT_EQ(ClearUserDelFXDataAction(0).getSizeInUnits(), 132);
    EXPECT_EQ(ClearUserRevFXDataAction(0).getSizeInUnits(), 132);
    EXPECT_EQ(SetUserDataAction(data).getSizeInUnits(), 6672);
}

TEST_F(UserUnitEditActions, SlotAcceptance)
{
    // (action maker, slot, accepted, diagnostic line)
    struct Case
    {
        const char* name;
        std::function<juce::UndoableAction*(int)> make;
        int slot;
        bool accepted;
        std::string message;
    };
    const auto osc = [](int s) { return new SetUserOscDataAction(s, loadedUnit<x47390_data::UserOscData>(1)); };
    const auto mod = [](int s) { return new SetUserModFXDataAction(s, loadedUnit<x47390_data::UserModFXData>(1)); };
    const auto del = [](int s) { return new SetUserDelFXDataAction(s, loadedUnit<x47390_data::UserDelFXData>(1)); };
    const auto rev = [](int s) { return new SetUserRevFXDataAction(s, loadedUnit<x47390_data::UserRevFXData>(1)); };
    const auto clearOsc = [](int s) { return new ClearUserOscDataAction(s); };
    const auto clearMod = [](int s) { return new ClearUserModFXDataAction(s); };
    const auto clearDel = [](int s) { return new ClearUserDelFXDataAction(s); };
    const auto clearRev = [](int s) { return new ClearUserRevFXDataAction(s); };
    const Case cases[] = {
        {"osc", osc, 15, true, ""},
        {"osc", osc, 16, false, ""},
        {"osc", osc, -1, false, ""},
        {"mod", mod, 0, true, ""},
        {"mod", mod, 16, false, ""},
        {"del", del, 7, true, ""},
        {"del", del, 8, true, "User delay fx slot index error: 8\n"},
        {"del", del, 15, true, "User delay fx slot index error: 15\n"},
        {"del", del, 16, false, ""},
        {"del", del, -1, false, ""},
        {"rev", rev, 12, true, "User reverb fx slot index error: 12\n"},
        {"rev", rev, 16, false, ""},
        {"clearOsc", clearOsc, 15, true, ""},
        {"clearOsc", clearOsc, 16, false, ""},
        {"clearMod", clearMod, -5, false, ""},
        {"clearDel", clearDel, 7, true, ""},
        {"clearDel", clearDel, 8, false, ""},
        {"clearRev", clearRev, 8, false, ""},
        {"clearRev", clearRev, -1, false, ""},
    };
    for (const auto& c : cases)
    {
        resetSingletons();
        const x47390_data::UserData before(userData());
        bool result = false;
        const auto out = stdoutOf([&] { result = step("DragInsert", c.make(c.slot)); });
        EXPECT_EQ(result, c.accepted) << c.name << " " << c.slot;
        EXPECT_EQ(out, c.message) << c.name << " " << c.slot;
        EXPECT_EQ(isEdited(), c.accepted) << c.name << " " << c.slot;
        EXPECT_EQ(undoManager().canUndo(), c.accepted) << c.name << " " << c.slot;
        if (!c.accepted)
        {
            for (int i = 0; i < 17; ++i)
                expectSameEntry(userData().oscillators[(size_t) i], before.oscillators[(size_t) i]);
            for (int i = 0; i < 9; ++i)
                expectSameEntry(userData().delayEffects[(size_t) i], before.delayEffects[(size_t) i]);
        }
    }
}

TEST_F(UserUnitEditActions, DelaySlotEightWritesAndRestoresTheSpare)
{
    const auto unit = loadedUnit<x47390_data::UserDelFXData>(9);
    stdoutOf([&] { step("LoadUserDelFXData", new SetUserDelFXDataAction(8, unit)); });
    expectSameEntry(userData().delayEffects[8], unit);
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(isEmptyEntry(userData().delayEffects[(size_t) i]));

    const auto out = stdoutOf([&] { EXPECT_TRUE(undoManager().undo()); });
    EXPECT_EQ(out, "User delay fx slot index error: 8\n");
    EXPECT_TRUE(isEmptyEntry(userData().delayEffects[8]));
}

TEST_F(UserUnitEditActions, ClearingALoadedUnitAndUndo)
{
    const auto unit = loadedUnit<x47390_data::UserOscData>(3);
    step("LoadUserOscData", new SetUserOscDataAction(5, unit));
    EXPECT_EQ(userData().oscillators[5].state, 2);
    setEdited(false);

    step("ClearUserOscData", new ClearUserOscDataAction(5), new ClearUserOscDataAction(6));
    EXPECT_TRUE(isEmptyEntry(userData().oscillators[5]));
    EXPECT_TRUE(isEdited());

    undoManager().undo();
    expectSameEntry(userData().oscillators[5], unit);
    EXPECT_EQ(userData().oscillators[5].slot, -1);
    EXPECT_EQ(userData().oscillators[5].state, 2);
    EXPECT_FALSE(isEdited());
}

TEST_F(UserUnitEditActions, EachActionKeepsItsSlotThroughLaterEdits)
{
    const auto a = loadedUnit<x47390_data::UserDelFXData>(1);
    const auto b = loadedUnit<x47390_data::UserDelFXData>(2);
    step("LoadUserDelFXData", new SetUserDelFXDataAction(0, a));
    step("LoadUserDelFXData", new SetUserDelFXDataAction(1, b));
    // A drag that swaps the two units.
    step("DragInsert", new SetUserDelFXDataAction(0, b), new SetUserDelFXDataAction(1, a));
    step("ClearUserDelFXData", new ClearUserDelFXDataAction(3));

    undoManager().undo();
    undoManager().undo();
    expectSameEntry(userData().delayEffects[0], a);
    expectSameEntry(userData().delayEffects[1], b);
    EXPECT_TRUE(isEmptyEntry(userData().delayEffects[3]));
}

TEST_F(UserUnitEditActions, ReceiveUserDataRestoresSlotsAndLeavesTheSpares)
{
    userData().oscillators[16] = loadedUnit<x47390_data::UserOscData>(7); // our spare
    userData().reverbEffects[2] = loadedUnit<x47390_data::UserRevFXData>(4);
    const x47390_data::UserData before(userData());

    x47390_data::UserData received;
    const juce::uint8 header[32] = {4, 1};
    for (int i = 0; i < 16; ++i)
        received.oscillators[(size_t) i].setReceivedHeader(header, sizeof(header), i);
    received.delayEffects[8] = loadedUnit<x47390_data::UserDelFXData>(5); // their spare

    step("Receive UserData", new SetUserDataAction(received));
    for (int i = 0; i < 16; ++i)
        expectSameEntry(userData().oscillators[(size_t) i], received.oscillators[(size_t) i]);
    EXPECT_TRUE(isEmptyEntry(userData().reverbEffects[2]));
    expectSameEntry(userData().oscillators[16], before.oscillators[16]);
    EXPECT_TRUE(isEmptyEntry(userData().delayEffects[8]));

    undoManager().undo();
    for (int i = 0; i < 17; ++i)
        expectSameEntry(userData().oscillators[(size_t) i], before.oscillators[(size_t) i]);
    for (int i = 0; i < 9; ++i)
        expectSameEntry(userData().reverbEffects[(size_t) i], before.reverbEffects[(size_t) i]);
    EXPECT_FALSE(isEdited());

    undoManager().redo();
    expectSameEntry(userData().oscillators[0], received.oscillators[0]);
    EXPECT_TRUE(isEdited());
}
