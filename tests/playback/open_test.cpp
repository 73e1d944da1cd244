#include "support/player_fixture.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

using Opening = PlayerTest;
using Cue = std::pair<qint32, QString>;

}  // namespace

TEST_F(Opening, WithoutCueFileListsTheStartPointAndPlaysFromZero) {
    AddRecording(QStringLiteral("Probe 1.mp3"), 3 * 3600 + 25 * 60 + 30.4);
    window_->V1->SetValue(-700);
    Open(QStringLiteral("Probe 1.mp3"));

    ASSERT_NE(Engine(), nullptr);
    EXPECT_EQ(window_->currentFile, PathOf(QStringLiteral("Probe 1.mp3")));
    EXPECT_EQ(window_->cueFile, PathOf(QStringLiteral("Probe 1.cue")));
    EXPECT_EQ(Cues(), QList<Cue>({{0, QStringLiteral("00:00:00 - Start Point")}}));
    EXPECT_EQ(window_->lstCue->ListIndex(), 0);
    EXPECT_EQ(window_->txtCueTitle->text(), QStringLiteral("Start Point"));
    EXPECT_EQ(window_->txtLength1->text(), QStringLiteral("03:25:30"));
    EXPECT_TRUE(window_->H1->isEnabled());
    EXPECT_EQ(window_->H1->Max(), 12330);
    EXPECT_EQ(window_->H1->LargeChange(), 1233);
    EXPECT_EQ(Engine()->calls(),
              QStringList({"RenderFile(" + PathOf(QStringLiteral("Probe 1.mp3")) + ")",
                           "SetVolume(-700)", "SetRate(1)", "Run", "SetCurrentPosition(0)"}));
    EXPECT_EQ(window_->focusWidget(), static_cast<QWidget*>(window_->dummy));
    // Opening writes no cue file.
    EXPECT_FALSE(QFile::exists(PathOf(QStringLiteral("Probe 1.cue"))));
    EXPECT_TRUE(messages_.texts().isEmpty());
}

TEST_F(Opening, ReadsTheCueFileAsItIs) {
    const QByteArray cues =
        "[0]00:00:00 - Start Point\r\n\r\n[83]00:01:23 - Intro\r\n"
        "[83]00:01:23 - Intro\r\n[40]00:00:40 - vorher\r\n\r\n";
    AddRecording(QStringLiteral("a.wav"), 600, &cues);
    Open(QStringLiteral("a.wav"));
    EXPECT_EQ(Cues(), QList<Cue>({{0, QStringLiteral("00:00:00 - Start Point")},
                                  {83, QStringLiteral("00:01:23 - Intro")},
                                  {83, QStringLiteral("00:01:23 - Intro")},
                                  {40, QStringLiteral("00:00:40 - vorher")}}));
    ASSERT_NE(Engine(), nullptr);
    EXPECT_TRUE(Engine()->running());
}

TEST_F(Opening, AnEmptyCueFileGivesAnEmptyListAndStillPlays) {
    const QByteArray empty;
    AddRecording(QStringLiteral("a.wav"), 600, &empty);
    Open(QStringLiteral("a.wav"));
    EXPECT_TRUE(Cues().isEmpty());
    ASSERT_NE(Engine(), nullptr);
    EXPECT_TRUE(Engine()->running());
}

