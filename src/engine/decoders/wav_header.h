#pragma once

#include "engine/decoders/file_reader.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Where the samples of a WAV file lie and how they are stored.
struct WavFormat {
    bool isFloat = false;
    int bitsPerSample = 16;
    int channels = 2;  // as stored; more than two play the first two
    int sampleRate = 44100;
    int blockAlign = 4;
    std::uint64_t dataOffset = 0;
    std::uint64_t dataBytes = 0;  // whole sample frames only
};

// Parses the header of a WAV file (RIFF, or RF64 with its ds64 chunk) of
// fileSize bytes, walking its whole chunk list, however long the chunks
// before the samples are. Accepts PCM (8, 16, 24, 32 bit) and float (32,
// 64 bit), plain or in the extensible format, with any number of channels.
// A data size of 0 or one running past the end means the recording was not
// finished: its samples run to the end of the file. No value for anything
// else or a damaged header.
std::optional<WavFormat> ParseWavHeader(const ReadAt& read, std::uint64_t fileSize);

// The same on a file's first bytes, given the size of the whole file.
std::optional<WavFormat> ParseWavHeader(std::span<const std::uint8_t> start,
                                        std::uint64_t fileSize);

// A point a recorder marked in a WAV file: its position in sample frames and
// the name its labl note gives it (empty when it has none), as stored.
struct WavCuePoint {
    std::uint64_t frame = 0;
    std::string name;
};

// The points of a WAV file's cue chunk with their names from the LIST adtl
// chunk, in the cue chunk's order, wherever the two chunks lie (before or
// after the samples, in either order). Nothing for a file without them;
// what a damaged chunk list still shows.
std::vector<WavCuePoint> ParseWavCuePoints(const ReadAt& read, std::uint64_t fileSize);
