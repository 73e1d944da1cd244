#include "support/fake_engine.h"

#include <gtest/gtest.h>

// What GUI tests rely on beyond the engine's promises (which the contract
// tests check): the record of calls, failing calls on demand, and reach to
// the engines a factory made.

namespace {

TEST(FakeEngine, RecordsCommandsButNotReads) {
    auto control = std::make_shared<FakeEngineControl>();
    control->lengths["/a/b.mp3"] = 60;
    FakeEngine engine(control);
    ASSERT_TRUE(engine.RenderFile("/a/b.mp3"));
    engine.SetVolume(-2000);
    engine.SetRate(1.5);
    engine.Run();
    engine.CurrentPosition();
    engine.Duration();
    engine.SetCurrentPosition(12);
    engine.SetBalance(300);
    engine.Stop();
    engine.Pause();
    EXPECT_EQ(engine.calls(),
              QStringList({"RenderFile(/a/b.mp3)", "SetVolume(-2000)", "SetRate(1.5)", "Run",
                           "SetCurrentPosition(12)", "SetBalance(300)", "Stop", "Pause"}));
    EXPECT_EQ(engine.volume(), -2000);
    EXPECT_EQ(engine.balance(), 300);
    EXPECT_EQ(engine.rate(), 1.5);
}

TEST(FakeEngine, FailsTheCallsTheTestNamesWithoutChangingAnything) {
    auto control = std::make_shared<FakeEngineControl>();
    control->lengths["/a/b.mp3"] = 60;
    control->failing = {"Run", "SetCurrentPosition", "CurrentPosition"};
    FakeEngine engine(control);
    ASSERT_TRUE(engine.RenderFile("/a/b.mp3"));
    EXPECT_FALSE(engine.Run());
    EXPECT_FALSE(engine.running());
    EXPECT_FALSE(engine.SetCurrentPosition(5));
    EXPECT_FALSE(engine.CurrentPosition().has_value());
    EXPECT_EQ(engine.Duration(), 60.0);
    EXPECT_EQ(engine.calls(),
              QStringList({"RenderFile(/a/b.mp3)", "Run", "SetCurrentPosition(5)"}));

    control->failing = {"RenderFile"};
    FakeEngine refused(control);
    EXPECT_FALSE(refused.RenderFile("/a/b.mp3"));
    EXPECT_FALSE(refused.rendered());
}

TEST(FakeEngine, FactoryLetsTheTestReachTheEnginesItMade) {
    auto control = std::make_shared<FakeEngineControl>();
    MediaEngineFactory factory = FakeEngineFactory(control);
    auto first = factory();
    EXPECT_EQ(control->last, first.get());
    auto second = factory();
    EXPECT_EQ(control->last, second.get());
    EXPECT_EQ(control->created, 2);
    first.reset();
    EXPECT_EQ(control->destroyed, 1);
    EXPECT_EQ(control->last, second.get());
    second.reset();
    EXPECT_EQ(control->last, nullptr);
    EXPECT_EQ(control->destroyed, 2);
}

TEST(FakeEngine, ClockMovesOnlyWhileRunningAndStopsAtTheLength) {
    auto control = std::make_shared<FakeEngineControl>();
    control->lengths["/a/b.mp3"] = 10;
    FakeEngine engine(control);
    ASSERT_TRUE(engine.RenderFile("/a/b.mp3"));
    engine.Advance(3);
    EXPECT_EQ(engine.CurrentPosition(), 0.0);
    engine.SetRate(0.5);
    engine.Run();
    engine.Advance(3);
    EXPECT_EQ(engine.CurrentPosition(), 1.5);
    engine.Advance(100);
    EXPECT_EQ(engine.CurrentPosition(), 10.0);
}

}  // namespace
