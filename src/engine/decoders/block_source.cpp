#include "engine/decoders/block_source.h"

#include <algorithm>

namespace {

class BlockSource final : public PcmSource {
public:
    explicit BlockSource(std::unique_ptr<BlockDecoder> decoder)
        : decoder_(std::move(decoder)),
          in_(decoder_->Channels()),
          out_(std::min(in_, 2)),
          pair_(decoder_->FrontPair()) {}

    int SampleRate() const override { return decoder_->SampleRate(); }
    int Channels() const override { return out_; }
    std::int64_t Frames() const override { return decoder_->Frames(); }

    bool Seek(std::int64_t frame) override {
        next_ = std::clamp<std::int64_t>(frame, 0, Frames());
        block_.samples.clear();
        used_ = 0;
        // A decoder that cannot get there plays silence to the end; the
        // position stays right.
        ended_ = next_ == Frames() || !decoder_->SeekBefore(next_);
        return true;
    }

    std::int64_t Read(float* samples, std::int64_t maxFrames) override {
        const std::int64_t frames = std::min(maxFrames, Frames() - next_);
        if (frames <= 0) {
            return 0;
        }
        std::int64_t done = 0;
        while (done < frames) {
            const std::int64_t at = next_ + done;
            const std::int64_t left = BlockFrames() - used_;
            if (left <= 0) {
                if (ended_ || !decoder_->Next(block_)) {
                    ended_ = true;
                    std::fill(samples + done * out_, samples + frames * out_, 0.0f);
                    break;
                }
                used_ = 0;
                continue;
            }
            const std::int64_t blockAt = block_.start + used_;
            if (blockAt < at) {
                used_ += std::min(at - blockAt, left);  // before the position
            } else if (blockAt > at) {
                const std::int64_t gap = std::min(blockAt - at, frames - done);
                std::fill(samples + done * out_, samples + (done + gap) * out_, 0.0f);
                done += gap;
            } else {
                const std::int64_t n = std::min(left, frames - done);
                Copy(samples + done * out_, n);
                used_ += n;
                done += n;
            }
        }
        next_ += frames;
        return frames;
    }

private:
    std::int64_t BlockFrames() const { return std::int64_t(block_.samples.size()) / in_; }

    void Copy(float* out, std::int64_t frames) const {
        const float* in = block_.samples.data() + used_ * in_;
        for (std::int64_t i = 0; i < frames; ++i, in += in_) {
            out[i * out_] = in[pair_.first];
            if (out_ == 2) {
                out[i * out_ + 1] = in[pair_.second];
            }
        }
    }

    std::unique_ptr<BlockDecoder> decoder_;
    const int in_;
    const int out_;
    const std::pair<int, int> pair_;
    DecodedBlock block_;
    std::int64_t used_ = 0;  // frames of the block already read or skipped
    std::int64_t next_ = 0;
    bool ended_ = false;
};

}  // namespace

std::unique_ptr<PcmSource> OpenBlockSource(std::unique_ptr<BlockDecoder> decoder) {
    const int channels = decoder->Channels();
    const auto [left, right] = decoder->FrontPair();
    if (decoder->SampleRate() <= 0 || decoder->Frames() <= 0 || channels < 1 || left < 0 ||
        right < 0 || left >= channels || right >= channels) {
        return nullptr;
    }
    return std::make_unique<BlockSource>(std::move(decoder));
}

std::pair<int, int> VorbisFrontPair(int channels) {
    // From three channels on the centre comes second, except in the
    // four-channel layout (front left, front right, rear left, rear right).
    if (channels == 1) {
        return {0, 0};
    }
    return channels == 2 || channels == 4 ? std::pair(0, 1) : std::pair(0, 2);
}
