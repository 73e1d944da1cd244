#include "support/click_audio.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <bit>
#include <cmath>

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

namespace {

// Numbers as little-endian bytes: value and byte count of each.
QByteArray Le(std::initializer_list<std::pair<std::int64_t, int>> numbers) {
    QByteArray out;
    for (const auto& [value, bytes] : numbers) {
        for (int i = 0; i < bytes; ++i) {
            out.append(char(std::uint64_t(value) >> (8 * i)));
        }
    }
    return out;
}

}  // namespace

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
