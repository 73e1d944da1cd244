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
    int Channels() const override { return std::min(format_.channels, 2); }
    std::int64_t Frames() const override {
        return std::int64_t(format_.dataBytes / format_.blockAlign);
    }

    bool Seek(std::int64_t frame) override {
        next_ = std::clamp<std::int64_t>(frame, 0, Frames());
        return true;
    }

    std::int64_t Read(float* samples, std::int64_t maxFrames) override {
        const std::int64_t frames = std::min(maxFrames, Frames() - next_);
        if (frames <= 0) {
            return 0;
        }
        raw_.resize(std::size_t(frames * format_.blockAlign));
        const std::uint64_t at = format_.dataOffset + std::uint64_t(next_) * format_.blockAlign;
        // What cannot be read (a bad block of the disk, a file cut while it
        // plays) is silence up to the next block of the file, where reading
        // goes on: the rest plays at its own place.
        const std::uint8_t silence = format_.bitsPerSample == 8 ? 128 : 0;  // 8-bit is unsigned
        std::size_t got = 0;
        while (got < raw_.size()) {
            const std::size_t more = file_->ReadAt(at + got, raw_.data() + got, raw_.size() - got);
            if (more == 0) {
                const std::uint64_t nextBlock = ((at + got) / kBlockBytes + 1) * kBlockBytes;
                const auto skip =
                    std::size_t(std::min<std::uint64_t>(nextBlock - (at + got), raw_.size() - got));
                std::fill_n(raw_.begin() + std::ptrdiff_t(got), skip, silence);
                got += skip;
            }
            got += more;
        }
        Convert(frames, samples);
        next_ += frames;
        return frames;
    }

private:
    static constexpr std::uint64_t kBlockBytes = 4096;

    // Converts sample frames from raw_; more than two channels give their first two.
    void Convert(std::int64_t frames, float* out) const {
        const int bytes = format_.bitsPerSample / 8;
        const int channels = Channels();
        for (std::int64_t i = 0; i < frames; ++i) {
            const std::uint8_t* frame = raw_.data() + i * format_.blockAlign;
            for (int c = 0; c < channels; ++c) {
                out[i * channels + c] = Sample(frame + c * bytes, bytes);
            }
        }
    }

    float Sample(const std::uint8_t* p, int bytes) const {
        if (format_.isFloat && bytes == 4) {
            float f;
            std::memcpy(&f, p, 4);
            return f;
        }
        if (format_.isFloat) {
            double d;
            std::memcpy(&d, p, 8);
            return float(d);
        }
        if (bytes == 1) {
            return float(int(p[0]) - 128) / 128.0f;
        }
        // Little-endian signed integer, sign-extended from its top byte.
        std::int32_t v = std::int8_t(p[bytes - 1]);
        for (int b = bytes - 2; b >= 0; --b) {
            v = std::int32_t(std::uint32_t(v) << 8 | p[b]);
        }
        return float(double(v) / double(1LL << (bytes * 8 - 1)));
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
