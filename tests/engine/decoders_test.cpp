// The MP3 frame walk and the WAV header parser on bytes built here.
#include "engine/decoders/mp3_length.h"
#include "engine/decoders/wav_header.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes B(const char* text) {
    return Bytes(text, text + std::strlen(text));
}

// A number in `size` bytes, little-endian (big-endian for a negative size).
Bytes N(std::uint32_t value, int size) {
    Bytes out;
    for (int i = 0; i < std::abs(size); ++i) {
        out.push_back(std::uint8_t(value >> (8 * (size < 0 ? -size - 1 - i : i))));
    }
    return out;
}

// MPEG 1 layer III frames of 417 bytes (128 kbit/s, 44.1 kHz), the first
// carrying `first` after its header.
Bytes Frames(int count, const Bytes& first = {}, std::uint8_t mode = 0) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        out = std::move(out) + Bytes{0xFF, 0xFB, 0x90, mode} + Bytes(413, 0);
    }
    std::copy(first.begin(), first.end(), out.begin() + 4);
    return out;
}

TEST(Mp3Length, FrameHeadersAndHeaderFrameCounts) {
    // Version, layer, sample rate, channels, samples per frame, frame bytes.
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"\xFF\xFA\x14\xC0", {1, 3, 48000, 1, 1152, 96}},   // 32 kbit/s, mono, CRC
        {"\xFF\xE3\x80\x00", {25, 3, 11025, 2, 576, 417}},  // MPEG 2.5, 64 kbit/s
        {"\xFF\xFD\xC4\x00", {1, 2, 48000, 2, 1152, 768}},  // layer II, 256 kbit/s
        {"\xFF\xFF\xC2\x00", {1, 1, 44100, 2, 384, 420}}};  // layer I, 384 kbit/s, padded
    for (const auto& [bytes, expected] : cases) {
        const auto h = ParseMpegFrameHeader(reinterpret_cast<const std::uint8_t*>(bytes));
        EXPECT_EQ(h ? std::vector({h->version, h->layer, h->sampleRate, h->channels,
                                   h->samplesPerFrame, h->frameBytes})
                    : std::vector<int>(),
                  expected)
            << expected[5];
    }
    // No sync, reserved version, layer, sample rate and emphasis, free format, a bad bitrate.
    for (const char* bytes : {"\xFF\x7B\x90", "\xFF\xEB\x90", "\xFF\xF9\x90", "\xFF\xFB\x9C",
                              "\xFF\xFB\x90\x02", "\xFF\xFB\x00", "\xFF\xFB\xF0"}) {
        EXPECT_FALSE(ParseMpegFrameHeader(reinterpret_cast<const std::uint8_t*>(bytes)));
    }
    // VBRI at 36 bytes; Xing and Info after the side information, shorter in mono.
    const auto count = [](const Bytes& frame) {
        return ReadHeaderFrameCount(frame, *ParseMpegFrameHeader(frame.data())).value_or(0);
    };
    EXPECT_EQ(count(Frames(1, Bytes(32, 0) + B("VBRI") + Bytes(10, 0) + N(77, -4))), 77u);
    EXPECT_EQ(count(Frames(1, Bytes(17, 0) + B("Info") + N(1, -4) + N(77, -4), 0xC0)), 77u);
    EXPECT_EQ(count(Frames(1, Bytes(32, 0) + B("Xing") + N(14, -4) + N(77, -4))), 0u);  // no count
}

