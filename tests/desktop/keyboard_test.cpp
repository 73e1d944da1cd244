// Keys drive the player from both windows, but never take the keys a list
// needs for moving or a text box needs for typing.
#include "support/program_test.h"
#include "ui/frm_lyrics.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using Keyboard = ProgramTest;

namespace {

struct Case {
    const char* focus;  // the control holding the keyboard focus
    QList<QKeySequence> keys;
    const char* after;  // the player afterwards, as Summary gives it
};

}  // namespace

TEST_F(Keyboard, KeysActUnlessTheFocusedControlNeedsThem) {
    const auto focusOf = [this](const QByteArray& name) -> QWidget* {
        if (name == "lyrics") {
            window_->Command4->click();  // the lyrics of the cue playing
            return window_->Lyrics()->txtLyrics;
        }
        return name == "title"   ? window_->txtCueTitle
               : name == "cues"  ? static_cast<QWidget*>(window_->lstCue)
               : name == "files" ? static_cast<QWidget*>(window_->lstPath)
                                 : window_->dummy;
    };
    // Running or halted, the position, the cue playing and the one selected,
    // the speed, the number of cues, repeat mode and the typed texts.
    const auto summary = [this] {
        const QPlainTextEdit* lyrics = window_->Lyrics()->txtLyrics;
        return QStringLiteral("%1 %2 cue %3/%4 %5 cues %6%7 '%8' '%9'")
            .arg(Engine()->running() ? "run" : "halt")
            .arg(Engine()->CurrentPosition().value_or(-1))
            .arg(window_->currentCue)
            .arg(window_->lstCue->ListIndex())
            .arg(window_->S1->Value())
            .arg(window_->lstCue->ListCount())
            .arg(window_->mnuRepeat->isChecked() ? " repeat" : "")
            .arg(window_->txtCueTitle->text(), lyrics->toPlainText())
            .toStdString();
    };
    const Case cases[] = {
        {"dummy", {Qt::Key_Space}, "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", {Qt::Key_Space, Qt::Key_Space}, "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", {Qt::Key_S}, "halt 0 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", {Qt::Key_Left, Qt::Key_B}, "run 21 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", {Qt::SHIFT | Qt::Key_Left}, "run 15 cue 1/1 100 cues 4 'Vers' ''"},
        {"dummy", {Qt::Key_Right, Qt::SHIFT | Qt::Key_F}, "run 37 cue 3/3 100 cues 4 '' ''"},
        {"dummy", {Qt::Key_N}, "run 30 cue 3/3 100 cues 4 '' ''"},
        {"dummy", {Qt::Key_PageUp}, "run 10 cue 1/1 100 cues 4 'Vers' ''"},
        {"dummy", {Qt::Key_C, Qt::Key_R}, "run 25 cue 2/4 100 cues 5 repeat 'Refrain' ''"},
        {"dummy",
         {Qt::Key_Minus, Qt::Key_Minus, Qt::Key_Plus},
         "run 25 cue 2/2 95 cues 4 'Refrain' ''"},
        {"dummy", {Qt::Key_Minus, Qt::Key_Backspace}, "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
        // Media keys act everywhere; the rest types.
        {"title",
         {Qt::Key_S, Qt::Key_Space, Qt::Key_B, Qt::Key_Minus, Qt::Key_Left},
         "run 25 cue 2/2 100 cues 4 'Refrains b-' ''"},
        {"title", {Qt::Key_MediaTogglePlayPause}, "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"lyrics",
         {Qt::Key_R, Qt::Key_Space, Qt::Key_C},
         "run 25 cue 2/2 100 cues 4 'Refrain' 'r c'"},
        // Lists keep their moving keys; the others act.
        {"cues",
         {Qt::Key_Down, Qt::Key_Left, Qt::Key_PageUp},
         "run 25 cue 2/0 100 cues 4 'Refrain' ''"},
        {"cues", {Qt::Key_Space}, "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"files",
         {Qt::Key_End, Qt::Key_Right, Qt::Key_Return},
         "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.focus + (" " + QKeySequence(c.keys.first()).toString().toStdString()));
        Restart();
        OpenWithCues(QStringLiteral("Song.mp3"), 100, kFourCues);
        Choose(2);
        Play(5);
        QWidget* focus = focusOf(c.focus);
        focus->window()->show();
        focus->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(focus->window()));
        focus->setFocus();
        for (const QKeySequence& key : c.keys) {
            const Qt::Key code = key[0].key();
            const QString text = code < 0x7f ? QString(QChar(code)).toLower() : QString();
            QTest::sendKeyEvent(QTest::Click, focus, code, text, key[0].keyboardModifiers());
        }
        EXPECT_EQ(summary(), c.after);
        EXPECT_EQ(window_->windowTitle(), window_->S1->Value() == 100
                                              ? QStringLiteral("Vorlane Tembrel")
                                              : QStringLiteral("Vorlane Tembrel \u2013 95 %"));
    }
}
