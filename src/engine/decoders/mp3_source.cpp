#include "engine/decoders/mp3_source.h"

#include <mpg123.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

// MP3 decoded by libmpg123, which seeks to the exact sample from the frame
// index our own walk built. Gapless trimming is off, so the stream holds every
// sample of every frame and its length is the frame count times the frame size.
class Mp3Source : public PcmSource {
public:
    Mp3Source(std::shared_ptr<FileHandle> file, Mp3Layout layout)
        : file_(std::move(file)), layout_(std::move(layout)) {}
    ~Mp3Source() override {
        if (handle_ != nullptr) {
            mpg123_close(handle_);
            mpg123_delete(handle_);
        }
    }

    bool Open() {
        static std::once_flag once;
        std::call_once(once, [] { mpg123_init(); });
        handle_ = mpg123_new(nullptr, nullptr);
        if (handle_ == nullptr) {
            return false;
        }
        mpg123_param(handle_, MPG123_FLAGS, MPG123_QUIET | MPG123_FORCE_FLOAT, 0);
        mpg123_param(handle_, MPG123_RESYNC_LIMIT, -1, 0);
        mpg123_param(handle_, MPG123_PREFRAMES, PreFrames(), 0);
        mpg123_format_none(handle_);
        int channels = layout_.channels == 1 ? MPG123_MONO : MPG123_STEREO;
        if (mpg123_format(handle_, layout_.sampleRate, channels, MPG123_ENC_FLOAT_32) !=
                MPG123_OK ||
            mpg123_open_fd(handle_, file_->get()) != MPG123_OK) {
            return false;
        }
        // The only output format allowed is the stream's own. The decoder
        // cannot tell it before it has seen a second frame (a one-frame file
        // has none), so only a format it does report is checked.
        long rate = 0;
        int chans = 0, encoding = 0;
        if (mpg123_getformat(handle_, &rate, &chans, &encoding) == MPG123_OK &&
            (rate != layout_.sampleRate || chans != layout_.channels ||
             encoding != MPG123_ENC_FLOAT_32)) {
            return false;
        }
        // Every few frames is enough: the decoder walks the rest in a moment.
        std::vector<off_t> index;
        index.reserve(layout_.frameOffsets.size() / kIndexStep + 1);
        for (std::size_t i = 0; i < layout_.frameOffsets.size(); i += kIndexStep) {
            index.push_back(off_t(layout_.frameOffsets[i]));
        }
        layout_.frameOffsets = {};
        return mpg123_set_index(handle_, index.data(), kIndexStep, index.size()) == MPG123_OK;
    }

    int SampleRate() const override { return layout_.sampleRate; }
    int Channels() const override { return layout_.channels; }
    std::int64_t Frames() const override {
        return std::int64_t(layout_.frameCount) * layout_.samplesPerFrame;
    }

    bool Seek(std::int64_t frame) override {
        frame = std::clamp<std::int64_t>(frame, 0, Frames());
        decoderDone_ = false;
        if (mpg123_seek(handle_, off_t(frame), SEEK_SET) < 0) {
            decoderDone_ = true;  // past what the decoder finds: silence to the end
        }
        next_ = frame;
        return true;
    }

    std::int64_t Read(float* samples, std::int64_t maxFrames) override {
        std::int64_t frames = std::min(maxFrames, Frames() - next_);
        if (frames <= 0) {
            return 0;
        }
        std::size_t frameBytes = sizeof(float) * layout_.channels;
        std::size_t filled = 0, want = std::size_t(frames) * frameBytes;
        auto* out = reinterpret_cast<unsigned char*>(samples);
        while (!decoderDone_ && filled < want) {
            size_t done = 0;
            int result = mpg123_read(handle_, out + filled, want - filled, &done);
            filled += done;
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT && done == 0) {
                decoderDone_ = true;
            }
        }
        // Frames the decoder could not use play as silence, so the stream
        // always has the length the open announced.
        std::memset(out + filled, 0, want - filled);
        next_ += frames;
        return frames;
    }

private:
    static constexpr std::size_t kIndexStep = 8;

    // Frames to decode before a seek target. The decoder must rebuild the bit
    // reservoir (main data up to 511 bytes back, which spans many frames when
    // they are small) and the overlap of the frame before, or the first
    // samples differ from a decode from the start.
    int PreFrames() const {
        const auto& offsets = layout_.frameOffsets;
        std::uint64_t smallest = 1 << 20;
        for (std::size_t i = 1; i < offsets.size(); ++i) {
            smallest = std::min(smallest, offsets[i] - offsets[i - 1]);
        }
        bool mpeg1 = layout_.samplesPerFrame == 1152;
        int overhead = 4 + (layout_.channels == 1 ? (mpeg1 ? 17 : 9) : (mpeg1 ? 32 : 17));
        int mainData = std::max(int(std::min<std::uint64_t>(smallest, 1 << 20)) - overhead, 4);
        return std::min(2 + 511 / mainData, 130);
    }

    std::shared_ptr<FileHandle> file_;
    Mp3Layout layout_;
    mpg123_handle* handle_ = nullptr;
    std::int64_t next_ = 0;
    bool decoderDone_ = false;
};

}  // namespace

std::unique_ptr<PcmSource> OpenMp3Source(std::shared_ptr<FileHandle> file, Mp3Layout layout) {
    auto source = std::make_unique<Mp3Source>(std::move(file), std::move(layout));
    if (!source->Open()) {
        return nullptr;
    }
    return source;
}
