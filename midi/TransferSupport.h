#pragma once

#include "midi/MidiCommunicationProcess.h"

class CJQZMidi;

// What the transfer processes share: the port, the identity check that opens every run and the common texts.
namespace x47390_midi
{
// The device manager's port object.
CJQZMidi* communicationPort();

struct IdentityCheck
{
    int result = 0;
    int channel = 0;
    int identity[3] = {0, 0, 0}; // identity reply bytes 10, 11 and 12
};

// Runs the identity exchange on the device manager's port.
IdentityCheck checkIdentity();

// The start of every run: progress 0, the status text of the key, an empty detail text, then the identity check.
// A failed check is reported on the process (status and detail texts of its code).
IdentityCheck startRun(midi::MidiCommunicationProcess& process, const char* statusKey);

// Sets the status text of a cancel (the detail text stays) and returns 1.
int reportCancel(midi::MidiCommunicationProcess& process);

// Sets the status and detail texts of a failure and returns its code.
int reportFailure(midi::MidiCommunicationProcess& process, int result);
} // namespace x47390_midi
