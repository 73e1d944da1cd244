#include "engine/decoders/mp3_source.h"

#include "engine/decoders/mp3_length.h"

#include <mpg123.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

// The frame index, shared by the walk's thread (which extends it) and the
// decoder's callers (which wait for it).
class FrameIndex {
public:
    explicit FrameIndex(std::unique_ptr<Mp3Walk> walk) : walk_(std::move(walk)) {
        offsets_ = walk_->Layout().frameOffsets;
        expected_ = walk_->ExpectedFrames();
        done_ = walk_->Done();
    }

    // Walks to the end on the calling thread, publishing what it finds.
    void WalkToTheEnd() {
        // A walk over the whole file must not slow down what the user does.
        constexpr int kIdleClass = 3, kClassShift = 13;
        ::syscall(SYS_ioprio_set, 1 /* a thread */, int(::syscall(SYS_gettid)),
                  kIdleClass << kClassShift);
        bool more = !done_;
        while (more && !stop_) {
            more = walk_->Step(std::uint64_t(1) << 20);
            std::lock_guard lock(mutex_);
            const auto& found = walk_->Layout().frameOffsets;
            offsets_.insert(offsets_.end(), found.begin() + std::ptrdiff_t(offsets_.size()),
                            found.end());
            done_ = !more;
            expected_ = walk_->ExpectedFrames();
            changed_.notify_all();
        }
    }

    void Stop() { stop_ = true; }

    // Waits until the frame is walked (or the walk is done); returns the
    // frame offsets walked so far.
    std::vector<std::uint64_t> WaitFor(std::uint64_t frame) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return done_ || stop_ || offsets_.size() > frame; });
        return offsets_;
    }

    // Waits for the end of the walk.
    void WaitForTheEnd() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return done_ || stop_; });
    }

    std::uint64_t ExpectedFrames() const {
        std::lock_guard lock(mutex_);
        return expected_;
    }

    bool Done() const {
        std::lock_guard lock(mutex_);
        return done_;
    }

private:
    std::unique_ptr<Mp3Walk> walk_;  // only the walk's thread touches it after the start
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint64_t> offsets_;
    std::uint64_t expected_ = 0;
    bool done_ = false;
    std::atomic<bool> stop_ = false;
};

// libmpg123 reads the file through the shared reader, with a position of its own.
struct DecoderFile {
    std::shared_ptr<FileReader> reader;
    std::uint64_t position = 0;
};

ssize_t ReadForDecoder(void* handle, void* buffer, size_t size) {
    auto* file = static_cast<DecoderFile*>(handle);
    const std::size_t got =
        file->reader->ReadAt(file->position, static_cast<std::uint8_t*>(buffer), size);
    file->position += got;
    return ssize_t(got);
}

off_t SeekForDecoder(void* handle, off_t offset, int whence) {
    auto* file = static_cast<DecoderFile*>(handle);
    const auto base = whence == SEEK_SET   ? std::int64_t(0)
                      : whence == SEEK_CUR ? std::int64_t(file->position)
                                           : std::int64_t(file->reader->Size());
    const std::int64_t to = base + std::int64_t(offset);
    if (to < 0) {
        return -1;
    }
    file->position = std::uint64_t(to);
    return off_t(to);
}

// MP3 decoded by libmpg123, which seeks to the exact sample with the frame
// index of our own walk. Gapless trimming is off, so the stream holds every
// sample of every frame and its length is the frame count times the frame size.
class Mp3Source : public PcmSource {
public:
    Mp3Source(std::shared_ptr<FileReader> file, std::unique_ptr<Mp3Walk> walk)
        : layout_(walk->Layout()), file_{std::move(file)}, index_(std::move(walk)) {}

