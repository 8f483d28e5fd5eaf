#pragma once

// The confirmations before data on the instrument is overwritten. Each asks only while the preference
// "WarnBeforeWriting" is on (default on), and refuses without asking while another modal dialog is open.
// Message thread only.

// Before the library, programs or a tuning are written; true when the write may go ahead.
bool confirmWriteToDevice();

// Before the user-unit arrangement is written; true when the write may go ahead.
bool confirmWriteUserData();
