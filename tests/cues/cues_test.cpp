// The cue file, the cue rules and the cue list of the main window.
#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "cues/cue_marks.h"
#include "cues/cue_rules.h"
#include "cues/cue_sheet.h"
#include "engine/recording_marks.h"
#include "support/program_test.h"
#include "support/test_audio.h"

#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QThreadPool>
#include <QUrl>

// The writer frames every record and ends with an empty line; line breaks in
// titles never split a record.
TEST(CueFile, WriterFramesEveryRecordAndTheReaderTakesEveryLineOrNone) {
    EXPECT_EQ(FormatCueFile({{0, StartPointLine()}, {83, CueLine("00:01:23", "Intro")}, {-5, "x"}}),
              "[0]00:00:00 - Start Point\r\n[83]00:01:23 - Intro\r\n[-5]x\r\n\r\n");
    EXPECT_EQ(FormatCueFile({}), "\r\n");
    EXPECT_EQ(CleanCueTitle("Vers\r\n2\rx\ny\tz\u2028w\u2029"), "Vers 2 x y z w ");
    EXPECT_EQ(CleanCueTitle(QStringLiteral("a\u0000b\u0007c\u007f\u0085d ü")), "abcd ü");

    // Files from older systems (Windows-1252) and from editors that end lines
    // in LF or CR read as one record per line; a line without seconds fails
    // the file.
    using Cues = QList<CueRecord>;
    const std::pair<QByteArray, Cues> rows[] = {
        {"[1]a\n[2]b [c]\n[3]d\n\n", {{1, "a"}, {2, "b [c]"}, {3, "d"}}},
        {"\r\n[1]a\r\r\n\n[2]]b\r[3]", {{1, "a"}, {2, "]b"}, {3, ""}}},
        {"[4]00:00:04 - Gr\xfc\xdf\x65\r\n", {{4, "00:00:04 - Grüße"}}},
        {"[12", {{12, "[12"}}},
        {"#40]x\r\n[ -7 ]y", {{40, "x"}, {-7, "y"}}},
        {"[2147483647]x\n[-2147483648]y", {{2147483647, "x"}, {-2147483647 - 1, "y"}}},
        {"\r\n\n", {}}};
    for (const auto& [bytes, cues] : rows) {
        EXPECT_EQ(ParseCueFile(DecodeText(bytes)), cues) << bytes.toStdString();
    }
    for (const char* text : {"[0]ok\r\n[]00:00:10 - x\r\n", "[1]ok\r\nx\r\n", "[2147483648]x",
                             "[-2147483649]x", "[1.5]x", "[--1]x"}) {
        EXPECT_EQ(ParseCueFile(text), std::nullopt) << text;
    }
}

// Cue starts in list order: 0, 10 and 20, then one at 15 set later.
const std::vector<qint32> kStarts = {0, 10, 20, 15};

// The tick follows or loops only on the next cue's own second, or past it
// when the tick came late (a seek in between leaves no previous position).
TEST(CueRules, TheTickFollowsOrLoopsOnlyOnTheNextCuesOwnSecond) {
    using enum TickStep::Kind;
    struct Row {
        int current;
        double position;
        bool repeat, followed;
        TickStep step;
        std::optional<double> previous = std::nullopt;
    };
    const Row rows[] = {
        {0, 10.0, false, false, {kFollow, 1}},
        {0, 9.99, false, false, {}},
        {2, 15.0, false, false, {kFollow, 3}},
        {-1, 0.5, false, false, {kFollow, 0}},
        {0, 10.5, true, true, {kLoop, 0}},
        {1, 20.2, true, false, {kLoop, 1}},
        {1, 21.0, true, false, {}},
        {0, 11.0, false, false, {}},  // a seek past the start
        {0, 10.5, false, true, {}},   // latched since the last follow
        {3, 15.0, true, false, {}},   // the last section plays on to the end
        {-1, 0.5, true, false, {}},   // no current cue to go back to
        {0, 11.5, false, false, {kFollow, 1}, 9.9},
        {1, 21.5, true, false, {kLoop, 1}, 19.0},
        {0, 11.5, false, false, {}, 10.2},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(DecideTick(kStarts, r.current, r.position, r.repeat, r.followed, r.previous),
                  r.step)
            << r.current << " at " << r.position << (r.repeat ? " repeat" : "");
    }
}

