#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

// The CRC-32 of a zip member (zlib's polynomial). Every member read is checked against it, so where the
// processor multiplies without carries it folds 64 bytes at a time; elsewhere zlib computes it.
juce::uint32 zipCrc32Of(const void* data, size_t size);

inline juce::uint32 zipCrc32Of(const juce::MemoryBlock& block) { return zipCrc32Of(block.getData(), block.getSize()); }
