#include "data/FactoryScaleTemplates.h"
#include "tests/data/EditTestSupport.h"

using namespace edittest;
using x47390_data::CurrentTuneOctData;
using x47390_data::CurrentTuneScaleData;

namespace
{
class CurrentTuneData : public EditFixture
{
};

struct ScaleObserver : x47390_data::CurrentTuneScaleDataObserver
{
    ScaleObserver() { CurrentTuneScaleData::getInstance()->addListener(this); }
    ~ScaleObserver() override
    {
        if (auto* h = CurrentTuneScaleData::getInstanceWithoutCreating())
            h->removeListener(this);
    }
    void currentTuneScaleChanged() override { ++calls; }
    int calls = 0;
};

struct OctObserver : x47390_data::CurrentTuneOctDataObserver
{
    OctObserver() { CurrentTuneOctData::getInstance()->addListener(this); }
    ~OctObserver() override
    {
        if (auto* h = CurrentTuneOctData::getInstanceWithoutCreating())
            h->removeListener(this);
    }
    void currentTuneOctChanged() override { ++calls; }
    int calls = 0;
};
} // namespace

TEST_F(CurrentTuneData, StoreFollowsTheSlotRule)
{
    CurrentTuneOctData::getInstance();
    CurrentTuneOctData::editBuffer = x47390_data::identityTuneOct;
    CurrentTuneOctData::editBuffer[2] = 0x85;

    CurrentTuneOctData::setTuneOctToTuningList(6); // 6 stores into user octave 1
    EXPECT_EQ(library().getTuneOctData(0).notes[2], 0x05);
    EXPECT_EQ(library().getTuneOctData(0).md5, md5Of(library().getTuneOctData(0).notes.data(), 36));
    EXPECT_EQ(CurrentTuneOctData::currentTuneOct.notes, library().getTuneOctData(0).notes);
    EXPECT_FALSE(isEdited()); // the store alone is not an edit

    CurrentTuneOctData::editBuffer[2] = 0x07;
    std::vector<juce::String> before;
    for (int i = 0; i < 6; ++i)
        before.push_back(library().getTuneOctData(i).md5);
    EXPECT_EQ(stdoutOf([] { CurrentTuneOctData::setTuneOctToTuningList(7); }), "setTuneOctToTuningList:007\n");
    EXPECT_EQ(stdoutOf([] { CurrentTuneScaleData::setTuneScaleToTuningList(12); }), "setTuneScaleToTuningList:012\n");
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(library().getTuneOctData(i).md5, before[(size_t) i]);

    CurrentTuneOctData::setTuneOctToTuningList(-1); // low byte 255: slot 0
    EXPECT_EQ(library().getTuneOctData(0).notes[2], 0x07);
}

TEST_F(CurrentTuneData, SelectingASlotLoadsItsNotesButNoTexts)
{
    auto& slot = library().getTuneScaleData(4);
    slot.notes[3 * 10] = 0x8A; // stored as given; the buffer gets it masked
    slot.updateHash();
    slot.information.programmer = "author";
    slot.information.comment = "comment";

    CurrentTuneScaleData::getInstance()->setTuneScale(4);
    EXPECT_EQ(CurrentTuneScaleData::editBuffer[3 * 10], 0x0A);
    EXPECT_EQ(CurrentTuneScaleData::currentTuneScale.notes, slot.notes);
    EXPECT_EQ(CurrentTuneScaleData::currentTuneScale.md5, slot.md5);
    EXPECT_TRUE(CurrentTuneScaleData::currentTuneScale.information.programmer.isEmpty());
    EXPECT_EQ(slot.information.programmer, "author");
    EXPECT_EQ(slot.information.comment, "comment");

    const auto buffer = CurrentTuneScaleData::editBuffer;
    EXPECT_EQ(stdoutOf([] { CurrentTuneScaleData::getInstance()->setTuneScale(7); }), "TuneScale Change invalid:007\n");
    EXPECT_EQ(stdoutOf([] { CurrentTuneOctData::getInstance()->setTuneOct(100); }), "TuneOct Change invalid:100\n");
    EXPECT_EQ(CurrentTuneScaleData::editBuffer, buffer);
}

