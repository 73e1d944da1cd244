#include "support/program_test.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

using Cue = std::pair<qint32, QString>;
using CueSaving = ProgramTest;

// a.mp3, 35 seconds long, with the four cue points, open and playing.
class CueList : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        OpenWithCues(QStringLiteral("a.mp3"), 35, kFourCues);
    }
    QByteArray CueFile() const { return ReadBytes(PathOf(QStringLiteral("a.cue"))); }
    void Select(int line) { window_->lstCue->SetListIndex(line); }
    void Retitle(const QString& title) {
        window_->txtCueTitle->SetTitle(title);
        QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    }
};

}  // namespace

// The list shows the cut time; the cue keeps the rounded seconds and its time
// text, also when retitled. Files are legacy text while every character fits.
TEST_F(CueList, NewCuesAndTitlesAreWrittenExactly) {
    for (const double position : {23.6, 22.5}) {
        Engine()->SetCurrentPosition(position);
        Play(0);
        window_->txtCueTitle->SetTitle(QStringLiteral("Bridge"));
        window_->cmdCue1->click();
    }
    EXPECT_EQ(window_->lstCue->ListIndex(), 5);
    Select(4);
    QTest::keyClicks(window_->txtCueTitle, QStringLiteral("!"));
    EXPECT_EQ(Cues()[4], Cue(24, QStringLiteral("00:00:23 - Bridge")));  // not before Enter
    Retitle(QStringLiteral("Grüße"));
    EXPECT_EQ(Cues()[4], Cue(24, QStringLiteral("00:00:23 - Grüße")));
    EXPECT_EQ(window_->lstCue->ListIndex(), 4);
    const QByteArray cues = kFourCues.chopped(2) + "[24]00:00:23 - Gr\xfc\xdf\x65\r\n";
    EXPECT_EQ(CueFile(), cues + "[22]00:00:22 - Bridge\r\n\r\n");
    Select(5);
    Retitle(QStringLiteral("Припев"));
    EXPECT_EQ(CueFile(), QString::fromLatin1(cues).toUtf8() + "[22]00:00:22 - Припев\r\n\r\n");
}

TEST_F(CueList, NudgingStopsAtTheEndsAndKeepsTheLinesPlace) {
    const struct {
        int line, clicks;
        QPushButton* button;
        Cue cue;
    } rows[] = {{1, 12, window_->Command2, {0, QStringLiteral("00:00:00 - Vers")}},
                {2, 16, window_->Command3, {35, QStringLiteral("00:00:35 - Refrain")}}};
    for (const auto& row : rows) {
        Select(row.line);
        for (int i = 0; i < row.clicks; ++i) {
            row.button->click();
        }
        EXPECT_EQ(Cues()[row.line], row.cue);
        EXPECT_EQ(window_->lstCue->ListIndex(), row.line);
        EXPECT_EQ(Engine()->CurrentPosition(), row.cue.first);
        EXPECT_EQ(window_->H1->Value(), row.cue.first);
    }
    EXPECT_EQ(CueFile(),
              "[0]00:00:00 - Start Point\r\n[0]00:00:00 - Vers\r\n"
              "[35]00:00:35 - Refrain\r\n[30]00:00:30\r\n\r\n");
}

// The popup menu opens for the right button over the list while a line after
// the start is selected, and acts on that line.
TEST_F(CueList, ThePopupMenuRemovesAndEditsTheSelectedLine) {
    window_->show();
    ListBox* list = window_->lstCue;
    const QPoint overLine3 = list->visualItemRect(list->item(3)).center();
    for (const auto& [line, button] : {std::pair{0, Qt::RightButton}, {2, Qt::LeftButton}}) {
        Select(line);
        QTest::mouseClick(list->viewport(), button, {}, overLine3);
        EXPECT_FALSE(window_->mnuPop->isVisible()) << line;
    }
    Select(2);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, overLine3);
    ASSERT_TRUE(window_->mnuPop->isVisible());
    window_->mnuRemCue->trigger();
    window_->mnuPop->hide();
    EXPECT_EQ(list->ListIndex(), 1);  // the line above
    window_->mnuEdit->trigger();
    EXPECT_EQ(window_->txtCueTitle->Title(), QStringLiteral("Vers"));
    Select(2);
    window_->mnuEdit->trigger();
    EXPECT_EQ(window_->txtCueTitle->Title(), QString());
    Select(0);
    window_->mnuRemCue->trigger();
    EXPECT_EQ(list->ListIndex(), -1);
    EXPECT_EQ(CueFile(), "[10]00:00:10 - Vers\r\n[30]00:00:30\r\n\r\n");

    // Without a selected line no edit changes anything.
    window_->Command2->click();
    window_->Command3->click();
    window_->mnuRemCue->trigger();
    Retitle(QStringLiteral("x"));
    EXPECT_EQ(CueFile(), "[10]00:00:10 - Vers\r\n[30]00:00:30\r\n\r\n");
    EXPECT_EQ(Cues().size(), 2);
    EXPECT_TRUE(messages_.texts().isEmpty());
}