TEST_F(Opening, FailuresReleaseEverythingSilently) {
    const QByteArray damaged = "[0]00:00:00 - Start Point\r\n[]00:00:10 - x\r\n";
    AddRecording(QStringLiteral("good.mp3"), 600);
    AddRecording(QStringLiteral("damaged.mp3"), 600, &damaged);
    TouchFile(music_.path(), QStringLiteral("broken.mp3"));  // the engine cannot render it
    window_->dirDirs_Change();

    // A damaged cue file, a file the engine cannot render, and an engine that
    // fails any call up to the last step of the open (the Play at its end).
    const std::pair<const char*, const char*> cases[] = {
        {"damaged.mp3", ""}, {"broken.mp3", ""},      {"good.mp3", "SetVolume"},
        {"good.mp3", "Run"}, {"good.mp3", "SetRate"}, {"good.mp3", "SetCurrentPosition"}};
    for (const auto& [name, failing] : cases) {
        SCOPED_TRACE(std::string(name) + " " + failing);
        control_->failing.clear();
        Open(QStringLiteral("good.mp3"));
        ASSERT_NE(Engine(), nullptr);
        const int destroyedBefore = control_->destroyed;
        control_->failing.insert(QString::fromLatin1(failing));
        Open(QString::fromLatin1(name));
        EXPECT_EQ(Engine(), nullptr);
        EXPECT_GT(control_->destroyed, destroyedBefore);
        EXPECT_TRUE(Cues().isEmpty());
        EXPECT_EQ(window_->currentFile, PathOf(QString::fromLatin1(name)));
    }
    control_->failing.clear();
    // The damaged cue file is left as it was.
    QFile file(PathOf(QStringLiteral("damaged.cue")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
    EXPECT_TRUE(messages_.texts().isEmpty());

    // Ticks go on harmlessly without an engine.
    Play(1);
    EXPECT_EQ(window_->txtTUsed1->text(), QStringLiteral("00:00:00"));
}

TEST_F(Opening, SliderRangeFitsShortAndLongRecordings) {
    struct Case {
        double seconds;
        int max;
        int largeChange;
    };
    const Case cases[] = {{9.5, 10, 1},
                          {5, 5, 1},
                          {0.4, 0, 1},
                          {10 * 3600, 36000, 3600},
                          {24 * 3600 + 0.5, 86400, 8640}};
    for (const Case& c : cases) {
        const QString name = QStringLiteral("len %1.wav").arg(c.seconds);
        AddRecording(name, c.seconds);
        Open(name);
        ASSERT_NE(Engine(), nullptr) << c.seconds;
        EXPECT_EQ(window_->H1->Max(), c.max) << c.seconds;
        EXPECT_EQ(window_->H1->LargeChange(), c.largeChange) << c.seconds;
        Play(c.seconds);
        EXPECT_EQ(window_->H1->Value(), c.max) << c.seconds;
    }
}

TEST_F(Opening, OpeningTheSameFileAgainRestartsItAndRereadsItsCues) {
    AddRecording(QStringLiteral("a.mp3"), 600);
    Open(QStringLiteral("a.mp3"));
    Play(100);
    QFile cue(PathOf(QStringLiteral("a.cue")));
    ASSERT_TRUE(cue.open(QIODevice::WriteOnly));
    cue.write("[0]00:00:00 - Start\r\n[50]00:00:50 - Neu\r\n\r\n");
    cue.close();
    Open(QStringLiteral("a.mp3"));
    EXPECT_EQ(control_->created, 2);
    EXPECT_EQ(Engine()->CurrentPosition(), 0.0);
    EXPECT_EQ(Cues().size(), 2);
}

TEST_F(Opening, DoubleClickWithoutSelectionEndsLikeAFailedOpen) {
    AddRecording(QStringLiteral("a.mp3"), 600);
    Open(QStringLiteral("a.mp3"));
    window_->lstPath->SetListIndex(-1);
    window_->lstPath_DblClick();
    EXPECT_EQ(Engine(), nullptr);
    EXPECT_TRUE(Cues().isEmpty());
}

TEST_F(Opening, NamesWithQuotesOpenFromTheList) {
    AddRecording(QStringLiteral("Take \"2\".mp3"), 600);
    Open(QStringLiteral("Take \"2\".mp3"));
    ASSERT_NE(Engine(), nullptr);
    EXPECT_EQ(window_->cueFile, PathOf(QStringLiteral("Take \"2\".cue")));
}
