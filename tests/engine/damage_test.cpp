// Damaged files play on past the damage; a large file without audio is
// refused at once.
#include "support/click_audio.h"
#include "support/test_audio.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

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
        return WriteFile(folder.filePath(name), Damaged(ReadFile(clean), pattern));
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

TEST(Damage, AFileWithoutAudioIsRefusedQuicklyWhateverItsSize) {
    QTemporaryDir folder;
    QFile zeros(folder.filePath("zeros.mp3"));
    ASSERT_TRUE(zeros.open(QIODevice::WriteOnly) && zeros.resize(std::int64_t(2) << 30));
    zeros.close();
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(OpenPcmSource(zeros.fileName()), nullptr);
    EXPECT_LT(timer.elapsed(), 100);
}

}  // namespace
