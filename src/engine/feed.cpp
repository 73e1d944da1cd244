#include "engine/feed.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>

Feed::Feed(std::unique_ptr<PcmSource> source, std::int64_t fadeFrames)
    : source_(std::move(source)),
      rate_(source_->SampleRate()),
      channels_(source_->Channels()),
      fade_(fadeFrames < 0 ? FadeFrames(rate_) : fadeFrames) {}

std::int64_t Feed::Read(float* out, std::int64_t maxFrames) {
    std::lock_guard lock(mutex_);
    const std::int64_t frames = ReadLooped(out, maxFrames);
    stream_ += std::max<std::int64_t>(frames, 0);
    return frames;
}

std::int64_t Feed::NextFileFrame() const {
    std::lock_guard lock(mutex_);
    return next_;
}

std::int64_t Feed::Frames() const {
    std::lock_guard lock(mutex_);
    return source_->Frames();
}

std::int64_t Feed::FadeFrames(int sampleRate) {
    // 5 ms: long enough that the jump of the waveform at the seam is not
    // heard as a click, short enough not to smear the first beat.
    return sampleRate / 200;
}

void Feed::Push(GstAppSrc* appsrc) {
    std::lock_guard lock(mutex_);
    const gsize frameBytes = sizeof(float) * channels_;
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, kBufferFrames * frameBytes, nullptr);
    GstMapInfo map;
    std::int64_t frames = 0;
    if (buffer != nullptr && gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        frames = ReadLooped(reinterpret_cast<float*>(map.data), kBufferFrames);
        gst_buffer_unmap(buffer, &map);
    }
    if (frames <= 0) {
        if (buffer != nullptr) {
            gst_buffer_unref(buffer);
        }
        gst_app_src_end_of_stream(appsrc);
        return;
    }
    const auto timeOf = [this](std::int64_t frame) {
        return gst_util_uint64_scale_int(guint64(frame), GST_SECOND, rate_);
    };
    gst_buffer_set_size(buffer, gssize(frames * frameBytes));
    GST_BUFFER_PTS(buffer) = timeOf(stream_);
    GST_BUFFER_DURATION(buffer) = timeOf(stream_ + frames) - timeOf(stream_);
    stream_ += frames;
    gst_app_src_push_buffer(appsrc, buffer);
}

std::int64_t Feed::ReadLooped(float* out, std::int64_t maxFrames) {
    const bool looping = loop_ && next_ < loop_->end;
    if (!looping) {
        const std::int64_t got = source_->Read(out, maxFrames);
        next_ += got;
        return got;
    }
    const std::int64_t fadeStart = loop_->end - std::min(fade_, loop_->end - loop_->start);
    if (next_ < fadeStart) {
        const std::int64_t got = source_->Read(out, std::min(maxFrames, fadeStart - next_));
        next_ += got;
        if (next_ == loop_->end) {
            // Without a crossfade the seam is a plain jump.
            source_->Seek(loop_->start);
            next_ = loop_->start;
            seams_.push_back({stream_ + got, loop_->start});
        }
        return got;
    }
    return Crossfade(out, loop_->end - next_);
}

std::int64_t Feed::Crossfade(float* out, std::int64_t frames) {
    // The section's last frames fade out while the frames just before its
    // start fade in (silence where the start is the file's start); then the
    // feed goes on at the start.
    const std::int64_t tail = source_->Read(out, frames);
    std::fill(out + tail * channels_, out + frames * channels_, 0.0f);
    scratch_.assign(std::size_t(frames * channels_), 0.0f);
    const std::int64_t from = loop_->start - frames;
    const std::int64_t skipped = std::max<std::int64_t>(0, -from);
    if (skipped < frames && source_->Seek(from + skipped)) {
        source_->Read(scratch_.data() + skipped * channels_, frames - skipped);
    }
    for (std::int64_t i = 0; i < frames; ++i) {
        const double x = (double(i) + 0.5) / double(frames) * M_PI / 2;
        const auto fadeOut = float(std::cos(x));
        const auto fadeIn = float(std::sin(x));
        for (int c = 0; c < channels_; ++c) {
            float& sample = out[i * channels_ + c];
            sample = sample * fadeOut + scratch_[std::size_t(i * channels_ + c)] * fadeIn;
        }
    }
    source_->Seek(loop_->start);
    next_ = loop_->start;
    seams_.push_back({stream_ + frames, loop_->start});
    return frames;
}

bool Feed::Seek(std::uint64_t time) {
    std::lock_guard lock(mutex_);
    // The first frame at or after the time, so that no buffer starts before
    // the segment and loses its first frame to clipping.
    next_ = std::min(std::int64_t(gst_util_uint64_scale_ceil(time, rate_, GST_SECOND)),
                     source_->Frames());
    stream_ = next_;
    seams_.assign(1, Seam{next_, next_});
    return source_->Seek(next_);
}

bool Feed::SetLoop(std::optional<Section> section, std::int64_t streamFrame) {
    std::lock_guard lock(mutex_);
    if (section == loop_) {
        return true;
    }
    loop_ = section;
    // A seam already fed but not yet heard belongs to the old loop.
    return seams_.back().stream <= streamFrame;
}

std::int64_t Feed::FileFrameAt(std::int64_t streamFrame) {
    std::lock_guard lock(mutex_);
    auto seam =
        std::upper_bound(seams_.begin(), seams_.end(), streamFrame,
                         [](std::int64_t frame, const Seam& s) { return frame < s.stream; });
    if (seam != seams_.begin()) {
        --seam;
    }
    // Seams heard already are no longer needed.
    seams_.erase(seams_.begin(), seam);
    const Seam& last = seams_.front();
    return std::clamp(last.file + (streamFrame - last.stream), std::int64_t(0), source_->Frames());
}
