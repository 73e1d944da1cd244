// A whole session through the program's start-up routine, with the real
// GStreamer engine playing in real time to a silent sink and the real windows.
#include "app/path_helpers.h"
#include "app/settings_store.h"
#include "cues/cue_file.h"
#include "cues/cue_line.h"
#include "engine/gst_engine.h"
#include "playback/time_text.h"
#include "support/message_watcher.h"
#include "support/program_fixture.h"
#include "support/real_time.h"
#include "support/test_audio.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kSection = QStringLiteral("Kestrin's Tembrel");

// A value of the program's settings file.
QString Setting(const ProgramFolder& program, const char* key) {
    return ReadSetting(kSection, QString::fromLatin1(key), program.SettingsFile());
}

// Real engines that play in real time to a sink that throws the sound away.
MediaEngineFactory SilentEngines() {
    return [] { return CreateGstEngine(MakeClockSink()); };
}

// The position the last tick saw, in seconds.
double Position(const frmTembrel& window) {
    return window.positionText.toDouble();
}

// Types text into a widget key by key, Enter for each line break. Letters
// outside ASCII go as key events carrying only their text, as an input
// method sends them.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c == u'\n') {
            QTest::keyClick(widget, Qt::Key_Return);
        } else if (c.unicode() < 128) {
            QTest::keyClick(widget, c.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(widget, &press);
        }
    }
}

// A file's bytes; a marker text when it cannot be read.
QByteArray FileBytes(const QString& path) {
    return ReadFileBytes(path).value_or(QByteArray("<missing>"));
}

}  // namespace

