#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"
#include "data/TuneOctData.h"

#include <juce_events/juce_events.h>

#include <array>

namespace x47390_data
{
class CurrentTuneOctDataObserver
{
public:
    virtual ~CurrentTuneOctDataObserver() = default;
    virtual void currentTuneOctChanged() = 0;
};

// The user octave the tuning editor works on; the twin of CurrentTuneScaleData.
class CurrentTuneOctData : public Singleton<CurrentTuneOctData>,
                           public ListenerHolder<CurrentTuneOctDataObserver>,
                           public juce::AsyncUpdater,
                           public juce::DeletedAtShutdown,
                           public juce::ChangeListener,
                           public TuneOctData
{
public:
    // Makes sure the undo manager exists first, so it is deleted after the holder at shutdown.
    static CurrentTuneOctData* getInstance();

    ~CurrentTuneOctData() override;

    // Loads library octave i (0 to 5; 6 means 0; 7 and above are refused) into the current record
    // and the edit buffer, then hands it over and notifies.
    void setTuneOct(int slotNumber);

    // Hands the octave of the selected tuning slot over (while live transmission is on) and notifies.
    void tuneOctChanged();

    // Stores the edit buffer, masked to 7 bits, into library octave i (same slot rule as setTuneOct)
    // and hands it over while live transmission is on. Neither notifies nor marks the library edited.
    static void setTuneOctToTuningList(int slotNumber);

    // Resets the edit buffer to the identity octave as one undo step, then hands over and notifies.
    void pasteTuneOct();

    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    void handleAsyncUpdate() override;

    std::array<juce::uint8, tuneOctNoteCount> displayFlags{};

    static TuneOctNotes editBuffer;
    static TuneOctData currentTuneOct;

private:
    friend class Singleton<CurrentTuneOctData>;
    CurrentTuneOctData();

    JUCE_DECLARE_NON_COPYABLE(CurrentTuneOctData)
};
} // namespace x47390_data