TEST(CueRules, DragsJumpsAndTheNextAndPreviousLine) {
    // A drag lands in the last cue in list order starting strictly before.
    const std::pair<double, std::optional<int>> drags[] = {
        {0.9, std::nullopt}, {1.0, 0}, {10.0, 0}, {10.5, 0}, {11.0, 1}, {16.0, 3}, {25.0, 3}};
    for (const auto& [position, cue] : drags) {
        EXPECT_EQ(CueOfDrag(kStarts, position), cue) << position;
    }
    // A jump moves the cue one step at most and only past a start.
    const std::vector<qint32> starts = {0, 10, 20, 30};
    const std::tuple<int, int, double, std::optional<int>> jumps[] = {
        {0, 2, 10.9, std::nullopt},  // on the next cue's second
        {0, 2, 11.0, 1},
        {0, 20, 35.0, 1},             // past three starts: one step
        {3, 20, 60.0, std::nullopt},  // no cue after the last
        {-1, 2, 1.0, 0},
        {2, -2, 20.0, std::nullopt},  // on the current cue's second
        {2, -2, 19.9, 1},
        {3, -20, 5.0, 2},
        {0, -10, 0.0, std::nullopt},  // no cue before the first
        {1, -10, 15.0, std::nullopt},
    };
    for (const auto& [current, seconds, position, cue] : jumps) {
        EXPECT_EQ(CueAfterJump(starts, current, seconds, position), cue)
            << current << " by " << seconds << " to " << position;
    }
    // Next stops on the last line, Previous stays on the first.
    EXPECT_EQ(std::vector({NextLine(2, 4), NextLine(3, 4), NextLine(-1, 4), NextLine(-1, 0)}),
              std::vector<std::optional<int>>({3, std::nullopt, 0, std::nullopt}));
    EXPECT_EQ(std::vector({PreviousLine(3), PreviousLine(0), PreviousLine(-1)}),
              std::vector({2, 0, 0}));
}

// a.mp3, 35 seconds long, with the four cue points, open and playing.
class CueList : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        OpenWithCues("a.mp3", 35, kFourCues);
    }
    QByteArray CueFile() const { return ReadBytes(PathOf("a.cue")); }
    // Selects a line (-1: none) and clicks a button there.
    void Click(int line, QPushButton* button, int times = 1) {
        window_->lstCue->SetListIndex(line);
        for (int i = 0; i < times; ++i) {
            button->click();
        }
    }
    // Selects a line (-1: none) and presses Enter in the title box with a title.
    void Retitle(int line, const QString& title) {
        window_->lstCue->SetListIndex(line);
        window_->txtCueTitle->SetTitle(title);
        QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    }
};

// New cues show the cut time and keep the rounded seconds, whatever was
// pasted; every edit is written at once, legacy while every character fits.
TEST_F(CueList, EditsAreWrittenAtOnceAndReadBackAtTheNextStart) {
    const QString longTitle(40000, u'x');
    for (const auto& [position, title] :
         {std::pair{23.6, QString("Bri\r\ndge\a")}, {22.5, longTitle + "\nEnde"}}) {
        Engine()->SetCurrentPosition(position);
        Play(0);
        QApplication::clipboard()->setText(title);
        window_->txtCueTitle->selectAll();
        window_->txtCueTitle->paste();
        window_->cmdCue1->click();
    }
    window_->lstCue->SetListIndex(4);
    QTest::keyClicks(window_->txtCueTitle, "!");
    EXPECT_EQ(window_->lstCue->List(4), "00:00:23 - Bri dge");  // typing alone retitles nothing
    Retitle(4, "Grüße");
    Click(1, window_->Command2, 12);  // stops at 0
    Click(2, window_->Command3, 16);  // stops at the end, past the line at 30
    EXPECT_EQ(window_->lstCue->ListIndex(), 2);
    EXPECT_EQ(std::pair(Engine()->CurrentPosition().value_or(-1), window_->H1->Value()),
              std::pair(35.0, 35));
    const QString cues =
        "[0]00:00:00 - Vers\r\n[35]00:00:35 - Refrain\r\n[30]00:00:30\r\n[24]00:00:23 - Grüße\r\n"
        "[22]00:00:22 - " +
        longTitle + " Ende\r\n\r\n";
    EXPECT_EQ(CueFile(), ("[0]00:00:00 - Start Point\r\n" + cues).toLatin1());
    Retitle(0, "Припев");
    EXPECT_EQ(CueFile(), ("[0]00:00:00 - Припев\r\n" + cues).toUtf8());

    const auto before = Cues();
    Restart();
    Open("a.mp3");
    EXPECT_EQ(Cues(), before);
    EXPECT_TRUE(messages_.texts().isEmpty());
}

