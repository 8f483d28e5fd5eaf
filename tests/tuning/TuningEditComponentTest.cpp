#include "data/FactoryScaleTemplates.h"
#include "midi/MidiNoteReceiveTask.h"
#include "tests/data/EditTestSupport.h"
#include "tests/support/RealProgram.h"
#include "tuning/TuningEditComponent.h"
#include "tuning/TuningPaneComponent.h"
#include "tuning/TuningTemplateComponent.h"
#include "ui/ImageTextButton.h"
#include "ui/SelectedTabStatus.h"

#include <gtest/gtest.h>

#include <random>

#include <malloc.h>
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define SONAVIRE_TEST_ASAN_HEAP 1
#endif
#endif

namespace
{
using x47390_data::DataCenter;
using platform::midi::VirtualMidiFabric;

// The page inside its pane, shown in a window of its own, over a library fresh for each test. The
// MIDI system holds one keyboard whose notes reach the port object.
struct TuningPageTest : ::testing::Test
{
    void SetUp() override
    {
        edittest::resetSingletons();
        delete midi::MidiDeviceManager::getInstanceWithoutCreating();
        platform::midi::MidiBackend::setDefault(fabric);
        keyboard = fabric->addDevice("Keys", {"Out"}, {"In"});
        ASSERT_TRUE(midi::MidiDeviceManager::getInstance()->getMidi().openInput(0));
        kbdGuidNoteStates.fill(0);
        octGuidNoteStates.fill(0);

        pane = std::make_unique<TuningPaneComponent>();
        pane->setBounds(0, 0, 940, 450);
        pane->addToDesktop(0);
        pane->setVisible(true);
        page = pane->getTuningEditor();
        testsupport::drainMessageLoop();
    }

    void TearDown() override
    {
        pane.reset();
        edittest::resetSingletons();
        kbdGuidNoteStates.fill(0);
        octGuidNoteStates.fill(0);
    }

    static x47390_data::LibraryData& library() { return DataCenter::getInstance()->getLibraryData(); }
    static application::ApplicationUndoManager* undo() { return application::ApplicationUndoManager::getInstance(); }

    // Types into a slider's value box as the user does: the text is handed over when editing ends.
    static void type(TuningEditor::Slider& slider, const juce::String& text)
    {
        slider.getValueBox()->setText(text, juce::sendNotificationSync);
        testsupport::drainMessageLoop();
    }

    void press(int keyCode, juce::ModifierKeys mods = {})
    {
        page->keyPressed(juce::KeyPress(keyCode, mods, 0), page);
        testsupport::drainMessageLoop();
    }

    void select(int slot)
    {
        page->getSlotButton(slot).triggerClick();
        testsupport::drainMessageLoop();
    }

    juce::String noteText(int i) { return page->getNoteSlider(i).getValueBox()->getText(); }
    juce::String centText(int i) { return page->getCentSlider(i).getValueBox()->getText(); }

    std::shared_ptr<VirtualMidiFabric> fabric = VirtualMidiFabric::create();
    std::shared_ptr<VirtualMidiFabric::Device> keyboard;
    std::unique_ptr<TuningPaneComponent> pane;
    TuningEditComponent* page = nullptr;
};

juce::Colour pixel(const juce::Image& image, int x, int y)
{
    return image.getPixelAt(x, y);
}

bool isReddish(juce::Colour c)
{
    return c.getRed() > 180 && c.getGreen() < 90 && c.getBlue() < 90;
}

// Bytes the process holds on its heap now.
long long heapBytes()
{
#ifdef SONAVIRE_TEST_ASAN_HEAP
    return (long long) __sanitizer_get_current_allocated_bytes();
#else
    return (long long) mallinfo2().uordblks;
#endif
}
} // namespace

