// The promises every media engine keeps, held against the fake engine and the
// GStreamer engine.
#include "engine/gst_engine.h"
#include "support/fake_engine.h"
#include "support/test_audio.h"

#include <QTest>

#include <gst/gst.h>
#include <gtest/gtest.h>

namespace {

constexpr double kLength = 12.0;

// The fake the window tests use, its clock moved by the test.
struct Fake {
    std::shared_ptr<FakeEngineControl> control = std::make_shared<FakeEngineControl>();
    QString file = QStringLiteral("/music/Probe.mp3");
    std::unique_ptr<MediaEngine> Make() {
        control->lengths[file] = kLength;
        return FakeEngineFactory(control)();
    }
    void Wait(double seconds) { control->last->Advance(seconds); }
    // Plays on from 1 s: seconds of the file played per second.
    double SpeedFrom1(MediaEngine& engine) {
        EXPECT_TRUE(engine.SetCurrentPosition(1) && engine.Run());
        Wait(1);
        return engine.CurrentPosition().value_or(0) - 1;
    }
};

// The GStreamer engine playing in real time to a tap that keeps its last buffer.
struct Gst {
    QString file = Files().wav;
    GstElement* tap = nullptr;
    std::unique_ptr<MediaEngine> Make() {
        tap = MakeTap();
        g_object_set(tap, "sync", TRUE, "drop", TRUE, "max-buffers", 1, nullptr);
        return CreateGstEngine(tap);
    }
    void Wait(double seconds) { QTest::qSleep(int(seconds * 1000)); }
    // Plays from 1 s to the end as fast as it decodes: seconds of the file per
    // second of sound.
    double SpeedFrom1(MediaEngine& engine) {
        g_object_set(tap, "sync", FALSE, "drop", FALSE, nullptr);
        EXPECT_TRUE(engine.SetCurrentPosition(1) && engine.Run());
        return (kLength - 1) / (double(Pull(tap).size() / 2) / 44100);
    }
};

template <typename Engines>
class EngineContract : public ::testing::Test {
protected:
    // Lets time pass (at most ten seconds) until the position reaches `second`.
    double PlayTo(MediaEngine& engine, double second) {
        for (int i = 0; i < 100 && engine.CurrentPosition().value_or(0) < second; ++i) {
            engines.Wait(0.1);
        }
        return engine.CurrentPosition().value_or(0);
    }
    Engines engines;
};

using EngineKinds = ::testing::Types<Fake, Gst>;
TYPED_TEST_SUITE(EngineContract, EngineKinds);

TYPED_TEST(EngineContract, RefusesEverythingWithoutARenderedFile) {
    auto fresh = this->engines.Make();
    auto failed = this->engines.Make();
    EXPECT_FALSE(failed->RenderFile(this->engines.file + ".missing"));
    EXPECT_FALSE(failed->RenderFile(this->engines.file));  // one file per engine
    for (MediaEngine* engine : {fresh.get(), failed.get()}) {
        EXPECT_FALSE(engine->Run() || engine->Pause() || engine->Stop() || engine->Duration() ||
                     engine->CurrentPosition() || engine->SetCurrentPosition(3) ||
                     engine->SetRate(0.5) || engine->SetVolume(-2000) || engine->SetBalance(-5000));
    }
}

TYPED_TEST(EngineContract, PauseStopAndTheEndHoldThePosition) {
    auto engine = this->engines.Make();
    ASSERT_TRUE(engine->RenderFile(this->engines.file) && engine->Run());
    EXPECT_GE(this->PlayTo(*engine, 0.2), 0.2);
    for (bool pause : {true, false}) {
        ASSERT_TRUE(pause ? engine->Pause() : engine->Stop());
        const std::optional<double> held = engine->CurrentPosition();
        this->engines.Wait(0.3);
        EXPECT_EQ(engine->CurrentPosition(), held) << pause;
        ASSERT_TRUE(engine->Run());
    }
    // At the end the engine still runs: a seek back plays on from the target.
    ASSERT_TRUE(engine->SetCurrentPosition(kLength - 0.3));
    EXPECT_EQ(this->PlayTo(*engine, kLength), kLength);
    this->engines.Wait(0.3);
    EXPECT_EQ(engine->CurrentPosition(), kLength);
    ASSERT_TRUE(engine->SetCurrentPosition(2));
    EXPECT_LT(this->PlayTo(*engine, 2.1), kLength);
    ASSERT_TRUE(engine->SetCurrentPosition(kLength) && engine->Pause() && engine->Run());
    this->engines.Wait(0.2);
    EXPECT_EQ(engine->CurrentPosition(), kLength);
}

TYPED_TEST(EngineContract, RateSetsTheSpeedAcrossSeeksAndPauses) {
    auto engine = this->engines.Make();
    ASSERT_TRUE(engine->RenderFile(this->engines.file));
    for (double rate : {2.0, 0.5}) {  // the second one set at the end of the file
        ASSERT_TRUE(engine->Pause() && engine->SetRate(rate));
        EXPECT_NEAR(this->engines.SpeedFrom1(*engine), rate, rate * 0.05);
    }
}

}  // namespace
