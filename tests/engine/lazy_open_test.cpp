// An MP3 opens after reading its first frames; its frame index is walked
// while it plays, and a seek ahead of the walk waits for it and lands exactly.
#include "engine/gst_engine.h"
#include "support/test_audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Reads a file and holds every read between `gate` and
// the file's last 4 KiB (where tags lie) until the test opens it.
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

TEST(LazyOpen, OpensFromTheFirstFramesAndSeeksAheadOfTheWalkExactly) {
    ASSERT_TRUE(InitGstreamer());
    std::vector<float> all;
    {
        SampleTap tap;
        auto engine = CreateGstEngine(tap.sink());
        ASSERT_TRUE(engine->RenderFile(LongMp3()) && engine->Run());
        all = tap.PullAll();
    }
    const auto file = OpenFileReader(LongMp3());
    ASSERT_NE(file, nullptr);
    ASSERT_GT(file->Size(), 700u * 1024);
    auto gated = std::make_shared<GatedReader>(file, 64 * 1024);

    SampleTap tap;
    auto engine = CreateGstEngine(tap.sink(), [&](const QString&) { return gated; });
    // The open needs nothing of the file but its first 64 KiB and its end.
    ASSERT_TRUE(engine->RenderFile(LongMp3()));

    std::thread opener([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        gated->Open();
    });
    ASSERT_TRUE(engine->SetCurrentPosition(170));  // waits for the walk
    opener.join();
    EXPECT_EQ(engine->CurrentPosition(), 170.0);
    ASSERT_TRUE(engine->Run());
    const std::vector<float> played = tap.Pull(2048);
    ASSERT_GE(all.size(), std::size_t(170 * 44100 + 2048) * 2);
    int differing = 0;
    for (std::size_t i = 0; i < 4096; ++i) {
        differing += played[i] != all[std::size_t(170 * 44100) * 2 + i];
    }
    EXPECT_EQ(differing, 0);
    EXPECT_NEAR(engine->Duration().value_or(0), double(all.size() / 2) / 44100, 1e-9);
}
