#include "engine/decoders/mp3_length.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kBitrates[5][16] = {
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, -1},  // MPEG 1 L1
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, -1},     // MPEG 1 L2
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, -1},      // MPEG 1 L3
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, -1},     // MPEG 2 L1
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, -1},          // MPEG 2 L2/L3
};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint32_t LittleEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

// Two headers belong to the same stream when these fields agree.
bool SameStream(const MpegFrameHeader& a, const MpegFrameHeader& b) {
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

}  // namespace

// Serves reads through a window of the file so the walk needs few system calls
// and little memory, however long the file.
class ByteWindow {
public:
    ByteWindow(std::uint64_t end, ReadAt read) : end_(end), read_(std::move(read)) {}

    // Pointer to size bytes at offset, or nullptr when they lie past the end.
    const std::uint8_t* At(std::uint64_t offset, std::size_t size) {
        if (offset + size > end_) {
            return nullptr;
        }
        if (offset < start_ || offset + size > start_ + filled_) {
            // Reads grow from a small first one, so that opening a file
            // reads little more than its first frames.
            start_ = offset;
            chunk_ = std::min(chunk_ * 2, kSize);
            std::size_t want = std::size_t(std::min<std::uint64_t>(chunk_, end_ - offset));
            want = std::max(want, std::min<std::size_t>(size, std::size_t(end_ - offset)));
            filled_ = 0;
            while (filled_ < want) {
                std::size_t got = read_(offset + filled_, buffer_.data() + filled_, want - filled_);
                if (got == 0) {
                    break;
                }
                filled_ += got;
            }
            if (filled_ < size) {
                end_ = start_ + filled_;  // the file ended early: believe the reads
                return nullptr;
            }
        }
        return buffer_.data() + (offset - start_);
    }

    std::uint64_t end() const { return end_; }

private:
    static constexpr std::size_t kSize = 1 << 20;
    std::size_t chunk_ = 16 * 1024;
    std::uint64_t end_;
    ReadAt read_;
    std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kSize);
    std::uint64_t start_ = 0;
    std::size_t filled_ = 0;
};

namespace {

// A frame at offset that matches the stream and is followed by another such
// frame or by the end of the audio: strong evidence of real sync.
std::optional<MpegFrameHeader> ConfirmedFrame(ByteWindow& window, std::uint64_t offset,
                                              const MpegFrameHeader* stream) {
    const std::uint8_t* bytes = window.At(offset, 4);
    if (bytes == nullptr) {
        return std::nullopt;
    }
    auto header = ParseMpegFrameHeader(bytes);
    if (!header || (stream != nullptr && !SameStream(*header, *stream))) {
        return std::nullopt;
    }
    std::uint64_t next = offset + header->frameBytes;
    if (next == window.end()) {
        return header;
    }
    const std::uint8_t* nextBytes = window.At(next, 4);
    if (nextBytes == nullptr) {
        return std::nullopt;
    }
    auto following = ParseMpegFrameHeader(nextBytes);
    if (!following || !SameStream(*header, *following)) {
        return std::nullopt;
    }
    return header;
}

}  // namespace

std::optional<MpegFrameHeader> ParseMpegFrameHeader(const std::uint8_t* bytes) {
    std::uint32_t h = BigEndian32(bytes);
    if ((h & 0xFFE00000u) != 0xFFE00000u) {
        return std::nullopt;
    }
    int versionBits = (h >> 19) & 3;
    int layerBits = (h >> 17) & 3;
    int bitrateIndex = (h >> 12) & 15;
    int rateIndex = (h >> 10) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || (h & 3) == 2) {
        return std::nullopt;
    }
    MpegFrameHeader header;
    header.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    header.layer = 4 - layerBits;
    int table = header.version == 1 ? header.layer - 1 : (header.layer == 1 ? 3 : 4);
    header.bitrateKbps = kBitrates[table][bitrateIndex];
    int divisor = header.version == 1 ? 1 : header.version == 2 ? 2 : 4;
    header.sampleRate = kSampleRates[rateIndex] / divisor;
    header.channels = ((h >> 6) & 3) == 3 ? 1 : 2;
    int padding = (h >> 9) & 1;
    long bitsPerSecond = header.bitrateKbps * 1000L;
    if (header.layer == 1) {
        header.samplesPerFrame = 384;
        header.frameBytes = int((12 * bitsPerSecond / header.sampleRate + padding) * 4);
    } else {
        bool half = header.layer == 3 && header.version != 1;
        header.samplesPerFrame = half ? 576 : 1152;
        header.frameBytes = int((half ? 72 : 144) * bitsPerSecond / header.sampleRate + padding);
    }
    return header;
}

