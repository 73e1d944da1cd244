#include "engine/decoders/flac_source.h"

#include "engine/decoders/block_source.h"

#include <FLAC/stream_decoder.h>

#include <cstring>

namespace {

// FLAC decoded by libFLAC, which seeks to the exact sample by itself. A
// damaged frame comes as silence of its length, or is skipped to the next
// frame, whose header names its first sample.
class FlacDecoder final : public BlockDecoder {
public:
    explicit FlacDecoder(std::shared_ptr<FileReader> file) : file_(std::move(file)) {}

    ~FlacDecoder() override {
        if (decoder_ != nullptr) {
            FLAC__stream_decoder_delete(decoder_);
        }
    }

    bool Open() {
        decoder_ = FLAC__stream_decoder_new();
        if (decoder_ == nullptr ||
            FLAC__stream_decoder_init_stream(decoder_, OnRead, OnSeek, OnTell, OnLength, OnEof,
                                             OnWrite, OnMetadata, OnError,
                                             this) != FLAC__STREAM_DECODER_INIT_STATUS_OK ||
            !FLAC__stream_decoder_process_until_end_of_metadata(decoder_)) {
            return false;
        }
        // A stream that does not tell its length (one still being written)
        // cannot promise exact seeks.
        return rate_ > 0 && channels_ > 0 && frames_ > 0;
    }

    int SampleRate() const override { return rate_; }
    int Channels() const override { return channels_; }
    std::int64_t Frames() const override { return frames_; }

    bool SeekBefore(std::int64_t frame) override {
        pending_ = false;
        if (FLAC__stream_decoder_seek_absolute(decoder_, FLAC__uint64(frame))) {
            return true;
        }
        // A failed seek leaves the decoder in need of a flush before any more
        // decoding.
        FLAC__stream_decoder_flush(decoder_);
        return false;
    }

    bool Next(DecodedBlock& block) override {
        // After a seek the target's frame has been written already.
        while (!pending_) {
            if (FLAC__stream_decoder_get_state(decoder_) == FLAC__STREAM_DECODER_END_OF_STREAM ||
                !FLAC__stream_decoder_process_single(decoder_)) {
                return false;
            }
        }
        pending_ = false;
        std::swap(block, block_);
        return true;
    }

private:
    static FLAC__StreamDecoderReadStatus OnRead(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                                size_t* bytes, void* self) {
        auto* d = static_cast<FlacDecoder*>(self);
        *bytes = d->file_->ReadAt(d->position_, buffer, *bytes);
        d->position_ += *bytes;
        return *bytes > 0 ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE
                          : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
    }

    static FLAC__StreamDecoderSeekStatus OnSeek(const FLAC__StreamDecoder*, FLAC__uint64 offset,
                                                void* self) {
        auto* d = static_cast<FlacDecoder*>(self);
        if (offset > d->file_->Size()) {
            return FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
        }
        d->position_ = offset;
        return FLAC__STREAM_DECODER_SEEK_STATUS_OK;
    }

    static FLAC__StreamDecoderTellStatus OnTell(const FLAC__StreamDecoder*, FLAC__uint64* offset,
                                                void* self) {
        *offset = static_cast<FlacDecoder*>(self)->position_;
        return FLAC__STREAM_DECODER_TELL_STATUS_OK;
    }

    static FLAC__StreamDecoderLengthStatus OnLength(const FLAC__StreamDecoder*,
                                                    FLAC__uint64* length, void* self) {
        *length = static_cast<FlacDecoder*>(self)->file_->Size();
        return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
    }

    static FLAC__bool OnEof(const FLAC__StreamDecoder*, void* self) {
        auto* d = static_cast<FlacDecoder*>(self);
        return d->position_ >= d->file_->Size();
    }

    static FLAC__StreamDecoderWriteStatus OnWrite(const FLAC__StreamDecoder*,
                                                  const FLAC__Frame* frame,
                                                  const FLAC__int32* const buffer[], void* self) {
        auto* d = static_cast<FlacDecoder*>(self);
        const FLAC__FrameHeader& h = frame->header;
        if (int(h.channels) != d->channels_ || h.bits_per_sample < 4 || h.bits_per_sample > 32) {
            return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;  // not this stream's: skipped
        }
        d->block_.start = h.number_type == FLAC__FRAME_NUMBER_TYPE_SAMPLE_NUMBER
                              ? std::int64_t(h.number.sample_number)
                              : std::int64_t(h.number.frame_number) * h.blocksize;
        d->block_.samples.resize(std::size_t(h.blocksize) * h.channels);
        const float scale = 1.0f / float(1LL << (h.bits_per_sample - 1));
        for (unsigned c = 0; c < h.channels; ++c) {
            for (unsigned i = 0; i < h.blocksize; ++i) {
                d->block_.samples[i * h.channels + c] = float(buffer[c][i]) * scale;
            }
        }
        d->pending_ = true;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }

    static void OnMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                           void* self) {
        if (metadata->type == FLAC__METADATA_TYPE_STREAMINFO) {
            auto* d = static_cast<FlacDecoder*>(self);
            const auto& info = metadata->data.stream_info;
            d->rate_ = int(info.sample_rate);
            d->channels_ = int(info.channels);
            d->frames_ = std::int64_t(info.total_samples);
        }
    }

    // Damage is handled where it shows: a frame lost to it leaves a gap.
    static void OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

    std::shared_ptr<FileReader> file_;
    FLAC__StreamDecoder* decoder_ = nullptr;
    std::uint64_t position_ = 0;
    int rate_ = 0;
    int channels_ = 0;
    std::int64_t frames_ = 0;
    DecodedBlock block_;
    bool pending_ = false;
};

}  // namespace

std::unique_ptr<PcmSource> OpenFlacSource(std::shared_ptr<FileReader> file) {
    auto decoder = std::make_unique<FlacDecoder>(std::move(file));
    if (!decoder->Open()) {
        return nullptr;
    }
    return OpenBlockSource(std::move(decoder));
}