TEST_F(TuningPageTest, ChildrenSitAtTheirPlaces)
{
    EXPECT_EQ(page->getBounds(), juce::Rectangle<int>(75, 0, 790, 450));
    EXPECT_EQ(page->getReceiveButton().getBounds(), juce::Rectangle<int>(579, 163, 80, 24));
    EXPECT_EQ(page->getWriteButton().getBounds(), juce::Rectangle<int>(579, 198, 80, 24));
    EXPECT_EQ(page->getInitializeButton().getBounds(), juce::Rectangle<int>(579, 286, 80, 24));
    EXPECT_EQ(page->getTemplateButton().getBounds(), juce::Rectangle<int>(579, 325, 80, 24));
    EXPECT_EQ(page->getTemplateButton().getButtonText(), "TEMPLATE");
    EXPECT_EQ(page->getTemplateButton().getCommandID(), 17);
    EXPECT_EQ(page->getReceiveButton().getCommandID(), 29);
    EXPECT_EQ(page->getWriteButton().getCommandID(), 30);
    EXPECT_EQ(page->getInitializeButton().getCommandID(), 0);
    EXPECT_FALSE(page->getSlotButton(0).getWantsKeyboardFocus());
    EXPECT_EQ(page->getSlotButton(6).getBounds(), juce::Rectangle<int>(113, 40, 80, 24));
    EXPECT_EQ(page->getSlotButton(11).getBounds(), juce::Rectangle<int>(579, 40, 80, 24));
    EXPECT_EQ(page->getSlotButton(3).getBounds(), juce::Rectangle<int>(393, 104, 80, 24));
    EXPECT_EQ(page->getSlotButton(3).getButtonText(), "4");
    EXPECT_EQ(page->getNoteSlider(1).getBounds(), juce::Rectangle<int>(152, 240, 38, 18));
    EXPECT_EQ(page->getCentSlider(11).getBounds(), juce::Rectangle<int>(514, 288, 32, 18));
    for (int p = 0; p < 11; ++p)
    {
        EXPECT_EQ(page->getTile(p).getBounds(), juce::Rectangle<int>(113 + 42 * p, 364, 42, 16));
        EXPECT_EQ(page->getPageLabel(p).getBounds(), juce::Rectangle<int>(113 + 42 * p, 385, 27, 15));
    }
    EXPECT_EQ(page->getPageLabel(0).getText(), "C-1");
    EXPECT_EQ(page->getPageLabel(10).getText(), "C 9");
    EXPECT_EQ(page->getTile(4).getName(), "Kbd :4");
    EXPECT_EQ(page->getOctaveGuide(3).getBounds(), juce::Rectangle<int>(113, 163, 450, 186));
    EXPECT_EQ(page->getKeyGuide(127).getBounds(), juce::Rectangle<int>(113 + 420, 364, 42, 16));
    EXPECT_EQ(page->getKeyGuide(127).getName(), "OctGuid :127");
    // The sliders lie above the octave guides, the key guides above the tiles.
    EXPECT_GT(page->getIndexOfChildComponent(&page->getNoteSlider(0)),
              page->getIndexOfChildComponent(&page->getOctaveGuide(11)));
    EXPECT_GT(page->getIndexOfChildComponent(&page->getKeyGuide(0)), page->getIndexOfChildComponent(&page->getTile(10)));
}

TEST_F(TuningPageTest, StartsOnUserScaleOneAtMiddleCWithoutWritingBack)
{
    EXPECT_EQ(currentTuningSlot, 6);
    EXPECT_EQ(currentTuningPage, 5);
    EXPECT_FALSE(page->isTuningSlotSelected());
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(centText(i), "0");
    EXPECT_EQ(noteText(0), "C 4");
    EXPECT_EQ(noteText(11), "B 4");
    EXPECT_EQ(page->getPageLabel(5).findColour(juce::Label::textColourId), juce::Colours::white);
    EXPECT_EQ(page->getPageLabel(4).findColour(juce::Label::textColourId), juce::Colour(0x80ffffff));
    EXPECT_FALSE(undo()->canUndo());
}

