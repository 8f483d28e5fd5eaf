#pragma once

#include "data/Data.h"
#include "data/FavoriteData.h"
#include "data/ProgramData.h"
#include "data/SerializableData.h"
#include "data/TuneOctData.h"
#include "data/TuneScaleData.h"

#include <array>

namespace x47390_data
{
// The instrument's whole library: 500 programs, the live set, 6 user scales and 6 user octaves.
// Every table has a spare record after its last entry; a number out of range (taken as unsigned)
// prints a diagnostic line and reaches the spare.
class LibraryData : public data::Data, private data::SerializableData
{
public:
    static constexpr int numPrograms = 500;
    static constexpr int numTuneScales = 6;
    static constexpr int numTuneOcts = 6;

    LibraryData() = default;
    LibraryData(const LibraryData&) = default; // everything, the spares and every text included
    LibraryData& operator=(const LibraryData&) = delete;
    ~LibraryData() override = default;

    // Back to the starting content; every Programmer and Comment text and the spares stay.
    void initialise();
    // Programs with their texts, the live set, and the notes and MD5 texts of the tunings; not the
    // tunings' texts, not the spares.
    LibraryData& copyFrom(const LibraryData& source);

    ProgramData& getProgramData(int programNumber);   // "Program Number Error: %d"
    TuneScaleData& getTuneScaleData(int scaleNumber); // "Tune Scale Number Error: %d"
    TuneOctData& getTuneOctData(int octaveNumber);    // "Tune Oct Number Error: %d"
    const ProgramData& getProgramData(int programNumber) const;
    const TuneScaleData& getTuneScaleData(int scaleNumber) const;
    const TuneOctData& getTuneOctData(int octaveNumber) const;

    FavoriteData& getFavoriteData() noexcept { return favorites; }
    const FavoriteData& getFavoriteData() const noexcept { return favorites; }

    // A container of the parts' own containers; nothing outside this class reads it.
    data::SerializedData serialize() const override;
    bool deserialize(const data::SerializedData& source) override;

private:
    std::array<ProgramData, numPrograms> programs;
    FavoriteData favorites;
    ProgramData spareProgram;
    std::array<TuneScaleData, numTuneScales + 1> tuneScales; // the last one is the spare
    std::array<TuneOctData, numTuneOcts + 1> tuneOcts;       // the last one is the spare
};
} // namespace x47390_data
