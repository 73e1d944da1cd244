#pragma once

#include "engine/pcm_source.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// A run of decoded sample frames and the stream frame it starts at.
struct DecodedBlock {
    std::int64_t start = 0;
    std::vector<float> samples;  // interleaved, all channels of the stream
};

// A decoding library behind the engine's source interface: it hands out
// blocks that know their place in the stream, and BlockSource makes an exact
// timeline of them.
class BlockDecoder {
public:
    virtual ~BlockDecoder() = default;

    virtual int SampleRate() const = 0;
    // Channels of the stream; every block holds this many per frame.
    virtual int Channels() const = 0;
    // Exact length of the decoded stream in sample frames.
    virtual std::int64_t Frames() const = 0;
    // The channels that play on the left and the right side.
    virtual std::pair<int, int> FrontPair() const {
        return Channels() == 1 ? std::pair(0, 0) : std::pair(0, 1);
    }
    // Makes the next blocks start at or before the frame, and close enough
    // before it that their sound is the same as in a decode from the start.
    virtual bool SeekBefore(std::int64_t frame) = 0;
    // The next block; false at the end of the stream or when nothing more
    // can be decoded.
    virtual bool Next(DecodedBlock& block) = 0;
};

// Plays what a block decoder hands out at the frames its blocks name: blocks
// before the position are skipped, the frames up to a later block (lost to
// damage) and after the decoder's end are silence. So every read and every
// seek is exact to the sample, and the stream always has the length the
// decoder announced. More than two channels give their front pair; mono stays
// mono.
std::unique_ptr<PcmSource> OpenBlockSource(std::unique_ptr<BlockDecoder> decoder);

// Front left and right of a stream in the channel order of Vorbis and Opus.
std::pair<int, int> VorbisFrontPair(int channels);