// The popup menu opens for the right button while a line after the start is
// selected, wherever the pointer is, and acts on that line.
TEST_F(CueList, ThePopupMenuRemovesAndEditsTheSelectedLine) {
    window_->show();
    ListBox* list = window_->lstCue;
    const QPoint overLine3 = list->visualItemRect(list->item(3)).center();
    for (const auto& [line, button] :
         {std::pair{0, Qt::RightButton}, {2, Qt::LeftButton}, {2, Qt::RightButton}}) {
        list->SetListIndex(line);
        QTest::mouseClick(list->viewport(), button, {}, overLine3);
        EXPECT_EQ(window_->mnuPop->isVisible(), line == 2 && button == Qt::RightButton) << line;
    }
    window_->mnuRemCue->trigger();
    window_->mnuPop->hide();
    EXPECT_EQ(list->ListIndex(), 1);  // the line above
    window_->mnuEdit->trigger();
    EXPECT_EQ(window_->txtCueTitle->Title(), "Vers");
    list->SetListIndex(0);
    window_->mnuRemCue->trigger();
    EXPECT_EQ(list->ListIndex(), -1);

    // Without a selected line no edit changes anything.
    Click(-1, window_->Command2);
    Click(-1, window_->Command3);
    window_->mnuRemCue->trigger();
    Retitle(-1, "x");
    EXPECT_EQ(CueFile(), "[10]00:00:10 - Vers\r\n[30]00:00:30\r\n\r\n");
    EXPECT_EQ(Cues().size(), 2);
}

using CueSaving = ProgramTest;

// The cue file is written only from a list that came from it, and a failed
// write is reported.
TEST_F(CueSaving, NothingIsWrittenBeforeAnOpenOrAfterAFailedOne) {
    window_->cmdCue1->click();
    const QByteArray damaged = "[0]00:00:00 - Start Point\r\n[]00:00:10 - x\r\n";
    AddRecording("a.mp3", 600, &damaged);
    Open("a.mp3");
    window_->cmdCue1->click();
    EXPECT_EQ(ReadBytes(PathOf("a.cue")), damaged);
    EXPECT_EQ(messages_.texts(), QStringList(2, kCueWriteError));

    AddRecording("b.mp3", 600);
    Open("b.mp3");
    ASSERT_TRUE(QDir(music_.path()).removeRecursively());
    window_->cmdCue1->click();
    EXPECT_EQ(messages_.texts(), QStringList(3, kCueWriteError));
    EXPECT_EQ(Cues().size(), 2);  // the list keeps the edit
}

// CUE sheets beside a recording read as cue points and stay sheets.
using Cues = QList<CueRecord>;

const QString kSheet =
    "REM GENRE Rock\r\nPERFORMER \"Die Möwen\"\r\nTITLE \"Live im Saal\"\r\n"
    "FILE \"Konzert.wav\" WAVE\r\n"
    "  TRACK 01 AUDIO\r\n    TITLE \"Intro\"\r\n    INDEX 01 00:00:00\r\n"
    "  TRACK 02 AUDIO\r\n    TITLE \"Lied \"zwei\"\"\r\n    FLAGS DCP\r\n"
    "    INDEX 00 01:20:50\r\n    INDEX 01 01:23:37\r\n"
    "  TRACK 03 AUDIO\r\n    INDEX 01 03:05:74\r\n";
