#pragma once

#include "engine/pcm_source.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

typedef struct _GstAppSrc GstAppSrc;

// A section of the file in sample frames: [start, end).
struct Section {
    std::int64_t start = 0;
    std::int64_t end = 0;
    bool operator==(const Section&) const = default;
};

// The samples the engine hands to GStreamer, read from a PcmSource. It can
// loop a section: when the feed reaches the section's end from before it, it
// goes on with the section's first sample frame, with no flush and no gap;
// the last few milliseconds before the seam are an equal-power crossfade of
// the section's end into the frames just before its start, so each pass is
// exactly end - start frames long and starts with the section's own first
// frame. Timestamps run on across a seam; FileFrameAt turns a stream
// position back into the frame of the file being heard.
//
// The streaming thread calls Push and Seek, the engine's thread the rest;
// every call takes the mutex.
class Feed {
public:
    // Sample frames per buffer handed to the output chain.
    static constexpr std::int64_t kBufferFrames = 4096;

    // fadeFrames < 0: the default crossfade (FadeFrames).
    explicit Feed(std::unique_ptr<PcmSource> source, std::int64_t fadeFrames = -1);

    int SampleRate() const { return rate_; }
    std::int64_t Frames() const;

    // Pushes the next buffer into the appsrc, or the end of the stream.
    void Push(GstAppSrc* appsrc);
    // Reads what the next buffer would hold; 0 at the end.
    std::int64_t Read(float* out, std::int64_t maxFrames);
    // The file frame the next read starts at.
    std::int64_t NextFileFrame() const;
    // Waits until a seek to the file frame can be done at once (an MP3 whose
    // frames are still being walked). Any thread; takes no lock of the feed.
    void PrepareSeek(std::int64_t fileFrame) { source_->PrepareSeek(fileFrame); }
    bool LengthFinal() const { return source_->LengthFinal(); }
    // Moves the feed to the first frame at or after the stream time (a
    // flushing seek: the stream's timeline is the file's again).
    bool Seek(std::uint64_t time);

    // Loops the section from now on, or stops looping. False when a seam of
    // the old loop was already fed for frames not yet heard at streamFrame
    // (the caller seeks to the position heard, so the change counts at once).
    bool SetLoop(std::optional<Section> section, std::int64_t streamFrame);

    // The file frame heard at a stream frame.
    std::int64_t FileFrameAt(std::int64_t streamFrame);

    // Frames of the crossfade before a seam.
    static std::int64_t FadeFrames(int sampleRate);

private:
    // Where the stream's frames map to the file again: from stream frame
    // `stream` on, stream frame s is file frame file + (s - stream).
    struct Seam {
        std::int64_t stream = 0;
        std::int64_t file = 0;
    };

    std::int64_t ReadLooped(float* out, std::int64_t maxFrames);
    std::int64_t Crossfade(float* out, std::int64_t frames);

    mutable std::mutex mutex_;
    std::unique_ptr<PcmSource> source_;
    const int rate_;
    const int channels_;
    const std::int64_t fade_;
    std::int64_t next_ = 0;    // next file frame to read
    std::int64_t stream_ = 0;  // stream frame of the next buffer
    std::optional<Section> loop_;
    std::vector<Seam> seams_ = {Seam{}};
    std::vector<float> scratch_;
};