    ~Mp3Source() override {
        index_.Stop();
        if (walker_.joinable()) {
            walker_.join();
        }
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
        mpg123_format_none(handle_);
        int channels = layout_.channels == 1 ? MPG123_MONO : MPG123_STEREO;
        if (mpg123_format(handle_, layout_.sampleRate, channels, MPG123_ENC_FLOAT_32) !=
                MPG123_OK ||
            mpg123_replace_reader_handle(handle_, ReadForDecoder, SeekForDecoder, nullptr) !=
                MPG123_OK ||
            mpg123_open_handle(handle_, &file_) != MPG123_OK) {
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
        walker_ = std::thread([this] { index_.WalkToTheEnd(); });
        return true;
    }

    int SampleRate() const override { return layout_.sampleRate; }
    int Channels() const override { return layout_.channels; }
    std::int64_t Frames() const override {
        return std::int64_t(index_.ExpectedFrames()) * layout_.samplesPerFrame;
    }

    bool LengthFinal() const override { return index_.Done(); }

    void PrepareSeek(std::int64_t frame) override {
        index_.WaitFor(std::uint64_t(std::max<std::int64_t>(frame, 0)) / layout_.samplesPerFrame +
                       1);
    }

    bool Seek(std::int64_t frame) override {
        // A target past the first frames' estimate may still lie in the file:
        // the walk is waited for before the target is held to the length.
        frame = std::max<std::int64_t>(frame, 0);
        std::vector<std::uint64_t> offsets =
            index_.WaitFor(std::uint64_t(frame) / layout_.samplesPerFrame + 1);
        frame = std::min(frame, Frames());
        const std::uint64_t audioFrame = std::uint64_t(frame) / layout_.samplesPerFrame;
        UseIndex(offsets, audioFrame);
        decoderDone_ = false;
        resumeAt_ = 0;
        skipped_.reset();
        if (mpg123_seek(handle_, off_t(frame), SEEK_SET) < 0) {
            decoderDone_ = true;  // past what the decoder finds: silence to the end
        }
        next_ = frame;
        return true;
    }

    std::int64_t Read(float* samples, std::int64_t maxFrames) override {
        if (next_ >= Frames() && !index_.Done()) {
            index_.WaitForTheEnd();  // the first frames' estimate was short
        }
        std::int64_t frames = std::min(maxFrames, Frames() - next_);
        if (frames <= 0) {
            return 0;
        }
        std::size_t frameBytes = sizeof(float) * layout_.channels;
        std::size_t filled = 0, want = std::size_t(frames) * frameBytes;
        auto* out = reinterpret_cast<unsigned char*>(samples);
        while (!decoderDone_ && filled < want) {
            const std::int64_t at = next_ + std::int64_t(filled / frameBytes);
            if (at < resumeAt_) {
                // Frames lost to damage play as silence.
                const std::size_t until =
                    std::min(want, filled + std::size_t(resumeAt_ - at) * frameBytes);
                std::memset(out + filled, 0, until - filled);
                filled = until;
                continue;
            }
            size_t done = 0;
            const int result = mpg123_read(handle_, out + filled, want - filled, &done);
            filled += done;
            if (result == MPG123_DONE) {
                decoderDone_ = true;
            } else if (result != MPG123_OK && !(result == MPG123_NEW_FORMAT && StreamFormat())) {
                resumeAt_ = SkipDamage(next_ + std::int64_t(filled / frameBytes));
                decoderDone_ = resumeAt_ >= Frames();
            }
        }
        if (decoderDone_ && filled < want && !index_.Done()) {
            // The decoder reached the file's end before the estimate: the walk
            // is about to know the exact length.
            index_.WaitForTheEnd();
            frames = std::min<std::int64_t>(frames, std::max<std::int64_t>(Frames() - next_, 0));
            want = std::size_t(frames) * frameBytes;
            filled = std::min(filled, want);
        }
        // Frames the decoder could not use play as silence, so the stream
        // always has the length the walk found.
        std::memset(out + filled, 0, want - filled);
        next_ += frames;
        return frames;
    }

private:
    static constexpr std::size_t kIndexStep = 8;

    // True when the decoder's output format is the stream's own.
    bool StreamFormat() {
        long rate = 0;
        int channels = 0, encoding = 0;
        return mpg123_getformat(handle_, &rate, &channels, &encoding) == MPG123_OK &&
               rate == layout_.sampleRate && channels == layout_.channels &&
               encoding == MPG123_ENC_FLOAT_32;
    }

    // The decoder failed on damage (data that looks like frames of another
    // format, or frames it cannot decode) at the sample frame `position`.
    // It goes on at a frame of our walk's index after the one it failed on:
    // one it jumps to straight through the index, decoded without frames
    // before it, so it never reads the damage again. A try that fails again
    // goes on further. Returns the sample frame decoding goes on at; the
    // frames before it are silence.
    std::int64_t SkipDamage(std::int64_t position) {
        const auto perFrame = std::uint64_t(layout_.samplesPerFrame);
        const auto failedAt = std::uint64_t(std::max<off_t>(mpg123_framepos(handle_), 0));
        std::vector<std::uint64_t> offsets = index_.WaitFor(std::uint64_t(position) / perFrame + 1);
        while (!index_.Done() && (offsets.empty() || offsets.back() <= failedAt)) {
            offsets = index_.WaitFor(offsets.size());
        }
        const auto after = std::uint64_t(
            std::upper_bound(offsets.begin(), offsets.end(), failedAt) - offsets.begin());
        // The decoder decodes one frame before the target at least; that one
        // must be an index entry, for the decoder to jump to it.
        std::uint64_t entry = std::max(after, skipped_ ? *skipped_ + 1 : 0);
        entry = (entry + kIndexStep - 1) / kIndexStep * kIndexStep;
        skipped_ = entry;
        const std::uint64_t frame = entry + 1;
        const auto target = std::max(std::int64_t(frame * perFrame), position);
        if (target < Frames()) {
            offsets = index_.WaitFor(frame);
            UseIndex(offsets, frame);
            mpg123_param(handle_, MPG123_PREFRAMES, 0, 0);
            // The decoder counted the damage's false frames too: at what it
            // takes for the frame before the target it would read on instead
            // of jumping, so it jumps to the start first.
            mpg123_seek(handle_, 0, SEEK_SET);
            mpg123_seek(handle_, off_t(target), SEEK_SET);
        }
        return target;
    }

    // Hands the decoder every few frame offsets walked so far (it walks the
    // rest in a moment) and the frames it must decode before the target.
    void UseIndex(const std::vector<std::uint64_t>& offsets, std::uint64_t target) {
        if (offsets.size() / kIndexStep > indexed_) {
            std::vector<off_t> index;
            index.reserve(offsets.size() / kIndexStep + 1);
            for (std::size_t i = 0; i < offsets.size(); i += kIndexStep) {
                index.push_back(off_t(offsets[i]));
            }
            mpg123_set_index(handle_, index.data(), kIndexStep, index.size());
            indexed_ = offsets.size() / kIndexStep;
        }
        mpg123_param(handle_, MPG123_PREFRAMES, PreFrames(offsets, target), 0);
    }

    // Frames to decode before a seek target. The decoder must rebuild the bit
    // reservoir (main data up to 511 bytes back, which spans many frames when
    // they are small) and the overlap of the frame before, or the first
    // samples differ from a decode from the start.
    int PreFrames(const std::vector<std::uint64_t>& offsets, std::uint64_t target) const {
        constexpr std::uint64_t kMost = 130;
        std::uint64_t smallest = 1 << 20;
        const std::uint64_t last = std::min<std::uint64_t>(target, offsets.size() - 1);
        for (std::uint64_t i = last > kMost ? last - kMost : 1; i <= last && i > 0; ++i) {
            smallest = std::min(smallest, offsets[i] - offsets[i - 1]);
        }
        bool mpeg1 = layout_.samplesPerFrame == 1152;
        int overhead = 4 + (layout_.channels == 1 ? (mpeg1 ? 17 : 9) : (mpeg1 ? 32 : 17));
        int mainData = std::max(int(std::min<std::uint64_t>(smallest, 1 << 20)) - overhead, 4);
        return std::min(2 + 511 / mainData, int(kMost));
    }

    const Mp3Layout layout_;  // the stream's format, as found at the start
    DecoderFile file_;
    FrameIndex index_;
    std::thread walker_;
    mpg123_handle* handle_ = nullptr;
    std::size_t indexed_ = 0;
    std::int64_t next_ = 0;
    bool decoderDone_ = false;
    std::int64_t resumeAt_ = 0;             // after damage: where the decoder goes on
    std::optional<std::uint64_t> skipped_;  // the frame the last skip went to
};

}  // namespace

std::unique_ptr<PcmSource> OpenMp3Source(std::shared_ptr<FileReader> file) {
    const std::shared_ptr<FileReader> reader = file;
    auto walk = std::make_unique<Mp3Walk>(
        file->Size(), [reader](std::uint64_t offset, std::uint8_t* buffer, std::size_t size) {
            return reader->ReadAt(offset, buffer, size);
        });
    if (!walk->Begin()) {
        return nullptr;
    }
    auto source = std::make_unique<Mp3Source>(std::move(file), std::move(walk));
    if (!source->Open()) {
        return nullptr;
    }
    return source;
}