TEST(Session, PlayCueLyricsRepeatCloseAndStartAgain) {
    ASSERT_TRUE(InitGstreamer());
    ProgramFolder program;
    QTemporaryDir music;
    const QString folder = music.path() + QLatin1Char('/');
    const QString recording = folder + QStringLiteral("Probe 1.wav");
    ASSERT_TRUE(WriteClickWav(recording, 20.0));
    MessageWatcher messages;

    // Named on the command line, the recording opens and plays.
    auto window = program.Start({recording}, SilentEngines());
    ASSERT_NE(window->media, nullptr);
    EXPECT_EQ(window->lstPath->Text(), QStringLiteral("Probe 1.wav"));
    EXPECT_EQ(window->txtLength1->text(), QStringLiteral("00:00:20"));
    EXPECT_EQ(Lines(window->lstCue), QStringList{StartPointLine()});
    ASSERT_TRUE(WaitFor([&] { return Position(*window) >= 1.0; }));
    EXPECT_NE(window->txtTUsed1->text(), QStringLiteral("00:00:00"));
    EXPECT_GE(window->H1->Value(), 1);

    // A cue point set while playing, nudged a second later, retitled with Enter.
    window->txtCueTitle->setText(QStringLiteral("Vers"));
    window->cmdCue1->click();
    ASSERT_EQ(window->lstCue->ListCount(), 2);
    const qint32 set = window->lstCue->ItemData(1);
    ASSERT_GE(set, 1);
    ASSERT_LE(set, 3);
    EXPECT_TRUE(window->lstCue->List(1).endsWith(QStringLiteral(" - Vers")));
    window->Command3->click();
    const qint32 cue = set + 1;
    ASSERT_EQ(window->lstCue->ItemData(1), cue);
    EXPECT_EQ(window->lstCue->List(1), TimeText(cue) + QStringLiteral(" - Vers"));
    EXPECT_NEAR(window->media->CurrentPosition().value_or(-1), cue, 0.1);
    window->txtCueTitle->setText(QStringLiteral("Refrain"));
    QTest::keyClick(window->txtCueTitle, Qt::Key_Return);
    const QString cueLine = TimeText(cue) + QStringLiteral(" - Refrain");
    EXPECT_EQ(window->lstCue->List(1), cueLine);
    const QByteArray cueFile = "[0]00:00:00 - Start Point\r\n[" + QByteArray::number(cue) + "]" +
                               cueLine.toLatin1() + "\r\n\r\n";
    EXPECT_EQ(FileBytes(folder + QStringLiteral("Probe 1.cue")), cueFile);

    // Lyrics typed into the empty window of the cue point and saved.
    window->Command4->click();
    frmLyrics* lyrics = window->Lyrics();
    ASSERT_TRUE(lyrics->isVisible());
    EXPECT_EQ(lyrics->windowTitle(), QStringLiteral("Refrain"));
    EXPECT_TRUE(lyrics->txtLyrics->toPlainText().isEmpty());
    Type(lyrics->txtLyrics, QStringLiteral("G       D\nGrüße vom Fluss"));
    lyrics->mnuSave->trigger();
    const QString lyricsFile = folder + QStringLiteral("Refrain.txt");
    EXPECT_EQ(FileBytes(lyricsFile), QByteArray("G       D\r\nGr\xfc\xdf"
                                                "e vom Fluss\r\n"));

    // Repeat loops the start point's section: played from the start, the
    // position goes back to 0 at the cue point, again and again.
    window->lstCue->SetListIndex(0);
    window->lstCue_DblClick();
    EXPECT_FALSE(lyrics->isVisible());  // the start point has no lyrics
    window->mnuRepeat->trigger();
    ASSERT_TRUE(window->mnuRepeat->isChecked());
    ASSERT_TRUE(WaitFor([&] { return Position(*window) < 0.5; }));
    double highest = 0;
    double previous = Position(*window);
    int loops = 0;
    EXPECT_TRUE(WaitFor([&] {
        const double position = Position(*window);
        highest = std::max(highest, position);
        loops += position < previous - 0.5 ? 1 : 0;
        previous = position;
        return loops >= 2;
    }));
    // A tick may see the first milliseconds of the cue point's second before it jumps.
    EXPECT_LT(highest, cue + 0.5);
    EXPECT_GT(highest, cue - 0.5);
    EXPECT_EQ(window->currentCue, 0);

    // Typing left unsaved in the cue point's lyrics is kept when the window closes.
    window->lstCue->SetListIndex(1);
    window->lstCue_DblClick();
    ASSERT_TRUE(lyrics->isVisible());
    EXPECT_EQ(lyrics->txtLyrics->toPlainText(), QStringLiteral("G       D\nGrüße vom Fluss"));
    lyrics->txtLyrics->moveCursor(QTextCursor::End);
    Type(lyrics->txtLyrics, QStringLiteral("\nEm"));

    window->V1->SetValue(-1500);
    SetLeftTwips(window.get(), 1200);
    SetTopTwips(window.get(), 900);
    SetTopTwips(lyrics, 1500);
    SetWidthTwips(lyrics, 4500);
    SetHeightTwips(lyrics, 3000);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(window->media, nullptr);
    EXPECT_FALSE(lyrics->isVisible());

    EXPECT_EQ(FileBytes(folder + QStringLiteral("Probe 1.cue")), cueFile);
    EXPECT_EQ(FileBytes(lyricsFile), QByteArray("G       D\r\nGr\xfc\xdf"
                                                "e vom Fluss\r\nEm\r\n"));
    EXPECT_EQ(Setting(program, "Pfad"), folder);
    EXPECT_EQ(Setting(program, "Volume"), QStringLiteral("-1500"));
    EXPECT_EQ(Setting(program, "X"), QStringLiteral("1200"));
    EXPECT_EQ(Setting(program, "Y"), QStringLiteral("900"));
    EXPECT_EQ(Setting(program, "Top"), QStringLiteral("1500"));
    EXPECT_EQ(Setting(program, "Width"), QStringLiteral("4500"));
    EXPECT_EQ(Setting(program, "Height"), QStringLiteral("3000"));
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join(u'|').toStdString();
    window.reset();

    // Started again without a file: the folder, volume and window places come
    // back, and the recording opens with its cue points.
    auto again = program.Start({}, SilentEngines());
    EXPECT_EQ(again->currentFolder, folder);
    EXPECT_EQ(again->V1->Value(), -1500);
    EXPECT_EQ(LeftTwips(again.get()), 1200);
    EXPECT_EQ(TopTwips(again.get()), 900);
    frmLyrics* lyricsAgain = again->ExistingLyrics();
    ASSERT_NE(lyricsAgain, nullptr);
    EXPECT_EQ(TopTwips(lyricsAgain), 1500);
    EXPECT_EQ(WidthTwips(lyricsAgain), 4500);
    EXPECT_EQ(HeightTwips(lyricsAgain), 3000);
    const int entry = Lines(again->lstPath).indexOf(QStringLiteral("Probe 1.wav"));
    ASSERT_GE(entry, 0);
    again->lstPath->SetListIndex(entry);
    again->lstPath_DblClick();
    ASSERT_NE(again->media, nullptr);
    EXPECT_EQ(Lines(again->lstCue), QStringList({StartPointLine(), cueLine}));
    EXPECT_TRUE(again->close());
}
