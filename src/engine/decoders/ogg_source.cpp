#include "engine/decoders/ogg_source.h"

#include "engine/decoders/block_source.h"

#include <opus/opusfile.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>

namespace {

constexpr int kBlockFrames = 4096;

// Both libraries read the file through the shared reader, with a position of
// their own.
struct OggFile {
    std::shared_ptr<FileReader> reader;
    std::uint64_t position = 0;

    std::size_t Read(void* buffer, std::size_t bytes) {
        const std::size_t got = reader->ReadAt(position, static_cast<std::uint8_t*>(buffer), bytes);
        position += got;
        return got;
    }

    int Seek(std::int64_t offset, int whence) {
        const std::int64_t base = whence == SEEK_SET   ? 0
                                  : whence == SEEK_CUR ? std::int64_t(position)
                                                       : std::int64_t(reader->Size());
        if (base + offset < 0) {
            return -1;
        }
        position = std::uint64_t(base + offset);
        return 0;
    }
};

// Ogg Vorbis decoded by libvorbisfile, which seeks to the exact sample.
class OggVorbisDecoder final : public BlockDecoder {
public:
    explicit OggVorbisDecoder(std::shared_ptr<FileReader> file) : file_{std::move(file)} {}

    ~OggVorbisDecoder() override {
        if (open_) {
            ov_clear(&vorbis_);
        }
    }

    bool Open() {
        ov_callbacks callbacks = {
            [](void* buffer, size_t size, size_t count, void* file) {
                return size == 0 ? 0
                                 : static_cast<OggFile*>(file)->Read(buffer, size * count) / size;
            },
            [](void* file, ogg_int64_t offset, int whence) {
                return static_cast<OggFile*>(file)->Seek(offset, whence);
            },
            nullptr, [](void* file) { return long(static_cast<OggFile*>(file)->position); }};
        open_ = ov_open_callbacks(&file_, &vorbis_, nullptr, 0, callbacks) == 0;
        if (!open_ || !ov_seekable(&vorbis_)) {
            return false;
        }
        // Chained streams play on only while every link has the same format.
        const vorbis_info* first = ov_info(&vorbis_, 0);
        for (long link = 0; link < ov_streams(&vorbis_); ++link) {
            const vorbis_info* info = ov_info(&vorbis_, int(link));
            if (info == nullptr || info->channels != first->channels || info->rate != first->rate) {
                return false;
            }
        }
        rate_ = int(first->rate);
        channels_ = first->channels;
        frames_ = ov_pcm_total(&vorbis_, -1);
        return true;
    }

    int SampleRate() const override { return rate_; }
    int Channels() const override { return channels_; }
    std::int64_t Frames() const override { return frames_; }
    std::pair<int, int> FrontPair() const override { return VorbisFrontPair(channels_); }

    bool SeekBefore(std::int64_t frame) override { return ov_pcm_seek(&vorbis_, frame) == 0; }

    bool Next(DecodedBlock& block) override {
        for (;;) {
            const std::int64_t start = ov_pcm_tell(&vorbis_);
            float** pcm = nullptr;
            int link = 0;
            const long got = ov_read_float(&vorbis_, &pcm, kBlockFrames, &link);
            if (got == OV_HOLE) {
                continue;  // damage: decoding goes on after it
            }
            if (got <= 0) {
                return false;
            }
            block.start = start;
            block.samples.resize(std::size_t(got) * channels_);
            for (int c = 0; c < channels_; ++c) {
                for (long i = 0; i < got; ++i) {
                    block.samples[std::size_t(i) * channels_ + c] = pcm[c][i];
                }
            }
            return true;
        }
    }

private:
    OggFile file_;
    OggVorbis_File vorbis_{};
    bool open_ = false;
    int rate_ = 0;
    int channels_ = 0;
    std::int64_t frames_ = 0;
};

// Ogg Opus decoded by libopusfile. Its seeks land on the exact sample after
// the 80 ms the format asks for; decoding half a second before the target
// makes the sound the same as in a decode from the start, too.
class OggOpusDecoder final : public BlockDecoder {
public:
    explicit OggOpusDecoder(std::shared_ptr<FileReader> file) : file_{std::move(file)} {}

    ~OggOpusDecoder() override {
        if (opus_ != nullptr) {
            op_free(opus_);
        }
    }

    bool Open() {
        const OpusFileCallbacks callbacks = {
            [](void* file, unsigned char* buffer, int bytes) {
                return int(static_cast<OggFile*>(file)->Read(buffer, std::size_t(bytes)));
            },
            [](void* file, opus_int64 offset, int whence) {
                return static_cast<OggFile*>(file)->Seek(offset, whence);
            },
            [](void* file) { return opus_int64(static_cast<OggFile*>(file)->position); }, nullptr};
        int error = 0;
        opus_ = op_open_callbacks(&file_, &callbacks, nullptr, 0, &error);
        if (opus_ == nullptr || !op_seekable(opus_)) {
            return false;
        }
        channels_ = op_channel_count(opus_, 0);
        for (int link = 0; link < op_link_count(opus_); ++link) {
            if (op_channel_count(opus_, link) != channels_) {
                return false;
            }
        }
        frames_ = op_pcm_total(opus_, -1);
        return true;
    }

    int SampleRate() const override { return 48000; }
    int Channels() const override { return channels_; }
    std::int64_t Frames() const override { return frames_; }
    std::pair<int, int> FrontPair() const override { return VorbisFrontPair(channels_); }

    bool SeekBefore(std::int64_t frame) override {
        constexpr std::int64_t kPreRoll = 24000;
        return op_pcm_seek(opus_, std::max<std::int64_t>(frame - kPreRoll, 0)) == 0;
    }

    bool Next(DecodedBlock& block) override {
        for (;;) {
            const std::int64_t start = op_pcm_tell(opus_);
            block.samples.resize(std::size_t(kBlockFrames) * channels_);
            const int got =
                op_read_float(opus_, block.samples.data(), int(block.samples.size()), nullptr);
            if (got == OP_HOLE) {
                continue;  // damage: decoding goes on after it
            }
            if (got <= 0) {
                return false;
            }
            block.start = start;
            block.samples.resize(std::size_t(got) * channels_);
            return true;
        }
    }

private:
    OggFile file_;
    OggOpusFile* opus_ = nullptr;
    int channels_ = 0;
    std::int64_t frames_ = 0;
};

}  // namespace

std::unique_ptr<PcmSource> OpenVorbisSource(std::shared_ptr<FileReader> file) {
    auto decoder = std::make_unique<OggVorbisDecoder>(std::move(file));
    return decoder->Open() ? OpenBlockSource(std::move(decoder)) : nullptr;
}

std::unique_ptr<PcmSource> OpenOpusSource(std::shared_ptr<FileReader> file) {
    auto decoder = std::make_unique<OggOpusDecoder>(std::move(file));
    return decoder->Open() ? OpenBlockSource(std::move(decoder)) : nullptr;
}