TEST_F(TuningPageTest, TypingANoteIsOneUndoStepOnTheLibrary)
{
    const auto before = library().getTuneScaleData(0).notes;
    type(page->getNoteSlider(0), "C#4");
    EXPECT_EQ(noteText(0), "C#4");
    auto after = before;
    after[60 * 3] = 61;
    EXPECT_EQ(library().getTuneScaleData(0).notes, after);
    EXPECT_TRUE(application::DataEditStatus::getInstance()->isEdited());
    EXPECT_EQ(undo()->getUndoDescription(), "PasteTuneScale");

    ASSERT_TRUE(undo()->undo());
    testsupport::drainMessageLoop();
    EXPECT_EQ(library().getTuneScaleData(0).notes, before);
    EXPECT_EQ(noteText(0), "C 4");
    ASSERT_TRUE(undo()->redo());
    testsupport::drainMessageLoop();
    EXPECT_EQ(noteText(0), "C#4");
}

TEST_F(TuningPageTest, TypedCentsStoreTheFractionAndNegativeCentsBorrowASemitone)
{
    type(page->getCentSlider(4), "-1");
    const auto* e = &library().getTuneScaleData(0).notes[64 * 3];
    EXPECT_EQ(e[0], 63);
    EXPECT_EQ(e[1] * 128 + e[2], 16220);
    EXPECT_EQ(noteText(4), "E 4");
    EXPECT_EQ(centText(4), "-1");

    select(2); // user octave 3: the same on an octave, in the octave's own semitones
    type(page->getCentSlider(4), "49");
    const auto* o = &library().getTuneOctData(2).notes[4 * 3];
    EXPECT_EQ(o[0], 4);
    EXPECT_EQ(o[1] * 128 + o[2], 8028);
    type(page->getNoteSlider(4), "-C");
    EXPECT_EQ(library().getTuneOctData(2).notes[4 * 3], 0x74);
    EXPECT_EQ(noteText(4), "-C ");
    EXPECT_EQ(undo()->getUndoDescription(), "PasteTuneOct");
}

TEST_F(TuningPageTest, ShowingAndPagingNeverChangeStoredNotes)
{
    std::mt19937 random(7);
    std::vector<x47390_data::TuneScaleNotes> scales;
    for (int t = 0; t < numFactoryScaleTemplates; ++t)
    {
        x47390_data::TuneScaleNotes notes{};
        std::copy(factoryScaleTemplates[(size_t) t].begin(), factoryScaleTemplates[(size_t) t].end(), notes.begin());
        scales.push_back(notes);
    }
    // Odd fractions, the reserved entry and the top note with a large fraction.
    x47390_data::TuneScaleNotes odd{};
    for (auto& byte : odd)
        byte = (juce::uint8) (random() & 0x7F);
    odd[127 * 3] = 127;
    odd[127 * 3 + 1] = 0x7F;
    odd[127 * 3 + 2] = 0x7F;
    odd[126 * 3] = 127;
    odd[126 * 3 + 1] = 0x50;
    scales.push_back(odd);

    // Delivered at once instead of through the message loop: hundreds of refreshes follow.
    const auto settle = [this]
    {
        for (int tile = 0; tile < 11; ++tile)
            page->getTile(tile).handleUpdateNowIfNeeded();
        page->handleUpdateNowIfNeeded();
    };
    for (const auto& notes : scales)
    {
        auto& slot = library().getTuneScaleData(1);
        slot.notes = notes;
        slot.updateHash();
        page->selectTuningSlot(7);
        settle();
        for (int step = 0; step < 12; ++step)
        {
            page->keyPressed(juce::KeyPress(juce::KeyPress::leftKey), page);
            settle();
        }
        for (int tile = 0; tile < 11; ++tile)
        {
            page->getTile(tile).mouseDown(juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), {},
                                                           {}, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, &page->getTile(tile),
                                                           &page->getTile(tile), juce::Time(), {}, juce::Time(), 1,
                                                           false));
            settle();
            page->keyPressed(juce::KeyPress(juce::KeyPress::rightKey), page);
            settle();
        }
        // Whatever the sliders still have to tell arrives now.
        testsupport::drainMessageLoop();
        page->keyPressed(juce::KeyPress(juce::KeyPress::leftKey), page);
        settle();
        ASSERT_EQ(library().getTuneScaleData(1).notes, notes);
        ASSERT_EQ(x47390_data::CurrentTuneScaleData::editBuffer, notes);
    }

    // Octaves with semitones the sliders cannot show.
    x47390_data::TuneOctNotes octave{};
    for (auto& byte : octave)
        byte = (juce::uint8) (random() & 0x7F);
    octave[0] = 0x30;
    octave[3] = 0x40;
    auto& octaveSlot = library().getTuneOctData(4);
    octaveSlot.notes = octave;
    octaveSlot.updateHash();
    select(4);
    press(juce::KeyPress::rightKey);
    select(4);
    EXPECT_EQ(library().getTuneOctData(4).notes, octave);
    EXPECT_EQ(noteText(0), "+B ");
    EXPECT_EQ(centText(0), "49");
    EXPECT_EQ(noteText(1), "-C ");
    EXPECT_FALSE(undo()->canUndo());
}