const Cues kListed = {
    {0, "00:00:00 - Intro"}, {83, "00:01:23 - Lied \"zwei\""}, {185, "00:03:05 - "}};

// The list after one edit, and the text that replaces a part of the sheet.
struct Edit {
    Cues cues;
    QString was, now;
};

// Each edit rewrites only its own track's lines; the others, REM, FILE and
// PERFORMER lines, the line ends and the encoding stay byte for byte.
TEST(CueSheet, EditsChangeOnlyTheirOwnTrack) {
    const Edit edits[] = {
        {{kListed[0], {83, "00:01:23 - Zugabe"}, kListed[2]}, "\"Lied \"zwei\"\"", "\"Zugabe\""},
        {{kListed[0], {84, "00:01:24 - Lied \"zwei\""}, kListed[2]}, "01 01:23:37", "01 01:24:00"},
        {{kListed[0], {80, "00:01:20 - Lied \"zwei\""}, kListed[2]},
         "    INDEX 00 01:20:50\r\n    INDEX 01 01:23:37",
         "    INDEX 01 01:20:00"},
        {{kListed[0], kListed[1], {185, "00:03:05 - Schluss"}},
         "03 AUDIO\r\n",
         "03 AUDIO\r\n    TITLE \"Schluss\"\r\n"},
        {{kListed[0], kListed[2]},
         "  TRACK 02 AUDIO\r\n    TITLE \"Lied \"zwei\"\"\r\n    FLAGS DCP\r\n"
         "    INDEX 00 01:20:50\r\n    INDEX 01 01:23:37\r\n",
         ""},
        {kListed + Cues{{4000, "01:06:40 - Neu"}}, "03:05:74\r\n",
         "03:05:74\r\n  TRACK 04 AUDIO\r\n    TITLE \"Neu\"\r\n    INDEX 01 66:40:00\r\n"},
    };
    for (const bool crlf : {true, false}) {
        const auto lines = [crlf](QString text) {
            return crlf ? text : text.replace("\r\n", "\n");
        };
        // Windows-1252 with CR LF, UTF-8 with a byte-order mark and LF.
        const auto bytes = [crlf](const QString& text) {
            return crlf ? EncodeText(text) : "\xEF\xBB\xBF" + text.toUtf8();
        };
        const std::optional<CueSheet> sheet = ParseCueSheet(bytes(lines(kSheet)));
        ASSERT_TRUE(sheet);
        EXPECT_EQ(ListedCues(*sheet), kListed);
        EXPECT_EQ(FormatCueSheet(UpdateCueSheet(*sheet, kListed)), bytes(lines(kSheet)));
        for (const Edit& edit : edits) {
            ASSERT_TRUE(kSheet.contains(edit.was)) << edit.was.toStdString();
            EXPECT_EQ(FormatCueSheet(UpdateCueSheet(*sheet, edit.cues)),
                      bytes(lines(QString(kSheet).replace(edit.was, edit.now))));
        }
    }
}

TEST(CueSheet, TellsSheetsFromOurFilesAndRefusesDamagedOnes) {
    for (const char* text :
         {"REM x\r\n", "\n\n  file \"a.wav\" WAVE", "TITLE x", "TRACK 01 AUDIO"}) {
        EXPECT_TRUE(LooksLikeCueSheet(text)) << text;
    }
    for (const char* text : {"[0]00:00:00 - Start Point\r\n", "", "Remix", "[1]REM"}) {
        EXPECT_FALSE(LooksLikeCueSheet(text)) << text;
    }
    for (const char* text :
         {"FILE a WAVE\nTRACK 01 AUDIO\nTITLE x\n",
          "FILE a WAVE\nTRACK 01 AUDIO\nINDEX 01 00:60:00", "TRACK 01 AUDIO\nINDEX 01 00:00:75",
          "TRACK 01 AUDIO\nINDEX 01 0:0", "INDEX 01 00:00:00",
          "TRACK 1 AUDIO\nINDEX 00 00:00:00\nTRACK 2 AUDIO\nINDEX 01 00:00:00"}) {
        EXPECT_EQ(ParseCueSheet(text), std::nullopt) << text;
    }
    const CueSheet two =
        ParseCueSheet(
            "FILE a WAVE\nTRACK 1 AUDIO\nINDEX 01 00:00:00\nFILE b WAVE\nTRACK 2 AUDIO\n"
            "TITLE bare\nINDEX 01 00:00:00\nINDEX 01 00:09:00")
            .value();
    EXPECT_EQ(two.files, 2);
    EXPECT_EQ(ListedCues(two), (Cues{{0, "00:00:00 - "}, {0, "00:00:00 - bare"}}));
}

