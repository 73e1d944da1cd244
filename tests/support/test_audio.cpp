#include "support/test_audio.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gst/app/gstappsink.h>

#include <bit>
#include <cmath>

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

std::vector<float> ClickSignal() {
    std::vector<float> out(std::size_t(kClickRate) * kClickSeconds * 2);
    for (std::size_t i = 0; i < out.size() / 2; ++i) {
        const float tone = 0.05f * float(std::sin(double(i) * 2 * M_PI * 441.3 / kClickRate));
        const bool click = i % kClickRate == 0;
        out[2 * i] = click ? 0.9f : tone;
        out[2 * i + 1] = click ? -0.45f : tone;
    }
    return out;
}

QByteArray Le(std::initializer_list<std::pair<std::int64_t, int>> numbers) {
    QByteArray out;
    for (const auto& [value, bytes] : numbers) {
        for (int i = 0; i < bytes; ++i) {
            out.append(char(std::uint64_t(value) >> (8 * i)));
        }
    }
    return out;
}

QByteArray WavBytes(const std::vector<float>& stereo, const WavLayout& l) {
    const int align = l.channels * l.bits / 8, tag = l.isFloat ? 3 : 1;
    QByteArray fmt = Le({{l.extensible ? 0xFFFE : tag, 2},
                         {l.channels, 2},
                         {kClickRate, 4},
                         {kClickRate * align, 4},
                         {align, 2},
                         {l.bits, 2}});
    if (l.extensible) {
        fmt += Le({{22, 2}, {l.bits, 2}, {0, 4}, {tag, 2}}) + QByteArray(14, '\x10');
    }
    QByteArray data;
    for (std::size_t i = 0; i < stereo.size(); i += 2) {
        for (int c = 0; c < l.channels; ++c) {
            const float v = stereo[i + std::size_t(std::min(c, 1))];
            const std::int64_t word =
                !l.isFloat
                    ? std::llround(double(v) * double(1LL << (l.bits - 1))) + (l.bits == 8) * 128
                : l.bits == 32 ? std::bit_cast<std::uint32_t>(v)
                               : std::bit_cast<std::int64_t>(double(v));
            data += Le({{word, l.bits / 8}});
        }
    }
    QByteArray out = (l.rf64 ? "RF64" : "RIFF") + Le({{l.rf64 ? 0xFFFFFFFF : 0, 4}}) + "WAVE";
    if (l.rf64) {
        out += "ds64" + Le({{28, 4}, {0, 8}, {data.size(), 8}, {0, 8}, {0, 4}});
    }
    out += "fmt " + Le({{fmt.size(), 4}}) + fmt;
    if (l.chunkBefore > 0) {  // padded to an even size
        out += "bext" + Le({{l.chunkBefore, 4}}) + QByteArray(l.chunkBefore + l.chunkBefore % 2, 0);
    }
    out += "data" + Le({{l.rf64 ? 0xFFFFFFFF : l.sizeZero ? 0 : data.size(), 4}}) + data;
    return l.rf64 ? out + "LIST" + Le({{4, 4}}) + "INFO" : out;  // a chunk after the samples
}

const std::vector<ClickFile>& ClickFiles() {
    static QTemporaryDir folder;
    static const std::vector<ClickFile> files = [] {
        const QString source = WriteFile(folder.filePath("clicks.wav"),
                                         WavBytes(ClickSignal(), {.bits = 32, .isFloat = true}));
        const std::vector<std::pair<ClickFile, QStringList>> encodings = {
            {{"FLAC", "clicks.flac", 1e-5f}, {"-c:a", "flac"}},
            {{"Vorbis", "clicks.ogg", 1}, {"-c:a", "libvorbis", "-q:a", "6"}},
            {{"Opus", "clicks.opus", 1}, {"-c:a", "libopus", "-b:a", "160k"}},
            {{"AAC", "clicks.m4a", 1}, {"-c:a", "aac", "-b:a", "192k"}},
            {{"ALAC", "clicks alac.m4a", 1e-5f}, {"-c:a", "alac"}}};
        std::vector<ClickFile> out;
        for (auto [file, arguments] : encodings) {
            file.path = folder.filePath(file.path);
            arguments =
                QStringList{"-v", "error", "-y", "-i", source} + arguments + QStringList{file.path};
            if (QProcess::execute(QStringLiteral("ffmpeg"), arguments) != 0) {
                qFatal("could not encode the click sound");
            }
            out.push_back(file);
        }
        return out;
    }();
    return files;
}

std::vector<float> ReadFrames(PcmSource& source, std::int64_t frames) {
    std::vector<float> out, block(std::size_t(4096 * source.Channels()));
    for (std::int64_t got = 1; got > 0 && frames > 0; frames -= got) {
        got = source.Read(block.data(), std::min<std::int64_t>(frames, 4096));
        out.insert(out.end(), block.begin(), block.begin() + got * source.Channels());
    }
    return out;
}

QString WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("could not write %s", qPrintable(path));
    }
    return path;
}
