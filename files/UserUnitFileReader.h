#pragma once

#include "files/FileReader.h"

namespace x47390_data
{
class UserUnitData;
}

namespace x47390_file
{
// Reads a user-unit file (".snvrunit", ".drvnzqunit", ".fncsrlunit"): a zip archive holding one folder
// with "manifest.json" and "payload.bin". On success the target holds the unit blob: bytes 0 to 1019
// of the unit header record, the payload length (32-bit little-endian), the payload and 132 zero bytes.
class UserUnitFileReader : public file::FileReader
{
public:
    explicit UserUnitFileReader(x47390_data::UserUnitData* target);
    ~UserUnitFileReader() override;

    // 0, or read error 14 (archive unreadable), 34 (the unit fails its checks), 35 (wrong layout),
    // 36 (no manifest), 37 (no payload) or 38 (manifest not JSON or invalid). The target changes only on 0.
    int read(const juce::File& file) override;

    // The diagnostic text of the last failure (never shown to the user).
    const juce::String& getMessage() const noexcept { return message; }

private:
    x47390_data::UserUnitData* record;
    juce::String message;
};
} // namespace x47390_file