// Marks a recording holds, label files and drops.
using Marks = QList<std::pair<double, QString>>;

QByteArray Chunk(const char* id, const QByteArray& body) {
    return id + Le({{body.size(), 4}}) + body + QByteArray(body.size() % 2, '\0');
}

// A second of 8 kHz mono WAV with marks out of time order at 100 s (named
// in a legacy code page), 0.4 s, 1.5 s (unnamed) and 1 s (in UTF-8), its cue
// and LIST chunks in either order, before or after the samples.
QByteArray MarkedWav(bool cueFirst) {
    QByteArray cue = Le({{4, 4}}), list = "adtl";
    for (auto [id, frame, name] : {std::tuple{9u, 800000u, "Caf\xe9"},
                                   {6u, 3200u, "Null"},
                                   {8u, 12000u, ""},
                                   {7u, 8000u,
                                    "Gr\xc3\xbc\xc3\x9f"
                                    "e"}}) {
        cue += Le({{id, 4}, {frame, 4}}) + "data" + Le({{0, 4}, {0, 4}, {frame, 4}});
        list += *name ? Chunk("labl", Le({{id, 4}}) + name + QByteArray(1, '\0')) : QByteArray();
    }
    const QByteArray marks = cueFirst ? Chunk("cue ", cue) + Chunk("LIST", list)
                                      : Chunk("LIST", list) + Chunk("cue ", cue);
    const QByteArray data = Chunk("fmt ", QByteArray::fromHex("01000100401f0000803e000002001000")) +
                            (cueFirst ? marks : QByteArray()) + Chunk("data", QByteArray(16000, 1));
    return "RIFF" + Le({{0, 4}}) + "WAVE" + data + (cueFirst ? QByteArray() : marks);
}

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

// The marks follow the start point in time order at their cut seconds, those
// within the first second left to it, as the file holds them at the open;
// nothing is written until the first edit, which writes our own cue file.
TEST_F(CueImport, AMarkedRecordingListsItsMarks) {
    AddRecording("take.wav", 120);
    window_->lstPath->SetListIndex(Lines(window_->lstPath).indexOf("take.wav"));
    QThreadPool::globalInstance()->waitForDone();  // read ahead while empty
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
        WriteFile(PathOf("labels.txt"),
                  "5.4\t5.4\tEins\n\\\t1\t2\nbad line\n-1\t0\tneg\n60,6\t70\tZwei\t2\r\n");
    Drop(labels, window_->cmdPlay1);  // only the cue list takes labels
    EXPECT_EQ(ReadBytes(PathOf("a.cue")), kFourCues);
    Drop(labels, window_->lstCue);
    EXPECT_EQ(ReadBytes(PathOf("a.cue")),
              kFourCues.chopped(2) + "[5]00:00:05 - Eins\r\n[61]00:01:00 - Zwei 2\r\n\r\n");
    EXPECT_EQ(window_->lstCue->ListIndex(), 5);
    ASSERT_TRUE(QDir(PathOf("")).mkdir("sub"));
    const QString take = PathOf("sub/take.wav");
    control_->lengths[take] = 120;
    Drop(WriteFile(take, MarkedWav(true)), window_->lstCue);
    EXPECT_EQ(window_->currentFile, take);
    EXPECT_EQ(Cues().size(), 4);
}
