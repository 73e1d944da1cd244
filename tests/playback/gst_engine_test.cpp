#include "playback/gst_engine.h"
#include "test_audio.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

std::unique_ptr<MediaEngine> RenderWithTap(const QString& path, SampleTap& tap) {
    EXPECT_TRUE(InitGstreamer());
    auto engine = CreateGstEngine(tap.sink());
    if (!engine->RenderFile(path)) {
        return nullptr;
    }
    return engine;
}

// The whole decoded stream, played from the start.
std::vector<float> DecodeAll(const QString& path) {
    SampleTap tap;
    auto engine = RenderWithTap(path, tap);
    if (engine == nullptr || !engine->Run()) {
        return {};
    }
    return tap.PullAll();
}

TEST(GstEngineLength, MatchesTheDecodedStream) {
    for (const QString& path : {Files().wav, Files().mp3CbrXing, Files().mp3Cbr, Files().mp3VbrXing,
                                Files().mp3Vbr, Files().mp3Mono}) {
        SCOPED_TRACE(path.toStdString());
        SampleTap tap;
        auto engine = RenderWithTap(path, tap);
        ASSERT_NE(engine, nullptr);
        std::optional<double> length = engine->Duration();
        ASSERT_TRUE(length.has_value());
        std::vector<float> all = DecodeAll(path);
        int rate = path == Files().mp3Mono ? 22050 : 44100;
        EXPECT_NEAR(*length, double(all.size() / 2) / rate, 1e-9);
    }
}

TEST(GstEngineSeek, LandsOnTheExactSampleOfTheDecodedStream) {
    for (const QString& path : {Files().wav, Files().mp3Vbr, Files().mp3CbrXing}) {
        SCOPED_TRACE(path.toStdString());
        std::vector<float> all = DecodeAll(path);
        ASSERT_GE(all.size(), 12u * 44100 * 2);
        SampleTap tap;
        auto engine = RenderWithTap(path, tap);
        ASSERT_NE(engine, nullptr);
        for (int target : {7, 1, 11, 0, 5}) {
            SCOPED_TRACE(target);
            ASSERT_TRUE(engine->SetCurrentPosition(target));
            EXPECT_EQ(engine->CurrentPosition(), double(target));
            ASSERT_TRUE(engine->Run());
            std::vector<float> got = tap.Pull(2048);
            ASSERT_TRUE(engine->Pause());
            ASSERT_GE(got.size(), 4096u);
            EXPECT_NEAR(tap.firstTime(), target, 1e-6);
            std::size_t at = std::size_t(target) * 44100 * 2;
            int mismatches = 0;
            for (std::size_t i = 0; i < 4096; ++i) {
                mismatches += got[i] != all[at + i];
            }
            EXPECT_EQ(mismatches, 0);
        }
    }
}

}  // namespace
