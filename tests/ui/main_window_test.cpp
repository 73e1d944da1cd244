#include "support/message_watcher.h"
#include "support/program_fixture.h"
#include "ui/frm_lyrics.h"
#include "ui/frm_tembrel.h"
#include "ui/picture_box.h"
#include "ui/pictures.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override { window_ = program_.Start(); }

    ProgramFolder program_;
    std::unique_ptr<frmTembrel> window_;
};

}  // namespace

TEST_F(MainWindow, IsAFixedPanelHidingTheSoundControlsBeyondItsEdge) {
    EXPECT_EQ(window_->size(), QSize(599, 419));
    EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
    for (QWidget* hidden : std::initializer_list<QWidget*>{window_->Frame2, window_->Frame3,
                                                           window_->picAni, window_->frmPaths}) {
        EXPECT_GE(hidden->geometry().left(), window_->width())
            << hidden->objectName().toStdString();
    }
    EXPECT_LT(window_->dummy->geometry().right(), 0);
    EXPECT_TRUE(window_->dummy->isVisible());
}

TEST_F(MainWindow, StartValues) {
    EXPECT_FALSE(window_->H1->isEnabled());
    EXPECT_EQ(window_->H1->Max(), 100);
    EXPECT_EQ(window_->H1->LargeChange(), 10);
    EXPECT_EQ(window_->V1->Value(), 0);
    EXPECT_EQ(window_->S1->Value(), 100);
    EXPECT_EQ(window_->B1->Value(), 0);
    for (QLabel* box : {window_->txtTLeft1, window_->txtTUsed1, window_->txtLength1}) {
        EXPECT_EQ(box->text(), QStringLiteral("00:00:00"));
        EXPECT_EQ(box->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(window_->txtCue->text(), QStringLiteral("00:00:00"));
    EXPECT_TRUE(window_->txtCueTitle->text().isEmpty());
    EXPECT_FALSE(window_->picRepeat->isVisible());
    EXPECT_FALSE(window_->lblRepeat->isVisible());
    EXPECT_TRUE(window_->Timer1->isActive());
    EXPECT_EQ(window_->Timer1->interval(), 10);
    EXPECT_FALSE(window_->tmrRepeat->isActive());
    EXPECT_EQ(window_->tmrRepeat->interval(), 200);
    EXPECT_TRUE(window_->txtCue->font().fixedPitch());
}

TEST_F(MainWindow, PopupMenuHoldsTheCueActionsAndTheRepeatSwitch) {
    const QList<QAction*> actions = window_->mnuPop->actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0], window_->mnuRemCue);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Remove Cue Point"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("Edit Title"));
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_EQ(actions[3], window_->mnuRepeat);
    EXPECT_TRUE(window_->mnuRepeat->isCheckable());
    EXPECT_FALSE(window_->mnuRepeat->isChecked());
}

TEST_F(MainWindow, TabWalksTheControlsInTheirOrderSkippingHiddenAndDisabledOnes) {
    const QStringList expected = {"cmdBack",  "cmdRoot",  "lstPath",   "drvDrives",   "dummy",
                                  "B1",       "S1",       "V1",        "cmdReset1",   "cmdBReset1",
                                  "cmdStop1", "cmdPlay1", "cmdPause1", "txtCue",      "cmdCue1",
                                  "cmdNext1", "cmdPrev1", "lstCue",    "txtCueTitle", "Command1",
                                  "picAni",   "Command2", "Command3",  "Command4",    "Command5",
                                  "Command6", "Command7", "Command8",  "Command9"};
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    window_->cmdBack->setFocus();
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        visited << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
    EXPECT_EQ(QApplication::focusWidget(), window_->cmdBack);  // round again
}

TEST(Pictures, RepeatStripHoldsFourTurnsOfTheStill) {
    const QImage strip = RepeatStrip().toImage();
    ASSERT_EQ(strip.size(), QSize(80, 20));
    const QImage still = RepeatStill().toImage();
    ASSERT_EQ(still.size(), QSize(20, 20));
    EXPECT_EQ(strip.copy(0, 0, 20, 20), still);
    for (int frame = 1; frame < 4; ++frame) {
        EXPECT_NE(strip.copy(frame * 20, 0, 20, 20), still) << frame;
    }
    EXPECT_EQ(strip.pixelColor(0, 0), QColor(0xF0, 0xF0, 0xF0));
    bool hasInk = false;
    for (int x = 0; x < 20 && !hasInk; ++x) {
        for (int y = 0; y < 20; ++y) {
            hasInk |= still.pixelColor(x, y) == QColor(0xC0, 0, 0);
        }
    }
    EXPECT_TRUE(hasInk);
}

TEST_F(MainWindow, LyricsWindowActsFromItsMenuBar) {
    frmLyrics* lyrics = window_->Lyrics();
    const QList<QAction*> items = lyrics->menuBar()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), QStringLiteral("schließen"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("speichern"));
    EXPECT_EQ(items[0]->menu(), nullptr);
    lyrics->show();
    lyrics->txtLyrics->setPlainText(QStringLiteral("C  G\nLa la"));
    MessageWatcher messages;
    items[0]->trigger();  // hides, then fails to save lyrics that have no file yet
    EXPECT_FALSE(lyrics->isVisible());
    EXPECT_EQ(lyrics->txtLyrics->toPlainText(), QStringLiteral("C  G\nLa la"));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Fehler beim Schreiben der Datei. ")});
}
