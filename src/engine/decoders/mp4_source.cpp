#include "engine/decoders/mp4_source.h"

#include "engine/decoders/block_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstdio>
#include <mutex>

namespace {

constexpr int kIoBytes = 64 * 1024;
// Decoding starts this many frames before a target: an AAC frame's first
// half overlaps the frame before it, so one frame back is needed at least.
constexpr std::int64_t kPreRoll = 4096;
// Packets in a row that may fail to decode before the rest counts as lost.
constexpr int kMostFailures = 1000;

// FFmpeg reads the file through the shared reader, with a position of its own.
struct IoFile {
    std::shared_ptr<FileReader> reader;
    std::uint64_t position = 0;
};

int ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
    auto* file = static_cast<IoFile*>(opaque);
    const std::size_t got = file->reader->ReadAt(file->position, buffer, std::size_t(size));
    file->position += got;
    return got > 0 ? int(got) : AVERROR_EOF;
}

std::int64_t SeekIo(void* opaque, std::int64_t offset, int whence) {
    auto* file = static_cast<IoFile*>(opaque);
    const auto size = std::int64_t(file->reader->Size());
    if (whence & AVSEEK_SIZE) {
        return size;
    }
    whence &= ~AVSEEK_FORCE;
    const std::int64_t base = whence == SEEK_SET   ? 0
                              : whence == SEEK_CUR ? std::int64_t(file->position)
                                                   : size;
    if (base + offset < 0) {
        return -1;
    }
    file->position = std::uint64_t(base + offset);
    return std::int64_t(file->position);
}

// One sample of any of FFmpeg's sample formats as a float.
float SampleAt(const AVFrame& frame, int channel, int index, int channels) {
    const auto format = AVSampleFormat(frame.format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int at = planar ? index : index * channels + channel;
    const std::uint8_t* data = frame.extended_data[planar ? channel : 0];
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT:
            return reinterpret_cast<const float*>(data)[at];
        case AV_SAMPLE_FMT_DBL:
            return float(reinterpret_cast<const double*>(data)[at]);
        case AV_SAMPLE_FMT_S16:
            return float(reinterpret_cast<const std::int16_t*>(data)[at]) / 32768.0f;
        case AV_SAMPLE_FMT_S32:
            return float(double(reinterpret_cast<const std::int32_t*>(data)[at]) / 2147483648.0);
        case AV_SAMPLE_FMT_U8:
            return float(int(data[at]) - 128) / 128.0f;
        default:
            return 0.0f;
    }
}

class Mp4Decoder final : public BlockDecoder {
public:
    explicit Mp4Decoder(std::shared_ptr<FileReader> file) : file_{std::move(file)} {}

    ~Mp4Decoder() override {
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        avcodec_free_context(&codec_);
        avformat_close_input(&format_);
        if (io_ != nullptr) {
            av_freep(&io_->buffer);
            avio_context_free(&io_);
        }
    }

    bool Open(AacContainer container) {
        static std::once_flag quiet;
        std::call_once(quiet, [] { av_log_set_level(AV_LOG_QUIET); });
        auto* buffer = static_cast<std::uint8_t*>(av_malloc(kIoBytes));
        io_ = buffer != nullptr
                  ? avio_alloc_context(buffer, kIoBytes, 0, &file_, ReadPacket, nullptr, SeekIo)
                  : nullptr;
        if (io_ == nullptr) {
            av_free(buffer);
            return false;
        }
        format_ = avformat_alloc_context();
        if (format_ == nullptr) {
            return false;
        }
        format_->pb = io_;
        format_->flags |= AVFMT_FLAG_CUSTOM_IO;
        // Only the demuxer the content was recognised for: nothing else of
        // FFmpeg ever looks at a file.
        const AVInputFormat* input =
            av_find_input_format(container == AacContainer::kMp4 ? "mov" : "aac");
        if (input == nullptr || avformat_open_input(&format_, nullptr, input, nullptr) < 0 ||
            avformat_find_stream_info(format_, nullptr) < 0) {
            return false;
        }
        const AVCodec* codec = nullptr;
        index_ = av_find_best_stream(format_, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
        if (index_ < 0 || codec == nullptr ||
            (codec->id != AV_CODEC_ID_AAC && codec->id != AV_CODEC_ID_ALAC)) {
            return false;
        }
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            format_->streams[i]->discard = int(i) == index_ ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        }
        stream_ = format_->streams[index_];
        decoder_ = codec;
        packet_ = av_packet_alloc();
        frame_ = av_frame_alloc();
        if (packet_ == nullptr || frame_ == nullptr || !OpenCodec()) {
            return false;
        }
        rate_ = codec_->sample_rate;
        channels_ = codec_->ch_layout.nb_channels;
        if (rate_ <= 0 || channels_ <= 0) {
            return false;
        }
        // An MP4 file names its length; a bare stream only lets FFmpeg guess
        // it from the bitrate, so its frames are counted.
        if (container == AacContainer::kMp4 && stream_->duration > 0) {
            frames_ = ToFrames(stream_->duration);
            return true;
        }
        return CountFrames();
    }

