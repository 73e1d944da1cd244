#include "support/click_audio.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

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

void Put(QByteArray& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.append(char(value >> (8 * i)));
    }
}

void PutSample(QByteArray& out, float v, const WavLayout& l) {
    if (l.isFloat && l.bits == 32) {
        out.append(reinterpret_cast<const char*>(&v), 4);
    } else if (l.isFloat) {
        const double d = v;
        out.append(reinterpret_cast<const char*>(&d), 8);
    } else if (l.bits == 8) {
        Put(out, std::uint64_t(std::lround(v * 128) + 128), 1);
    } else {
        Put(out, std::uint64_t(std::llround(double(v) * double(1LL << (l.bits - 1)))), l.bits / 8);
    }
}

}  // namespace

QByteArray WavBytes(const std::vector<float>& stereo, const WavLayout& l) {
    const int align = l.channels * l.bits / 8;
    QByteArray fmt;
    Put(fmt, l.extensible ? 0xFFFE : l.isFloat ? 3 : 1, 2);
    Put(fmt, l.channels, 2);
    Put(fmt, kClickRate, 4);
    Put(fmt, kClickRate * align, 4);
    Put(fmt, align, 2);
    Put(fmt, l.bits, 2);
    if (l.extensible) {
        Put(fmt, 22, 2);
        Put(fmt, l.bits, 2);
        Put(fmt, 0, 4);
        Put(fmt, l.isFloat ? 3 : 1, 2);
        fmt.append(14, '\x10');
    }
    QByteArray data;
    for (std::size_t i = 0; i < stereo.size(); i += 2) {
        for (int c = 0; c < l.channels; ++c) {
            PutSample(data, stereo[i + std::size_t(std::min(c, 1))], l);
        }
    }
    QByteArray out = l.rf64 ? "RF64" : "RIFF";
    Put(out, l.rf64 ? 0xFFFFFFFF : 0, 4);
    out += "WAVE";
    if (l.rf64) {
        out += "ds64";
        Put(out, 28, 4);
        Put(out, 0, 8);
        Put(out, std::uint64_t(data.size()), 8);
        Put(out, 0, 12);
    }
    out += "fmt ";
    Put(out, std::uint64_t(fmt.size()), 4);
    out += fmt;
    if (l.chunkBefore > 0) {
        out += "bext";
        Put(out, std::uint64_t(l.chunkBefore), 4);
        out.append(l.chunkBefore + l.chunkBefore % 2, '\0');  // padded to even
    }
    out += "data";
    Put(out, l.rf64 ? 0xFFFFFFFF : l.sizeZero ? 0 : std::uint64_t(data.size()), 4);
    out += data;
    if (l.rf64) {
        out += QByteArray("LIST\4\0\0\0INFO", 12);  // a chunk after the samples
    }
    return out;
}

const std::vector<ClickFile>& ClickFiles() {
    static QTemporaryDir folder;
    static const std::vector<ClickFile> files = [] {
        const QString source = folder.filePath(QStringLiteral("clicks.wav"));
        QFile wav(source);
        if (!wav.open(QIODevice::WriteOnly) ||
            !wav.write(WavBytes(ClickSignal(), {.bits = 32, .isFloat = true}))) {
            qFatal("could not write the click sound");
        }
        wav.close();
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
