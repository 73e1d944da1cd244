#include "lyrics/lyrics_naming.h"
#include "support/player_fixture.h"
#include "ui/drive_list.h"
#include "ui/folder_list.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/title_box.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

#include <unistd.h>

namespace {

const QString kWriteError = QStringLiteral("Fehler beim Schreiben der Datei. ");
const QString kOpenError = QStringLiteral("Fehler beim Öffnen der Datei. ");

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

    // Every file of the music folder with its bytes, hidden ones included.
    std::map<QString, QByteArray> Files() const {
        std::map<QString, QByteArray> files;
        for (const QString& name : QDir(music_.path()).entryList(QDir::Files | QDir::Hidden)) {
            files[name] = Read(name);
        }
        return files;
    }
};

// Acts as another user than root while it lives, so that file permissions
// count (root reads and writes anything); does nothing for other users.
class AsOtherUser {
public:
    explicit AsOtherUser(const QString& folder) : root_(::geteuid() == 0) {
        if (root_) {
            QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
            EXPECT_EQ(::setegid(65534), 0);
            EXPECT_EQ(::seteuid(65534), 0);
        }
    }
    ~AsOtherUser() {
        if (root_) {
            EXPECT_EQ(::seteuid(0), 0);
            EXPECT_EQ(::setegid(0), 0);
        }
    }

private:
    bool root_;
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
    for (const QString& title : {QStringLiteral("../geheim"), QStringLiteral("a/b"),
                                 QStringLiteral(".."), QString(300, QLatin1Char('x'))}) {
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

// Typed text under a title that cannot name a file: whatever comes next, the
// user hears of it once, the text stays under its own title and no file in
// the folder changes.
TEST_F(Lyrics, TypedTextThatCannotBeSavedStaysWithItsTitle) {
    Write(QStringLiteral("Vers.txt"), "V\r\n");
    const std::vector<std::pair<std::string, std::function<void()>>> actions = {
        {"tick", [&] { Play(10.2); }},
        {"double-click", [&] { Choose(2); }},
        {"button",
         [&] {
             window_->lstCue->SetListIndex(1);
             window_->txtCueTitle->SetTitle(QStringLiteral("Vers"));
             window_->Command4->click();
         }},
        {"close box", [&] { Window()->close(); }},
        {"exit", [&] { window_->close(); }},  // last: it ends the program
    };
    for (const auto& [name, action] : actions) {
        SCOPED_TRACE(name);
        SetUp();
        Write(QStringLiteral("Vers.txt"), "V\r\n");
        window_->lstCue->SetListIndex(1);
        window_->txtCueTitle->SetTitle(QStringLiteral("AC/DC"));
        window_->Command4->click();
        Type(QStringLiteral("Riff"));
        const auto before = Files();
        const int shown = int(messages_.texts().size());

        action();
        EXPECT_EQ(messages_.texts().mid(shown), QStringList{kWriteError});
        EXPECT_EQ(Files(), before);
        if (name == "exit") {
            continue;
        }
        ASSERT_NE(Window(), nullptr);
        EXPECT_TRUE(Window()->isVisible());
        EXPECT_EQ(Text(), QStringLiteral("Riff"));
        EXPECT_EQ(Window()->windowTitle(), QStringLiteral("AC/DC"));

        // Once told, the close box discards the text; nothing follows it
        // into another file.
        Window()->close();
        EXPECT_EQ(window_->ExistingLyrics(), nullptr);
        Choose(2);
        Choose(1);
        window_->Lyrics()->mnuClose->trigger();
        EXPECT_EQ(messages_.texts().size(), shown + 1);
        EXPECT_EQ(Files(), before);
    }
}

TEST_F(Lyrics, FilesThatCannotBeReadAreReportedAndNeverReplaced) {
    Write(QStringLiteral("Vers.txt"), "nur schreiben\r\n");
    Write(QStringLiteral("Refrain.txt"), "gesperrt\r\n");
    QFile::setPermissions(PathOf(QStringLiteral("Vers.txt")), QFileDevice::WriteOwner);
    QFile::setPermissions(PathOf(QStringLiteral("Refrain.txt")), QFileDevice::Permissions());
    Write(QStringLiteral("Riesig.txt"), QByteArray(kMaxLyricsBytes + 1, 'x'));
    const auto before = Files();
    {
        AsOtherUser user(music_.path());
        for (int line : {1, 2}) {
            Choose(line);
            Type(QStringLiteral("x"));
            Window()->mnuSave->trigger();
            Window()->close();  // discards, as the user was told
        }
    }
    window_->lstCue->SetListIndex(1);
    window_->txtCueTitle->SetTitle(QStringLiteral("Riesig"));
    window_->Command4->click();
    EXPECT_EQ(Text(), QString());
    Window()->mnuClose->trigger();
    EXPECT_EQ(messages_.texts(),
              QStringList({kOpenError, kWriteError, kOpenError, kWriteError, kOpenError}));
    EXPECT_EQ(Files(), before);
}

// Text the box would change (no-break spaces, line and paragraph separators)
// comes back as loaded after typing; without typing the file keeps its bytes
// but for the one line break at the end.
TEST_F(Lyrics, TextRoundTripsByteForByte) {
    Write(QStringLiteral("Vers.txt"),
          "a\xc2\xa0"
          "b\xe2\x80\xa8"
          "c\xe2\x80\xa9"
          "d\r\ne\r\n\r\n");
    Choose(1);
    Type(QStringLiteral("!"));
    Window()->mnuSave->trigger();
    EXPECT_EQ(Read(QStringLiteral("Vers.txt")), QByteArray("a\xc2\xa0"
                                                           "b\xe2\x80\xa8"
                                                           "c\xe2\x80\xa9"
                                                           "d\r\ne!\r\n"));

    const QByteArray binary("\x01\x00\x81\xfe\nx\ry\xc3\r\n\n", 12);
    Write(QStringLiteral("Refrain.txt"), binary);
    Play(10.2);  // the tick follows into Refrain and loads its lyrics
    ASSERT_EQ(window_->lyricsTitle, QStringLiteral("Refrain"));
    Window()->mnuClose->trigger();
    EXPECT_EQ(Read(QStringLiteral("Refrain.txt")), binary.chopped(3) + "\r\n");
    EXPECT_TRUE(messages_.texts().isEmpty());
}

// While a message box from a double-click shows, the tick does nothing: the
// boundary crossed meanwhile is not followed under the cue being chosen.
TEST_F(Lyrics, TheTickWaitsWhileAMessageBoxShows) {
    Choose(1);
    window_->txtCueTitle->SetTitle(QStringLiteral("AC/DC"));
    window_->Command4->click();
    Type(QStringLiteral("Riff"));  // cannot be saved: the next choice shows a box
    Engine()->SetCurrentPosition(19.9);
    // The box stays open until the running timer has fired twice, after the
    // clock crossed the next cue's second.
    int ticks = 0;
    QObject::connect(window_->Timer1, &QTimer::timeout, [&] { ++ticks; });
    int ticksAtBox = -1;
    QElapsedTimer open;
    messages_.keepOpen = [&] {
        if (ticksAtBox < 0) {
            Engine()->Advance(0.5);
            ticksAtBox = ticks;
            open.start();
        }
        return ticks < ticksAtBox + 2 && open.elapsed() < 2000;
    };
    window_->Timer1->start();
    Choose(3);
    ASSERT_GE(ticksAtBox, 0);
    EXPECT_EQ(messages_.texts(), QStringList{kWriteError});
    EXPECT_EQ(window_->lstCue->ListIndex(), 3);
    EXPECT_EQ(window_->txtCueTitle->Title(), QString());
    EXPECT_EQ(window_->currentCue, 3);
    EXPECT_EQ(Engine()->CurrentPosition(), 30.0);
}
