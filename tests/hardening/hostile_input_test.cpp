// Hostile cue files and files that would block a reader: the program opens,
// plays, navigates and edits without failing, and never waits on a FIFO.
#include "support/program_test.h"
#include "support/test_audio.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include <sys/stat.h>

using HostileInput = ProgramTest;

TEST_F(HostileInput, ExtremeSecondsAndTitlesCanBePlayedNavigatedAndEdited) {
    // Line 5 holds a NUL and bytes that are no UTF-8; line 6 only brackets.
    const char tail[] = "\r\n[ 7 ]\xff\xfe\x00 - \x81\r\n[6]]]]\r\n\r\n";
    OpenWithCues(QStringLiteral("Probe.mp3"), 60,
                 "[0]00:00:00 - Start Point\r\n[2147483647]24:59:59 - ..\r\n"
                 "[-2147483648]00:00:00 - a/b\r\n[5]00:00:05 - " +
                     QByteArray(400, 'x') + QByteArray(tail, sizeof tail - 1));
    ASSERT_EQ(window_->lstCue->ListCount(), 6);
    window_->mnuRepeat->trigger();
    for (int i = 0; i < 6; ++i) {
        Choose(i);
        for (QPushButton* button : {window_->Command4, window_->Command2, window_->Command3,
                                    window_->cmdNext1, window_->cmdPrev1}) {
            button->click();
            Play(1.5);
        }
        DragTo(59);
        Play(70);
        window_->txtCueTitle->setText(QStringLiteral("Neu ") + QString(300, u'ä'));
        QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    }
    window_->cmdCue1->click();
    EXPECT_EQ(window_->lstCue->ListCount(), 7);
    EXPECT_TRUE(window_->H1->Value() >= 0 && window_->H1->Value() <= 60);
    EXPECT_EQ(messages_.texts(), QStringList());
}

// On the real engine, which would wait on a FIFO: a recording whose cue file
// is a FIFO is not opened, and a FIFO or a folder named like a recording on
// the command line holds up nothing.
TEST_F(HostileInput, FifosAndFoldersNamedLikeRecordingsAreNotOpened) {
    UseRealEngine();
    ASSERT_TRUE(WriteWav(PathOf(QStringLiteral("x.wav")), 1));
    for (const char* fifo : {"x.cue", "y.mp3"}) {
        ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf(QString::fromUtf8(fifo))).constData(), 0600),
                  0);
    }
    ASSERT_TRUE(QDir(music_.path()).mkdir(QStringLiteral("z.mp3")));
    window_->dirDirs_Change();
    Open(QStringLiteral("x.wav"));
    EXPECT_EQ(window_->media, nullptr);
    for (const char* name : {"y.mp3", "z.mp3"}) {
        Restart({PathOf(QString::fromUtf8(name))});
        EXPECT_EQ(window_->media, nullptr) << name;
    }
    EXPECT_EQ(messages_.texts(), QStringList());
}
