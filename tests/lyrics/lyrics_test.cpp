#include "lyrics/lyrics_naming.h"
#include "support/program_test.h"
#include "ui/folder_list.h"
#include "ui/list_box.h"
#include "ui/title_box.h"
#include "ui/window_geometry.h"

#include <QDir>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>

#include <unistd.h>

namespace {

// Song.mp3 with the four cue points, open and playing.
class Lyrics : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        OpenWithCues(QStringLiteral("Song.mp3"), 300, kFourCues);
    }
    void Write(const QString& title, const QByteArray& bytes) {
        WriteBytes(PathOf(title + QStringLiteral(".txt")), bytes);
    }
    QByteArray Read(const QString& title) const {
        return ReadBytes(PathOf(title + QStringLiteral(".txt")));
    }
    frmLyrics* Window() const { return window_->ExistingLyrics(); }
    // "caption: text" of the lyrics window, "(hidden) caption: text" when it is
    // hidden, "none" when there is none.
    QString Shown() const {
        if (Window() == nullptr) {
            return QStringLiteral("none");
        }
        return (Window()->isVisible() ? QString() : QStringLiteral("(hidden) ")) +
               Window()->windowTitle() + QStringLiteral(": ") + Window()->txtLyrics->toPlainText();
    }
    // Types at the end of the lyrics text, as the user does.
    void Type(const QString& text) {
        QPlainTextEdit* box = window_->Lyrics()->txtLyrics;
        box->moveCursor(QTextCursor::End);
        box->insertPlainText(text);
    }
    // Clicks "Lyrics..." with a cue line selected and a title in the title box.
    void Button(int line, const QString& title) {
        window_->lstCue->SetListIndex(line);
        window_->txtCueTitle->SetTitle(title);
        window_->Command4->click();
    }
    // A whole double-click: QTest's alone skips the press that selects the line.
    void Choose(int line) {
        ListBox* list = window_->lstCue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(line)).center());
        ProgramTest::Choose(line);
    }
    // Every file of the music folder with its bytes, hidden ones included.
    std::map<QString, QByteArray> Files() const {
        std::map<QString, QByteArray> files;
        for (const QString& name : QDir(music_.path()).entryList(QDir::Files | QDir::Hidden)) {
            files[name] = ReadBytes(PathOf(name));
        }
        return files;
    }
};

// Acts as another user than root while it lives, so that file permissions
// count; does nothing for other users.
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

// The button opens the lyrics of the title in the title box beside the open
// recording (the recording's own for the start point and lines without a
// title), or an empty window for new ones.
TEST_F(Lyrics, TheButtonOpensTheLyricsOfTheTitleInTheBox) {
    Write(QStringLiteral("Song"), "Song\r\n\r\n");
    ASSERT_TRUE(QDir(music_.path()).mkdir(QStringLiteral("anderswo")));
    ASSERT_TRUE(window_->dirDirs->SetPath(PathOf(QStringLiteral("anderswo"))));
    Button(0, QStringLiteral("Start Point"));
    EXPECT_EQ(Shown(), QStringLiteral("Song: Song"));
    EXPECT_FALSE(window_->lyricsChanged);
    Window()->mnuSave->trigger();
    EXPECT_EQ(Read(QStringLiteral("Song")), "Song\r\n");

    Button(1, QStringLiteral("Vers"));
    EXPECT_EQ(Shown(), QStringLiteral("Vers: "));
    Type(QStringLiteral("  C       G\nLa la la"));
    Window()->mnuClose->trigger();
    EXPECT_EQ(Shown(), QStringLiteral("(hidden) Vers:   C       G\nLa la la"));
    EXPECT_EQ(Read(QStringLiteral("Vers")), "  C       G\r\nLa la la\r\n");
    Button(-1, QStringLiteral("Vers"));  // no line selected: nothing
    EXPECT_EQ(Shown(), QStringLiteral("(hidden) Vers:   C       G\nLa la la"));

    Button(1, QString());
    EXPECT_EQ(window_->lyricsFile, PathOf(QStringLiteral(".txt")));
    window_->cmdCue1->click();  // a line of 11 characters: "00:00:00 - "
    Button(4, QStringLiteral("Vers"));
    EXPECT_EQ(Shown(), QStringLiteral("Song: Song"));
    EXPECT_TRUE(messages_.texts().isEmpty());
}