TEST_F(TuningPageTest, EditingANoteHeldAtTheLimitStoresWhatIsShown)
{
    auto& slot = library().getTuneScaleData(0);
    slot.notes[127 * 3] = 127;
    slot.notes[127 * 3 + 1] = 0x60; // 127 and three quarters
    slot.updateHash();
    select(6);
    for (int i = 0; i < 5; ++i)
        press(juce::KeyPress::rightKey);
    ASSERT_EQ(currentTuningPage, 10);
    EXPECT_EQ(noteText(7), "G 9");
    EXPECT_EQ(centText(7), "49");
    type(page->getNoteSlider(7), "F#9");
    const auto* e = &library().getTuneScaleData(0).notes[127 * 3];
    EXPECT_EQ(e[0], 126);
    EXPECT_EQ(e[1] * 128 + e[2], 8028);
}

TEST_F(TuningPageTest, ADragBackToWhereItStartedIsNoUndoStep)
{
    auto& slider = page->getNoteSlider(2);
    const auto event = [&slider](int y, bool dragged)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(), juce::Point<float>(10.0f, (float) y),
                                juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f,
                                0.0f, &slider, &slider, now, {10.0f, 9.0f}, now, 1, dragged);
    };
    slider.mouseDown(event(9, false));
    slider.mouseDrag(event(-11, true)); // 20 pixels up: 10 semitones
    EXPECT_EQ(noteText(2), "C 5");
    EXPECT_EQ(x47390_data::CurrentTuneScaleData::editBuffer[62 * 3], 72);
    slider.mouseDrag(event(9, true));
    slider.mouseUp(event(9, true));
    testsupport::drainMessageLoop();
    EXPECT_FALSE(undo()->canUndo());
    EXPECT_EQ(library().getTuneScaleData(0).notes, x47390_data::identityTuneScale);

    slider.mouseDown(event(9, false));
    slider.mouseDrag(event(4, true));
    slider.mouseUp(event(4, true));
    testsupport::drainMessageLoop();
    EXPECT_EQ(undo()->getUndoDescription(), "PasteTuneScale");
    EXPECT_EQ(library().getTuneScaleData(0).notes[62 * 3], 65); // 5 pixels: two and a half semitones
}

