#include "engine/decoders/mp3_length.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

namespace {

using Bytes = std::vector<std::uint8_t>;

// An MPEG 1 layer III frame, 128 kbit/s, 44.1 kHz, stereo: 417 bytes.
Bytes Frame() {
    Bytes frame(417, 0);
    frame[0] = 0xFF;
    frame[1] = 0xFB;
    frame[2] = 0x90;
    frame[3] = 0x00;
    return frame;
}

Bytes Frames(int count) {
    Bytes out;
    for (int i = 0; i < count; ++i) {
        Bytes frame = Frame();
        out.insert(out.end(), frame.begin(), frame.end());
    }
    return out;
}

void Append(Bytes& to, const Bytes& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// The first bytes of a frame, as in a file that was cut off.
Bytes CutFrame() {
    Bytes frame = Frame();
    frame.resize(200);
    return frame;
}

void PutBigEndian(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = std::uint8_t(value >> (24 - 8 * i));
    }
}

// A first frame carrying a header tag ("Xing", "Info" or "VBRI") and a count.
Bytes HeaderFrame(const char* tag, std::uint32_t frames) {
    Bytes frame = Frame();
    std::size_t at = std::strcmp(tag, "VBRI") == 0 ? 36 : 4 + 32;
    std::memcpy(&frame[at], tag, 4);
    if (std::strcmp(tag, "VBRI") == 0) {
        PutBigEndian(frame, at + 14, frames);
    } else {
        PutBigEndian(frame, at + 4, 0x0F);
        PutBigEndian(frame, at + 8, frames);
    }
    return frame;
}

TEST(ParseMpegFrameHeader, ReadsEveryVersionAndLayer) {
    struct Case {
        std::uint8_t bytes[4];
        int version, layer, sampleRate, channels, samplesPerFrame, frameBytes;
    };
    const Case cases[] = {
        {{0xFF, 0xFB, 0x90, 0x00}, 1, 3, 44100, 2, 1152, 417},  // 128 kbit/s
        {{0xFF, 0xFB, 0x92, 0x00}, 1, 3, 44100, 2, 1152, 418},  // padded
        {{0xFF, 0xFA, 0x14, 0xC0}, 1, 3, 48000, 1, 1152, 96},   // 32 kbit/s, mono, CRC
        {{0xFF, 0xF3, 0x80, 0xC0}, 2, 3, 22050, 1, 576, 208},   // MPEG 2, 64 kbit/s
        {{0xFF, 0xE3, 0x80, 0x00}, 25, 3, 11025, 2, 576, 417},  // MPEG 2.5
        {{0xFF, 0xFD, 0xC4, 0x00}, 1, 2, 48000, 2, 1152, 768},  // layer II, 256 kbit/s
        {{0xFF, 0xFF, 0xC0, 0x00}, 1, 1, 44100, 2, 384, 416},   // layer I, 384 kbit/s
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameBytes);
        auto header = ParseMpegFrameHeader(c.bytes);
        ASSERT_TRUE(header.has_value());
        EXPECT_EQ(header->version, c.version);
        EXPECT_EQ(header->layer, c.layer);
        EXPECT_EQ(header->sampleRate, c.sampleRate);
        EXPECT_EQ(header->channels, c.channels);
        EXPECT_EQ(header->samplesPerFrame, c.samplesPerFrame);
        EXPECT_EQ(header->frameBytes, c.frameBytes);
    }
}

TEST(ParseMpegFrameHeader, RefusesWhatIsNoUsableHeader) {
    const std::uint8_t cases[][4] = {
        {0xFF, 0x7B, 0x90, 0x00},  // no sync
        {0xFF, 0xEB, 0x90, 0x00},  // reserved version
        {0xFF, 0xF9, 0x90, 0x00},  // reserved layer
        {0xFF, 0xFB, 0x00, 0x00},  // free format
        {0xFF, 0xFB, 0xF0, 0x00},  // bad bitrate
        {0xFF, 0xFB, 0x9C, 0x00},  // reserved sample rate
        {0xFF, 0xFB, 0x90, 0x02},  // reserved emphasis
    };
    for (const auto& bytes : cases) {
        EXPECT_FALSE(ParseMpegFrameHeader(bytes).has_value())
            << int(bytes[1]) << " " << int(bytes[2]);
    }
}

TEST(ReadHeaderFrameCount, FindsXingInfoAndVbriCounts) {
    auto header = *ParseMpegFrameHeader(Frame().data());
    for (const char* tag : {"Xing", "Info", "VBRI"}) {
        Bytes frame = HeaderFrame(tag, 1234);
        EXPECT_EQ(ReadHeaderFrameCount(frame, header), 1234u) << tag;
    }
    Bytes noCount = HeaderFrame("Xing", 1234);
    PutBigEndian(noCount, 40, 0x0E);  // flags without the frame count
    EXPECT_FALSE(ReadHeaderFrameCount(noCount, header).has_value());
    EXPECT_FALSE(ReadHeaderFrameCount(Frame(), header).has_value());

    // In a mono frame the side information is shorter.
    Bytes mono = Frame();
    mono[3] = 0xC0;
    std::memcpy(&mono[4 + 17], "Info", 4);
    PutBigEndian(mono, 4 + 17 + 4, 1);
    PutBigEndian(mono, 4 + 17 + 8, 77);
    EXPECT_EQ(ReadHeaderFrameCount(mono, *ParseMpegFrameHeader(mono.data())), 77u);
}

