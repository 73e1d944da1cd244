// The engine's section loop, heard through an appsink: the samples across
// each seam are the file's samples from the section's end straight into its
// start, with the short crossfade before the seam, and the position read is
// the file's.
#include "engine/feed.h"
#include "engine/gst_engine.h"
#include "support/test_audio.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kRate = 44100;

std::vector<float> DecodeAll(const QString& path) {
    SampleTap tap;
    auto engine = CreateGstEngine(tap.sink());
    if (!engine->RenderFile(path) || !engine->Run()) {
        return {};
    }
    return tap.PullAll();
}

// What a loop of [start, end) seconds played from `from` seconds sounds like,
// frame by frame, for `frames` stereo frames.
std::vector<float> Expected(const std::vector<float>& file, int start, int end, int from,
                            std::size_t frames) {
    const std::int64_t fade = Feed::FadeFrames(kRate);
    std::vector<float> out;
    std::int64_t at = std::int64_t(from) * kRate;
    while (out.size() < frames * 2) {
        const std::int64_t fadeStart = std::int64_t(end) * kRate - fade;
        if (at < fadeStart) {
            out.insert(out.end(), file.begin() + at * 2, file.begin() + fadeStart * 2);
            at = fadeStart;
            continue;
        }
        for (std::int64_t i = 0; i < fade; ++i) {
            const double x = (double(i) + 0.5) / double(fade) * M_PI / 2;
            for (int c = 0; c < 2; ++c) {
                const float tail = file[std::size_t((fadeStart + i) * 2 + c)];
                const float head =
                    file[std::size_t((std::int64_t(start) * kRate - fade + i) * 2 + c)];
                out.push_back(tail * float(std::cos(x)) + head * float(std::sin(x)));
            }
        }
        at = std::int64_t(start) * kRate;
    }
    out.resize(frames * 2);
    return out;
}

}  // namespace

TEST(EngineLoop, PlaysTheSectionSeamlesslyAndReportsTheFilePosition) {
    ASSERT_TRUE(InitGstreamer());
    const std::vector<float> file = DecodeAll(Files().wav);
    ASSERT_GT(file.size(), std::size_t(12 * kRate * 2 - 10));

    SampleTap tap;
    auto engine = CreateGstEngine(tap.sink());
    ASSERT_TRUE(engine->RenderFile(Files().wav));
    ASSERT_TRUE(engine->SetCurrentPosition(4));
    ASSERT_TRUE(engine->SetLoop(2, 5));
    ASSERT_TRUE(engine->Run());
    // One second up to the seam, then 20 passes of three seconds.
    const std::size_t frames = std::size_t(kRate) * (1 + 20 * 3);
    const std::vector<float> played = tap.Pull(frames);
    ASSERT_GE(played.size(), frames * 2);
    const std::vector<float> expected = Expected(file, 2, 5, 4, frames);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < frames * 2; ++i) {
        differing += std::fabs(played[i] - expected[i]) > 1e-6f;
    }
    EXPECT_EQ(differing, 0u);
    // The stream's time ran on past the file's end; the position is the file's.
    const double position = engine->CurrentPosition().value_or(-1);
    EXPECT_GE(position, 2.0);
    EXPECT_LT(position, 5.0);

    // Without the loop, playback goes on past the section's end.
    ASSERT_TRUE(engine->ClearLoop());
    const std::vector<float> after = tap.Pull(std::size_t(kRate) * 4);
    EXPECT_GT(engine->CurrentPosition().value_or(0), 5.0);
}

// At double speed the loop still leaves no gap; moving the section's end
// moves the seam; the positions read stay inside the section.
TEST(EngineLoop, NoGapAtDoubleSpeedAndTheSeamFollowsTheEnd) {
    ASSERT_TRUE(InitGstreamer());
    SampleTap tap;
    auto engine = CreateGstEngine(tap.sink());
    ASSERT_TRUE(engine->RenderFile(Files().wav));
    ASSERT_TRUE(engine->SetRate(2.0));
    ASSERT_TRUE(engine->SetCurrentPosition(4));
    ASSERT_TRUE(engine->SetLoop(2, 5));
    ASSERT_TRUE(engine->Run());
    auto watch = [&](int chunks, double& lowest, double& highest, std::size_t& quietRun) {
        std::size_t run = 0;
        for (int i = 0; i < chunks; ++i) {
            const std::vector<float> samples = tap.Pull(kRate / 20);
            for (std::size_t s = 1; s < samples.size(); s += 2) {  // the right channel's tone
                run = std::fabs(samples[s]) < 1e-3f ? run + 1 : 0;
                quietRun = std::max(quietRun, run);
            }
            const double position = engine->CurrentPosition().value_or(-1);
            lowest = std::min(lowest, position);
            highest = std::max(highest, position);
        }
    };
    double lowest = 99, highest = -1;
    std::size_t quiet = 0;
    watch(20 * 30, lowest, highest, quiet);  // 20 passes of 1.5 s of output
    EXPECT_GE(lowest, 2.0);
    EXPECT_LT(highest, 5.0);
    EXPECT_GT(highest, 4.5);
    EXPECT_LT(quiet, std::size_t(kRate / 500));  // no stretch of silence over 2 ms

    ASSERT_TRUE(engine->SetLoop(2, 6));
    lowest = 99, highest = -1;
    watch(100, lowest, highest, quiet);
    EXPECT_GT(highest, 5.5);
    EXPECT_LT(highest, 6.0);
}