    int SampleRate() const override { return rate_; }
    int Channels() const override { return channels_; }
    std::int64_t Frames() const override { return frames_; }

    bool SeekBefore(std::int64_t frame) override {
        // Before the first frame lie the encoder's delay and the frame it
        // overlaps: a target at the start begins decoding there.
        const std::int64_t from = frame - kPreRoll;
        const std::int64_t time = av_rescale_q(from, {1, rate_}, stream_->time_base);
        draining_ = false;
        next_ = -1;
        if (av_seek_frame(format_, index_, time, AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(format_, index_, 0, AVSEEK_FLAG_BYTE) < 0) {
            return false;
        }
        return OpenCodec();
    }

    bool Next(DecodedBlock& block) override {
        int failures = 0;
        for (;;) {
            const int received = avcodec_receive_frame(codec_, frame_);
            if (received == 0) {
                if (Take(block)) {
                    return true;
                }
                continue;
            }
            if (received == AVERROR_EOF || draining_ || failures > kMostFailures) {
                return false;
            }
            if (received != AVERROR(EAGAIN)) {
                ++failures;  // a damaged packet: its frames stay silent
                continue;
            }
            if (av_read_frame(format_, packet_) < 0) {
                avcodec_send_packet(codec_, nullptr);
                draining_ = true;
                continue;
            }
            if (packet_->stream_index == index_ && avcodec_send_packet(codec_, packet_) < 0) {
                ++failures;
            }
            av_packet_unref(packet_);
        }
    }

private:
    // A fresh decoder: a flushed one keeps the window shape of the last frame
    // it decoded, which changes the first frame of the file after a seek.
    bool OpenCodec() {
        avcodec_free_context(&codec_);
        codec_ = avcodec_alloc_context3(decoder_);
        if (codec_ == nullptr || avcodec_parameters_to_context(codec_, stream_->codecpar) < 0) {
            return false;
        }
        codec_->pkt_timebase = stream_->time_base;
        return avcodec_open2(codec_, decoder_, nullptr) == 0;
    }

    std::int64_t ToFrames(std::int64_t time) const {
        return av_rescale_q_rnd(time, stream_->time_base, {1, rate_}, AV_ROUND_NEAR_INF);
    }

    // Reads every packet once, adding up the frames they hold, then goes
    // back to the start; FFmpeg indexes the packets on the way, so that
    // seeks find them.
    bool CountFrames() {
        frames_ = 0;
        while (av_read_frame(format_, packet_) >= 0) {
            if (packet_->stream_index == index_) {
                frames_ += ToFrames(packet_->duration);
            }
            av_packet_unref(packet_);
        }
        return frames_ > 0 && SeekBefore(0);
    }

    // The decoded frame as a block at its place; false when it has none.
    bool Take(DecodedBlock& block) {
        const std::int64_t time = frame_->best_effort_timestamp;
        const std::int64_t start = time != AV_NOPTS_VALUE ? ToFrames(time) : next_;
        const int count = frame_->nb_samples;
        if (start < 0 && time == AV_NOPTS_VALUE) {
            av_frame_unref(frame_);
            return false;
        }
        block.start = start;
        block.samples.resize(std::size_t(count) * channels_);
        for (int i = 0; i < count; ++i) {
            for (int c = 0; c < channels_; ++c) {
                block.samples[std::size_t(i) * channels_ + c] = SampleAt(*frame_, c, i, channels_);
            }
        }
        next_ = start + count;
        av_frame_unref(frame_);
        return true;
    }

    IoFile file_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVStream* stream_ = nullptr;
    const AVCodec* decoder_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVPacket* packet_ = nullptr;
    AVFrame* frame_ = nullptr;
    int index_ = -1;
    int rate_ = 0;
    int channels_ = 0;
    std::int64_t frames_ = 0;
    std::int64_t next_ = -1;  // frame after the last block; -1 when unknown
    bool draining_ = false;
};

}  // namespace

std::unique_ptr<PcmSource> OpenMp4Source(std::shared_ptr<FileReader> file, AacContainer container) {
    auto decoder = std::make_unique<Mp4Decoder>(std::move(file));
    return decoder->Open(container) ? OpenBlockSource(std::move(decoder)) : nullptr;
}