std::optional<std::uint64_t> ReadHeaderFrameCount(std::span<const std::uint8_t> frame,
                                                  const MpegFrameHeader& header) {
    if (header.layer != 3) {
        return std::nullopt;
    }
    // The Xing/Info tag follows the side information, whose size depends on
    // the version and the channel count.
    std::size_t sideInfo =
        header.version == 1 ? (header.channels == 1 ? 17 : 32) : (header.channels == 1 ? 9 : 17);
    std::size_t xing = 4 + sideInfo;
    if (frame.size() >= xing + 12 &&
        (std::memcmp(&frame[xing], "Xing", 4) == 0 || std::memcmp(&frame[xing], "Info", 4) == 0)) {
        std::uint32_t flags = BigEndian32(&frame[xing + 4]);
        if (flags & 1) {
            return BigEndian32(&frame[xing + 8]);
        }
        return std::nullopt;
    }
    constexpr std::size_t vbri = 4 + 32;
    if (frame.size() >= vbri + 18 && std::memcmp(&frame[vbri], "VBRI", 4) == 0) {
        return BigEndian32(&frame[vbri + 14]);
    }
    return std::nullopt;
}

std::uint64_t Id3v2TagBytes(const std::uint8_t* header) {
    if (std::memcmp(header, "ID3", 3) != 0 || header[3] == 0xFF || header[4] == 0xFF) {
        return 0;
    }
    std::uint64_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (header[i] & 0x80) {
            return 0;
        }
        size = size << 7 | header[i];
    }
    bool footer = header[5] & 0x10;
    return 10 + size + (footer ? 10 : 0);
}

std::uint64_t TrailingTagBytes(std::span<const std::uint8_t> fileEnd) {
    std::uint64_t tags = 0;
    std::size_t end = fileEnd.size();
    if (end >= 128 && std::memcmp(&fileEnd[end - 128], "TAG", 3) == 0) {
        tags += 128;
        end -= 128;
    }
    if (end >= 32 && std::memcmp(&fileEnd[end - 32], "APETAGEX", 8) == 0) {
        const std::uint8_t* footer = &fileEnd[end - 32];
        std::uint64_t size = LittleEndian32(footer + 12);
        bool hasHeader = LittleEndian32(footer + 20) & 0x80000000u;
        tags += size + (hasHeader ? 32 : 0);
    }
    return tags;
}

Mp3Walk::Mp3Walk(std::uint64_t fileSize, ReadAt read)
    : fileSize_(fileSize), read_(std::move(read)) {}

Mp3Walk::~Mp3Walk() = default;