// A double-click or the tick shows the cue's lyrics, or hides the window
// when there are none; the tick leaves the text counted as changed.
TEST_F(Lyrics, ChoosingOrFollowingACueShowsItsLyricsOrHidesTheWindow) {
    Write(QStringLiteral("Vers"), "C G\r\nText\r\n\r\n");
    Choose(1);
    EXPECT_EQ(Shown(), QStringLiteral("Vers: C G\nText"));
    EXPECT_FALSE(window_->lyricsChanged);
    Choose(2);
    EXPECT_EQ(Shown(), QStringLiteral("(hidden) Vers: "));

    Choose(0);
    Play(10.2);
    EXPECT_EQ(Shown(), QStringLiteral("Vers: C G\nText"));
    EXPECT_TRUE(window_->lyricsChanged);
    Window()->mnuClose->trigger();  // writes back what it shows
    EXPECT_EQ(Read(QStringLiteral("Vers")), "C G\r\nText\r\n");
    Choose(1);
    Play(10);
    EXPECT_EQ(Shown(), QStringLiteral("(hidden) Vers: "));
    Window()->mnuClose->trigger();  // the emptied text belongs to no file
    EXPECT_EQ(Read(QStringLiteral("Refrain")), "<missing>");

    Choose(1);
    DragTo(29);
    Play(1);  // into the line without title
    EXPECT_EQ(Shown(), QStringLiteral("(hidden) Vers: "));
    EXPECT_EQ(window_->lyricsTitle, QString());
}

TEST_F(Lyrics, TypedTextIsSavedBeforeAnythingReplacesIt) {
    Write(QStringLiteral("Refrain"), "R\r\n");
    Choose(1);
    Type(QStringLiteral("neu im Vers"));
    Play(10);  // the tick follows into Refrain
    EXPECT_EQ(Read(QStringLiteral("Vers")), "neu im Vers\r\n");
    EXPECT_EQ(Shown(), QStringLiteral("Refrain: R"));
    Choose(1);  // text the program put in is not written by this rule
    EXPECT_EQ(Read(QStringLiteral("Refrain")), "R\r\n");

    Type(QStringLiteral("!"));
    Button(2, QStringLiteral("Refrain"));
    EXPECT_EQ(Read(QStringLiteral("Vers")), "neu im Vers!\r\n");

    // The close box saves, and the window comes back with its design size.
    Type(QStringLiteral("?"));
    window_->Lyrics()->resize(100, 100);
    Window()->close();
    EXPECT_EQ(Read(QStringLiteral("Refrain")), "R?\r\n");
    EXPECT_EQ(Shown(), QStringLiteral("none"));
    frmLyrics* again = window_->Lyrics();
    EXPECT_EQ(LeftTwips(again), LeftTwips(window_.get()) + WidthTwips(window_.get()));
    EXPECT_GT(again->width(), 300);

    Button(1, QStringLiteral("Vers"));
    Type(QStringLiteral(" Ende"));
    window_->close();
    EXPECT_EQ(Read(QStringLiteral("Vers")), "neu im Vers! Ende\r\n");
    EXPECT_TRUE(messages_.texts().isEmpty());
}

// Typed text under a title that cannot name a file: whatever comes next, the
// user hears of it once, the text stays under its own title and no file in
// the folder changes.
TEST_F(Lyrics, TypedTextThatCannotBeSavedStaysWithItsTitle) {
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"tick", [&] { Play(10.2), Play(0); }},  // one follow, one message
        {"double-click", [&] { Choose(2); }},
        {"button", [&] { Button(1, QStringLiteral("Vers")); }},
        {"close box", [&] { Window()->close(); }},
        {"exit", [&] { window_->close(); }},  // last: it ends the program
    };
    for (const auto& [name, action] : actions) {
        SCOPED_TRACE(name);
        SetUp();
        Write(QStringLiteral("Vers"), "V\r\n");
        Button(1, QStringLiteral("AC/DC"));
        Type(QStringLiteral("Riff"));
        const auto before = Files();
        const qsizetype shown = messages_.texts().size();

        action();
        EXPECT_EQ(messages_.texts().mid(shown), QStringList{kWriteError});
        EXPECT_EQ(Files(), before);
        if (name == std::string("exit")) {
            continue;
        }
        EXPECT_EQ(Shown(), QStringLiteral("AC/DC: Riff"));
        // Once told, the close box discards the text; nothing follows it into
        // another file.
        Window()->close();
        EXPECT_EQ(Shown(), QStringLiteral("none"));
        Choose(2);
        Choose(1);
        window_->Lyrics()->mnuClose->trigger();
        EXPECT_EQ(messages_.texts().size(), shown + 1);
        EXPECT_EQ(Files(), before);
    }
}

