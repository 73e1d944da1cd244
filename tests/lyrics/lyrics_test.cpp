#include "support/player_fixture.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString kWriteError = QStringLiteral("Fehler beim Schreiben der Datei. ");

// Song.mp3 with cue points at 0 (start point), 10 (Vers), 20 (Refrain) and
// 30 seconds (no title), playing.
class Lyrics : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        const QByteArray cues =
            "[0]00:00:00 - Start Point\r\n[10]00:00:10 - Vers\r\n"
            "[20]00:00:20 - Refrain\r\n[30]00:00:30\r\n\r\n";
        OpenWithCues(QStringLiteral("Song.mp3"), 300, cues);
    }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(PathOf(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray Read(const QString& name) const {
        QFile file(PathOf(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    frmLyrics* Window() const { return window_->ExistingLyrics(); }
    QString Text() const { return Window() ? Window()->txtLyrics->toPlainText() : QString(); }

    // Types at the end of the lyrics text, as the user does.
    void Type(const QString& text) {
        QPlainTextEdit* box = window_->Lyrics()->txtLyrics;
        box->moveCursor(QTextCursor::End);
        box->insertPlainText(text);
    }

    void Choose(int line) {
        window_->lstCue->SetListIndex(line);
        window_->lstCue_DblClick();
    }
};

}  // namespace

TEST_F(Lyrics, ButtonOnTheStartPointOpensTheRecordingsOwnLyrics) {
    Write(QStringLiteral("Song.txt"), "Song\r\n\r\n");
    window_->lstCue->SetListIndex(0);
    window_->Command4->click();
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), QStringLiteral("Song"));
    EXPECT_EQ(Text(), QStringLiteral("Song"));
    EXPECT_FALSE(window_->lyricsChanged);
    window_->Lyrics()->mnuSave->trigger();
    EXPECT_EQ(Read(QStringLiteral("Song.txt")), QByteArray("Song\r\n"));
    EXPECT_TRUE(messages_.texts().isEmpty());
}

TEST_F(Lyrics, ButtonWithoutFileOpensAnEmptyWindowThatCloseSaves) {
    window_->lstCue->SetListIndex(1);
    window_->txtCueTitle->setText(QStringLiteral("Vers"));
    window_->Command4->click();
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Window()->windowTitle(), QStringLiteral("Vers"));
    EXPECT_EQ(Text(), QString());
    Type(QStringLiteral("  C       G\nLa la la"));
    Window()->mnuClose->trigger();
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("  C       G\r\nLa la la\r\n"));

    // An emptied title box names the file ".txt".
    window_->txtCueTitle->clear();
    window_->Command4->click();
    EXPECT_EQ(window_->lyricsFile, PathOf(QStringLiteral(".txt")));
    // Without a selected cue the button does nothing.
    window_->lstCue->SetListIndex(-1);
    window_->lyricsTitle.clear();
    window_->Command4->click();
    EXPECT_TRUE(window_->lyricsTitle.isEmpty());
}

TEST_F(Lyrics, SaveThenCloseWritesTwice) {
    Write(QStringLiteral("Vers.txt"), "alt\r\n");
    Choose(1);
    Type(QStringLiteral(" neu"));
    Window()->mnuSave->trigger();
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("alt neu\r\n"));
    ASSERT_TRUE(QFile::remove(PathOf(QStringLiteral("Vers.txt"))));
    Window()->mnuClose->trigger();
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("alt neu\r\n"));
}

TEST_F(Lyrics, ChoosingACueShowsItsLyricsOrHidesTheWindow) {
    Write(QStringLiteral("Vers.txt"), "C G\r\nText\r\n");
    Choose(1);
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Text(), QStringLiteral("C G\nText"));
    EXPECT_FALSE(window_->lyricsChanged);
    Choose(2);  // Refrain has no lyrics
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_EQ(Text(), QString());
    EXPECT_EQ(Window()->windowTitle(), QStringLiteral("Vers"));  // the caption stays
}

