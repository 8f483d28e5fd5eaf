#pragma once

#include <cstdint>

// The tuning editor's selection, one process-wide value each; used on the message thread only.

// Slot being edited: 0 to 5 user octaves 1 to 6, 6 to 11 user scales 1 to 6. Only the tuning editor writes it.
extern std::uint8_t currentTuningSlot;

// Page 0 to 10 shown for a user scale (notes page x 12 to page x 12 + 11).
extern std::uint8_t currentTuningPage;

// Set while the tuning page's tab is shown: only then do edited tunings go to the instrument as they change.
extern bool tuningLiveTransmission;
