#pragma once

#include "data/ListenerHolder.h"
#include "data/ProgramData.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

namespace x47390_data
{
class CurrentProgramDataObserver
{
public:
    virtual ~CurrentProgramDataObserver() = default;
    virtual void currentProgramChanged() = 0;
};

// The program the user is looking at: none, a library program or a preset
// program. Every change of choice hands the program to the instrument; edits of
// the library only refresh the observers.
class CurrentProgramData : public Singleton<CurrentProgramData>,
                           public ListenerHolder<CurrentProgramDataObserver>,
                           public juce::AsyncUpdater,
                           public juce::DeletedAtShutdown,
                           public juce::ChangeListener
{
public:
    enum Kind
    {
        none = 0,
        libraryProgram = 1,
        presetProgram = 2
    };

    // Makes sure the undo manager exists first, so it is deleted after the holder
    // at shutdown.
    static CurrentProgramData* getInstance();

    ~CurrentProgramData() override;

    void setLibraryProgram(int programNumber);
    void setPresetProgram(int presetLibraryNumber, int programNumber);
    void clearProgram();

    // Hands the chosen program over (unless none is chosen) and schedules the
    // observers' delivery.
    void programChanged();

    // The chosen program; the default program when the choice names none. Never
    // null.
    const ProgramData& getProgramData() const;

    // After the library changed without a new choice: observers refresh while a
    // library program is current.
    void refresh();

    int getKind() const noexcept { return kind; }
    int getPresetLibraryNumber() const noexcept { return presetLibraryNumber; }
    int getProgramNumber() const noexcept { return programNumber; }

    void changeListenerCallback(juce::ChangeBroadcaster* source) override;
    void handleAsyncUpdate() override;

private:
    friend class Singleton<CurrentProgramData>;
    CurrentProgramData();

    int kind = none;
    int presetLibraryNumber = -1;
    int programNumber = -1;

    JUCE_DECLARE_NON_COPYABLE(CurrentProgramData)
};
} // namespace x47390_data