TEST_F(Lyrics, TheTickLoadsWithoutClearingTheChangeFlag) {
    Write(QStringLiteral("Vers.txt"), "Vers\r\n\r\n");
    Play(10.2);
    ASSERT_EQ(window_->currentCue, 1);
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Text(), QStringLiteral("Vers"));
    EXPECT_TRUE(window_->lyricsChanged);
    // Closing writes the shown text back, as typed text would be.
    Window()->mnuClose->trigger();
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("Vers\r\n"));

    // A cue line without title hides and empties the window without a file.
    window_->cmdPlay1_Click();
    window_->currentCue = 2;
    Engine()->SetCurrentPosition(30.5);
    Play(0);
    EXPECT_FALSE(Window()->isVisible());
    EXPECT_EQ(Text(), QString());
    EXPECT_TRUE(window_->lyricsTitle.isEmpty());
}

TEST_F(Lyrics, TypedTextIsSavedBeforeAnythingReplacesIt) {
    Write(QStringLiteral("Refrain.txt"), "R\r\n");
    // Followed by the tick.
    Choose(1);
    Type(QStringLiteral("neu im Vers"));
    Play(10);
    ASSERT_EQ(window_->currentCue, 2);
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("neu im Vers\r\n"));
    EXPECT_EQ(Text(), QStringLiteral("R"));
    // Text the program put in is never written by this rule.
    Choose(1);
    EXPECT_EQ(Read(QStringLiteral("Refrain.txt")), QByteArray("R\r\n"));

    // Replaced by the button.
    Type(QStringLiteral("!"));
    window_->lstCue->SetListIndex(2);
    window_->txtCueTitle->setText(QStringLiteral("Refrain"));
    window_->Command4->click();
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("neu im Vers!\r\n"));

    // Discarded by the close box: saved, and the window comes back with its design size.
    Type(QStringLiteral("?"));
    window_->Lyrics()->resize(100, 100);
    Window()->close();
    EXPECT_EQ(Read(QStringLiteral("Refrain.txt")), QByteArray("R?\r\n"));
    EXPECT_EQ(window_->ExistingLyrics(), nullptr);
    frmLyrics* again = window_->Lyrics();
    EXPECT_EQ(again->txtLyrics->toPlainText(), QString());
    EXPECT_EQ(LeftTwips(again), LeftTwips(window_.get()) + WidthTwips(window_.get()));
    EXPECT_GT(again->width(), 300);

    // Closing the main window.
    window_->lstCue->SetListIndex(1);
    window_->txtCueTitle->setText(QStringLiteral("Vers"));
    window_->Command4->click();
    Type(QStringLiteral(" Ende"));
    window_->close();
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("neu im Vers! Ende\r\n"));
    EXPECT_TRUE(messages_.texts().isEmpty());
}

TEST_F(Lyrics, LyricsBelongToTheOpenRecordingWhateverTheBrowserShows) {
    Write(QStringLiteral("Vers.txt"), "hier\r\n");
    ASSERT_TRUE(QDir(music_.path()).mkdir(QStringLiteral("anderswo")));
    TouchFile(music_.path(), QStringLiteral("anderswo/Vers.txt"));
    ASSERT_TRUE(window_->dirDirs->SetPath(PathOf(QStringLiteral("anderswo"))));
    Choose(1);
    EXPECT_EQ(Text(), QStringLiteral("hier"));
    window_->lstCue->SetListIndex(0);
    window_->txtCueTitle->setText(QStringLiteral("Start Point"));
    window_->Command4->click();
    EXPECT_EQ(window_->lyricsFile, PathOf(QStringLiteral("Song.txt")));
}

