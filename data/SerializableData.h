#pragma once

#include "data/SerializedData.h"

namespace data
{
// Records that have a binary container form.
class SerializableData
{
public:
    virtual ~SerializableData() = default;
    virtual SerializedData serialize() const = 0;
    // Returns false and leaves the record as it was when the bytes cannot be read.
    virtual bool deserialize(const SerializedData& source) = 0;
};
} // namespace data
