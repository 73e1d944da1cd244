// Every format through the one source interface, on generated sound whose
// clicks prove the position.
#include "engine/gst_engine.h"
#include "engine/pcm_source.h"
#include "support/click_audio.h"
#include "support/test_audio.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

std::vector<float> ReadFrames(PcmSource& source, std::int64_t frames) {
    std::vector<float> out(std::size_t(frames) * 2);
    std::int64_t done = 0;
    while (done < frames) {
        const std::int64_t got = source.Read(out.data() + done * 2, frames - done);
        if (got <= 0) {
            break;
        }
        done += got;
    }
    out.resize(std::size_t(done) * 2);
    return out;
}

// The largest difference between the samples and the signal's from frame `at` on.
float Difference(const std::vector<float>& samples, const std::vector<float>& signal,
                 std::int64_t at) {
    float most = samples.size() + std::size_t(at) * 2 <= signal.size() ? 0 : 1;
    for (std::size_t i = 0; i < samples.size() && most < 1; ++i) {
        most = std::max(most, std::abs(samples[i] - signal[std::size_t(at) * 2 + i]));
    }
    return most;
}

// The frame of the loudest left sample within a second around `frame`.
std::int64_t Click(const std::vector<float>& samples, std::int64_t frame) {
    const std::int64_t from = std::max<std::int64_t>(frame - kClickRate / 2, 0),
                       to = std::min<std::int64_t>(frame + kClickRate / 2,
                                                   std::int64_t(samples.size() / 2));
    std::int64_t loudest = from;
    for (std::int64_t i = from; i < to; ++i) {
        if (std::abs(samples[std::size_t(i) * 2]) > std::abs(samples[std::size_t(loudest) * 2])) {
            loudest = i;
        }
    }
    return loudest;
}

TEST(Formats, LengthIsExactAndSeeksLandOnTheClicks) {
    const std::vector<float> signal = ClickSignal();
    const std::int64_t length = std::int64_t(signal.size() / 2);
    for (const ClickFile& file : ClickFiles()) {
        SCOPED_TRACE(file.name);
        auto source = OpenPcmSource(file.path);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(std::tuple(source->SampleRate(), source->Channels(), source->Frames()),
                  std::tuple(kClickRate, 2, length));
        const std::vector<float> all = ReadFrames(*source, length + 1);
        EXPECT_LE(Difference(all, signal, 0), file.tolerance);
        for (int second = 0; second < kClickSeconds; ++second) {
            EXPECT_EQ(Click(all, second * kClickRate), second * kClickRate);
        }
        // Forward and back, to the first and the last second, the same one twice:
        // each time exactly the samples of the whole decode.
        for (int second : {7, 2, 11, 0, 5, 5}) {
            ASSERT_TRUE(source->Seek(std::int64_t(second) * kClickRate));
            const std::vector<float> read = ReadFrames(*source, 4096);
            EXPECT_EQ(Difference(read, all, std::int64_t(second) * kClickRate), 0) << second;
        }
    }
}

// Through the engine: paused, playing and stopped, a seek to a whole second
// plays from its click on.
TEST(Formats, TheEnginePlaysEachFromTheSecondItSeeksTo) {
    for (const ClickFile& file : ClickFiles()) {
        SCOPED_TRACE(file.name);
        auto source = OpenPcmSource(file.path);
        ASSERT_NE(source, nullptr);
        const std::vector<float> all = ReadFrames(*source, source->Frames());
        GstElement* tap = MakeTap();
        auto engine = CreateGstEngine(tap);
        ASSERT_TRUE(engine->RenderFile(file.path));
        EXPECT_EQ(engine->Duration(), double(kClickSeconds));
        for (const auto& [second, playing] : {std::pair(7, false), {2, true}, {11, false}}) {
            ASSERT_TRUE((playing ? engine->Run() : engine->Stop()) &&
                        engine->SetCurrentPosition(second) && engine->Run());
            std::vector<float> played = Pull(tap, 2048);
            played.resize(4096);
            EXPECT_EQ(Difference(played, all, std::int64_t(second) * kClickRate), 0) << second;
        }
    }
}

}  // namespace
