// The engine's section loop and its open of an MP3 from its first frames,
// heard through a tap: the samples across each seam are the file's samples
// from the section's end straight into its start, with the short crossfade
// before the seam; a seek ahead of the frame walk waits for it and lands
// exactly.
#include "engine/feed.h"
#include "engine/gst_engine.h"
#include "support/test_audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr int kRate = 44100;

std::vector<float> PlayAll(const QString& path) {
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap);
    return engine->RenderFile(path) && engine->Run() ? Pull(tap) : std::vector<float>{};
}

// What a loop of [start, end) seconds played from `from` sounds like.
std::vector<float> Looped(const std::vector<float>& file, int start, int end, int from,
                          std::size_t frames) {
    const std::int64_t fade = Feed::FadeFrames(kRate), fadeStart = std::int64_t(end) * kRate - fade;
    std::vector<float> out(file.begin() + std::int64_t(from) * kRate * 2,
                           file.begin() + fadeStart * 2);
    while (out.size() < frames * 2) {
        for (std::int64_t i = 0; i < fade * 2; ++i) {
            const double x = (double(i / 2) + 0.5) / double(fade) * M_PI / 2;
            out.push_back(file[std::size_t(fadeStart * 2 + i)] * float(std::cos(x)) +
                          file[std::size_t((std::int64_t(start) * kRate - fade) * 2 + i)] *
                              float(std::sin(x)));
        }
        out.insert(out.end(), file.begin() + std::int64_t(start) * kRate * 2,
                   file.begin() + fadeStart * 2);
    }
    out.resize(frames * 2);
    return out;
}

// Holds every read between `gate` and the file's last 4 KiB (where tags lie)
// until the test opens it.
class GatedReader final : public FileReader {
public:
    GatedReader(std::shared_ptr<FileReader> file, std::uint64_t gate)
        : file_(std::move(file)), gate_(gate) {}
    std::uint64_t Size() const override { return file_->Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        if (offset + size > gate_ && offset < file_->Size() - 4096) {
            std::unique_lock lock(mutex_);
            opened_.wait(lock, [this] { return open_; });
        }
        return file_->ReadAt(offset, buffer, size);
    }
    void Open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

private:
    std::shared_ptr<FileReader> file_;
    std::uint64_t gate_;
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

}  // namespace

TEST(EngineLoop, PlaysTheSectionSeamlesslyAndReportsTheFilePosition) {
    const std::vector<float> file = PlayAll(Files().wav);
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap);
    ASSERT_TRUE(engine->RenderFile(Files().wav));
    ASSERT_TRUE(engine->SetCurrentPosition(4) && engine->SetLoop(2, 5) && engine->Run());
    const std::size_t frames = std::size_t(kRate) * (1 + 20 * 3);  // to the seam, 20 passes
    const std::vector<float> played = Pull(tap, frames), expected = Looped(file, 2, 5, 4, frames);
    ASSERT_GE(played.size(), frames * 2);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin(),
                           [](float a, float b) { return std::fabs(a - b) < 1e-6f; }));
    const double position = engine->CurrentPosition().value_or(-1);
    EXPECT_TRUE(position >= 2 && position < 5) << position;
    ASSERT_TRUE(engine->ClearLoop());  // playback goes on past the section's end
    Pull(tap, std::size_t(kRate) * 4);
    EXPECT_GT(engine->CurrentPosition().value_or(0), 5.0);
}

// At double speed the loop leaves no gap in the tone; moving the section's
// end moves the seam.
TEST(EngineLoop, NoGapAtDoubleSpeedAndTheSeamFollowsTheEnd) {
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap);
    ASSERT_TRUE(engine->RenderFile(Files().wav) && engine->SetRate(2.0));
    ASSERT_TRUE(engine->SetCurrentPosition(4) && engine->SetLoop(2, 5) && engine->Run());
    double lowest = 99, highest = -1;
    std::size_t quiet = 0, run = 0;
    const auto watch = [&](int chunks) {
        lowest = 99, highest = -1;
        for (int i = 0; i < chunks; ++i) {
            const std::vector<float> samples = Pull(tap, kRate / 20);
            for (float sample : samples) {
                run = std::fabs(sample) < 1e-3f ? run + 1 : 0;
                quiet = std::max(quiet, run);
            }
            const double position = engine->CurrentPosition().value_or(-1);
            lowest = std::min(lowest, position), highest = std::max(highest, position);
        }
    };
    watch(20 * 30);  // 20 passes of 1.5 s of output
    EXPECT_TRUE(lowest >= 2 && highest > 4.5 && highest < 5) << lowest << " " << highest;
    EXPECT_LT(quiet, std::size_t(kRate / 500));  // never 1 ms of silence on both channels
    ASSERT_TRUE(engine->SetLoop(2, 6));
    watch(100);
    EXPECT_TRUE(highest > 5.5 && highest < 6) << highest;
}

TEST(EngineOpen, ReadsOnlyTheStartOfAnMp3AndSeeksAheadOfTheWalkExactly) {
    const std::vector<float> all = PlayAll(Files().longMp3);
    const auto file = OpenFileReader(Files().longMp3);
    ASSERT_TRUE(file != nullptr && file->Size() > 700u * 1024);
    auto gated = std::make_shared<GatedReader>(file, 64 * 1024);
    GstElement* tap = MakeTap();
    auto engine = CreateGstEngine(tap, [&](const QString&) { return gated; });
    // The open needs nothing of the file but its first 64 KiB and its end.
    ASSERT_TRUE(engine->RenderFile(Files().longMp3));
    EXPECT_FALSE(engine->LengthFinal());
    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        gated->Open();
    });
    ASSERT_TRUE(engine->SetCurrentPosition(170));  // waits for the walk
    opener.join();
    EXPECT_EQ(engine->CurrentPosition(), 170.0);
    ASSERT_TRUE(engine->Run());
    const std::vector<float> played = Pull(tap, 2048);
    const std::size_t at = std::size_t(170 * kRate) * 2;
    ASSERT_GE(all.size(), at + 4096);
    EXPECT_TRUE(
        std::equal(played.begin(), played.begin() + 4096, all.begin() + std::ptrdiff_t(at)));
    while (!engine->LengthFinal()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(engine->Duration(), double(all.size() / 2) / kRate);
}
