#pragma once

#include <juce_core/juce_core.h>

// The key of a read-error code 0 to 41 (ReadErrorReadData for a code outside the table).
juce::String getReadErrorKey(int code);
// The key of a write-error code 0 to 3 (WriteErrorWriteData for a code outside the table).
juce::String getWriteErrorKey(int code);

// Show a code's text in the common error dialog; return when it has been closed.
void showReadErrorMessage(int code);
void showWriteErrorMessage(int code);
