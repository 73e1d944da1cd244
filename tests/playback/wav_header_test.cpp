#include "engine/decoders/wav_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(std::uint8_t(value >> (8 * i)));
    }
}

void PutTag(Bytes& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(std::uint8_t(tag[i]));
    }
}

struct Fmt {
    int tag = 1, channels = 2, rate = 44100, bits = 16;
    int blockAlign = -1;  // channels * bits / 8 unless given
    int subFormat = 0;    // for the extensible tag 0xFFFE
};

// A WAV header: fmt chunk, an optional chunk before the data, the data header.
Bytes Header(const Fmt& f, std::uint32_t dataSize, bool listChunk = false) {
    Bytes out;
    PutTag(out, "RIFF");
    PutLe(out, 0, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, f.subFormat ? 40 : 16, 4);
    PutLe(out, f.tag, 2);
    PutLe(out, f.channels, 2);
    PutLe(out, f.rate, 4);
    int align = f.blockAlign >= 0 ? f.blockAlign : f.channels * f.bits / 8;
    PutLe(out, f.rate * align, 4);
    PutLe(out, align, 2);
    PutLe(out, f.bits, 2);
    if (f.subFormat) {
        PutLe(out, 22, 2);
        PutLe(out, f.bits, 2);
        PutLe(out, 3, 4);
        PutLe(out, f.subFormat, 2);
        out.resize(out.size() + 14, 0);
    }
    if (listChunk) {
        PutTag(out, "LIST");
        PutLe(out, 5, 4);
        out.resize(out.size() + 6, 'x');  // five bytes and the pad byte
    }
    PutTag(out, "data");
    PutLe(out, dataSize, 4);
    return out;
}

TEST(ParseWavHeader, FindsTheSamplesAndTheirFormat) {
    Bytes plain = Header({}, 4000);
    auto format = ParseWavHeader(plain, plain.size() + 4000);
    ASSERT_TRUE(format.has_value());
    EXPECT_FALSE(format->isFloat);
    EXPECT_EQ(format->bitsPerSample, 16);
    EXPECT_EQ(format->channels, 2);
    EXPECT_EQ(format->sampleRate, 44100);
    EXPECT_EQ(format->dataOffset, 44u);
    EXPECT_EQ(format->dataBytes, 4000u);

    Bytes listed = Header({.channels = 1, .bits = 24}, 3000, true);
    format = ParseWavHeader(listed, listed.size() + 3000);
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->dataOffset, 44u + 14);
    EXPECT_EQ(format->blockAlign, 3);

    Bytes extensible = Header({.tag = 0xFFFE, .bits = 32, .subFormat = 3}, 800);
    format = ParseWavHeader(extensible, extensible.size() + 800);
    ASSERT_TRUE(format.has_value());
    EXPECT_TRUE(format->isFloat);
}

TEST(ParseWavHeader, TrustsTheFileOverAnUnfinishedDataSize) {
    Bytes header = Header({}, 0xFFFFFFFF);
    auto format = ParseWavHeader(header, header.size() + 1002);  // half a frame too many
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->dataBytes, 1000u);
}

TEST(ParseWavHeader, RefusesWhatItCannotPlay) {
    struct Case {
        const char* what;
        Bytes bytes;
    };
    Bytes notRiff = Header({}, 100);
    std::memcpy(notRiff.data(), "RIFX", 4);
    Bytes noData = Header({}, 100);
    noData.resize(noData.size() - 8);
    const Case cases[] = {
        {"not RIFF", notRiff},
        {"no data chunk", noData},
        {"three channels", Header({.channels = 3}, 100)},
        {"12 bits", Header({.bits = 12}, 100)},
        {"ADPCM", Header({.tag = 2, .bits = 4}, 100)},
        {"wrong block size", Header({.blockAlign = 3}, 100)},
        {"float of 16 bits", Header({.tag = 3}, 100)},
        {"too short", Bytes{'R', 'I', 'F', 'F'}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ParseWavHeader(c.bytes, c.bytes.size() + 100).has_value()) << c.what;
    }
}

}  // namespace
