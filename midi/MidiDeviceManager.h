#pragma once

#include "data/ListenerHolder.h"
#include "data/Singleton.h"
#include "midi/CJQZMidi.h"
#include "midi/MidiDeviceScanner.h"

#include <juce_events/juce_events.h>

namespace midi
{
class MidiDeviceManagerListener
{
public:
    virtual void deviceScanFinished() {} // message thread
    virtual ~MidiDeviceManagerListener() = default;
};

// Set by whoever starts an instrument search, cleared when its end is handled (message thread).
extern bool midiDeviceScanInProgress;

// The application-wide owner of the MIDI connection: the port object, the settings that decide
// which ports a transfer opens, the instrument's family code, and the instrument search.
class MidiDeviceManager : public Singleton<MidiDeviceManager>,
                          public ListenerHolder<MidiDeviceManagerListener>,
                          public MidiDeviceScannerListener,
                          public juce::DeletedAtShutdown
{
public:
    ~MidiDeviceManager() override;

    void scanFinished() override;

    // What every caller does to search: clears isScanDone, sets midiDeviceScanInProgress and
    // starts the scanner with the family and member codes. False (and nothing changed) while a
    // search runs.
    bool startDeviceScan();

    CJQZMidi& getMidi() noexcept { return midi; }
    MidiDeviceScanner& getScanner() noexcept { return scanner; }

    int familyCode = -1;
    int memberCode = -1;      // any member
    bool isConnected = false; // the port object's input and output are open for transfers
    bool isAutoScan = true;
    bool isScanDone = false;
    juce::String midiInPortName;  // used when auto-scan is off, as CJQZMidi::getSourceName gives it
    juce::String midiOutPortName; // as CJQZMidi::getDestinationName gives it

private:
    friend class Singleton<MidiDeviceManager>;
    MidiDeviceManager();

    // Declared in this order so the port object goes before the scanner.
    MidiDeviceScanner scanner;
    CJQZMidi midi;
};
} // namespace midi
