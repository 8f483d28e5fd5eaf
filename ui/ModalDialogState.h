#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"

#include <juce_events/juce_events.h>

namespace ui
{
class ModalDialogStateObserver
{
public:
    virtual ~ModalDialogStateObserver() = default;
    virtual void modalDialogStateChanged() = 0;
};

// Whether a modal dialog, a file chooser or a modal transfer is running. While it is set the
// commands are disabled. Observers hear of changes asynchronously and read the flag themselves.
// Message thread only.
class ModalDialogState : public Singleton<ModalDialogState>,
                         public ListenerHolder<ModalDialogStateObserver>,
                         public juce::AsyncUpdater,
                         public juce::DeletedAtShutdown
{
public:
    ~ModalDialogState() override;

    bool isModalDialogOpen() const noexcept { return modalDialogOpen; }

    // Sets or clears the flag without any nesting count, and notifies.
    void setModalDialogOpen(bool open);

    // For a dialog that must not open over another one: when a dialog is already open, reports
    // true and changes nothing; the caller then behaves as if its dialog had been cancelled.
    void beginModal(bool& wasAlreadyOpen);
    // Pairs with beginModal, given the value it reported.
    void endModal(bool wasAlreadyOpen);

    void handleAsyncUpdate() override;

private:
    friend class Singleton<ModalDialogState>;
    ModalDialogState() = default;

    bool modalDialogOpen = false;
};
} // namespace ui
