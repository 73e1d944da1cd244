#pragma once

#include "engine/decoders/file_reader.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// Layout of an MPEG audio file found by walking its frame headers: enough to
// know the exact length of the decoded stream and where every frame starts.

// One parsed MPEG audio frame header (MPEG 1, 2 and 2.5, layers I to III).
struct MpegFrameHeader {
    int version = 1;  // 1, 2, or 25 for MPEG 2.5
    int layer = 3;
    int bitrateKbps = 0;
    int sampleRate = 0;
    int channels = 2;
    int samplesPerFrame = 0;
    int frameBytes = 0;
};

// Everything the decoder and the engine need to know about an MP3 file.
struct Mp3Layout {
    int sampleRate = 0;
    int channels = 0;
    int samplesPerFrame = 0;
    // Audio frames the walk found (a Xing/Info/VBRI frame is not audio); sets
    // the length. Trusted over a header's count, which some writers get wrong
    // by a frame and which a cut or damaged file no longer matches.
    std::uint64_t frameCount = 0;
    // File offset of every audio frame the walk found, in order.
    std::vector<std::uint64_t> frameOffsets;
    // Frame count announced by a Xing/Info or VBRI header, when there is one.
    std::optional<std::uint64_t> headerFrameCount;

    // Length of the decoded stream in seconds.
    double Seconds() const {
        return sampleRate > 0 ? double(frameCount) * samplesPerFrame / sampleRate : 0.0;
    }
};

// Parses the four header bytes of an MPEG audio frame; no value when they are
// not a usable header (no sync, reserved fields, free-format bitrate).
std::optional<MpegFrameHeader> ParseMpegFrameHeader(const std::uint8_t* bytes);

// Frame count from a Xing/Info or VBRI header inside the given first frame.
std::optional<std::uint64_t> ReadHeaderFrameCount(std::span<const std::uint8_t> frame,
                                                  const MpegFrameHeader& header);

// Size of the ID3v2 tag whose ten header bytes are given (0 when not a tag).
std::uint64_t Id3v2TagBytes(const std::uint8_t* header);
// Tags in a row before the audio beyond which a file is not taken for audio.
inline constexpr int kMostId3v2Tags = 16;

// Size of the ID3v1 and APE tags that end the file, given its last bytes
// (kTrailingTagProbe of them, or the whole file when shorter); 0 when none.
std::uint64_t TrailingTagBytes(std::span<const std::uint8_t> fileEnd);
inline constexpr std::size_t kTrailingTagProbe = 160;

class ByteWindow;

// Walks the frames of an MPEG audio file a stretch at a time, skipping tags
// and resynchronising over damaged data, so that playback can start before
// the whole file was read.
class Mp3Walk {
public:
    Mp3Walk(std::uint64_t fileSize, ReadAt read);
    ~Mp3Walk();
    Mp3Walk(const Mp3Walk&) = delete;
    Mp3Walk& operator=(const Mp3Walk&) = delete;

    // Reads the tags at both ends and the stream's first frames. False when
    // no run of frames starts within the first MiB after the leading tags:
    // then the file is not MPEG audio, and nothing more of it is read.
    bool Begin();
    // Walks on through at most `bytes` more bytes; false once at the end.
    bool Step(std::uint64_t bytes);
    bool Done() const { return done_; }
    // What the walk found so far.
    const Mp3Layout& Layout() const { return layout_; }
    // The audio frames of the whole stream: exact once the walk is done;
    // before, the header's count or an estimate from the first frames.
    std::uint64_t ExpectedFrames() const;
    // False when the frames found cover less than half the audio bytes:
    // chance matches in something that is not MPEG audio.
    bool Plausible() const;

private:
    static constexpr std::size_t kFirstFrames = 4;
    static constexpr std::uint64_t kSearchBytes = 1 << 20;

    std::uint64_t fileSize_;
    ReadAt read_;
    std::unique_ptr<ByteWindow> audio_;
    std::uint64_t audioStart_ = 0;
    std::uint64_t offset_ = 0;
    std::uint64_t frameBytes_ = 0;
    std::uint64_t expected_ = 0;
    bool synced_ = false;
    bool done_ = false;
    std::optional<MpegFrameHeader> stream_;
    Mp3Layout layout_;
};

// Walks all frames of an MPEG audio file of fileSize bytes; no value when no
// run of frames is found.
std::optional<Mp3Layout> ScanMp3(std::uint64_t fileSize, const ReadAt& read);

// Walks the frames of an MPEG audio file held in memory.
std::optional<Mp3Layout> ScanMp3(std::span<const std::uint8_t> bytes);
