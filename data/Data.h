#pragma once

namespace data
{
// Base of every record.
class Data
{
public:
    virtual ~Data() = default;
};
} // namespace data
