#include "engine/gst_engine.h"

#include "engine/feed.h"
#include "engine/pcm_source.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {

constexpr double kMinRate = 0.1;
constexpr double kMaxRate = 2.0;
constexpr long kMinVolume = -10000;
constexpr long kBalanceRange = 5000;
// Long enough for a loaded machine, short enough that a stuck sink never
// freezes the program.
constexpr GstClockTime kWait = 5 * GST_SECOND;
void OnNeedData(GstAppSrc* appsrc, guint, gpointer feed) {
    static_cast<Feed*>(feed)->Push(appsrc);
}

gboolean OnSeekData(GstAppSrc*, guint64 offset, gpointer feed) {
    return static_cast<Feed*>(feed)->Seek(offset);
}

class GstEngine final : public MediaEngine {
public:
    GstEngine(GstElement* sink, FileOpener opener)
        : sink_(sink != nullptr ? GST_ELEMENT(gst_object_ref_sink(sink)) : nullptr),
          opener_(std::move(opener)) {
        // A sink that does not keep time (a tap reading as fast as it can)
        // leaves the clock nothing to say about the position.
        gboolean sync = TRUE;
        if (sink_ != nullptr && g_object_class_find_property(G_OBJECT_GET_CLASS(sink_), "sync")) {
            g_object_get(sink_, "sync", &sync, nullptr);
        }
        keepsTime_ = sync;
    }

    ~GstEngine() override {
        Discard();
        if (sink_ != nullptr) {
            gst_object_unref(sink_);
        }
    }

    bool RenderFile(const QString& path) override {
        if (tried_) {
            return Fail(QStringLiteral("an engine renders one file only"));
        }
        if (sink_ == nullptr || !InitGstreamer()) {
            return Fail(QStringLiteral("GStreamer or its audio output cannot be used"));
        }
        tried_ = true;
        std::unique_ptr<PcmSource> source = OpenPcmSource(path, opener_);
        if (source == nullptr || source->Frames() <= 0) {
            return Fail(QStringLiteral("no playable audio in ") + path);
        }
        int rate = source->SampleRate(), channels = source->Channels();
        feed_ = std::make_unique<Feed>(std::move(source));
        if (!BuildPipeline(rate, channels)) {
            Discard();
            return Fail(QStringLiteral("the GStreamer elements for playback are missing"));
        }
        length_ = Length();
        gst_element_set_state(pipeline_, GST_STATE_PAUSED);
        if (!WaitForAsyncDone()) {
            Discard();
            return false;
        }
        return true;
    }

    bool Run() override { return ChangeState(GST_STATE_PLAYING); }
    bool Pause() override { return ChangeState(GST_STATE_PAUSED); }
    bool Stop() override { return ChangeState(GST_STATE_PAUSED); }

    QString ErrorText() const override { return error_; }
    bool LengthFinal() override { return pipeline_ == nullptr || feed_->LengthFinal(); }

    std::optional<double> Duration() override {
        if (pipeline_ == nullptr) {
            return std::nullopt;
        }
        // Asked afresh only while an MP3's frame walk may still change it.
        if (!lengthFinal_) {
            lengthFinal_ = feed_->LengthFinal();
            length_ = Length();
        }
        return length_;
    }

    std::optional<double> CurrentPosition() override {
        if (pipeline_ == nullptr) {
            return std::nullopt;
        }
        // Asking the output chain costs more than the rest of a tick: once
        // playback is seen moving, the position runs on with the clock and
        // is asked for again once a second.
        const auto now = std::chrono::steady_clock::now();
        if (keepsTime_ && playing_ && clockFrom_ &&
            now - clockFrom_->at < std::chrono::seconds(1)) {
            const std::chrono::nanoseconds since = now - clockFrom_->at;
            return FilePosition(clockFrom_->stream + gint64(double(since.count()) * rate_));
        }
        DrainBus();
        length_ = Length();
        if (atEnd_) {
            return length_;
        }
        gint64 stream = 0;
        if (gst_element_query_position(pipeline_, GST_FORMAT_TIME, &stream)) {
            if (playing_ && lastStream_ && stream > *lastStream_) {
                clockFrom_ = Stamp{now, stream};
            }
            lastStream_ = stream;
            position_ = FilePosition(stream);
        }
        return position_;
    }

    bool SetCurrentPosition(double seconds) override {
        if (pipeline_ == nullptr || std::isnan(seconds)) {
            return false;
        }
        // The length may only be known once the walk got to the target; a
        // target past any recording's length waits for the whole walk.
        const double target = std::clamp(seconds, 0.0, 1e9);
        feed_->PrepareSeek(std::int64_t(std::ceil(target * feed_->SampleRate())));
        return SeekTo(std::clamp(seconds, 0.0, Length()), rate_);
    }

