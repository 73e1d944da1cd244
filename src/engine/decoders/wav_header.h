#pragma once

#include <cstdint>
#include <optional>
#include <span>

// Where the samples of a WAV file lie and how they are stored.
struct WavFormat {
    bool isFloat = false;
    int bitsPerSample = 16;
    int channels = 2;
    int sampleRate = 44100;
    int blockAlign = 4;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;  // whole sample frames only
};

// Parses the header of a WAV file from its first bytes, given the size of the
// whole file. Accepts PCM (8, 16, 24, 32 bit) and float (32, 64 bit) with one
// or two channels; no value for anything else or a damaged header.
std::optional<WavFormat> ParseWavHeader(std::span<const std::uint8_t> start,
                                        std::uint64_t fileSize);
