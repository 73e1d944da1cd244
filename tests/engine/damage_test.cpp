// WAV files as recorders write them, damaged files and files that hold no
// audio, through the one source interface.
#include "engine/pcm_source.h"
#include "support/click_audio.h"
#include "support/test_audio.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

std::vector<float> ReadAll(PcmSource& source) {
    std::vector<float> out(std::size_t(source.Frames() * source.Channels()));
    std::int64_t done = 0;
    while (done < source.Frames()) {
        const std::int64_t got =
            source.Read(out.data() + done * source.Channels(), source.Frames() - done);
        if (got <= 0) {
            break;
        }
        done += got;
    }
    return out;
}

struct Folder {
    QTemporaryDir dir;
    QString Write(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return file.fileName();
    }
};

TEST(WavVariants, OpenAndPlayTheRightSamples) {
    const std::vector<float> full = ClickSignal();
    const std::vector<float> stereo(full.begin(), full.begin() + 3 * kClickRate);  // 1.5 s
    const std::int64_t frames = std::int64_t(stereo.size() / 2);
    const std::pair<WavLayout, float> cases[] = {
        {{.bits = 8, .channels = 1}, 1 / 128.0f},
        {{.bits = 16, .chunkBefore = 200 * 1024 + 1}, 1 / 32768.0f},  // odd: padded
        {{.bits = 24, .channels = 6, .extensible = true}, 1e-7f},
        {{.bits = 32, .sizeZero = true}, 1e-9f},
        {{.bits = 32, .isFloat = true, .rf64 = true}, 0},
        {{.bits = 64, .isFloat = true, .channels = 3, .extensible = true}, 0}};
    Folder folder;
    for (const auto& [layout, tolerance] : cases) {
        SCOPED_TRACE(layout.bits * 100 + layout.channels);
        auto source = OpenPcmSource(folder.Write("take.wav", WavBytes(stereo, layout)));
        ASSERT_NE(source, nullptr);
        const int channels = std::min(layout.channels, 2);
        EXPECT_EQ(std::tuple(source->SampleRate(), source->Channels(), source->Frames()),
                  std::tuple(kClickRate, channels, frames));
        const std::vector<float> all = ReadAll(*source);
        float most = 0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            most = std::max(most, std::abs(all[i] - stereo[i / channels * 2 + i % channels]));
        }
        EXPECT_LE(most, tolerance);
        float click[2] = {};
        ASSERT_TRUE(source->Seek(kClickRate) && source->Read(click, 1) == 1);
        EXPECT_NEAR(click[0], 0.9f, tolerance);
    }
}

// Reads a file but for the bytes from `from` to `to`, which are unreadable.
class HoleReader final : public FileReader {
public:
    HoleReader(std::shared_ptr<FileReader> file, std::uint64_t from, std::uint64_t to)
        : file_(std::move(file)), from_(from), to_(to) {}
    std::uint64_t Size() const override { return file_->Size(); }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size) override {
        if (offset >= from_ && offset < to_) {
            return 0;
        }
        const std::uint64_t end =
            offset < from_ ? std::min<std::uint64_t>(offset + size, from_) : offset + size;
        return file_->ReadAt(offset, buffer, std::size_t(end - offset));
    }

private:
    std::shared_ptr<FileReader> file_;
    std::uint64_t from_, to_;
};

// 3000 bytes at 40 % of the file zeroed, with `pattern` every 384 bytes.
QByteArray Damaged(QByteArray bytes, const QByteArray& pattern = {}) {
    const qsizetype at = bytes.size() * 2 / 5;
    for (qsizetype i = 0; i < 3000; ++i) {
        bytes[at + i] = i % 384 < pattern.size() ? pattern[i % 384] : '\0';
    }
    return bytes;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(Damage, PlaysOnPastTheDamageWithTheRightAudio) {
    Folder folder;
    const QString wav = folder.Write("clicks.wav", WavBytes(ClickSignal(), {}));
    const FileOpener holeInWav = [](const QString& path) {
        auto file = OpenFileReader(path);
        return std::make_shared<HoleReader>(file, file->Size() * 2 / 5, file->Size() / 2);
    };
    const QString flac = ClickFiles()[0].path, m4a = ClickFiles()[3].path, mp3 = Files().mp3Vbr;
    // The clean file, the damaged one and how it is read. An MP3 frame does
    // not name its place: the frames the damage destroyed are gone, and the
    // file is that much shorter.
    const std::tuple<QString, QString, FileOpener> cases[] = {
        {flac, folder.Write("damaged.flac", Damaged(ReadFile(flac))), {}},
        {m4a, folder.Write("damaged.m4a", Damaged(ReadFile(m4a))), {}},
        {mp3, folder.Write("damaged.mp3", Damaged(ReadFile(mp3), "\xFF\xFB\x94\x00")), {}},
        {wav, wav, holeInWav}};
    for (const auto& [clean, damaged, opener] : cases) {
        SCOPED_TRACE(damaged.toStdString());
        auto good = OpenPcmSource(clean), bad = OpenPcmSource(damaged, opener);
        ASSERT_TRUE(good != nullptr && bad != nullptr);
        const std::vector<float> expected = ReadAll(*good), played = ReadAll(*bad);
        EXPECT_TRUE(played.size() == expected.size() || damaged.endsWith(".mp3"));
        // The last 40 % lie past the damage: the same samples.
        const std::size_t tail = expected.size() * 2 / 5;
        ASSERT_GE(played.size(), tail);
        EXPECT_TRUE(std::equal(played.end() - std::ptrdiff_t(tail), played.end(),
                               expected.end() - std::ptrdiff_t(tail),
                               [](float a, float b) { return std::abs(a - b) < 1e-6f; }));
        EXPECT_FALSE(played == expected);  // the damage was noticed
    }
}

TEST(Damage, AFileWithoutAudioIsRefusedQuicklyWhateverItsSize) {
    Folder folder;
    QFile zeros(folder.dir.filePath("zeros.mp3"));
    ASSERT_TRUE(zeros.open(QIODevice::WriteOnly) && zeros.resize(std::int64_t(2) << 30));
    zeros.close();
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(OpenPcmSource(zeros.fileName()), nullptr);
    EXPECT_LT(timer.elapsed(), 100);
}

}  // namespace
