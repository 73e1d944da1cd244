#pragma once

#include "engine/decoders/file_reader.h"

#include <QString>

#include <cstdint>
#include <memory>

// A decoded audio file the engine can read from anywhere: interleaved 32-bit
// float samples. Not thread-safe; the engine serialises every call but
// PrepareSeek and Frames.
class PcmSource {
public:
    virtual ~PcmSource() = default;

    // Sample frames per second.
    virtual int SampleRate() const = 0;
    // Channels per sample frame (1 or 2; a source with more hands on two).
    virtual int Channels() const = 0;
    // Length of the decoded stream in sample frames. Exact, except for a
    // source that learns its length while it plays (an MP3 whose frames are
    // still being walked), whose estimate may change once to the exact value.
    virtual std::int64_t Frames() const = 0;
    // False while Frames is an estimate. Any thread.
    virtual bool LengthFinal() const { return true; }
    // Waits until a Seek to the frame can be done at once. Any thread.
    virtual void PrepareSeek(std::int64_t) {}
    // Makes the next Read start at this sample frame (0..Frames).
    virtual bool Seek(std::int64_t frame) = 0;
    // Reads up to maxFrames sample frames; returns how many, 0 at the end.
    virtual std::int64_t Read(float* samples, std::int64_t maxFrames) = 0;
};

// Opens a WAV, MP3, FLAC, Ogg Vorbis, Opus or AAC (M4A, ADTS) file by its
// content, through the opener (the plain file when none is given); nothing
// for anything else. Refuses everything that is not a regular file before
// opening it, so a folder or a FIFO never blocks the caller.
std::unique_ptr<PcmSource> OpenPcmSource(const QString& path, const FileOpener& opener = {});