bool Mp3Walk::Begin() {
    ByteWindow window(fileSize_, read_);
    std::uint64_t offset = 0;
    for (int tags = 0; const std::uint8_t* tag = window.At(offset, 10); ++tags) {
        std::uint64_t size = Id3v2TagBytes(tag);
        if (size == 0) {
            break;
        }
        if (tags == kMostId3v2Tags) {
            return false;
        }
        offset += size;
    }
    std::uint64_t audioEnd = fileSize_;
    std::size_t probe = std::size_t(std::min<std::uint64_t>(kTrailingTagProbe, fileSize_));
    if (const std::uint8_t* tail = window.At(fileSize_ - probe, probe)) {
        std::uint64_t tags = TrailingTagBytes({tail, probe});
        audioEnd = tags < fileSize_ ? fileSize_ - tags : 0;
    }
    if (audioEnd <= offset) {
        return false;
    }
    audio_ = std::make_unique<ByteWindow>(audioEnd, read_);
    audioStart_ = offset_ = offset;
    // The stream must start within the first stretch after the tags, with
    // a few frames in a row; a file that is not MPEG audio is refused
    // without being read any further.
    while (!done_ && layout_.frameOffsets.size() < kFirstFrames &&
           offset_ - audioStart_ <= kSearchBytes) {
        Step(4096);
    }
    if (layout_.frameOffsets.size() < kFirstFrames && !(done_ && !layout_.frameOffsets.empty())) {
        return false;
    }
    // Until the walk is done, the length is the header's count or what the
    // first frames' size makes of the rest.
    const auto found = std::uint64_t(layout_.frameOffsets.size());
    expected_ = layout_.headerFrameCount.value_or(
        found + (audio_->end() - offset_) / std::max<std::uint64_t>(1, frameBytes_ / found));
    return true;
}

bool Mp3Walk::Step(std::uint64_t bytes) {
    if (done_ || audio_ == nullptr) {
        return false;
    }
    const std::uint64_t stop = offset_ + bytes;
    ByteWindow& audio = *audio_;
    while (offset_ + 4 <= audio.end() && offset_ < stop) {
        const std::uint8_t* frameStart = audio.At(offset_, 4);
        if (frameStart == nullptr) {
            break;
        }
        std::optional<MpegFrameHeader> header;
        if (synced_) {
            header = ParseMpegFrameHeader(frameStart);
            if (header && !SameStream(*header, *stream_)) {
                header.reset();
            }
            if (header && offset_ + header->frameBytes > audio.end()) {
                offset_ = audio.end();  // a cut-off last frame holds no whole sound
                break;
            }
        } else {
            header = ConfirmedFrame(audio, offset_, stream_ ? &*stream_ : nullptr);
        }
        if (!header) {
            synced_ = false;
            ++offset_;
            continue;
        }
        if (!stream_) {
            stream_ = header;
            layout_.sampleRate = header->sampleRate;
            layout_.channels = header->channels;
            layout_.samplesPerFrame = header->samplesPerFrame;
            const std::uint8_t* frame = audio.At(offset_, header->frameBytes);
            layout_.headerFrameCount =
                frame ? ReadHeaderFrameCount({frame, std::size_t(header->frameBytes)}, *header)
                      : std::nullopt;
            if (layout_.headerFrameCount) {
                synced_ = true;
                offset_ += header->frameBytes;  // the header frame holds no sound
                continue;
            }
        }
        synced_ = true;
        layout_.frameOffsets.push_back(offset_);
        frameBytes_ += header->frameBytes;
        offset_ += header->frameBytes;
    }
    if (offset_ + 4 > audio.end()) {
        done_ = true;
    }
    layout_.frameCount = layout_.frameOffsets.size();
    return !done_;
}

std::uint64_t Mp3Walk::ExpectedFrames() const {
    return done_ ? layout_.frameCount : std::max<std::uint64_t>(expected_, layout_.frameCount);
}

bool Mp3Walk::Plausible() const {
    // Frames that cover less than half the bytes are chance matches in
    // something that is not MPEG audio.
    return audio_ != nullptr && !layout_.frameOffsets.empty() &&
           frameBytes_ * 2 >= audio_->end() - audioStart_;
}

std::optional<Mp3Layout> ScanMp3(std::uint64_t fileSize, const ReadAt& read) {
    Mp3Walk walk(fileSize, read);
    if (!walk.Begin()) {
        return std::nullopt;
    }
    while (walk.Step(std::uint64_t(1) << 30)) {
    }
    if (!walk.Plausible()) {
        return std::nullopt;
    }
    return walk.Layout();
}

std::optional<Mp3Layout> ScanMp3(std::span<const std::uint8_t> bytes) {
    return ScanMp3(bytes.size(), ReadFromBytes(bytes));
}
