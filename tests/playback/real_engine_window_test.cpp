// The main window on the real GStreamer engine, with generated recordings
// played in real time to a silent sink.
#include "engine/gst_engine.h"
#include "support/program_fixture.h"
#include "support/real_time.h"
#include "support/test_audio.h"
#include "ui/frm_tembrel.h"
#include "ui/list_box.h"
#include "ui/scroll_bar.h"
#include "ui/title_box.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class RealEngineWindow : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitGstreamer());
        const QString source =
            QString::fromLatin1(GetParam()) == QLatin1String("wav") ? Files().wav : Files().mp3Vbr;
        name_ = QStringLiteral("Probe.") + QString::fromLatin1(GetParam());
        ASSERT_TRUE(QFile::copy(source, music_.path() + QLatin1Char('/') + name_));
        program_.WriteSettings("[Kestrin's Tembrel]\nPfad=" + music_.path().toUtf8() + "/\n");
        window_ = program_.Start({}, [] { return CreateGstEngine(MakeClockSink()); });
    }

    double Position() const { return window_->positionText.toDouble(); }

    ProgramFolder program_;
    QTemporaryDir music_;
    QString name_;
    std::unique_ptr<frmTembrel> window_;
};

}  // namespace

TEST_P(RealEngineWindow, OpensPlaysPausesStopsAndJumpsExactly) {
    window_->lstPath->SetListIndex(Lines(window_->lstPath).indexOf(name_));
    window_->lstPath_DblClick();
    ASSERT_NE(window_->media, nullptr);
    EXPECT_EQ(window_->H1->Max(), 12);
    EXPECT_EQ(window_->txtLength1->text(), QStringLiteral("00:00:12"));

    ASSERT_TRUE(WaitFor([&] { return Position() >= 0.5; }));

    window_->cmdPause1->click();
    QTest::qWait(50);
    const double paused = Position();
    QTest::qWait(300);
    EXPECT_DOUBLE_EQ(Position(), paused);

    window_->cmdStop1->click();
    QTest::qWait(30);
    EXPECT_EQ(Position(), 0.0);
    EXPECT_EQ(window_->H1->Value(), 0);

    window_->cmdPause1->click();  // resumes from 0
    ASSERT_TRUE(WaitFor([&] { return Position() > 0.2; }));
    window_->cmdPause1->click();
    window_->Command6->click();  // forward 10 s from the slider's second
    const double target = window_->H1->Value();
    EXPECT_EQ(target, 10);
    EXPECT_DOUBLE_EQ(window_->media->CurrentPosition().value_or(-1), 10.0);
}

TEST_P(RealEngineWindow, ACueSetWhilePlayingIsThereAfterReopening) {
    const int entry = Lines(window_->lstPath).indexOf(name_);
    window_->lstPath->SetListIndex(entry);
    window_->lstPath_DblClick();
    ASSERT_NE(window_->media, nullptr);
    ASSERT_TRUE(WaitFor([&] { return Position() >= 1.6; }));
    const qint32 seconds = static_cast<qint32>(std::nearbyint(Position()));
    const QString time = window_->txtCue->text();
    window_->txtCueTitle->setText(QStringLiteral("Vers 1"));
    window_->cmdCue1->click();

    window_->lstPath->SetListIndex(entry);
    window_->lstPath_DblClick();
    ASSERT_EQ(window_->lstCue->ListCount(), 2);
    EXPECT_EQ(window_->lstCue->List(1), time + QStringLiteral(" - Vers 1"));
    EXPECT_EQ(window_->lstCue->ItemData(1), seconds);
}

INSTANTIATE_TEST_SUITE_P(Formats, RealEngineWindow, ::testing::Values("wav", "mp3"));