TEST_F(Lyrics, TitlesThatCannotNameAFileStayAwayFromTheFileSystem) {
    Write(QStringLiteral("geheim.txt"), "nicht lesen\r\n");
    for (const QString& title :
         {QStringLiteral("../geheim"), QStringLiteral("a/b"), QStringLiteral(".."),
          QString(300, QLatin1Char('x')), QStringLiteral("nul") + QChar(0)}) {
        window_->lstCue->SetListIndex(1);
        window_->txtCueTitle->setText(title);
        window_->Command4->click();
        EXPECT_EQ(Text(), QString());
        EXPECT_TRUE(window_->lyricsFile.isEmpty());
        Type(QStringLiteral("x"));
        Window()->mnuSave->trigger();
        EXPECT_EQ(messages_.texts().last(), kWriteError);
        window_->lyricsChanged = false;
        window_->lyricsUnsaved = false;
    }
    EXPECT_EQ(QDir(music_.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

TEST(LyricsBeforeOpen, HaveNoFileToGoTo) {
    ProgramFolder program;
    MessageWatcher messages;
    auto window = program.Start();
    window->lstCue_DblClick();
    EXPECT_TRUE(window->lyricsFile.isEmpty());
    window->Lyrics()->txtLyrics->setPlainText(QStringLiteral("x"));
    window->Lyrics()->mnuSave->trigger();
    EXPECT_EQ(messages.texts(), QStringList{kWriteError});
}

TEST_F(Lyrics, AFailedSaveReportsAndKeepsTheText) {
    Choose(1);
    Type(QStringLiteral("Text"));
    ASSERT_TRUE(QDir(music_.path()).removeRecursively());
    Window()->mnuSave->trigger();
    EXPECT_EQ(messages_.texts(), QStringList{kWriteError});
    EXPECT_EQ(Text(), QStringLiteral("Text"));
    EXPECT_TRUE(window_->lyricsUnsaved);
}

TEST_F(Lyrics, AMessageFromTheTickNeitherReentersItNorRepeatsTheFollow) {
    // Typed lyrics under a title that cannot be saved: following the next cue
    // shows the write error from inside the tick.
    window_->lstCue->SetListIndex(1);
    window_->txtCueTitle->setText(QStringLiteral("a/b"));
    window_->Command4->click();
    Type(QStringLiteral("x"));
    window_->cmdPlay1_Click();
    window_->Timer1->start();  // real ticks run while the box is open
    Engine()->SetCurrentPosition(10.5);
    window_->Timer1_Timer();
    EXPECT_EQ(messages_.texts(), QStringList{kWriteError});
    EXPECT_EQ(window_->currentCue, 1);
    for (int i = 0; i < 5; ++i) {
        window_->Timer1_Timer();
    }
    EXPECT_EQ(window_->currentCue, 1);
    EXPECT_EQ(messages_.texts().size(), 1);
}

TEST_F(Lyrics, OpeningAnotherRecordingLeavesTheLyricsAlone) {
    Write(QStringLiteral("Vers.txt"), "V\r\n");
    Choose(1);
    Type(QStringLiteral("+"));
    AddRecording(QStringLiteral("Other.mp3"), 100);
    Open(QStringLiteral("Other.mp3"));
    EXPECT_EQ(window_->lyricsFile, PathOf(QStringLiteral("Vers.txt")));
    EXPECT_EQ(window_->lyricsTitle, QStringLiteral("Vers"));
    EXPECT_EQ(Text(), QStringLiteral("V+"));
    EXPECT_TRUE(window_->lyricsChanged);
    Window()->mnuSave->trigger();
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("V+\r\n"));
}

TEST_F(Lyrics, TheTextBoxFollowsTheWindowsSize) {
    frmLyrics* lyrics = window_->Lyrics();
    lyrics->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(lyrics));
    SetWidthTwips(lyrics, 6000);
    SetHeightTwips(lyrics, 8000);
    EXPECT_EQ(lyrics->txtLyrics->size(), QSize(391, 484));  // 5860 x 7260 twips
    const QSize before = lyrics->txtLyrics->size();
    lyrics->resize(5, 20);  // too small for the box
    EXPECT_EQ(lyrics->txtLyrics->size(), before);
    lyrics->showMinimized();
    EXPECT_EQ(lyrics->txtLyrics->size(), before);
}
