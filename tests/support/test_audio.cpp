#include "support/test_audio.h"

#include <QTemporaryDir>

#include <gst/app/gstappsink.h>

namespace {

// Generates seconds of a test sound (a tone, or ticks) through an encoder.
bool Generate(const QString& path, int seconds, const QString& encoder, int rate = 44100,
              int channels = 2, const char* sound = "sine freq=441.3 volume=0.5") {
    const QString description = QString::asprintf(
        "audiotestsrc wave=%s num-buffers=%d samplesperbuffer=%d ! audio/x-raw,format=S16LE,"
        "rate=%d,channels=%d ! %s ! filesink location=\"%s\"",
        sound, seconds, rate, rate, channels, qPrintable(encoder), qPrintable(path));
    gst_init(nullptr, nullptr);
    g_autoptr(GstElement) pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    g_autoptr(GstBus) bus = gst_element_get_bus(pipeline);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    g_autoptr(GstMessage) end = gst_bus_timed_pop_filtered(
        bus, 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_element_set_state(pipeline, GST_STATE_NULL);
    return end != nullptr && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
}

}  // namespace

GstElement* MakeClockSink() {
    gst_init(nullptr, nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

GstElement* MakeTap() {
    gst_init(nullptr, nullptr);
    GstElement* tap = gst_element_factory_make("appsink", nullptr);
    g_autoptr(GstCaps) caps = gst_caps_from_string("audio/x-raw,format=F32LE,channels=2");
    g_object_set(tap, "caps", caps, "sync", FALSE, "max-buffers", 8, nullptr);
    return tap;
}

std::vector<float> Pull(GstElement* tap, std::size_t frames) {
    std::vector<float> out;
    while (out.size() < frames * 2) {
        g_autoptr(GstSample) sample =
            gst_app_sink_try_pull_sample(GST_APP_SINK(tap), 10 * GST_SECOND);
        GstBuffer* buffer = sample != nullptr ? gst_sample_get_buffer(sample) : nullptr;
        GstMapInfo map;
        if (buffer == nullptr || !gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            break;
        }
        const auto* data = reinterpret_cast<const float*>(map.data);
        out.insert(out.end(), data, data + map.size / sizeof(float));
        gst_buffer_unmap(buffer, &map);
    }
    return out;
}

bool WriteWav(const QString& path, int seconds) {
    return Generate(path, seconds, QStringLiteral("wavenc"));
}

const TestFiles& Files() {
    static QTemporaryDir folder;
    static const TestFiles files = [] {
        const QString d = folder.path(), cbr = "lamemp3enc target=bitrate bitrate=128 cbr=true",
                      vbr = "lamemp3enc target=quality quality=4", header = " ! xingmux";
        const TestFiles f{d + "/tone.wav", d + "/cbr xing.mp3", d + "/cbr.mp3", d + "/vbr xing.mp3",
                          d + "/vbr.mp3",  d + "/mono.mp3",     d + "/long.mp3"};
        if (!WriteWav(f.wav, 12) || !Generate(f.mp3CbrXing, 12, cbr + header) ||
            !Generate(f.mp3Cbr, 12, cbr) || !Generate(f.mp3VbrXing, 12, vbr + header) ||
            !Generate(f.mp3Vbr, 12, vbr) || !Generate(f.mp3Mono, 5, vbr + header, 22050, 1) ||
            !Generate(f.longMp3, 180, vbr, 44100, 2, "ticks")) {
            qFatal("could not generate the test audio");
        }
        return f;
    }();
    return files;
}
