// Whole sessions through the start-up routine, the real engine playing in real
// time to a silent sink.
#include "support/program_test.h"
#include "support/test_audio.h"

using Session = ProgramTest;

TEST_F(Session, PlayCueLyricsRepeatCloseAndStartAgain) {
    ASSERT_TRUE(WriteWav(PathOf("Probe 1.wav"), 20));
    UseRealEngine();
    Restart({PathOf("Probe 1.wav")});  // named on the command line, it opens and plays
    LetTickRun();
    const auto position = [&] { return window_->positionText.toDouble(); };
    EXPECT_EQ(window_->txtLength1->text(), "00:00:20");
    ASSERT_TRUE(WaitFor([&] { return position() >= 1; }));

    // A cue point set while playing, nudged a second later, retitled with Enter.
    window_->cmdCue1->click();
    const qint32 cue = window_->lstCue->ItemData(1) + 1;
    window_->Command3->click();
    EXPECT_NEAR(window_->media->CurrentPosition().value_or(-1), cue, 0.5);
    window_->txtCueTitle->setText("Refrain");
    QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    const QString line = TimeText(cue) + " - Refrain";
    const QByteArray cueFile = "[0]00:00:00 - Start Point\r\n[" + QByteArray::number(cue) + "]" +
                               line.toLatin1() + "\r\n\r\n";
    EXPECT_EQ(ReadBytes(PathOf("Probe 1.cue")), cueFile);

    // Lyrics typed into the cue point's empty window (\r is the Enter key).
    window_->Command4->click();
    frmLyrics* lyrics = window_->Lyrics();
    QTest::keyClicks(lyrics->txtLyrics, "G       D\rGruss");
    lyrics->mnuSave->trigger();
    EXPECT_EQ(ReadBytes(PathOf("Refrain.txt")), "G       D\r\nGruss\r\n");

    // Repeat loops the start point's section: back to 0 at the cue point.
    Choose(0);
    window_->mnuRepeat->trigger();
    double highest = 0;
    EXPECT_TRUE(WaitFor([&] {
        highest = std::max(highest, position());
        return highest > cue - 0.5 && position() < 0.5;
    }));
    EXPECT_LT(highest, cue + 1.5);  // without the loop it would play on to 20 s

    // Typing not yet saved is kept when the program closes.
    Choose(1);
    lyrics->txtLyrics->moveCursor(QTextCursor::End);
    QTest::keyClicks(lyrics->txtLyrics, "\rEm");
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(ReadBytes(PathOf("Refrain.txt")), "G       D\r\nGruss\r\nEm\r\n");
    EXPECT_EQ(ReadBytes(PathOf("Probe 1.cue")), cueFile);
    EXPECT_TRUE(messages_.texts().isEmpty());
}
