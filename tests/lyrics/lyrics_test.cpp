// The lyrics window beside the main window: which lyrics it shows, and that
// typed text is saved, or kept and reported, but never lost or misplaced.
#include "lyrics/lyrics_naming.h"
#include "support/program_test.h"

#include <map>

#include <unistd.h>

// Song.mp3 with the four cue points, open and playing.
class Lyrics : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        OpenWithCues("Song.mp3", 300, kFourCues);
    }
    QByteArray Read(const char* name) const { return ReadBytes(PathOf(name)); }
    frmLyrics* Window() const { return window_->ExistingLyrics(); }
    // The lyrics window as "caption: text", marked when hidden; "none" without one.
    QString Shown() const {
        return Window() == nullptr
                   ? QString("none")
                   : (Window()->isVisible() ? "" : "(hidden) ") + Window()->windowTitle() + ": " +
                         Window()->txtLyrics->toPlainText();
    }
    // Types at the end of the lyrics text, as the user does.
    void Type(const QString& text) {
        window_->Lyrics()->txtLyrics->moveCursor(QTextCursor::End);
        window_->Lyrics()->txtLyrics->insertPlainText(text);
    }
    // Clicks "Lyrics..." with a cue line selected (-1: none) and a title in the box.
    void Button(int line, const QString& title) {
        window_->lstCue->SetListIndex(line);
        window_->txtCueTitle->SetTitle(title);
        window_->Command4->click();
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

// The button opens the lyrics of the title in the box (the recording's own
// for the start point and for lines without a title), or an empty window.
TEST_F(Lyrics, TheButtonOpensTheLyricsOfTheTitleInTheBox) {
    WriteBytes(PathOf("Song.txt"), "Song\r\n\r\n");
    ASSERT_TRUE(window_->dirDirs->SetPath(programFolder_.path()));
    Button(0, "Start Point");
    EXPECT_EQ(Shown(), "Song: Song");
    Window()->mnuSave->trigger();
    EXPECT_EQ(Read("Song.txt"), "Song\r\n");
    Button(1, "Vers");
    EXPECT_EQ(Shown(), "Vers: ");
    Type("  C       G\nLa la la");
    Window()->mnuClose->trigger();
    Button(-1, "Vers");  // no line selected: nothing
    EXPECT_EQ(Shown(), "(hidden) Vers:   C       G\nLa la la");
    EXPECT_EQ(Read("Vers.txt"), "  C       G\r\nLa la la\r\n");
    Button(1, "");
    EXPECT_EQ(window_->lyricsFile, PathOf(".txt"));
    window_->cmdCue1->click();  // a line of 11 characters: "00:00:00 - "
    Button(4, "Vers");
    EXPECT_EQ(Shown(), "Song: Song");
}

// A double-click or the tick shows the cue's lyrics, or hides the window
// when there are none; after the tick the shown text counts as changed.
TEST_F(Lyrics, ChoosingOrFollowingACueShowsItsLyricsOrHidesTheWindow) {
    WriteBytes(PathOf("Vers.txt"), "C G\r\nText\r\n\r\n");
    Choose(1);
    EXPECT_EQ(Shown(), "Vers: C G\nText");
    Choose(2);
    EXPECT_EQ(Shown(), "(hidden) Vers: ");
    Choose(0);
    Play(10.2);
    EXPECT_EQ(Shown(), "Vers: C G\nText");
    Window()->mnuClose->trigger();  // writes back what it shows
    EXPECT_EQ(Read("Vers.txt"), "C G\r\nText\r\n");
    Choose(1);
    Play(10);
    EXPECT_EQ(Shown(), "(hidden) Vers: ");
    Window()->mnuClose->trigger();  // the emptied text belongs to no file
    EXPECT_EQ(Read("Refrain.txt"), "<missing>");
    Choose(1);
    DragTo(29);
    Play(1);  // into the line without title
    EXPECT_EQ(Shown(), "(hidden) Vers: ");
    EXPECT_EQ(window_->lyricsTitle, "");
}

// Typed text is saved before anything replaces it. When its title cannot
// name a file, the user hears of it once, the text stays under its own title
// and no file changes; once told, the close box discards it.
TEST_F(Lyrics, TypedTextIsSavedBeforeAnythingReplacesIt) {
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"tick", [&] { Play(10.2), Play(0); }},  // follows once, tells once
        {"double-click", [&] { Choose(2); }},
        {"button", [&] { Button(2, "Refrain"); }},
        {"close box", [&] { Window()->close(); }},
        {"exit", [&] { window_->close(); }},  // ends the program
    };
    for (const auto& [name, action] : actions) {
        for (const QString& title : QStringList{"Vers", "AC/DC", "..", QString(300, u'x')}) {
            SCOPED_TRACE(name + (" " + title.left(5).toStdString()));
            SetUp();
            QDir(music_.path()).mkdir("AC");
            WriteBytes(PathOf("Vers.txt"), "V\r\n");
            WriteBytes(PathOf("Refrain.txt"), "R\r\n");
            Choose(1);
            Button(1, title);
            Type("Riff");
            const auto before = Files();
            const qsizetype shown = messages_.texts().size();
            action();
            if (title == "Vers") {
                EXPECT_EQ(Read("Vers.txt"), "VRiff\r\n");
                EXPECT_EQ(messages_.texts().size(), shown);
                continue;
            }
            EXPECT_EQ(messages_.texts().mid(shown), QStringList{kWriteError});
            EXPECT_EQ(Files(), before);
            if (name != std::string("exit")) {
                EXPECT_EQ(Shown(), title + ": Riff");
                Window()->close();
                EXPECT_EQ(Shown(), "none");
                Choose(2);
                Choose(1);
                window_->Lyrics()->mnuClose->trigger();
                EXPECT_EQ(messages_.texts().size(), shown + 1);
                EXPECT_EQ(Files(), before);
            }
        }
    }
    Restart();  // no recording: nowhere to save
    window_->lstCue_DblClick();
    Type("x");
    window_->Lyrics()->mnuSave->trigger();
    EXPECT_EQ(messages_.texts(), QStringList(16, kWriteError));
}

