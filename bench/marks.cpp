// The open of long recordings with and without the marks they hold: a WAV
// (default three hours) and a copy with 500 recorder marks appended after its
// samples, an MP3 of the same length and a copy with 500 ID3v2 chapters in
// its tag. Timed is the player's own open, from the double-click on the
// entry to the start of playback (the marks are listed by then), alternating
// between the plain and the marked file in one window, with the double-click's
// first click a fifth of a second before it and at the same moment (as for a
// file named at start-up or dropped). Reported: the medians of 15 opens each,
// their ratio, and the time reading the marks alone takes.
// Usage: bench_marks [minutes, default 180]
#include "engine/gst_engine.h"
#include "engine/recording_marks.h"
#include "support/bench_audio.h"
#include "support/bench_window.h"
#include "ui/list_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

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

// Medians of 15 opens of each file through the window, a double-click's
// first click `clickMs` before it, and of reading the marked file's marks
// alone. False when an open fails or misses marks.
bool Compare(const char* what, const QString& folder, const QString& plain, const QString& marked,
             int clickMs) {
    BenchWindow window(folder);
    std::vector<double> plainMs, markedMs, readMs;
    for (int i = 0; i < 15; ++i) {
        plainMs.push_back(window.Open(plain, clickMs));
        markedMs.push_back(window.Open(marked, clickMs));
        if (plainMs.back() < 0 || markedMs.back() < 0 ||
            window.window->lstCue->ListCount() < kMarks) {
            std::fprintf(stderr, "%s: the open failed or missed marks\n", what);
            return false;
        }
        QElapsedTimer timer;
        timer.start();
        ReadRecordingMarks(folder + QLatin1Char('/') + marked);
        readMs.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf(
        "%-4s click %3d ms before: open without marks %6.2f ms, with %d marks %6.2f ms, "
        "ratio %.3f (reading them alone %.2f ms)\n",
        what, clickMs, Median(plainMs), kMarks, Median(markedMs),
        Median(markedMs) / Median(plainMs), Median(readMs));
    return true;
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

}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QApplication> app = StartWindowBench(argc, argv);
    if (!app) {
        return 1;
    }
    const int minutes = argc > 1 ? std::atoi(argv[1]) : 180;
    QTemporaryDir dir;
    const auto path = [&dir](const char* name) { return dir.filePath(QLatin1String(name)); };
    if (!MakeWav(path("plain.wav"), minutes * 60) ||
        !MakeMp3(dir.path(), path("plain.mp3"), true, minutes) ||
        !QFile::copy(path("plain.wav"), path("marked.wav")) ||
        !QFile::copy(path("plain.mp3"), path("marked.mp3")) ||
        !AppendWavMarks(path("marked.wav"), minutes * 60) ||
        !AddChapters(path("marked.mp3"), minutes * 60)) {
        std::fprintf(stderr, "cannot make the recordings\n");
        return 1;
    }
    std::printf("%d minutes: WAV %lld MB, MP3 %lld MB\n", minutes,
                QFileInfo(path("plain.wav")).size() >> 20,
                QFileInfo(path("plain.mp3")).size() >> 20);
    // A double-click's second click comes a fifth of a second after the first
    // one; a file named at start-up or dropped opens at once.
    bool ok = true;
    for (const int clickMs : {200, 0}) {
        for (const char* kind : {"WAV", "MP3"}) {
            const QString extension = QString::fromLatin1(kind).toLower();
            ok = ok &&
                 Compare(kind, dir.path(), "plain." + extension, "marked." + extension, clickMs);
        }
    }
    return ok ? 0 : 1;
}