// Saving text with nowhere to go (a title that cannot name a file beside the
// recording, or no recording yet) reports and writes nothing.
TEST_F(Lyrics, TextWithNowhereToGoIsReported) {
    Write(QStringLiteral("geheim"), "nicht lesen\r\n");
    const auto before = Files();
    for (const QString& title : {QStringLiteral("../geheim"), QStringLiteral("a/b"),
                                 QStringLiteral(".."), QString(300, QLatin1Char('x'))}) {
        Button(1, title);
        EXPECT_EQ(Shown(), title + QStringLiteral(": "));
        Type(QStringLiteral("x"));
        Window()->mnuSave->trigger();
        Window()->close();  // discards, as the user was told
    }
    Restart();
    window_->lstCue_DblClick();
    Type(QStringLiteral("x"));
    window_->Lyrics()->mnuSave->trigger();
    EXPECT_EQ(messages_.texts(), QStringList(5, kWriteError));
    EXPECT_EQ(Files(), before);
}

TEST_F(Lyrics, FilesThatCannotBeReadAreReportedAndNeverReplaced) {
    Write(QStringLiteral("Vers"), "nur schreiben\r\n");
    Write(QStringLiteral("Refrain"), "gesperrt\r\n");
    QFile::setPermissions(PathOf(QStringLiteral("Vers.txt")), QFileDevice::WriteOwner);
    QFile::setPermissions(PathOf(QStringLiteral("Refrain.txt")), QFileDevice::Permissions());
    Write(QStringLiteral("Riesig"), QByteArray(kMaxLyricsBytes + 1, 'x'));
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
    Button(1, QStringLiteral("Riesig"));
    EXPECT_EQ(Shown(), QStringLiteral("Riesig: "));
    Window()->mnuClose->trigger();
    EXPECT_EQ(messages_.texts(),
              QStringList({kOpenError, kWriteError, kOpenError, kWriteError, kOpenError}));
    EXPECT_EQ(Files(), before);
}

// Text the box would change (no-break spaces, line and paragraph separators)
// comes back as loaded after typing; without typing the file keeps its bytes
// but for the one line break at the end.
TEST_F(Lyrics, TextRoundTripsByteForByte) {
    const QByteArray text =
        "a\xc2\xa0"
        "b\xe2\x80\xa8"
        "c\xe2\x80\xa9"
        "d\r\ne";
    Write(QStringLiteral("Vers"), text + "\r\n\r\n");
    Choose(1);
    Type(QStringLiteral("!"));
    Window()->mnuSave->trigger();
    EXPECT_EQ(Read(QStringLiteral("Vers")), text + "!\r\n");

    const QByteArray binary("\x01\x00\x81\xfe\nx\ry\xc3\r\n\n", 12);
    Write(QStringLiteral("Refrain"), binary);
    Play(10.2);  // the tick follows into Refrain and loads its lyrics
    ASSERT_EQ(window_->lyricsTitle, QStringLiteral("Refrain"));
    Window()->mnuClose->trigger();
    EXPECT_EQ(Read(QStringLiteral("Refrain")), binary.chopped(3) + "\r\n");
    EXPECT_TRUE(messages_.texts().isEmpty());
}

// While a message box from a double-click shows, the tick does nothing: the
// boundary crossed meanwhile is not followed under the cue being chosen.
TEST_F(Lyrics, TheTickWaitsWhileAMessageBoxShows) {
    Choose(1);
    Button(1, QStringLiteral("AC/DC"));
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
    EXPECT_EQ(window_->currentCue, 3);
    EXPECT_EQ(window_->txtCueTitle->Title(), QString());
    EXPECT_EQ(Engine()->CurrentPosition(), 30.0);
}

TEST_F(Lyrics, TheTextBoxFollowsTheWindowsSize) {
    frmLyrics* lyrics = window_->Lyrics();
    lyrics->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(lyrics));
    SetWidthTwips(lyrics, 6000);
    SetHeightTwips(lyrics, 8000);
    EXPECT_EQ(lyrics->txtLyrics->size(), QSize(391, 484));  // 5860 x 7260 twips
    lyrics->resize(5, 20);                                  // too small for the box
    lyrics->showMinimized();
    EXPECT_EQ(lyrics->txtLyrics->size(), QSize(391, 484));
}