    bool SetRate(double rate) override {
        if (pipeline_ == nullptr || std::isnan(rate)) {
            return false;
        }
        rate = std::clamp(rate, kMinRate, kMaxRate);
        if (rate == rate_) {
            return true;
        }
        // At the end there is nothing to play; the next seek brings the rate.
        double position = CurrentPosition().value_or(0.0);
        if (!atEnd_ && !SeekTo(position, rate)) {
            return false;
        }
        rate_ = rate;
        Forget();
        return true;
    }

    bool SetLoop(int startSecond, int endSecond) override {
        if (pipeline_ == nullptr || startSecond < 0 || endSecond <= startSecond) {
            return false;
        }
        const std::int64_t rate = feed_->SampleRate();
        return ApplyLoop(Section{startSecond * rate, endSecond * rate});
    }

    bool ClearLoop() override { return pipeline_ != nullptr && ApplyLoop(std::nullopt); }

    bool SetVolume(long hundredthsOfDecibel) override {
        if (pipeline_ == nullptr) {
            return false;
        }
        long clamped = std::clamp(hundredthsOfDecibel, kMinVolume, 0L);
        g_object_set(volume_, "volume", std::pow(10.0, clamped / 2000.0), nullptr);
        return true;
    }

    bool SetBalance(long hundredthsOfDecibel) override {
        if (pipeline_ == nullptr) {
            return false;
        }
        // The other channel is lowered by the amount in hundredths of a
        // decibel; the simple panorama method scales it by 1 - |panorama|.
        long clamped = std::clamp(hundredthsOfDecibel, -kBalanceRange, kBalanceRange);
        double lowered = 1.0 - std::pow(10.0, -std::abs(double(clamped)) / 2000.0);
        g_object_set(panorama_, "panorama", gfloat(clamped < 0 ? -lowered : lowered), nullptr);
        return true;
    }

private:
    // The length in seconds; it may change once, when an MP3's walk ends.
    double Length() const { return double(feed_->Frames()) / feed_->SampleRate(); }

    // The file position heard at a stream time: across a loop's seams the
    // stream's time runs on.
    double FilePosition(gint64 stream) {
        return std::min(double(feed_->FileFrameAt(StreamFrame(stream))) / feed_->SampleRate(),
                        length_);
    }

    // The position is asked for afresh after any change of the playback.
    void Forget() {
        clockFrom_.reset();
        lastStream_.reset();
    }

    std::int64_t StreamFrame(gint64 time) const {
        return std::int64_t(gst_util_uint64_scale_int_round(guint64(std::max<gint64>(time, 0)),
                                                            feed_->SampleRate(), GST_SECOND));
    }

    // A seam the old loop already fed but nobody heard yet is taken back by a
    // seek to the position heard.
    bool ApplyLoop(std::optional<Section> section) {
        DrainBus();
        gint64 time = 0;
        const bool known = !atEnd_ && gst_element_query_position(pipeline_, GST_FORMAT_TIME, &time);
        if (feed_->SetLoop(section, known ? StreamFrame(time) : 0) || !known) {
            return true;
        }
        return SeekTo(double(feed_->FileFrameAt(StreamFrame(time))) / feed_->SampleRate(), rate_);
    }

    // appsrc ! audioconvert ! scaletempo ! audioconvert ! audiopanorama !
    // volume ! audioconvert ! audioresample ! sink
    bool BuildPipeline(int rate, int channels) {
        pipeline_ = gst_pipeline_new(nullptr);
        bus_ = gst_element_get_bus(pipeline_);
        const char* names[] = {"appsrc",        "audioconvert", "scaletempo",   "audioconvert",
                               "audiopanorama", "volume",       "audioconvert", "audioresample"};
        GstElement* chain[9] = {};
        for (int i = 0; i < 8; ++i) {
            chain[i] = gst_element_factory_make(names[i], nullptr);
            if (chain[i] == nullptr) {
                return false;  // the elements already added go with the pipeline
            }
            gst_bin_add(GST_BIN(pipeline_), chain[i]);
        }
        chain[8] = sink_;
        gst_bin_add(GST_BIN(pipeline_), sink_);
        for (int i = 0; i < 8; ++i) {
            if (!gst_element_link(chain[i], chain[i + 1])) {
                return false;
            }
        }
        panorama_ = chain[4];
        volume_ = chain[5];
        g_object_set(panorama_, "method", 1, nullptr);  // simple: a balance, not a mix

        GstCaps* caps = gst_caps_new_simple(
            "audio/x-raw", "format", G_TYPE_STRING, "F32LE", "layout", G_TYPE_STRING, "interleaved",
            "rate", G_TYPE_INT, rate, "channels", G_TYPE_INT, channels, nullptr);
        if (channels == 2) {
            gst_caps_set_simple(caps, "channel-mask", GST_TYPE_BITMASK, guint64(0x3), nullptr);
        }
        GstElement* appsrc = chain[0];
        // No duration is given: the output chain would hold seeks to it, and
        // an MP3's length may still grow; the engine keeps its own.
        g_object_set(appsrc, "caps", caps, "format", GST_FORMAT_TIME, "stream-type",
                     GST_APP_STREAM_TYPE_SEEKABLE, "max-bytes",
                     guint64(2 * Feed::kBufferFrames * sizeof(float) * channels), nullptr);
        gst_caps_unref(caps);
        GstAppSrcCallbacks callbacks = {};
        callbacks.need_data = OnNeedData;
        callbacks.seek_data = OnSeekData;
        gst_app_src_set_callbacks(GST_APP_SRC(appsrc), &callbacks, feed_.get(), nullptr);
        return true;
    }

