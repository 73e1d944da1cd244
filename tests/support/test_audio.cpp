#include "support/test_audio.h"

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>

#include <gst/app/gstappsink.h>

#include <random>

namespace {

// Encodes a WAV file to MP3 with GStreamer's LAME encoder.
bool EncodeMp3(const QString& wav, const QString& mp3, const QString& encoder) {
    const QString description =
        QStringLiteral(
            "filesrc location=\"%1\" ! wavparse ! audioconvert ! %2 ! filesink location=\"%3\"")
            .arg(wav, encoder, mp3);
    gst_init(nullptr, nullptr);
    g_autoptr(GstElement) pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    g_autoptr(GstBus) bus = gst_element_get_bus(pipeline);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    g_autoptr(GstMessage) end = gst_bus_timed_pop_filtered(
        bus, 120 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    gst_element_set_state(pipeline, GST_STATE_NULL);
    return end != nullptr && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
}

const QString kCbr = QStringLiteral("lamemp3enc target=bitrate bitrate=128 cbr=true");
const QString kVbr = QStringLiteral("lamemp3enc target=quality quality=4");
const QString kHeaderFrame = QStringLiteral(" ! xingmux");

}  // namespace

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

GstElement* MakeClockSink() {
    gst_init(nullptr, nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

bool WriteWav(const QString& path, int seconds, int rate, int channels, bool noise) {
    const auto bytes = quint32(seconds * rate * channels * 2);
    QFile file(path);
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    out.writeRawData("RIFF", 4);
    out << quint32(36 + bytes);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate)
        << quint32(rate * channels * 2) << quint16(channels * 2) << quint16(16);
    out.writeRawData("data", 4);
    out << bytes;
    std::minstd_rand random(7);
    for (quint32 i = 0; i < bytes / 2; ++i) {
        out << qint16(noise ? int(random() % 16001) - 8000 : i / channels % rate == 0 ? 30000 : 0);
    }
    return file.flush() && out.status() == QDataStream::Ok;
}

const TestFiles& Files() {
    static QTemporaryDir folder;
    static const TestFiles files = [] {
        const QString d = folder.path();
        const TestFiles f{d + "/noise.wav",    d + "/cbr xing.mp3", d + "/cbr.mp3",
                          d + "/vbr xing.mp3", d + "/vbr.mp3",      d + "/mono.mp3",
                          d + "/long.mp3"};
        if (!WriteWav(f.wav, 12) || !EncodeMp3(f.wav, f.mp3CbrXing, kCbr + kHeaderFrame) ||
            !EncodeMp3(f.wav, f.mp3Cbr, kCbr) ||
            !EncodeMp3(f.wav, f.mp3VbrXing, kVbr + kHeaderFrame) ||
            !EncodeMp3(f.wav, f.mp3Vbr, kVbr) || !WriteWav(d + "/mono.wav", 5, 22050, 1) ||
            !EncodeMp3(d + "/mono.wav", f.mp3Mono, kVbr + kHeaderFrame) ||
            !WriteWav(d + "/ticks.wav", 180, 44100, 2, false) ||
            !EncodeMp3(d + "/ticks.wav", f.longMp3, kVbr)) {
            qFatal("could not generate the test audio");
        }
        return f;
    }();
    return files;
}
