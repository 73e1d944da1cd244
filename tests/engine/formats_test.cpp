// Every format through the one source interface and the engine, on generated
// sound whose clicks prove the position.
#include "app/path_helpers.h"
#include "support/test_audio.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace {

// The largest difference between the samples and those of `all` from frame `at` on.
float Difference(const std::vector<float>& samples, const std::vector<float>& all,
                 std::int64_t at) {
    float most = samples.size() + std::size_t(at) * 2 <= all.size() ? 0 : 1;
    for (std::size_t i = 0; i < samples.size() && most < 1; ++i) {
        most = std::max(most, std::abs(samples[i] - all[std::size_t(at) * 2 + i]));
    }
    return most;
}

TEST(Formats, LengthIsExactAndSeeksLandOnTheClicks) {
    const std::vector<float> signal = ClickSignal();
    const auto length = std::int64_t(signal.size() / 2);
    for (const ClickFile& file : ClickFiles()) {
        SCOPED_TRACE(file.name);
        auto source = OpenPcmSource(file.path);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(std::tuple(source->SampleRate(), source->Channels(), source->Frames()),
                  std::tuple(kClickRate, 2, length));
        const std::vector<float> all = ReadFrames(*source);
        EXPECT_LE(Difference(all, signal, 0), file.tolerance);
        for (std::int64_t click = 0; click < length; click += kClickRate) {
            const auto near = all.begin() + std::max<std::int64_t>(click - 500, 0) * 2;
            EXPECT_EQ(std::max_element(near, near + 2000,
                                       [](float a, float b) { return std::abs(a) < std::abs(b); }) -
                          all.begin(),
                      click * 2);
        }
        // Forward and back, to the first and the last second, the same one
        // twice: each time exactly the samples of the whole decode.
        for (int second : {7, 2, 11, 0, 5, 5}) {
            ASSERT_TRUE(source->Seek(std::int64_t(second) * kClickRate));
            EXPECT_EQ(Difference(ReadFrames(*source, 4096), all, second * kClickRate), 0) << second;
        }
    }
}

TEST(WavVariants, OpenAndPlayTheRightSamples) {
    const std::vector<float> full = ClickSignal();
    const std::vector<float> stereo(full.begin(), full.begin() + 3 * kClickRate);  // 1.5 s
    const std::pair<WavLayout, float> cases[] = {
        {{.bits = 8, .channels = 1}, 1 / 128.0f},
        {{.bits = 16, .chunkBefore = 200 * 1024 + 1}, 1 / 32768.0f},  // odd: padded
        {{.bits = 24, .channels = 6, .extensible = true}, 1e-7f},
        {{.bits = 32, .sizeZero = true}, 1e-9f},
        {{.bits = 32, .isFloat = true, .rf64 = true}, 0},
        {{.bits = 64, .isFloat = true, .channels = 3, .extensible = true}, 0}};
    QTemporaryDir folder;
    for (const auto& [layout, tolerance] : cases) {
        SCOPED_TRACE(layout.bits * 100 + layout.channels);
        auto source =
            OpenPcmSource(WriteFile(folder.filePath("take.wav"), WavBytes(stereo, layout)));
        ASSERT_NE(source, nullptr);
        const int channels = std::min(layout.channels, 2);
        EXPECT_EQ(std::tuple(source->SampleRate(), source->Channels(), source->Frames()),
                  std::tuple(kClickRate, channels, std::int64_t(stereo.size() / 2)));
        const std::vector<float> all = ReadFrames(*source);
        for (std::size_t i = 0; i < all.size(); ++i) {
            ASSERT_NEAR(all[i], stereo[i / channels * 2 + i % channels], tolerance) << i;
        }
        ASSERT_TRUE(source->Seek(kClickRate));
        EXPECT_NEAR(ReadFrames(*source, 1)[0], 0.9f, tolerance);
    }
}

// Damaged files play on past the damage; a file without audio is refused early.