TEST(Mp3Length, TheWalkSkipsTagsDamageAndACutLastFrameAndDoesNotGuess) {
    EXPECT_EQ(ScanMp3(Frames(3000)).value().frameOffsets.at(2999), 2999u * 417);  // > read window
    // An ID3v2 tag with a footer, its contents looking like sync; a header
    // frame; 40 frames of which the 11th is lost and junk lies before the
    // 21st; a frame cut off; an APE tag with a header; an ID3v1 tag.
    Bytes audio = Frames(40), cut = Frames(1);
    std::fill_n(audio.begin() + 10 * 417, 100, 0);
    audio.insert(audio.begin() + 20 * 417, 37, 'j');
    cut.resize(200);
    const auto layout = ScanMp3(Bytes{'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 80} + Bytes(90, 0xFF) +
                                Frames(1, Bytes(32, 0) + B("Xing") + N(1, -4) + N(40, -4)) + audio +
                                cut + Bytes(64, 0) + B("APETAGEX") + N(0, 4) + N(64, 4) + N(0, 4) +
                                N(1u << 31, 4) + Bytes(8, 0) + B("TAG") + Bytes(125, 0xFF));
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(
        std::vector({layout->frameCount, layout->headerFrameCount.value_or(0),
                     layout->frameOffsets[0], layout->frameOffsets[10], layout->frameOffsets[19]}),
        std::vector<std::uint64_t>({39, 40, 517, 517 + 11 * 417, 517 + 20 * 417 + 37}));
    EXPECT_DOUBLE_EQ(layout->Seconds(), 39 * 1152 / 44100.0);
    EXPECT_EQ(Id3v2TagBytes(Bytes{'I', 'D', '3', 4, 0, 0x10, 0, 0, 0, 80}.data()), 100u);
    EXPECT_EQ(Id3v2TagBytes(Bytes{'I', 'D', '3', 4, 0, 0, 0, 0x80, 0, 0}.data()), 0u);
    // Frames that cover less than half the bytes are chance matches.
    EXPECT_FALSE(ScanMp3(Frames(2) + Bytes(5000, 'a')) || ScanMp3(cut));
}

// A WAV header: the fmt chunk (and `fmtRest`), `between`, the data chunk's header.
Bytes Wav(int tag, int channels, int bits, std::uint32_t dataSize, const Bytes& fmtRest = {},
          const Bytes& between = {}) {
    const int align = channels * bits / 8;
    const Bytes fmt = N(tag, 2) + N(channels, 2) + N(44100, 4) + N(44100 * align, 4) + N(align, 2) +
                      N(bits, 2) + fmtRest;
    return B("RIFF") + N(0, 4) + B("WAVEfmt ") + N(fmt.size(), 4) + fmt + between + B("data") +
           N(dataSize, 4);
}

TEST(WavHeader, FindsTheSamplesAndRefusesWhatItCannotPlay) {
    // File size; float or not, bits, channels, where the samples start, their bytes.
    using Found = std::tuple<bool, int, int, std::uint64_t, std::uint64_t>;
    const std::tuple<Bytes, int, Found> cases[] = {
        {Wav(1, 2, 16, 4000), 4044, {false, 16, 2, 44, 4000}},
        {Wav(1, 1, 24, 3000, {}, B("LIST") + N(5, 4) + Bytes(6, 0)),
         4000,
         {false, 24, 1, 58, 3000}},
        {Wav(0xFFFE, 2, 32, 800, N(22, 2) + N(32, 2) + N(3, 4) + N(3, 2) + Bytes(14, 0)),
         900,
         {true, 32, 2, 68, 800}},
        // An unfinished data size: the samples run to the end, whole frames only.
        {Wav(1, 2, 16, 0xFFFFFFFF), 1046, {false, 16, 2, 44, 1000}}};
    for (const auto& [bytes, size, found] : cases) {
        const auto f = ParseWavHeader(bytes, size);
        ASSERT_TRUE(f.has_value()) << size;
        EXPECT_EQ(Found(f->isFloat, f->bitsPerSample, f->channels, f->dataOffset, f->dataBytes),
                  found);
    }
    Bytes noData = Wav(1, 2, 16, 100), badBlock = noData;
    noData.resize(36);
    badBlock[32] = 3;
    // No channels, 12 bits, ADPCM, 16-bit float, no data chunk, a wrong block size.
    for (const Bytes& bad : {Wav(1, 0, 16, 100), Wav(1, 2, 12, 100), Wav(2, 2, 4, 100),
                             Wav(3, 2, 16, 100), noData, badBlock}) {
        EXPECT_FALSE(ParseWavHeader(bad, 200).has_value()) << bad.size();
    }
}

}  // namespace
