#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"
#include "data/TuneScaleData.h"

#include <juce_events/juce_events.h>

#include <array>

namespace x47390_data
{
class CurrentTuneScaleDataObserver
{
public:
    virtual ~CurrentTuneScaleDataObserver() = default;
    virtual void currentTuneScaleChanged() = 0;
};

// The user scale the tuning editor works on: an edit buffer the editor writes while the user drags,
// a current record mirroring the chosen library slot, and the hand-over to the instrument.
class CurrentTuneScaleData : public Singleton<CurrentTuneScaleData>,
                             public ListenerHolder<CurrentTuneScaleDataObserver>,
                             public juce::AsyncUpdater,
                             public juce::DeletedAtShutdown,
                             public juce::ChangeListener,
                             public TuneScaleData
{
public:
    // Makes sure the undo manager exists first, so it is deleted after the holder at shutdown.
    static CurrentTuneScaleData* getInstance();

    ~CurrentTuneScaleData() override;

    // Loads library scale i (0 to 5; 6 means 0; 7 and above are refused) into the current record
    // and the edit buffer, then hands it over and notifies.
    void setTuneScale(int slotNumber);

    // Hands the scale of the selected tuning slot over (while live transmission is on) and notifies.
    void tuneScaleChanged();

    // Stores the edit buffer, masked to 7 bits, into library scale i (same slot rule as setTuneScale)
    // and hands it over while live transmission is on. Neither notifies nor marks the library edited.
    static void setTuneScaleToTuningList(int slotNumber);

    // Resets the edit buffer to a factory template (above 22: template 0) as one undo step.
    void pasteTuneScale(unsigned int templateNumber);

    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    void handleAsyncUpdate() override;

    // One byte per note, written and read by the tuning editor and the Scala importer only.
    std::array<juce::uint8, tuneScaleNoteCount> displayFlags{};

    // Exist from program start to exit, independent of the holder object.
    static TuneScaleNotes editBuffer;
    static TuneScaleData currentTuneScale;

private:
    friend class Singleton<CurrentTuneScaleData>;
    CurrentTuneScaleData();

    JUCE_DECLARE_NON_COPYABLE(CurrentTuneScaleData)
};
} // namespace x47390_data