// A file whose bytes from 40 % to 50 % of it cannot be read.
class HoleReader final : public FileReader {
public:
    explicit HoleReader(std::shared_ptr<FileReader> file)
        : file_(std::move(file)), from_(file_->Size() * 2 / 5), to_(file_->Size() / 2) {}
    std::uint64_t Size() const override { return file_->Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        const std::uint64_t end = offset < from_ ? std::min(offset + size, from_) : offset + size;
        return offset >= from_ && offset < to_ ? 0 : file_->ReadAt(offset, buffer, end - offset);
    }

private:
    std::shared_ptr<FileReader> file_;
    std::uint64_t from_, to_;
};

// 3000 bytes at 40 % of the file zeroed, with `pattern` every 384 bytes.
QByteArray Damaged(QByteArray bytes, const QByteArray& pattern = {}) {
    for (qsizetype i = 0, at = bytes.size() * 2 / 5; i < 3000; ++i) {
        bytes[at + i] = i % 384 < pattern.size() ? pattern[i % 384] : '\0';
    }
    return bytes;
}

TEST(Damage, PlaysOnPastTheDamageWithTheRightAudio) {
    QTemporaryDir folder;
    const QString wav = WriteFile(folder.filePath("clicks.wav"), WavBytes(ClickSignal(), {}));
    const QString flac = ClickFiles()[0].path, m4a = ClickFiles()[3].path, mp3 = Files().mp3Vbr;
    auto damaged = [&](const QString& clean, const char* name, const QByteArray& pattern = {}) {
        return WriteFile(folder.filePath(name), Damaged(ReadFileBytes(clean).value(), pattern));
    };
    // The clean file, the damaged one and how it is read. An MP3 frame does
    // not name its place: the frames the damage destroyed are gone, and the
    // file is that much shorter.
    const std::tuple<QString, QString, FileOpener> cases[] = {
        {flac, damaged(flac, "damaged.flac"), {}},
        {m4a, damaged(m4a, "damaged.m4a"), {}},
        {mp3, damaged(mp3, "damaged.mp3", "\xFF\xFB\x94\x00"), {}},
        {wav, wav,
         [](const QString& path) { return std::make_shared<HoleReader>(OpenFileReader(path)); }}};
    for (const auto& [clean, path, opener] : cases) {
        SCOPED_TRACE(path.toStdString());
        auto good = OpenPcmSource(clean), bad = OpenPcmSource(path, opener);
        ASSERT_TRUE(good != nullptr && bad != nullptr);
        const std::vector<float> expected = ReadFrames(*good), played = ReadFrames(*bad);
        EXPECT_TRUE(bad->Frames() == good->Frames() || path.endsWith(".mp3"));
        // The last 40 % lie past the damage: the same samples.
        const auto tail = std::ptrdiff_t(expected.size() * 2 / 5);
        ASSERT_GE(std::ptrdiff_t(played.size()), tail);
        EXPECT_TRUE(std::equal(played.end() - tail, played.end(), expected.end() - tail,
                               [](float a, float b) { return std::abs(a - b) < 1e-6f; }));
        EXPECT_FALSE(played == expected);  // the damage was noticed
    }
}

// Two GiB of zeros, counting what is read of them.
class Zeros final : public FileReader {
public:
    std::uint64_t Size() const override { return std::uint64_t(2) << 30; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        const std::size_t got = std::size_t(std::min<std::uint64_t>(size, Size() - offset));
        std::fill_n(buffer, got, 0);
        read += got;
        return got;
    }
    std::atomic<std::uint64_t> read = 0;
};

TEST(Damage, AFileWithoutAudioIsRefusedAfterReadingLittleOfIt) {
    const auto zeros = std::make_shared<Zeros>();
    EXPECT_EQ(OpenPcmSource("zeros.mp3", [&](const QString&) { return zeros; }), nullptr);
    EXPECT_LT(zeros->read, std::uint64_t(4) << 20);
}

}  // namespace
