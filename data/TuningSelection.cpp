#include "data/TuningSelection.h"

std::uint8_t currentTuningSlot = 6;
std::uint8_t currentTuningPage = 5;
bool tuningLiveTransmission = false;
