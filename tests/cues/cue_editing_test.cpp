#include "app/text_codec.h"
#include "cues/cue_file.h"
#include "support/player_fixture.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

namespace {

using Cue = std::pair<qint32, QString>;

// A recording of a minute with cue points at 0, 10, 20, 30 and 40 seconds.
class CueEditing : public PlayerTest {
protected:
    void SetUp() override {
        PlayerTest::SetUp();
        const QByteArray cues =
            "[0]00:00:00 - Start Point\r\n[10]00:00:10 - A\r\n[20]00:00:20 - B\r\n"
            "[30]00:00:30 - C\r\n[40]00:00:40 - D\r\n\r\n";
        OpenWithCues(QStringLiteral("a.mp3"), 60, cues);
    }

    // The cue file parsed back.
    QList<Cue> CueFileHolds() const {
        QFile file(PathOf(QStringLiteral("a.cue")));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        const auto records = ParseCueFile(DecodeText(file.readAll()));
        QList<Cue> cues;
        for (const CueRecord& record : records.value_or(QList<CueRecord>())) {
            cues.append({record.seconds, record.text});
        }
        return cues;
    }

    void SetCueAt(double seconds, const QString& title) {
        Engine()->SetCurrentPosition(seconds);
        Play(0);
        window_->txtCueTitle->setText(title);
        window_->cmdCue1->click();
    }

    void Select(int index) { window_->lstCue->SetListIndex(index); }
};

}  // namespace

TEST_F(CueEditing, NewCueShowsTheCutTimeAndKeepsTheRoundedSeconds) {
    SetCueAt(23.6, QStringLiteral("Bridge"));
    SetCueAt(23.2, QStringLiteral("Bridge"));
    SetCueAt(23.2, QStringLiteral("Bridge"));
    const QList<Cue> cues = Cues();
    ASSERT_EQ(cues.size(), 8);
    // Appended at the end though they lie before later cue points.
    EXPECT_EQ(cues[5], Cue(24, QStringLiteral("00:00:23 - Bridge")));
    EXPECT_EQ(cues[6], Cue(23, QStringLiteral("00:00:23 - Bridge")));
    EXPECT_EQ(cues[7], cues[6]);
    EXPECT_EQ(window_->lstCue->ListIndex(), 7);
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
    EXPECT_EQ(CueFileHolds(), cues);
}

TEST_F(CueEditing, NudgingStopsAtTheEndsAndKeepsTheLinesPlace) {
    Select(0);
    window_->Command2->click();
    EXPECT_EQ(Cues()[0], Cue(0, QStringLiteral("00:00:00 - Start Point")));
    EXPECT_EQ(Engine()->calls().last(), QStringLiteral("SetCurrentPosition(0)"));

    Select(4);
    for (int i = 0; i < 25; ++i) {
        window_->Command3->click();
    }
    EXPECT_EQ(Cues()[4], Cue(60, QStringLiteral("00:01:00 - D")));
    EXPECT_EQ(Engine()->CurrentPosition(), 60.0);
    EXPECT_EQ(window_->H1->Value(), 60);

    Select(2);
    for (int i = 0; i < 11; ++i) {
        window_->Command2->click();  // past A at 10
    }
    EXPECT_EQ(Cues()[2], Cue(9, QStringLiteral("00:00:09 - B")));
    EXPECT_EQ(window_->lstCue->ListIndex(), 2);
    EXPECT_EQ(CueFileHolds(), Cues());
}

TEST_F(CueEditing, RemovingSelectsTheLineAbove) {
    Select(3);
    window_->mnuRemCue->trigger();
    EXPECT_EQ(window_->lstCue->ListIndex(), 2);
    EXPECT_EQ(Cues().size(), 4);
    EXPECT_EQ(Cues()[3].second, QStringLiteral("00:00:40 - D"));
    Select(0);
    window_->mnuRemCue->trigger();
    EXPECT_EQ(window_->lstCue->ListIndex(), -1);
    EXPECT_EQ(CueFileHolds(), Cues());
    EXPECT_EQ(window_->currentCue, 0);  // edits leave the current cue alone
}

TEST_F(CueEditing, EnterRetitlesKeepingTheShownTime) {
    Select(0);
    window_->txtCueTitle->setFocus();
    window_->txtCueTitle->setText(QStringLiteral("Anfang"));
    QTest::keyClick(window_->txtCueTitle, Qt::Key_Return);
    EXPECT_EQ(Cues()[0], Cue(0, QStringLiteral("00:00:00 - Anfang")));
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("Anfang"));

    Select(2);
    QTest::keyClicks(window_->txtCueTitle, QStringLiteral("!"));
    EXPECT_EQ(Cues()[2].second, QStringLiteral("00:00:20 - B"));  // typing alone changes nothing
    QTest::keyClick(window_->txtCueTitle, Qt::Key_Enter);
    EXPECT_EQ(Cues()[2], Cue(20, QStringLiteral("00:00:20 - Anfang!")));
    EXPECT_EQ(window_->lstCue->ListIndex(), 2);
    EXPECT_EQ(CueFileHolds(), Cues());
}

TEST_F(CueEditing, EditTitleCopiesTheTitleOrEmptiesTheBox) {
    Select(1);
    window_->mnuEdit->trigger();
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("A"));
    window_->lstCue->AddItem(QStringLiteral("00:00:50 -"));  // 10 characters
    Select(5);
    window_->mnuEdit->trigger();
    EXPECT_EQ(window_->txtCueTitle->text(), QString());
}

TEST_F(CueEditing, WithoutSelectionNothingChanges) {
    const QList<Cue> before = Cues();
    const QList<Cue> fileBefore = CueFileHolds();
    Select(-1);
    window_->Command2->click();
    window_->Command3->click();
    window_->mnuRemCue->trigger();
    window_->txtCueTitle->setText(QStringLiteral("x"));
    window_->txtCueTitle_KeyPress();
    EXPECT_EQ(Cues(), before);
    EXPECT_EQ(CueFileHolds(), fileBefore);
    EXPECT_TRUE(messages_.texts().isEmpty());
}

TEST_F(CueEditing, PopupOnlyForTheRightButtonOverALaterLine) {
    window_->show();
    const QPoint overLine4 = window_->lstCue->visualItemRect(window_->lstCue->item(4)).center();
    Select(0);
    QTest::mouseClick(window_->lstCue->viewport(), Qt::RightButton, {}, overLine4);
    EXPECT_FALSE(window_->mnuPop->isVisible());

    Select(2);
    QTest::mouseClick(window_->lstCue->viewport(), Qt::LeftButton, {}, overLine4);
    EXPECT_FALSE(window_->mnuPop->isVisible());
    Select(2);
    QTest::mouseClick(window_->lstCue->viewport(), Qt::RightButton, {}, overLine4);
    EXPECT_TRUE(window_->mnuPop->isVisible());
    EXPECT_EQ(window_->lstCue->ListIndex(), 2);  // the menu acts on the selected line
    window_->mnuPop->hide();
}

TEST(CueEditingBeforeOpen, ShowsTheWriteErrorAndWritesNothing) {
    ProgramFolder program;
    MessageWatcher messages;
    auto window = program.Start();
    window->txtCueTitle->setText(QStringLiteral("x"));
    window->cmdCue1->click();
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Fehler beim Schreiben der Cue-Datei. ")});
    EXPECT_EQ(window->lstCue->ItemData(0), 0);
}
