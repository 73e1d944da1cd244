#include "cues/cue_marks.h"
#include "engine/recording_marks.h"
#include "support/click_audio.h"
#include "support/program_test.h"
#include "ui/list_box.h"
#include "ui/title_box.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtEndian>

#include <gtest/gtest.h>

using Marks = QList<std::pair<double, QString>>;

namespace {

QByteArray Le32(quint32 v) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

QByteArray Chunk(const char* id, const QByteArray& body) {
    return id + Le32(body.size()) + body + QByteArray(body.size() % 2, '\0');
}

// A second of 8 kHz mono WAV with marks out of time order at 100 s (named
// in a legacy code page), 0.4 s, 1.5 s (unnamed) and 1 s (in UTF-8), its cue
// and LIST chunks in either order, before or after the samples.
QByteArray MarkedWav(bool cueFirst) {
    QByteArray cue = Le32(4), list = "adtl";
    for (auto [id, frame, name] : {std::tuple{9u, 800000u, "Caf\xe9"},
                                   {6u, 3200u, "Null"},
                                   {8u, 12000u, ""},
                                   {7u, 8000u,
                                    "Gr\xc3\xbc\xc3\x9f"
                                    "e"}}) {
        cue += Le32(id) + Le32(frame) + "data" + Le32(0) + Le32(0) + Le32(frame);
        list += *name ? Chunk("labl", Le32(id) + name + QByteArray(1, '\0')) : QByteArray();
    }
    const QByteArray marks = cueFirst ? Chunk("cue ", cue) + Chunk("LIST", list)
                                      : Chunk("LIST", list) + Chunk("cue ", cue);
    const QByteArray data = Chunk("fmt ", QByteArray::fromHex("01000100401f0000803e000002001000")) +
                            (cueFirst ? marks : QByteArray()) + Chunk("data", QByteArray(16000, 1));
    return "RIFF" + Le32(0) + "WAVE" + data + (cueFirst ? QByteArray() : marks);
}

}  // namespace

TEST(RecordingMarks, EachFormatGivesItsMarks) {
    QTemporaryDir folder;
    const Marks wav = {{100, "Café"}, {0.4, "Null"}, {1.5, ""}, {1, "Grüße"}};
    for (const bool cueFirst : {true, false}) {
        EXPECT_EQ(ReadRecordingMarks(WriteFile(folder.filePath("m.wav"), MarkedWav(cueFirst))),
                  wav);
    }
    // Chapters as ffmpeg's muxers write them (ID3v2 CHAP frames, Xiph
    // comments, MP4 chapters); FLAC and Vorbis get the comments by hand.
    const QString meta =
        WriteFile(folder.filePath("meta"),
                  ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=1250\n"
                  "title=Anfang\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=1250\nEND=3000\n"
                  "title=Grüße\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=3000\nEND=4000\n");
    const QStringList comments = {
        "-metadata", "CHAPTER001=0:00:00.000", "-metadata", "CHAPTER001NAME=Anfang",
        "-metadata", "CHAPTER002=00:00:01.25", "-metadata", "CHAPTER002NAME=Grüße",
        "-metadata", "CHAPTER003=00:03",       "-metadata", "CHAPTER004=bald"};
    for (const char* name : {"a.mp3", "a.flac", "a.ogg", "a.opus", "a.m4a"}) {
        const QString path = folder.filePath(name);
        ASSERT_EQ(
            QProcess::execute(
                "ffmpeg",
                QStringList{"-v", "error", "-y", "-f", "lavfi", "-i", "anullsrc=d=4", "-i", meta,
                            "-map", "0", "-map_chapters", "1"} +
                    (path.endsWith("flac") || path.endsWith("ogg") ? comments : QStringList()) +
                    QStringList{path}),
            0);
        EXPECT_EQ(ReadRecordingMarks(path), (Marks{{0, "Anfang"}, {1.25, "Grüße"}, {3, ""}}))
            << name;
    }
}

TEST(LabelFile, PointAndRangeLabelsWithoutFrequenciesOrBadLines) {
    EXPECT_EQ(
        ParseLabelFile("0.000000\t0.000000\tIntro\r\n\\\t200.0\t4000.0\n12,5\t14.0\tA range\t2\n"
                       "83.6\t83.6\nbad line\n-1\t0\tneg\n7\n\t\t\nx1\t2\t3\r"),
        (Marks{{0, "Intro"}, {12.5, "A range 2"}, {83.6, ""}}));
}

