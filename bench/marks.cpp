// The open of long recordings with and without the marks they hold: a WAV
// (default three hours) before and after 500 recorder marks are appended
// after its samples, and an MP3 of the same length before and after 500
// ID3v2 chapters are put in its tag. The open timed is what the player does
// before playback: reading the marks, then an engine rendering the file and
// naming its length (starting playback varies too much to be compared). Reported: the medians of 15
// opens each and their ratio. Usage: bench_marks [minutes, default 180]
#include "engine/gst_engine.h"
#include "engine/recording_marks.h"
#include "support/bench_audio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
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

struct OpenTimes {
    double open = -1;   // reading the marks, rendering the file and asking its length
    double marks = -1;  // reading the marks alone
};

// Medians of 15 opens as the player opens a recording before playback.
OpenTimes OpenTime(const QString& path, qsizetype expectedMarks) {
    std::vector<double> opens, marksOnly;
    for (int i = 0; i < 15; ++i) {
        auto engine = CreateGstEngine(gst_element_factory_make("fakesink", nullptr));
        QElapsedTimer timer;
        timer.start();
        const auto marks = ReadRecordingMarks(path);
        marksOnly.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!engine->RenderFile(path) || !engine->Duration() || marks.size() != expectedMarks) {
            return {};
        }
        opens.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return {Median(opens), Median(marksOnly)};
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

void Report(const char* what, OpenTimes plain, OpenTimes marked) {
    std::printf(
        "%-4s open without marks %7.2f ms, with %d marks %7.2f ms (reading them %6.2f ms), "
        "ratio %.3f\n",
        what, plain.open, kMarks, marked.open, marked.marks, marked.open / plain.open);
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
    const OpenTimes plainWav = OpenTime(wav, 0), plainMp3 = OpenTime(mp3, 0);
    if (!AppendWavMarks(wav, minutes * 60) || !AddChapters(mp3, minutes * 60)) {
        std::fprintf(stderr, "cannot add the marks\n");
        return 1;
    }
    std::printf("%d minutes: WAV %lld MB, MP3 %lld MB\n", minutes, QFileInfo(wav).size() >> 20,
                QFileInfo(mp3).size() >> 20);
    Report("WAV", plainWav, OpenTime(wav, kMarks));
    Report("MP3", plainMp3, OpenTime(mp3, kMarks));
    return 0;
}
