// The cue file, the cue rules and the cue list of the main window.
#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "cues/cue_rules.h"
#include "support/program_test.h"

#include <QClipboard>
#include <QMenu>

// The writer frames every record and ends with an empty line; line breaks in
// titles never split a record.
TEST(CueFile, WriterFramesEveryRecord) {
    EXPECT_EQ(FormatCueFile({{0, StartPointLine()}, {83, CueLine("00:01:23", "Intro")}, {-5, "x"}}),
              "[0]00:00:00 - Start Point\r\n[83]00:01:23 - Intro\r\n[-5]x\r\n\r\n");
    EXPECT_EQ(FormatCueFile({}), "\r\n");
    EXPECT_EQ(CleanCueTitle("Vers\r\n2\rx\ny\tz\u2028w\u2029"), "Vers 2 x y z w ");
    EXPECT_EQ(CleanCueTitle(QStringLiteral("a\u0000b\u0007c\u007f\u0085d ü")), "abcd ü");
}

// Files from older systems (Windows-1252) and from editors that end lines in
// LF or CR read as one record per line; a line without seconds fails the file.
TEST(CueFile, ReaderTakesEveryLineOrNone) {
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
