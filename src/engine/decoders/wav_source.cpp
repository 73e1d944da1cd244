#include "engine/decoders/wav_source.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Samples straight from the data chunk of a WAV file.
class WavSource : public PcmSource {
public:
    WavSource(std::shared_ptr<FileReader> file, const WavFormat& format)
        : file_(std::move(file)), format_(format) {}

    int SampleRate() const override { return format_.sampleRate; }
    int Channels() const override { return format_.channels; }
    std::int64_t Frames() const override {
        return std::int64_t(format_.dataBytes / format_.blockAlign);
    }

    bool Seek(std::int64_t frame) override {
        next_ = std::clamp<std::int64_t>(frame, 0, Frames());
        return true;
    }

    std::int64_t Read(float* samples, std::int64_t maxFrames) override {
        std::int64_t frames = std::min(maxFrames, Frames() - next_);
        if (frames <= 0) {
            return 0;
        }
        raw_.resize(std::size_t(frames * format_.blockAlign));
        std::uint64_t at = format_.dataOffset + std::uint64_t(next_) * format_.blockAlign;
        std::size_t got = file_->ReadAt(at, raw_.data(), raw_.size());
        frames = std::int64_t(got / format_.blockAlign);
        Convert(frames * format_.channels, samples);
        next_ += frames;
        return frames;
    }

private:
    void Convert(std::int64_t count, float* out) const {
        const std::uint8_t* p = raw_.data();
        int bytes = format_.bitsPerSample / 8;
        for (std::int64_t i = 0; i < count; ++i, p += bytes) {
            if (format_.isFloat && bytes == 4) {
                std::memcpy(&out[i], p, 4);
            } else if (format_.isFloat) {
                double d;
                std::memcpy(&d, p, 8);
                out[i] = float(d);
            } else if (bytes == 1) {
                out[i] = (int(p[0]) - 128) / 128.0f;
            } else {
                // Little-endian signed integer, sign-extended from its top byte.
                std::int32_t v = std::int8_t(p[bytes - 1]);
                for (int b = bytes - 2; b >= 0; --b) {
                    v = std::int32_t(std::uint32_t(v) << 8 | p[b]);
                }
                out[i] = float(double(v) / double(1LL << (bytes * 8 - 1)));
            }
        }
    }

    std::shared_ptr<FileReader> file_;
    WavFormat format_;
    std::int64_t next_ = 0;
    std::vector<std::uint8_t> raw_;
};

}  // namespace

std::unique_ptr<PcmSource> OpenWavSource(std::shared_ptr<FileReader> file,
                                         const WavFormat& format) {
    return std::make_unique<WavSource>(std::move(file), format);
}