// Titles come into the box typed or pasted; their line breaks never reach
// the cue file, and the next start reads it back.
TEST_F(CueSaving, PastedTitlesKeepOneRecordPerLine) {
    AddRecording(QStringLiteral("a.mp3"), 600);
    Open(QStringLiteral("a.mp3"));
    TitleBox* box = window_->txtCueTitle;
    box->clear();
    QApplication::clipboard()->setText(QStringLiteral("Vers\r\n2\tneu\u0007"));
    box->paste();
    QTest::keyClick(box, Qt::Key_Return);
    const QString longTitle(40000, QLatin1Char('x'));
    QApplication::clipboard()->setText(longTitle + QStringLiteral("\nEnde"));
    box->selectAll();
    box->paste();
    window_->cmdCue1->click();
    EXPECT_EQ(
        ReadBytes(PathOf(QStringLiteral("a.cue"))),
        "[0]00:00:00 - Vers 2 neu\r\n[0]00:00:00 - " + longTitle.toLatin1() + " Ende\r\n\r\n");

    Restart();
    Open(QStringLiteral("a.mp3"));
    ASSERT_EQ(Cues().size(), 2);
    EXPECT_EQ(Cues()[1].second, QStringLiteral("00:00:00 - ") + longTitle + " Ende");
    EXPECT_TRUE(messages_.texts().isEmpty());
}

// The cue file is written only from a list that came from it, and a failed
// write is reported.
TEST_F(CueSaving, NothingIsWrittenBeforeAnOpenOrAfterAFailedOne) {
    window_->cmdCue1->click();
    EXPECT_EQ(messages_.texts(), QStringList{kCueWriteError});

    const QByteArray damaged = "[0]00:00:00 - Start Point\r\n[]00:00:10 - x\r\n";
    AddRecording(QStringLiteral("a.mp3"), 600, &damaged);
    Open(QStringLiteral("a.mp3"));
    window_->cmdCue1->click();
    EXPECT_EQ(messages_.texts().size(), 2);
    EXPECT_EQ(ReadBytes(PathOf(QStringLiteral("a.cue"))), damaged);

    AddRecording(QStringLiteral("b.mp3"), 600);
    Open(QStringLiteral("b.mp3"));
    ASSERT_TRUE(QDir(music_.path()).removeRecursively());
    window_->cmdCue1->click();
    EXPECT_EQ(messages_.texts(), QStringList(3, kCueWriteError));
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("b.cue"))));
    EXPECT_EQ(Cues().size(), 2);  // the list keeps the edit
}

TEST_F(CueList, ChoosingACueSeeksAndPlaysFromAnyState) {
    Play(10.2);  // follows into Vers and latches
    ASSERT_EQ(window_->cueAdvanced, 1);
    window_->cmdPause1->click();
    Choose(2);
    EXPECT_EQ(Engine()->CurrentPosition(), 20.0);
    EXPECT_EQ(window_->H1->Value(), 20);
    EXPECT_EQ(window_->txtCueTitle->Title(), QStringLiteral("Refrain"));
    EXPECT_EQ(window_->currentCue, 2);
    EXPECT_TRUE(Engine()->running());
    EXPECT_TRUE(window_->isPaused);  // the pause state is the Pause button's
    window_->cmdStop1->click();
    Choose(1);
    EXPECT_TRUE(Engine()->running());
    Play(10);  // the choice cleared the latch
    EXPECT_EQ(window_->currentCue, 2);
}

TEST_F(CueList, NextStopsAtTheLastLinePreviousRestartsTheFirst) {
    Choose(3);
    Play(5);
    const QStringList calls = Engine()->calls();
    window_->cmdNext1->click();
    EXPECT_EQ(Engine()->calls(), calls);
    EXPECT_EQ(window_->focusWidget(), window_->dummy);
    window_->cmdPrev1->click();
    EXPECT_EQ(window_->currentCue, 2);
    window_->cmdPrev1->click();
    window_->cmdPrev1->click();
    window_->cmdPrev1->click();
    EXPECT_EQ(window_->currentCue, 0);
    EXPECT_EQ(Engine()->CurrentPosition(), 0.0);
    Select(-1);
    window_->cmdNext1->click();
    EXPECT_EQ(window_->lstCue->ListIndex(), 0);
    window_->cmdNext1->click();
    EXPECT_EQ(Engine()->CurrentPosition(), 10.0);
    EXPECT_EQ(window_->txtCueTitle->Title(), QStringLiteral("Vers"));
}
