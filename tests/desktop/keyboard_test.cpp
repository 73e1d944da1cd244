// Keys drive the player from both windows, but never take the keys a list
// needs for moving or a text box needs for typing.
#include "support/program_test.h"

using Keyboard = ProgramTest;

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
    // The focused control, the keys pressed, the player afterwards.
    const char* const cases[][3] = {
        {"dummy", "Space", "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "Space, Space", "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "S", "halt 0 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "Left, B", "run 21 cue 2/2 100 cues 4 'Refrain' ''"},
        {"dummy", "Shift+Left", "run 15 cue 1/1 100 cues 4 'Vers' ''"},
        {"dummy", "Right, Shift+F", "run 37 cue 3/3 100 cues 4 '' ''"},
        {"dummy", "N", "run 30 cue 3/3 100 cues 4 '' ''"},
        {"dummy", "PgUp", "run 10 cue 1/1 100 cues 4 'Vers' ''"},
        {"dummy", "C, R", "run 25 cue 2/4 100 cues 5 repeat 'Refrain' ''"},
        {"dummy", "-, -, +", "run 25 cue 2/2 95 cues 4 'Refrain' ''"},
        {"dummy", "-, Backspace", "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
        // Media keys act everywhere; the rest types.
        {"title", "S, Space, -, Left", "run 25 cue 2/2 100 cues 4 'Refrains -' ''"},
        {"title", "Toggle Media Play/Pause", "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"lyrics", "R, Space, C", "run 25 cue 2/2 100 cues 4 'Refrain' 'r c'"},
        // Lists keep their moving keys; the others act.
        {"cues", "Down, Left, PgUp", "run 25 cue 2/0 100 cues 4 'Refrain' ''"},
        {"cues", "Space", "halt 25 cue 2/2 100 cues 4 'Refrain' ''"},
        {"files", "End, Right, Return", "run 25 cue 2/2 100 cues 4 'Refrain' ''"},
    };
    for (const auto& [control, keys, after] : cases) {
        SCOPED_TRACE(std::string(control) + " " + keys);
        Restart();
        OpenWithCues(QStringLiteral("Song.mp3"), 100, kFourCues);
        Choose(2);
        Play(5);
        QWidget* focus = focusOf(control);
        focus->window()->show();
        focus->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(focus->window()));
        focus->setFocus();
        const QKeySequence sequence = QKeySequence::fromString(keys);
        ASSERT_GT(sequence.count(), 0);
        for (int i = 0; i < sequence.count(); ++i) {
            const QKeyCombination key = sequence[i];
            const QString text = key.key() < 0x7f ? QString(QChar(key.key())).toLower() : QString();
            QTest::sendKeyEvent(QTest::Click, focus, key.key(), text, key.keyboardModifiers());
        }
        EXPECT_EQ(summary(), after);
        EXPECT_EQ(window_->windowTitle(), window_->S1->Value() == 100
                                              ? QStringLiteral("Vorlane Tembrel")
                                              : QStringLiteral("Vorlane Tembrel \u2013 95 %"));
    }
}