    // Stops and drops the pipeline; the streaming threads are gone before the
    // feed they use.
    void Discard() {
        if (pipeline_ != nullptr) {
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            gst_object_unref(bus_);
            gst_object_unref(pipeline_);
        }
        pipeline_ = nullptr;
        bus_ = nullptr;
        feed_.reset();
    }

    bool ChangeState(GstState state) {
        if (pipeline_ == nullptr) {
            return false;
        }
        DrainBus();
        Forget();
        playing_ = false;
        if (gst_element_set_state(pipeline_, state) == GST_STATE_CHANGE_FAILURE ||
            gst_element_get_state(pipeline_, nullptr, nullptr, kWait) != GST_STATE_CHANGE_SUCCESS) {
            return Fail(QStringLiteral("the audio output refused to change its state"));
        }
        playing_ = state == GST_STATE_PLAYING;
        return true;
    }

    // A flushing, accurate seek that returns once the sink holds the target's
    // first sample, so the next position read is the target.
    bool SeekTo(double seconds, double rate) {
        DrainBus();
        Forget();  // the clock runs on from the target
        // A target the MP3 walk has not reached yet is waited for here, so
        // the time the output chain gets for the seek is its own.
        feed_->PrepareSeek(std::int64_t(std::ceil(seconds * feed_->SampleRate())));
        auto flags = GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
        gint64 time = std::llround(seconds * GST_SECOND);
        if (!gst_element_seek(pipeline_, rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET, time,
                              GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE)) {
            return Fail(QStringLiteral("the seek was refused"));
        }
        bool done = WaitForAsyncDone() && gst_element_get_state(pipeline_, nullptr, nullptr,
                                                                kWait) == GST_STATE_CHANGE_SUCCESS;
        atEnd_ = seconds >= Length();
        position_ = seconds;
        return done;
    }

    bool WaitForAsyncDone() {
        auto types = GstMessageType(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR);
        GstMessage* message = gst_bus_timed_pop_filtered(bus_, kWait, types);
        if (message == nullptr) {
            return Fail(QStringLiteral("the audio output did not answer within 5 s"));
        }
        bool done = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE;
        if (!done) {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            Fail(QStringLiteral("GStreamer: ") +
                 QString::fromUtf8(error != nullptr ? error->message : "unknown error"));
            g_clear_error(&error);
        }
        gst_message_unref(message);
        return done;
    }

    bool Fail(const QString& why) {
        error_ = why;
        return false;
    }

    // Handles the messages of the bus on the caller's thread: the end of the
    // stream (or an error while playing) holds the position at the length.
    void DrainBus() {
        while (GstMessage* message = gst_bus_pop(bus_)) {
            if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS ||
                GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
                atEnd_ = true;
            }
            gst_message_unref(message);
        }
    }

    GstElement* sink_;
    GstElement* pipeline_ = nullptr;
    GstBus* bus_ = nullptr;
    GstElement* panorama_ = nullptr;
    GstElement* volume_ = nullptr;
    std::unique_ptr<Feed> feed_;
    bool tried_ = false;
    bool atEnd_ = false;
    FileOpener opener_;
    double position_ = 0.0;
    double length_ = 0.0;  // as of the last question to the output chain
    bool lengthFinal_ = false;
    // Where the stream was when the output chain was last asked while
    // playing, so the position can run on with the clock.
    struct Stamp {
        std::chrono::steady_clock::time_point at;
        gint64 stream = 0;
    };
    std::optional<Stamp> clockFrom_;
    std::optional<gint64> lastStream_;
    bool playing_ = false;
    bool keepsTime_ = true;
    double rate_ = 1.0;
    QString error_;
};

}  // namespace

bool InitGstreamer() {
    static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
    return ok;
}

std::unique_ptr<MediaEngine> CreateGstEngine(GstElement* sink, FileOpener opener) {
    return std::make_unique<GstEngine>(sink, std::move(opener));
}

std::unique_ptr<MediaEngine> CreateGstEngine() {
    GstElement* sink =
        InitGstreamer() ? gst_element_factory_make("autoaudiosink", nullptr) : nullptr;
    return std::make_unique<GstEngine>(sink, FileOpener());
}

MediaEngineFactory GstEngineFactory() {
    return [] { return CreateGstEngine(); };
}
