#include "support/test_audio.h"

#include <QFile>
#include <QTemporaryDir>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <cmath>

namespace {

void AppendLe(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(char((value >> (8 * i)) & 0xFF));
    }
}

}  // namespace

bool WriteClickWav(const QString& path, double seconds, int rate, int channels, bool tone) {
    double level = tone ? 1.0 : 0.0;
    auto frames = std::int64_t(std::llround(seconds * rate));
    std::uint32_t dataBytes = std::uint32_t(frames * channels * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF");
    AppendLe(out, 36 + dataBytes, 4);
    out.append("WAVEfmt ");
    AppendLe(out, 16, 4);
    AppendLe(out, 1, 2);
    AppendLe(out, channels, 2);
    AppendLe(out, rate, 4);
    AppendLe(out, rate * channels * 2, 4);
    AppendLe(out, channels * 2, 2);
    AppendLe(out, 16, 2);
    out.append("data");
    AppendLe(out, dataBytes, 4);
    for (std::int64_t i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        double left = i % rate == 0 ? kClick : level * 0.1 * std::sin(2 * M_PI * 440 * t);
        double right = level * 0.2 * std::sin(2 * M_PI * 660 * t);
        AppendLe(out, std::uint16_t(std::int16_t(std::lround(left * 32767))), 2);
        if (channels == 2) {
            AppendLe(out, std::uint16_t(std::int16_t(std::lround(right * 32767))), 2);
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

bool EncodeMp3(const QString& wavPath, const QString& mp3Path, Mp3Kind kind, bool xingHeader) {
    gst_init(nullptr, nullptr);
    QString encoder = kind == Mp3Kind::kCbr ? "lamemp3enc target=bitrate bitrate=128 cbr=true"
                                            : "lamemp3enc target=quality quality=4";
    QString description = QString(
                              "filesrc location=\"%1\" ! wavparse ! audioconvert ! %2 %3 ! "
                              "filesink location=\"%4\"")
                              .arg(wavPath, encoder, xingHeader ? "! xingmux" : "", mp3Path);
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    if (pipeline == nullptr) {
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    if (message != nullptr) {
        gst_message_unref(message);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(pipeline);
    return ok;
}

SampleTap::SampleTap() {
    gst_init(nullptr, nullptr);
    sink_ = GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make("appsink", nullptr)));
    GstCaps* caps = gst_caps_from_string("audio/x-raw,format=F32LE,channels=2");
    g_object_set(sink_, "caps", caps, "sync", FALSE, "max-buffers", 8, nullptr);
    gst_caps_unref(caps);
}

SampleTap::~SampleTap() {
    gst_object_unref(sink_);
}

std::vector<float> SampleTap::Pull(std::size_t frames) {
    std::vector<float> out;
    firstTime_ = -1.0;
    while (out.size() < frames * 2) {
        GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), 10 * GST_SECOND);
        if (sample == nullptr) {
            break;
        }
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (firstTime_ < 0 && GST_BUFFER_PTS_IS_VALID(buffer)) {
            firstTime_ = double(GST_BUFFER_PTS(buffer)) / GST_SECOND;
        }
        GstMapInfo map;
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            const auto* data = reinterpret_cast<const float*>(map.data);
            out.insert(out.end(), data, data + map.size / sizeof(float));
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
    }
    return out;
}

std::vector<float> SampleTap::PullAll() {
    return Pull(std::size_t(-1) / 4);
}

GstElement* MakeClockSink() {
    gst_init(nullptr, nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

const TestFiles& Files() {
    static QTemporaryDir folder;
    static const TestFiles files = [] {
        TestFiles f;
        f.dir = folder.path();
        f.wav = f.dir + "/clicks.wav";
        f.mp3CbrXing = f.dir + "/cbr xing.mp3";
        f.mp3Cbr = f.dir + "/cbr.mp3";
        f.mp3VbrXing = f.dir + "/vbr xing.mp3";
        f.mp3Vbr = f.dir + "/vbr.mp3";
        f.mp3Mono = f.dir + "/mono.mp3";
        QString monoWav = f.dir + "/mono.wav";
        bool ok = folder.isValid() && WriteClickWav(f.wav, 12.0) &&
                  EncodeMp3(f.wav, f.mp3CbrXing, Mp3Kind::kCbr, true) &&
                  EncodeMp3(f.wav, f.mp3Cbr, Mp3Kind::kCbr, false) &&
                  EncodeMp3(f.wav, f.mp3VbrXing, Mp3Kind::kVbr, true) &&
                  EncodeMp3(f.wav, f.mp3Vbr, Mp3Kind::kVbr, false) &&
                  WriteClickWav(monoWav, 5.0, 22050, 1) &&
                  EncodeMp3(monoWav, f.mp3Mono, Mp3Kind::kVbr, true);
        if (!ok) {
            qFatal("could not generate the test audio");
        }
        return f;
    }();
    return files;
}

const QString& LongMp3() {
    static const QString path = [] {
        QString wav = Files().dir + "/long.wav";
        QString mp3 = Files().dir + "/long.mp3";
        if (!WriteClickWav(wav, 180.0, 44100, 2, false) ||
            !EncodeMp3(wav, mp3, Mp3Kind::kVbr, false)) {
            qFatal("could not generate the long test audio");
        }
        QFile::remove(wav);
        return mp3;
    }();
    return path;
}