TEST(Mp3Tags, MeasuresId3v2AtTheStartAndId3v1AndApeAtTheEnd) {
    const std::uint8_t id3[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 2, 1};
    EXPECT_EQ(Id3v2TagBytes(id3), 10u + 257u);
    const std::uint8_t withFooter[10] = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 2, 1};
    EXPECT_EQ(Id3v2TagBytes(withFooter), 20u + 257u);
    const std::uint8_t badSize[10] = {'I', 'D', '3', 4, 0, 0, 0, 0x80, 0, 0};
    EXPECT_EQ(Id3v2TagBytes(badSize), 0u);
    EXPECT_EQ(Id3v2TagBytes(Frame().data()), 0u);

    Bytes id3v1(128, 'x');
    std::memcpy(id3v1.data(), "TAG", 3);
    Bytes apeFooter(32, 0);
    std::memcpy(apeFooter.data(), "APETAGEX", 8);
    apeFooter[12] = 100;   // items and footer
    apeFooter[23] = 0x80;  // a header precedes the items
    Bytes end = Frames(1);
    EXPECT_EQ(TrailingTagBytes(end), 0u);
    Append(end, id3v1);
    EXPECT_EQ(TrailingTagBytes(end), 128u);
    Bytes both = Frames(1);
    Append(both, apeFooter);
    EXPECT_EQ(TrailingTagBytes(both), 132u);
    Append(both, id3v1);
    EXPECT_EQ(TrailingTagBytes(both), 260u);
}

TEST(ScanMp3, CountsEveryFrameOfALongStream) {
    Bytes bytes = Frames(3000);  // longer than the walk's read window
    auto layout = ScanMp3(bytes);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->frameCount, 3000u);
    EXPECT_EQ(layout->sampleRate, 44100);
    EXPECT_EQ(layout->channels, 2);
    ASSERT_EQ(layout->frameOffsets.size(), 3000u);
    EXPECT_EQ(layout->frameOffsets[2999], 2999u * 417);
    EXPECT_DOUBLE_EQ(layout->Seconds(), 3000.0 * 1152 / 44100);
    EXPECT_FALSE(layout->headerFrameCount.has_value());
}

TEST(ScanMp3, SkipsTagsAndTheHeaderFrame) {
    Bytes bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 90};
    bytes.resize(100, 0xFF);  // tag contents that look like sync
    Append(bytes, HeaderFrame("Xing", 50));
    Append(bytes, Frames(50));
    Bytes ape(64, 0);
    std::memcpy(ape.data() + 32, "APETAGEX", 8);
    ape[32 + 12] = 64;  // items and footer, no header
    Append(bytes, ape);
    Bytes id3v1(128, 0xFF);
    std::memcpy(id3v1.data(), "TAG", 3);
    Append(bytes, id3v1);

    auto layout = ScanMp3(bytes);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->frameCount, 50u);
    EXPECT_EQ(layout->headerFrameCount, 50u);
    EXPECT_EQ(layout->frameOffsets.front(), 100u + 417);
}

TEST(ScanMp3, ResynchronisesOverDamageAndIgnoresACutLastFrame) {
    Bytes bytes = Frames(40);
    std::fill(bytes.begin() + 10 * 417, bytes.begin() + 10 * 417 + 100, 0);  // frame 10 lost
    Bytes junk(37, 'j');
    bytes.insert(bytes.begin() + 20 * 417, junk.begin(), junk.end());  // junk before frame 20
    Append(bytes, CutFrame());                                         // cut off

    auto layout = ScanMp3(bytes);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->frameCount, 39u);
    EXPECT_EQ(layout->frameOffsets[10], 11u * 417);
    EXPECT_EQ(layout->frameOffsets[19], 20u * 417 + 37);
}

TEST(ScanMp3, FindsNothingInWhatIsNotMpegAudio) {
    std::string text(50000, 'a');
    Bytes noise(1 << 16);
    std::mt19937 random(3);
    for (auto& byte : noise) {
        byte = std::uint8_t(random());
    }
    Bytes frameAndNoise = Frames(2);
    Append(frameAndNoise, noise);
    EXPECT_FALSE(ScanMp3(Bytes()).has_value());
    EXPECT_FALSE(ScanMp3({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}));
    EXPECT_FALSE(ScanMp3(noise).has_value());
    EXPECT_FALSE(ScanMp3(frameAndNoise).has_value());
    EXPECT_FALSE(ScanMp3(CutFrame()).has_value());
}

}  // namespace