// The sliders show whole cents; the entries hold finer fractions (and an octave entry may lie beyond what the
// sliders show). A drag that ends where it began leaves the entry's bytes as they were: no undo step, no edited
// mark, nothing written back.
TEST_F(TuningPageTest, ADragThatEndsOnItsStartValueLeavesTheEntryUntouched)
{
    struct Case
    {
        const char* name;
        int slot, position;
        bool centSlider;
        std::array<std::uint8_t, 3> entry;
    };
    const Case cases[] = {
        {"a scale note with a fine fraction, note slider", 6, 2, false, {62, 0x05, 0x01}},
        {"a scale note with a fine fraction, cent slider", 6, 2, true, {62, 0x05, 0x01}},
        {"an octave entry beyond the shown range", 2, 0, false, {0x3C, 0x0E, 0x02}},
        {"an octave entry beyond the shown range, cent slider", 2, 0, true, {0x3C, 0x0E, 0x02}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const bool octave = c.slot < 6;
        const int index = octave ? c.position : 12 * 5 + c.position;
        auto* notes = octave ? library().getTuneOctData(c.slot).notes.data()
                             : library().getTuneScaleData(c.slot - 6).notes.data();
        std::copy(c.entry.begin(), c.entry.end(), notes + index * 3);
        octave ? library().getTuneOctData(c.slot).updateHash() : library().getTuneScaleData(c.slot - 6).updateHash();
        const auto md5 = octave ? library().getTuneOctData(c.slot).md5 : library().getTuneScaleData(c.slot - 6).md5;
        select(c.slot);
        undo()->clearUndoHistory();
        application::DataEditStatus::getInstance()->setEdited(false);

        auto& slider = c.centSlider ? page->getCentSlider(c.position) : page->getNoteSlider(c.position);
        const auto event = [&slider](int y, bool dragged)
        {
            const auto now = juce::Time::getCurrentTime();
            return juce::MouseEvent(juce::Desktop::getInstance().getMainMouseSource(),
                                    juce::Point<float>(10.0f, (float) y),
                                    juce::ModifierKeys(juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, 0.0f, 0.0f,
                                    0.0f, &slider, &slider, now, {10.0f, 9.0f}, now, 1, dragged);
        };
        const auto shown = slider.getValue();
        slider.mouseDown(event(9, false));
        slider.mouseDrag(event(29, true)); // 20 pixels down
        EXPECT_NE(slider.getValue(), shown);
        slider.mouseDrag(event(9, true));
        slider.mouseUp(event(9, true));
        testsupport::drainMessageLoop();

        const auto* buffer = octave ? &x47390_data::CurrentTuneOctData::editBuffer[(size_t) c.position * 3]
                                    : &x47390_data::CurrentTuneScaleData::editBuffer[(size_t) index * 3];
        EXPECT_EQ((std::array<std::uint8_t, 3>{buffer[0], buffer[1], buffer[2]}), c.entry);
        const auto* stored = notes + index * 3;
        EXPECT_EQ((std::array<std::uint8_t, 3>{stored[0], stored[1], stored[2]}), c.entry);
        EXPECT_EQ(octave ? library().getTuneOctData(c.slot).md5 : library().getTuneScaleData(c.slot - 6).md5, md5);
        EXPECT_FALSE(undo()->canUndo());
        EXPECT_FALSE(application::DataEditStatus::getInstance()->isEdited());
        EXPECT_EQ(slider.getValue(), shown);
    }
}

TEST_F(TuningPageTest, PageTenLocksTheFourPositionsBeyondNote127)
{
    for (int i = 0; i < 6; ++i)
        press(juce::KeyPress::rightKey);
    ASSERT_EQ(currentTuningPage, 10);
    for (int i = 8; i < 12; ++i)
    {
        for (auto* slider : {&page->getNoteSlider(i), &page->getCentSlider(i)})
        {
            EXPECT_EQ(slider->getValue(), 0);
            EXPECT_FALSE(slider->isMouseInteractionEnabled());
            EXPECT_FALSE(slider->getValueBox()->isEditable());
            EXPECT_EQ(slider->findColour(juce::Slider::textBoxTextColourId), juce::Colour(0x00ffffff));
        }
    }
    EXPECT_TRUE(page->getNoteSlider(7).isMouseInteractionEnabled());
    const auto before = library().getTuneScaleData(0).notes;
    type(page->getNoteSlider(9), "A");
    EXPECT_EQ(library().getTuneScaleData(0).notes, before);
    EXPECT_FALSE(undo()->canUndo());

    press(juce::KeyPress::leftKey);
    EXPECT_EQ(currentTuningPage, 9);
    EXPECT_EQ(noteText(9), "A 8");
    EXPECT_TRUE(page->getNoteSlider(9).isMouseInteractionEnabled());
    EXPECT_TRUE(page->getNoteSlider(9).getValueBox()->isEditable());
    EXPECT_EQ(page->getNoteSlider(9).findColour(juce::Slider::textBoxTextColourId), juce::Colour(0xff000000));
    EXPECT_EQ(page->getNoteSlider(10).findColour(juce::Slider::textBoxTextColourId), juce::Colour(0xffffffff));
}

TEST_F(TuningPageTest, ArrowKeysPageThroughAUserScaleOnly)
{
    octGuidNoteStates[1] = 1; // a note held on page 5
    press(juce::KeyPress::leftKey);
    EXPECT_EQ(currentTuningPage, 4);
    EXPECT_EQ(octGuidNoteStates[1], 0);
    EXPECT_EQ(noteText(0), "C 3");
    EXPECT_EQ(page->getPageLabel(4).findColour(juce::Label::textColourId), juce::Colours::white);
    EXPECT_FALSE(page->keyPressed(juce::KeyPress(juce::KeyPress::rightKey, juce::ModifierKeys::shiftModifier, 0), page));
    EXPECT_FALSE(page->keyPressed(juce::KeyPress(juce::KeyPress::upKey), page));
    for (int i = 0; i < 6; ++i)
        press(juce::KeyPress::leftKey);
    EXPECT_EQ(currentTuningPage, 0);

    select(0);
    EXPECT_FALSE(page->keyPressed(juce::KeyPress(juce::KeyPress::rightKey), page));
    EXPECT_EQ(currentTuningPage, 0);
    EXPECT_EQ(noteText(0), " C ");
    EXPECT_EQ(page->getPageLabel(0).findColour(juce::Label::textColourId), juce::Colour(0x80ffffff));
}

TEST_F(TuningPageTest, InitializeRestoresTheIdentityAsOneUndoStep)
{
    select(1);
    type(page->getNoteSlider(3), "+D");
    ASSERT_NE(library().getTuneOctData(1).notes, x47390_data::identityTuneOct);
    page->getInitializeButton().triggerClick();
    testsupport::drainMessageLoop();
    EXPECT_EQ(library().getTuneOctData(1).notes, x47390_data::identityTuneOct);
    EXPECT_EQ(noteText(3), " D#");
    ASSERT_TRUE(undo()->undo());
    testsupport::drainMessageLoop();
    EXPECT_EQ(noteText(3), "+D ");

    select(9);
    TuningTemplateComponent::applyTemplate(14);
    page->getInitializeButton().triggerClick();
    testsupport::drainMessageLoop();
    EXPECT_EQ(library().getTuneScaleData(3).notes, x47390_data::identityTuneScale);
}

TEST_F(TuningPageTest, IncomingNotesLightTheGuides)
{
    const auto play = [this](std::uint8_t status, std::uint8_t note, std::uint8_t velocity)
    {
        keyboard->sendFromSource(0, {status, note, velocity});
        ASSERT_TRUE(fabric->waitUntilIdle());
        ASSERT_TRUE(testsupport::runMessageLoopUntil(
            [&] { return kbdGuidNoteStates[note] == (status >= 0x90 && velocity > 0 ? 1 : 0); }));
        testsupport::drainMessageLoop();
    };
    play(0x90, 61, 100);
    EXPECT_EQ(octGuidNoteStates[1], 1);
    auto shot = pane->createComponentSnapshot(pane->getLocalBounds());
    testsupport::keepImage(shot, "tuning/tuning-page-lit");
    // Key guide 61: C#'s black key on tile 5; octave guide 1: the large C# key.
    EXPECT_TRUE(isReddish(pixel(shot, 75 + 113 + 5 * 42 + 5, 364 + 4))) << pixel(shot, 75 + 323, 368).toString();
    EXPECT_TRUE(isReddish(pixel(shot, 75 + 171, 190)));
    EXPECT_FALSE(isReddish(pixel(shot, 75 + 250, 190))); // D# stays dark

    play(0x90, 40, 100); // another page: its key guide only
    EXPECT_EQ(octGuidNoteStates[4], 0);
    play(0x80, 61, 0);
    play(0x90, 40, 0);
    shot = pane->createComponentSnapshot(pane->getLocalBounds());
    EXPECT_FALSE(isReddish(pixel(shot, 75 + 171, 190)));

    select(3); // an octave counts every note
    play(0x93, 40, 90);
    EXPECT_EQ(octGuidNoteStates[4], 1);
}

// The page is made at start-up but seldom shown: made and drawn with keys lit, it holds no more than the
// small key tiles, not pictures of its keyboard and of every lit key.
TEST_F(TuningPageTest, HoldsNoLargePictures)
{
    pane.reset();
    const auto before = heapBytes();
    pane = std::make_unique<TuningPaneComponent>();
    pane->setBounds(0, 0, 940, 450);
    page = pane->getTuningEditor();
    kbdGuidNoteStates[61] = 1;
    octGuidNoteStates[1] = 1;
    {
        const auto shot = pane->createComponentSnapshot(pane->getLocalBounds());
        EXPECT_TRUE(isReddish(pixel(shot, 75 + 171, 190)));
        EXPECT_TRUE(isReddish(pixel(shot, 75 + 113 + 5 * 42 + 5, 364 + 4)));
        EXPECT_LT(pixel(shot, 75 + 113 + 250, 180).getBrightness(), 0.3f);
    }
    EXPECT_LT(heapBytes() - before, 4LL * 1024 * 1024);
}

TEST_F(TuningPageTest, ShowingTheTabTurnsLiveTransmissionOnAndOff)
{
    auto* manager = x47390_midi::MidiCommunicationManager::getInstance();
    const int handOvers = manager->getNumTuneScaleHandOvers();
    kbdGuidNoteStates[20] = 1;
    ui::SelectedTabStatus::getInstance()->setTab(5, "MICROTUNING");
    testsupport::drainMessageLoop();
    EXPECT_TRUE(tuningLiveTransmission);
    const int afterShowing = manager->getNumTuneScaleHandOvers();
    EXPECT_GT(afterShowing, handOvers);
    EXPECT_EQ(kbdGuidNoteStates[20], 0);

    type(page->getNoteSlider(2), "E4");
    EXPECT_GT(manager->getNumTuneScaleHandOvers(), afterShowing);

    ui::SelectedTabStatus::getInstance()->setTab(0, "PROGRAM");
    testsupport::drainMessageLoop();
    EXPECT_FALSE(tuningLiveTransmission);
    const int afterHiding = manager->getNumTuneScaleHandOvers();
    type(page->getNoteSlider(2), "D4");
    EXPECT_EQ(manager->getNumTuneScaleHandOvers(), afterHiding);
}

TEST_F(TuningPageTest, ShowingTheTabNeverWritesAStaleBufferOverTheLibrary)
{
    // A library replaced without a change message (as a file operation might) stays as it is.
    auto& slot = library().getTuneScaleData(0);
    slot.notes[5 * 3] = 9;
    slot.updateHash();
    const auto replaced = slot.notes;
    ui::SelectedTabStatus::getInstance()->setTab(5, "MICROTUNING");
    testsupport::drainMessageLoop();
    EXPECT_EQ(library().getTuneScaleData(0).notes, replaced);
    ui::SelectedTabStatus::getInstance()->setTab(0, "PROGRAM");
    testsupport::drainMessageLoop();
}

TEST_F(TuningPageTest, TheTabLooksAsDrawnAtFixedPoints)
{
    const auto shot = pane->createComponentSnapshot(pane->getLocalBounds());
    testsupport::keepImage(shot, "tuning/tuning-page");
    EXPECT_EQ(pixel(shot, 10, 10), juce::Colour(0xff0c0c0c));  // the pane
    EXPECT_EQ(pixel(shot, 900, 10), juce::Colour(0xff0c0c0c));
    EXPECT_EQ(pixel(shot, 75 + 20, 200), juce::Colour(0xff000000)); // the page
    // The keyboard: a white key low on E, a black key high on F#.
    EXPECT_GT(pixel(shot, 75 + 113 + 160, 345).getBrightness(), 0.85f);
    EXPECT_LT(pixel(shot, 75 + 113 + 250, 180).getBrightness(), 0.3f);
    // User scale 1 is lit, user scale 2 dark.
    EXPECT_GT(pixel(shot, 75 + 113 + 10, 52).getBrightness(), pixel(shot, 75 + 206 + 10, 52).getBrightness() + 0.2f);
    // The current page's tile at full strength, the others dimmed.
    EXPECT_GT(pixel(shot, 75 + 113 + 5 * 42 + 2, 378).getBrightness(),
              pixel(shot, 75 + 113 + 4 * 42 + 2, 378).getBrightness() + 0.3f);
}
