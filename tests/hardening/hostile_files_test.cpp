// Hostile cue and settings files: extreme numbers, odd titles and many lines.
// The program starts, opens, plays, navigates and edits without failing.
#include "support/player_fixture.h"
#include "ui/frm_lyrics.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>

namespace {

using HostileCues = PlayerTest;

}  // namespace

TEST_F(HostileCues, ExtremeSecondsAndTitlesCanBePlayedNavigatedAndEdited) {
    // Line 5 holds a NUL and bytes that are no UTF-8; line 6 only brackets.
    const char tail[] = "\r\n[ 7 ]\xff\xfe\x00 - \x81\r\n[6]]]]\r\n\r\n";
    const QByteArray cues =
        "[0]00:00:00 - Start Point\r\n"
        "[2147483647]24:59:59 - ..\r\n"
        "[-2147483648]00:00:00 - a/b\r\n"
        "[5]00:00:05 - " +
        QByteArray(400, 'x') + QByteArray(tail, sizeof tail - 1);
    OpenWithCues(QStringLiteral("Probe.mp3"), 60, cues);
    ASSERT_EQ(window_->lstCue->ListCount(), 6);
    window_->mnuRepeat->trigger();
    for (int i = 0; i < window_->lstCue->ListCount(); ++i) {
        window_->lstCue->SetListIndex(i);
        window_->lstCue_DblClick();
        Play(1.5);
        window_->Command4_Click();
        window_->Command2->click();
        window_->Command3->click();
        window_->cmdNext1->click();
        Play(2);
        window_->cmdPrev1->click();
        Play(70);
        window_->txtCueTitle->setText(QStringLiteral("Neu ") + QString(300, u'ä'));
        window_->txtCueTitle_KeyPress();
    }
    window_->cmdCue1->click();
    EXPECT_EQ(window_->lstCue->ListCount(), 7);
    EXPECT_GE(window_->H1->Value(), 0);
    EXPECT_LE(window_->H1->Value(), 60);
    EXPECT_TRUE(messages_.texts().isEmpty()) << messages_.texts().join(u'|').toStdString();
}

TEST_F(HostileCues, ACueFileOfManyLinesOpens) {
    QByteArray cues;
    for (int i = 0; i < 20000; ++i) {
        cues += "[" + QByteArray::number(i % 61) + "]00:00:00 - " + QByteArray::number(i) + "\r\n";
    }
    OpenWithCues(QStringLiteral("Probe.mp3"), 60, cues + "\r\n");
    ASSERT_EQ(window_->lstCue->ListCount(), 20000);
    for (int i = 0; i < 100; ++i) {
        Play(1);
    }
    EXPECT_EQ(Engine()->CurrentPosition(), 60.0);
}

// Settings with numbers far outside any range, and a browser folder that is
// a FIFO: the program starts with usable defaults.
TEST(HostileSettings, ExtremeNumbersAndOddFoldersGiveAUsableStart) {
    const QByteArray numbers[] = {"1e308",
                                  "-1e308",
                                  "nan",
                                  "inf",
                                  "-99999999999999999999",
                                  "2147483648",
                                  "-2147483649",
                                  ".5e",
                                  "1" + QByteArray(400, '0')};
    for (const QByteArray& number : numbers) {
        ProgramFolder program;
        program.WriteSettings("[Kestrin's Tembrel]\nPfad=" + program.Path().toUtf8() +
                              "tembrel.ini/\nVolume=" + number + "\nX=" + number + "\nY=" + number +
                              "\nTop=" + number + "\nWidth=" + number + "\nHeight=" + number +
                              "\n");
        std::unique_ptr<frmTembrel> window = program.Start();
        ASSERT_NE(window, nullptr);
        EXPECT_GE(window->V1->Value(), -5000) << number.constData();
        EXPECT_LE(window->V1->Value(), 0) << number.constData();
        EXPECT_GT(window->ExistingLyrics()->width(), 0) << number.constData();
        EXPECT_GT(window->ExistingLyrics()->height(), 0) << number.constData();
    }
}
