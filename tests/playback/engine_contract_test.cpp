#include "engine/gst_engine.h"
#include "support/fake_engine.h"
#include "support/test_audio.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QThread>

// The promises of MediaEngine, checked against the fake the GUI tests use and
// against the GStreamer engine the program uses.

namespace {

class FakeHarness {
public:
    FakeHarness() { control_->lengths[GoodFile()] = 12.0; }
    QString GoodFile() const { return "/music/Probe 1.mp3"; }
    std::unique_ptr<MediaEngine> Make() { return FakeEngineFactory(control_)(); }
    // Lets time pass for the engine made last; returns the seconds that passed.
    double Wait(double seconds) {
        control_->last->Advance(seconds);
        return seconds;
    }

private:
    std::shared_ptr<FakeEngineControl> control_ = std::make_shared<FakeEngineControl>();
};

class GstHarness {
public:
    QString GoodFile() const { return Files().wav; }
    std::unique_ptr<MediaEngine> Make() {
        EXPECT_TRUE(InitGstreamer());
        return CreateGstEngine(MakeClockSink());
    }
    double Wait(double seconds) {
        QElapsedTimer timer;
        timer.start();
        QThread::usleep(static_cast<unsigned long>(seconds * 1e6));
        return timer.nsecsElapsed() / 1e9;
    }
};

constexpr double kLength = 12.0;

template <typename Harness>
class EngineContract : public ::testing::Test {
protected:
    // A fresh engine with the 12 s file rendered.
    std::unique_ptr<MediaEngine> Rendered() {
        auto engine = harness.Make();
        EXPECT_TRUE(engine->RenderFile(harness.GoodFile()));
        return engine;
    }

    // Lets time pass until the position reaches the length (bounded).
    void WaitForEnd(MediaEngine& engine) {
        for (int i = 0; i < 100 && engine.CurrentPosition() != kLength; ++i) {
            harness.Wait(0.1);
        }
    }

    // Position change per second of time that passed while running.
    double Speed(MediaEngine& engine) {
        double start = engine.CurrentPosition().value_or(-1);
        double passed = harness.Wait(1.0);
        return (engine.CurrentPosition().value_or(-1) - start) / passed;
    }