TEST_F(CurrentTuneData, NothingGoesToTheInstrumentUntilTheTuningPageWasShown)
{
    auto* scale = CurrentTuneScaleData::getInstance();
    auto* oct = CurrentTuneOctData::getInstance();
    scale->setTuneScale(1);
    oct->setTuneOct(1);
    CurrentTuneScaleData::setTuneScaleToTuningList(1);
    CurrentTuneOctData::setTuneOctToTuningList(1);
    EXPECT_EQ(midi().getNumTuneScaleHandOvers(), 0);
    EXPECT_EQ(midi().getNumTuneOctHandOvers(), 0);

    tuningLiveTransmission = true;
    currentTuningSlot = 6 + 3;
    library().getTuneScaleData(3).notes[5] = 0x11;
    library().getTuneScaleData(3).updateHash();
    scale->tuneScaleChanged(); // hands over the selected slot's scale
    EXPECT_EQ(midi().getNumTuneScaleHandOvers(), 1);
    EXPECT_EQ(midi().getPendingTuneScale().notes, library().getTuneScaleData(3).notes);

    CurrentTuneScaleData::editBuffer[9] = 0x12;
    CurrentTuneScaleData::setTuneScaleToTuningList(3);
    EXPECT_EQ(midi().getNumTuneScaleHandOvers(), 2);
    EXPECT_EQ(midi().getPendingTuneScale().notes[9], 0x12);
    EXPECT_EQ(midi().getPendingTuneScale().md5, library().getTuneScaleData(3).md5);

    currentTuningSlot = 2;
    oct->setTuneOct(2);
    EXPECT_EQ(midi().getNumTuneOctHandOvers(), 1);
    EXPECT_EQ(midi().getPendingTuneOct().md5, library().getTuneOctData(2).md5);
}

TEST_F(CurrentTuneData, PasteTuneScaleUsesTheTemplateOrTheIdentity)
{
    currentTuningSlot = 6 + 2;
    auto* scale = CurrentTuneScaleData::getInstance();
    scale->pasteTuneScale(13);
    EXPECT_EQ(library().getTuneScaleData(2).notes, factoryScaleTemplates[13]);
    EXPECT_EQ(CurrentTuneScaleData::editBuffer, factoryScaleTemplates[13]);
    EXPECT_TRUE(isEdited());
    EXPECT_EQ(undoManager().getUndoDescription(), "PasteTuneScale");

    scale->pasteTuneScale(30);
    EXPECT_EQ(library().getTuneScaleData(2).notes, x47390_data::identityTuneScale);
    scale->pasteTuneScale(256 + 8); // only the low byte counts
    EXPECT_EQ(library().getTuneScaleData(2).notes, factoryScaleTemplates[8]);

    undoManager().undo();
    undoManager().undo();
    EXPECT_EQ(library().getTuneScaleData(2).notes, factoryScaleTemplates[13]);
}

TEST_F(CurrentTuneData, PasteTuneOctThenUndoRestoresTheSlot)
{
    currentTuningSlot = 4;
    auto& slot = library().getTuneOctData(4);
    slot.notes[0] = 0x20;
    slot.updateHash();
    const auto oldNotes = slot.notes;
    const auto oldMd5 = slot.md5;

    CurrentTuneOctData::getInstance()->pasteTuneOct();
    EXPECT_EQ(slot.notes, x47390_data::identityTuneOct);
    EXPECT_EQ(undoManager().getUndoDescription(), "PasteTuneOct");

    undoManager().undo();
    EXPECT_EQ(slot.notes, oldNotes);
    EXPECT_EQ(slot.md5, oldMd5);
    EXPECT_EQ(CurrentTuneOctData::editBuffer, x47390_data::identityTuneOct);
}

TEST_F(CurrentTuneData, ObserversHearOncePerBurst)
{
    ScaleObserver scaleObserver;
    OctObserver octObserver;
    currentTuningSlot = 1;
    auto* oct = CurrentTuneOctData::getInstance();
    oct->setTuneOct(1);
    drain();
    EXPECT_EQ(octObserver.calls, 1);
    EXPECT_EQ(scaleObserver.calls, 0);

    oct->pasteTuneOct(); // the undo manager's change message and its own scheduling
    oct->tuneOctChanged();
    drain();
    EXPECT_EQ(octObserver.calls, 2);
    EXPECT_EQ(scaleObserver.calls, 1); // the undo manager's change message reaches both holders

    undoManager().undo();
    drain();
    EXPECT_EQ(octObserver.calls, 3);
    EXPECT_EQ(scaleObserver.calls, 2);
}