namespace {

using Listed = QList<std::pair<qint32, QString>>;
const Listed kStartOnly = {{0, "00:00:00 - Start Point"}};

class CueImport : public ProgramTest {
protected:
    // Drags a file onto a control of the window and drops it there.
    void Drop(const QString& path, QWidget* on) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = on->mapTo(window_.get(), on->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window_.get(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window_.get(), &drop);
    }
};

}  // namespace

// The marks follow the start point in time order at their cut seconds, those
// within the first second left to it; nothing is written until the first
// edit, which writes our own cue file.
TEST_F(CueImport, AMarkedRecordingListsItsMarks) {
    AddRecording("take.wav", 120);
    WriteBytes(PathOf("take.wav"), MarkedWav(false));
    Open("take.wav");
    ASSERT_NE(Engine(), nullptr);
    EXPECT_EQ(Cues(),
              (kStartOnly +
               Listed{{1, "00:00:01 - Grüße"}, {1, "00:00:01 - "}, {100, "00:01:40 - Café"}}));
    EXPECT_FALSE(QFile::exists(PathOf("take.cue")));
    window_->lstCue->SetListIndex(2);
    window_->Command3->click();
    EXPECT_EQ(ReadBytes(PathOf("take.cue")),
              "[0]00:00:00 - Start Point\r\n[1]00:00:01 - Gr\xfc\xdf"
              "e\r\n[2]00:00:02 - \r\n[100]00:01:40 - Caf\xe9\r\n\r\n");
}

// An edit keeps a sheet a sheet; a sheet for several files or a damaged one
// lets the recording play from the start point and is never written.
TEST_F(CueImport, SheetsStaySheetsOrStayUntouched) {
    const QByteArray sheet =
        "REM DATE 2019\r\nFILE \"live.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n    TITLE \"Auf\"\r\n"
        "    INDEX 01 00:00:00\r\n  TRACK 02 AUDIO\r\n    TITLE \"Ab\"\r\n    INDEX 01 "
        "00:42:10\r\n";
    OpenWithCues("live.wav", 300, sheet);
    EXPECT_EQ(Cues(), (Listed{{0, "00:00:00 - Auf"}, {42, "00:00:42 - Ab"}}));
    window_->lstCue->SetListIndex(1);
    window_->txtCueTitle->SetTitle("Abgang");
    QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    EXPECT_EQ(ReadBytes(PathOf("live.cue")), QByteArray(sheet).replace("\"Ab\"", "\"Abgang\""));
    for (const QByteArray& kept :
         {sheet + "FILE \"b.wav\" WAVE\r\n  TRACK 03 AUDIO\r\n    INDEX 01 00:00:00\r\n",
          sheet + "  TRACK 03 AUDIO\r\n"}) {
        OpenWithCues("live.wav", 300, kept);
        EXPECT_EQ(Cues(), kStartOnly);
        window_->cmdCue1->click();
        EXPECT_EQ(ReadBytes(PathOf("live.cue")), kept);
        ASSERT_FALSE(messages_.texts().isEmpty());
        EXPECT_EQ(messages_.texts().back(), kCueWriteError);
    }
}

TEST_F(CueImport, DroppedLabelsBecomeCuesAndDroppedRecordingsOpen) {
    OpenWithCues("a.mp3", 100, kFourCues);
    const QString labels =
        WriteFile(PathOf("labels.txt"), "5.4\t5.4\tEins\n\\\t1\t2\n60.6\t70\tZwei\n");
    Drop(labels, window_->cmdPlay1);  // only the cue list takes labels
    EXPECT_EQ(ReadBytes(PathOf("a.cue")), kFourCues);
    Drop(labels, window_->lstCue);
    EXPECT_EQ(ReadBytes(PathOf("a.cue")),
              kFourCues.chopped(2) + "[5]00:00:05 - Eins\r\n[61]00:01:00 - Zwei\r\n\r\n");
    EXPECT_EQ(window_->lstCue->ListIndex(), 5);
    ASSERT_TRUE(QDir(PathOf("")).mkdir("sub"));
    const QString take = PathOf("sub/take.wav");
    control_->lengths[take] = 120;
    Drop(WriteFile(take, MarkedWav(true)), window_->lstCue);
    EXPECT_EQ(window_->currentFile, take);
    EXPECT_EQ(Cues().size(), 4);
}