    Harness harness;
};

using Harnesses = ::testing::Types<FakeHarness, GstHarness>;
TYPED_TEST_SUITE(EngineContract, Harnesses);

TYPED_TEST(EngineContract, RefusesEverythingWithoutARenderedFile) {
    auto fresh = this->harness.Make();
    auto failed = this->harness.Make();
    EXPECT_FALSE(failed->RenderFile(this->harness.GoodFile() + ".missing"));
    EXPECT_FALSE(failed->RenderFile(this->harness.GoodFile()));  // one file per engine
    for (MediaEngine* engine : {fresh.get(), failed.get()}) {
        EXPECT_FALSE(engine->Run());
        EXPECT_FALSE(engine->Pause());
        EXPECT_FALSE(engine->Stop());
        EXPECT_FALSE(engine->Duration().has_value());
        EXPECT_FALSE(engine->CurrentPosition().has_value());
        EXPECT_FALSE(engine->SetCurrentPosition(3));
        EXPECT_FALSE(engine->SetRate(0.5));
        EXPECT_FALSE(engine->SetVolume(-2000));
        EXPECT_FALSE(engine->SetBalance(-5000));
    }
}

TYPED_TEST(EngineContract, RenderLeavesTheFilePausedAtZeroWithItsLength) {
    auto engine = this->Rendered();
    EXPECT_EQ(engine->Duration(), kLength);
    EXPECT_EQ(engine->CurrentPosition(), 0.0);
    this->harness.Wait(0.3);
    EXPECT_EQ(engine->CurrentPosition(), 0.0);
}

TYPED_TEST(EngineContract, SeeksLandOnTheTargetWithinTheFileInEveryState) {
    auto engine = this->Rendered();
    ASSERT_TRUE(engine->SetCurrentPosition(5));
    EXPECT_EQ(engine->CurrentPosition(), 5.0);
    ASSERT_TRUE(engine->SetCurrentPosition(-3));
    EXPECT_EQ(engine->CurrentPosition(), 0.0);
    ASSERT_TRUE(engine->SetCurrentPosition(kLength + 20));
    EXPECT_EQ(engine->CurrentPosition(), kLength);

    ASSERT_TRUE(engine->Run());
    ASSERT_TRUE(engine->SetCurrentPosition(7));
    EXPECT_NEAR(engine->CurrentPosition().value_or(-1), 7.0, 0.05);

    ASSERT_TRUE(engine->Pause());
    ASSERT_TRUE(engine->SetCurrentPosition(3.5));
    EXPECT_EQ(engine->CurrentPosition(), 3.5);
}

TYPED_TEST(EngineContract, PlayingMovesThePositionAndPauseOrStopHoldsIt) {
    auto engine = this->Rendered();
    ASSERT_TRUE(engine->Run());
    this->harness.Wait(0.5);
    double playing = engine->CurrentPosition().value_or(-1);
    EXPECT_GT(playing, 0.2);

    ASSERT_TRUE(engine->Pause());
    double paused = engine->CurrentPosition().value_or(-1);
    EXPECT_GE(paused, playing);
    this->harness.Wait(0.3);
    EXPECT_EQ(engine->CurrentPosition(), paused);

    ASSERT_TRUE(engine->Run());
    ASSERT_TRUE(engine->Stop());
    double stopped = engine->CurrentPosition().value_or(-1);
    this->harness.Wait(0.3);
    EXPECT_EQ(engine->CurrentPosition(), stopped);
    ASSERT_TRUE(engine->SetCurrentPosition(0));
    EXPECT_EQ(engine->CurrentPosition(), 0.0);
}

TYPED_TEST(EngineContract, TheEndHoldsThePositionAtTheLengthUntilASeek) {
    auto engine = this->Rendered();
    ASSERT_TRUE(engine->SetCurrentPosition(kLength - 0.3));
    ASSERT_TRUE(engine->Run());
    this->WaitForEnd(*engine);
    ASSERT_EQ(engine->CurrentPosition(), kLength);
    this->harness.Wait(0.3);
    EXPECT_EQ(engine->CurrentPosition(), kLength);

    // Still running: a seek back plays on from the target.
    ASSERT_TRUE(engine->SetCurrentPosition(2));
    this->harness.Wait(0.3);
    EXPECT_GT(engine->CurrentPosition().value_or(-1), 2.1);
    EXPECT_LT(engine->CurrentPosition().value_or(-1), kLength);

    // Pausing and running again at the end change nothing.
    ASSERT_TRUE(engine->SetCurrentPosition(kLength));
    EXPECT_TRUE(engine->Pause());
    EXPECT_TRUE(engine->Run());
    this->harness.Wait(0.2);
    EXPECT_EQ(engine->CurrentPosition(), kLength);
}

TYPED_TEST(EngineContract, RateSetsTheSpeedAndStaysAcrossSeeksAndPauses) {
    auto engine = this->Rendered();
    ASSERT_TRUE(engine->SetRate(2.0));
    ASSERT_TRUE(engine->Run());
    EXPECT_NEAR(this->Speed(*engine), 2.0, 0.3);

    ASSERT_TRUE(engine->Pause());
    ASSERT_TRUE(engine->SetRate(0.5));
    ASSERT_TRUE(engine->SetCurrentPosition(1));
    ASSERT_TRUE(engine->Run());
    EXPECT_NEAR(this->Speed(*engine), 0.5, 0.1);
}

TYPED_TEST(EngineContract, VolumeAndBalanceAreAcceptedOnceRendered) {
    auto engine = this->Rendered();
    EXPECT_TRUE(engine->SetVolume(-2000));
    EXPECT_TRUE(engine->SetBalance(-5000));
    EXPECT_TRUE(engine->SetVolume(0));
    EXPECT_TRUE(engine->SetBalance(5000));
    EXPECT_EQ(engine->CurrentPosition(), 0.0);
}

}  // namespace
