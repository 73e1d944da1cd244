// The open of long recordings with and without the marks they hold: a WAV
// (default three hours) before and after 500 recorder marks are appended
// after its samples, and an MP3 of the same length before and after 500
// ID3v2 chapters are put in its tag. The open timed is what the player does
// before playback: reading the marks and opening the decoder (MP3 frame
// index, WAV chunk walk). Reported: the median of 7 opens each and the ratio.
// Usage: bench_marks [minutes, default 180]
#include "engine/pcm_source.h"
#include "engine/recording_marks.h"
#include "support/bench_audio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <gst/gst.h>
#include <taglib/chapterframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <cstdio>

namespace {

constexpr int kMarks = 500;

QByteArray Le32(quint32 v) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

// Median milliseconds of opening the file as the player does; -1 when it fails.
double OpenTime(const QString& path, qsizetype expectedMarks) {
    std::vector<double> times;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer timer;
        timer.start();
        const auto marks = ReadRecordingMarks(path);
        if (OpenPcmSource(path) == nullptr || marks.size() != expectedMarks) {
            return -1;
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return Median(times);
}

bool AppendWavMarks(const QString& path, int seconds) {
    QByteArray cue = Le32(kMarks), notes = "adtl";
    for (quint32 id = 1; id <= kMarks; ++id) {
        const quint32 frame = quint32(qint64(seconds) * kBenchRate * id / (kMarks + 1));
        cue += Le32(id) + Le32(frame) + "data" + Le32(0) + Le32(0) + Le32(frame);
        const QByteArray name = "Mark " + QByteArray::number(id) + '\0';
        notes += "labl" + Le32(4 + name.size()) + Le32(id) + name + QByteArray(name.size() % 2, 0);
    }
    QFile file(path);
    return file.open(QIODevice::Append) &&
           file.write("cue " + Le32(cue.size()) + cue + "LIST" + Le32(notes.size()) + notes) > 0;
}

bool AddChapters(const QString& path, int seconds) {
    const QByteArray name = QFile::encodeName(path);
    TagLib::MPEG::File file(name.constData());
    for (int i = 0; i < kMarks; ++i) {
        const auto start = unsigned(qint64(seconds) * 1000 * i / kMarks);
        auto* title = new TagLib::ID3v2::TextIdentificationFrame("TIT2");
        title->setText(TagLib::String("Kapitel ") + TagLib::String::number(i));
        TagLib::ID3v2::FrameList titles;
        titles.append(title);
        file.ID3v2Tag(true)->addFrame(
            new TagLib::ID3v2::ChapterFrame(("c" + std::to_string(i)).c_str(), start, start + 1000,
                                            0xFFFFFFFF, 0xFFFFFFFF, titles));
    }
    return file.save();
}

void Report(const char* what, double plain, double marked) {
    std::printf("%-4s open without marks %8.1f ms, with %d marks %8.1f ms, ratio %.3f\n", what,
                plain, kMarks, marked, marked / plain);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    gst_init(&argc, &argv);
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 180;
    QTemporaryDir dir;
    const QString wav = dir.filePath("long.wav"), mp3 = dir.filePath("long.mp3");
    if (!MakeWav(wav, minutes * 60) || !MakeMp3(dir.path(), mp3, true, minutes)) {
        std::fprintf(stderr, "cannot make the recordings\n");
        return 1;
    }
    const double plainWav = OpenTime(wav, 0), plainMp3 = OpenTime(mp3, 0);
    if (!AppendWavMarks(wav, minutes * 60) || !AddChapters(mp3, minutes * 60)) {
        std::fprintf(stderr, "cannot add the marks\n");
        return 1;
    }
    Report("WAV", plainWav, OpenTime(wav, kMarks));
    Report("MP3", plainMp3, OpenTime(mp3, kMarks));
    return 0;
}
