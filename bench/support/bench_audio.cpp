#include "support/bench_audio.h"

#include "engine/decoders/mp3_length.h"

#include <QFile>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {
constexpr int kRate = kBenchRate;
}  // namespace

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double Worst(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

bool RunPipeline(const QString& description) {
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    if (pipeline == nullptr) {
        return false;
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS;
    gst_message_unref(message);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(bus);
    gst_object_unref(pipeline);
    return ok;
}

bool MakeMp3(const QString& dir, const QString& path, bool cbr, int minutes, int kbps) {
    QString segment =
        dir + (cbr ? QString("/segment-cbr%1.mp3").arg(kbps) : QString("/segment-vbr.mp3"));
    QString encoder = cbr ? QString("lamemp3enc target=bitrate bitrate=%1 cbr=true").arg(kbps)
                          : QString("lamemp3enc target=quality quality=4");
    if (!QFile::exists(segment) &&
        !RunPipeline(QString("audiotestsrc wave=ticks num-buffers=%1 samplesperbuffer=%2 ! "
                             "audio/x-raw,rate=%2,channels=2 ! %3 encoding-engine-quality=fast ! "
                             "filesink location=%4")
                         .arg(600)
                         .arg(kRate)
                         .arg(encoder, segment))) {
        return false;
    }
    QFile in(segment), out(path);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray bytes = in.readAll();
    for (int i = 0; i < (minutes + 9) / 10; ++i) {
        out.write(bytes);
    }
    return true;
}

bool AddXingHeader(const QString& from, const QString& to) {
    QFile in(from), out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray stream = in.readAll();
    auto* bytes = reinterpret_cast<const std::uint8_t*>(stream.constData());
    auto layout = ScanMp3({bytes, std::size_t(stream.size())});
    if (!layout || layout->samplesPerFrame != 1152) {
        return false;
    }
    std::uint8_t header[4];
    std::memcpy(header, bytes + layout->frameOffsets[0], 4);
    header[2] = std::uint8_t((header[2] & 0x0D) | 0x90);  // 128 kbit/s, no padding
    QByteArray frame(ParseMpegFrameHeader(header)->frameBytes, 0);
    std::memcpy(frame.data(), header, 4);
    int at = layout->channels == 1 ? 21 : 36;
    std::uint32_t fields[3] = {3, std::uint32_t(layout->frameCount),
                               std::uint32_t(stream.size() + frame.size())};
    std::memcpy(frame.data() + at, "Xing", 4);
    for (int i = 0; i < 3; ++i) {
        for (int b = 0; b < 4; ++b) {
            frame[at + 4 + 4 * i + b] = char(fields[i] >> (24 - 8 * b));
        }
    }
    return out.write(frame) == frame.size() && out.write(stream) == stream.size();
}

bool MakeWav(const QString& path, int seconds) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    auto le = [](QByteArray& b, std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            b.append(char(v >> (8 * i)));
        }
    };
    std::uint32_t dataBytes = std::uint32_t(seconds) * kRate * 4;
    QByteArray header("RIFF");
    le(header, 36 + dataBytes, 4);
    header.append("WAVEfmt ");
    for (auto [value, size] :
         {std::pair{16, 4}, {1, 2}, {2, 2}, {kRate, 4}, {kRate * 4, 4}, {4, 2}, {16, 2}}) {
        le(header, std::uint32_t(value), size);
    }
    header.append("data");
    le(header, dataBytes, 4);
    out.write(header);
    QByteArray second(kRate * 4, 0);
    auto* s = reinterpret_cast<std::int16_t*>(second.data());
    for (int i = 0; i < kRate; ++i) {
        s[2 * i] = std::int16_t(i == 0 ? 29000 : 3000 * std::sin(2 * M_PI * 440 * i / kRate));
        s[2 * i + 1] = std::int16_t(5000 * std::sin(2 * M_PI * 660 * i / kRate));
    }
    for (int i = 0; i < seconds; ++i) {
        s[2 * 100] = std::int16_t(i);  // every second differs a little
        out.write(second);
    }
    return true;
}

void PullSamples(GstElement* sink, std::vector<float>& out, std::size_t floats, GstClockTime wait) {
    while (out.size() < floats) {
        GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), wait);
        if (sample == nullptr) {
            return;
        }
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        auto* data = reinterpret_cast<const float*>(map.data);
        out.insert(out.end(), data, data + map.size / sizeof(float));
        gst_buffer_unmap(buffer, &map);
        gst_sample_unref(sample);
    }
}
