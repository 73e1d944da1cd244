#include "engine/decoders/wav_header.h"

#include <cstring>

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

int Le16(const std::uint8_t* p) {
    return p[1] << 8 | p[0];
}

constexpr int kPcm = 1;
constexpr int kFloat = 3;
constexpr int kExtensible = 0xFFFE;

}  // namespace

std::optional<WavFormat> ParseWavHeader(std::span<const std::uint8_t> start,
                                        std::uint64_t fileSize) {
    if (start.size() < 12 || std::memcmp(start.data(), "RIFF", 4) != 0 ||
        std::memcmp(start.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    WavFormat format;
    bool haveFormat = false;
    std::uint64_t offset = 12;
    while (offset + 8 <= start.size()) {
        const std::uint8_t* chunk = start.data() + offset;
        std::uint64_t size = Le32(chunk + 4);
        std::uint64_t body = offset + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || body + size > start.size()) {
                return std::nullopt;
            }
            const std::uint8_t* f = start.data() + body;
            int tag = Le16(f);
            if (tag == kExtensible && size >= 40) {
                tag = Le16(f + 24);  // the first two bytes of the sub-format GUID
            }
            format.channels = Le16(f + 2);
            format.sampleRate = int(Le32(f + 4));
            format.blockAlign = Le16(f + 12);
            format.bitsPerSample = Le16(f + 14);
            format.isFloat = tag == kFloat;
            bool intOk = tag == kPcm && (format.bitsPerSample == 8 || format.bitsPerSample == 16 ||
                                         format.bitsPerSample == 24 || format.bitsPerSample == 32);
            bool floatOk =
                tag == kFloat && (format.bitsPerSample == 32 || format.bitsPerSample == 64);
            if (!(intOk || floatOk) || format.channels < 1 || format.channels > 2 ||
                format.sampleRate < 1000 || format.sampleRate > 768000 ||
                format.blockAlign != format.channels * format.bitsPerSample / 8) {
                return std::nullopt;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || body > fileSize) {
                return std::nullopt;
            }
            // Writers that could not finish leave the size too large (or at
            // its maximum): the samples then run to the end of the file.
            std::uint64_t available = fileSize - body;
            std::uint64_t bytes = size < available ? size : available;
            format.dataOffset = body;
            format.dataBytes = bytes - bytes % format.blockAlign;
            return format;
        }
        offset = body + size + (size & 1);
    }
    return std::nullopt;
}
