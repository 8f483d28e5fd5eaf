#include "midi/MidiDeviceManager.h"

#include "midi/MidiCommunicationManager.h"

namespace midi
{
bool midiDeviceScanInProgress = false;

MidiDeviceManager::MidiDeviceManager()
{
    midi.createClient("MidiDevice");
    scanner.addListener(this);
}

MidiDeviceManager::~MidiDeviceManager()
{
    // A background send may be under way through the port that goes with this.
    if (auto* communication = x47390_midi::MidiCommunicationManager::getInstanceWithoutCreating())
        communication->stopBackgroundSends();
    scanner.removeListener(this);
    if (isConnected)
    {
        midi.removeAllListeners();
        midi.closeInput();
        midi.closeOutput();
        isConnected = false;
    }
    midi.disposeClient();
}

bool MidiDeviceManager::startDeviceScan()
{
    if (scanner.isScanning())
        return false;
    isScanDone = false;
    midiDeviceScanInProgress = true;
    return scanner.startScan(familyCode, memberCode);
}

void MidiDeviceManager::scanFinished()
{
    isScanDone = true;
    midiDeviceScanInProgress = false;
    callListeners([](MidiDeviceManagerListener& listener) { listener.deviceScanFinished(); });
}
} // namespace midi
