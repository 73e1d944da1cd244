#include "support/program_test.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

using CueSaving = ProgramTest;

// a.mp3, 35 seconds long, with the four cue points, open and playing.
class CueList : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        OpenWithCues("a.mp3", 35, kFourCues);
    }
    QByteArray CueFile() const { return ReadBytes(PathOf("a.cue")); }
    void Select(int line) { window_->lstCue->SetListIndex(line); }
    // Selects a line (-1: none) and clicks a button there.
    void Click(int line, QPushButton* button, int times = 1) {
        Select(line);
        for (int i = 0; i < times; ++i) {
            button->click();
        }
    }
    // Selects a line (-1: none) and presses Enter in the title box with a title.
    void Retitle(int line, const QString& title) {
        Select(line);
        window_->txtCueTitle->SetTitle(title);
        QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    }
};

}  // namespace

// New cues show the cut time and keep the rounded seconds, whatever was
// pasted as their title; Enter retitles keeping the shown time; nudges keep
// the line's place. Every edit is written at once, as legacy text while every
// character fits, and the next start reads it back.
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
    Select(4);
    QTest::keyClicks(window_->txtCueTitle, "!");
    EXPECT_EQ(window_->lstCue->List(4), "00:00:23 - Bri dge");  // typing alone retitles nothing
    Retitle(4, "Grüße");
    Click(1, window_->Command2, 12);  // stops at 0
    Click(2, window_->Command3, 16);  // stops at the end, past the line at 30
    EXPECT_EQ(window_->lstCue->ListIndex(), 2);
    EXPECT_EQ(Engine()->CurrentPosition(), 35.0);
    EXPECT_EQ(window_->H1->Value(), 35);
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
        Select(line);
        QTest::mouseClick(list->viewport(), button, {}, overLine3);
        EXPECT_EQ(window_->mnuPop->isVisible(), line == 2 && button == Qt::RightButton) << line;
    }
    window_->mnuRemCue->trigger();
    window_->mnuPop->hide();
    EXPECT_EQ(list->ListIndex(), 1);  // the line above
    window_->mnuEdit->trigger();
    EXPECT_EQ(window_->txtCueTitle->Title(), "Vers");
    Select(0);
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

// A double-click plays the line from its start whatever the state; Next does
// nothing on the last line, Previous plays the first line again, and without
// a selection both choose the first line.
TEST_F(CueList, ChoosingACuePlaysItFromItsStart) {
    Play(10.2);  // follows into Vers and latches
    window_->cmdPause1->click();
    Choose(2);
    EXPECT_EQ(Engine()->CurrentPosition(), 20.0);
    EXPECT_EQ(window_->H1->Value(), 20);
    EXPECT_EQ(window_->txtCueTitle->Title(), "Refrain");
    EXPECT_TRUE(Engine()->running());
    EXPECT_TRUE(window_->isPaused);  // the pause state is the Pause button's
    window_->cmdStop1->click();
    Choose(1);
    Play(10);  // the choice cleared the latch
    EXPECT_EQ(window_->currentCue, 2);

    Choose(3);
    const QStringList calls = Engine()->calls();
    window_->cmdNext1->click();
    EXPECT_EQ(Engine()->calls(), calls);
    EXPECT_EQ(window_->focusWidget(), window_->dummy);
    Click(0, window_->cmdPrev1);
    EXPECT_EQ(Engine()->CurrentPosition(), 0.0);
    Click(-1, window_->cmdPrev1);
    Click(-1, window_->cmdNext1, 2);
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(Engine()->CurrentPosition(), 10.0);
}