// A lyrics file the user may write but not read, or one too big to show, is
// reported and never replaced by the window's text.
TEST_F(Lyrics, FilesThatCannotBeReadAreReportedAndNeverReplaced) {
    WriteBytes(PathOf("Vers.txt"), "nur schreiben\r\n");
    QFile::setPermissions(PathOf("Vers.txt"), QFileDevice::WriteOwner);
    WriteBytes(PathOf("Riesig.txt"), QByteArray(kMaxLyricsBytes + 1, 'x'));
    const auto before = Files();
    const bool root = ::geteuid() == 0;  // root reads anything: act as another user
    if (root) {
        QFile::setPermissions(music_.path(), QFileDevice::Permissions(0x7777));
        ASSERT_TRUE(::setegid(65534) == 0 && ::seteuid(65534) == 0);
    }
    Choose(1);
    Type("x");
    Window()->mnuSave->trigger();
    Window()->close();  // discards, as the user was told
    if (root) {
        ASSERT_TRUE(::seteuid(0) == 0 && ::setegid(0) == 0);
    }
    Button(1, "Riesig");
    EXPECT_EQ(Shown(), "Riesig: ");
    Window()->mnuClose->trigger();
    EXPECT_EQ(messages_.texts(), QStringList({kOpenError, kWriteError, kOpenError}));
    EXPECT_EQ(Files(), before);
}

// Text the box would change comes back as loaded after typing; without typing
// the file keeps its bytes but for the one line break at the end.
TEST_F(Lyrics, TextRoundTripsByteForByte) {
    const QByteArray text = "a\302\240b\342\200\250c\342\200\251d\r\ne";
    WriteBytes(PathOf("Vers.txt"), text + "\r\n\r\n");
    Choose(1);
    Type("!");
    Window()->mnuSave->trigger();
    EXPECT_EQ(Read("Vers.txt"), text + "!\r\n");

    const QByteArray binary("\x01\x00\x81\xfe\nx\ry\xc3\r\n\n", 12);
    WriteBytes(PathOf("Refrain.txt"), binary);
    Play(10.2);  // the tick follows into Refrain and loads its lyrics
    ASSERT_EQ(window_->lyricsTitle, "Refrain");
    Window()->mnuClose->trigger();
    EXPECT_EQ(Read("Refrain.txt"), binary.chopped(3) + "\r\n");
    EXPECT_TRUE(messages_.texts().isEmpty());
}
