#include "engine/decoders/wav_header.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

std::uint64_t Le64(const std::uint8_t* p) {
    return std::uint64_t(Le32(p + 4)) << 32 | Le32(p);
}

int Le16(const std::uint8_t* p) {
    return p[1] << 8 | p[0];
}

constexpr int kPcm = 1;
constexpr int kFloat = 3;
constexpr int kExtensible = 0xFFFE;
constexpr int kMostChannels = 64;
// Recorders put a few chunks before the samples; a file with more is not
// worth walking.
constexpr int kMostChunks = 4096;
constexpr std::uint32_t kSizeInDs64 = 0xFFFFFFFF;

bool ReadFully(const ReadAt& read, std::uint64_t offset, std::uint8_t* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const std::size_t got = read(offset + done, buffer + done, size - done);
        if (got == 0) {
            return false;
        }
        done += got;
    }
    return true;
}

// Reads the fmt chunk's body (at least 16 bytes of it) into the format.
bool ParseFormat(const std::uint8_t* f, std::uint64_t size, WavFormat& format) {
    int tag = Le16(f);
    if (tag == kExtensible && size >= 40) {
        tag = Le16(f + 24);  // the first two bytes of the sub-format GUID
    }
    format.channels = Le16(f + 2);
    format.sampleRate = int(Le32(f + 4));
    format.blockAlign = Le16(f + 12);
    format.bitsPerSample = Le16(f + 14);
    format.isFloat = tag == kFloat;
    const int bits = format.bitsPerSample;
    const bool intOk = tag == kPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool floatOk = tag == kFloat && (bits == 32 || bits == 64);
    return (intOk || floatOk) && format.channels >= 1 && format.channels <= kMostChannels &&
           format.sampleRate >= 1000 && format.sampleRate <= 768000 &&
           format.blockAlign == format.channels * bits / 8;
}

}  // namespace

std::optional<WavFormat> ParseWavHeader(const ReadAt& read, std::uint64_t fileSize) {
    std::uint8_t head[12];
    if (!ReadFully(read, 0, head, sizeof head) || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    const bool rf64 = std::memcmp(head, "RF64", 4) == 0 || std::memcmp(head, "BW64", 4) == 0;
    if (!rf64 && std::memcmp(head, "RIFF", 4) != 0) {
        return std::nullopt;
    }
    WavFormat format;
    bool haveFormat = false;
    std::optional<std::uint64_t> ds64DataSize;
    std::uint64_t offset = 12;
    for (int chunks = 0; chunks < kMostChunks && offset + 8 <= fileSize; ++chunks) {
        std::uint8_t chunk[8];
        if (!ReadFully(read, offset, chunk, sizeof chunk)) {
            return std::nullopt;
        }
        std::uint64_t size = Le32(chunk + 4);
        const std::uint64_t body = offset + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            std::uint8_t f[40];
            if (size < 16 || body + size > fileSize ||
                !ReadFully(read, body, f, std::size_t(size < 40 ? size : 40)) ||
                !ParseFormat(f, size, format)) {
                return std::nullopt;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "ds64", 4) == 0 && rf64) {
            std::uint8_t d[16];
            if (size < 16 || !ReadFully(read, body, d, sizeof d)) {
                return std::nullopt;
            }
            ds64DataSize = Le64(d + 8);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || body > fileSize) {
                return std::nullopt;
            }
            if (rf64 && size == kSizeInDs64) {
                size = ds64DataSize.value_or(0);
            }
            // Writers that could not finish leave the size at 0, too large or
            // at its maximum: the samples then run to the end of the file.
            const std::uint64_t available = fileSize - body;
            const std::uint64_t bytes = size == 0 || size > available ? available : size;
            format.dataOffset = body;
            format.dataBytes = bytes - bytes % std::uint64_t(format.blockAlign);
            return format;
        }
        offset = body + size + (size & 1);
    }
    return std::nullopt;
}

std::optional<WavFormat> ParseWavHeader(std::span<const std::uint8_t> start,
                                        std::uint64_t fileSize) {
    return ParseWavHeader(ReadFromBytes(start), fileSize);
}

std::vector<WavCuePoint> ParseWavCuePoints(const ReadAt& read, std::uint64_t fileSize) {
    // Recorders write a few hundred marks; a chunk larger than this is no cue list.
    constexpr std::uint64_t kLargestChunk = 16 << 20;
    std::uint8_t head[12];
    if (!ReadFully(read, 0, head, sizeof head) || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return {};
    }
    const bool rf64 = std::memcmp(head, "RF64", 4) == 0 || std::memcmp(head, "BW64", 4) == 0;
    std::optional<std::uint64_t> ds64DataSize;
    std::vector<std::uint8_t> cue, notes;
    std::uint64_t offset = 12;
    for (int chunks = 0; chunks < kMostChunks && offset + 8 <= fileSize; ++chunks) {
        std::uint8_t chunk[8];
        if (!ReadFully(read, offset, chunk, sizeof chunk)) {
            break;
        }
        std::uint64_t size = Le32(chunk + 4);
        const std::uint64_t body = offset + 8;
        const bool isCue = std::memcmp(chunk, "cue ", 4) == 0;
        const bool isList = std::memcmp(chunk, "LIST", 4) == 0;
        if (rf64 && std::memcmp(chunk, "ds64", 4) == 0 && size >= 16) {
            std::uint8_t d[16];
            if (ReadFully(read, body, d, sizeof d)) {
                ds64DataSize = Le64(d + 8);
            }
        } else if (std::memcmp(chunk, "data", 4) == 0 && rf64 && size == kSizeInDs64) {
            size = ds64DataSize.value_or(0);
        } else if ((isCue || isList) && size <= kLargestChunk && body + size <= fileSize) {
            std::vector<std::uint8_t> bytes(size);
            if (ReadFully(read, body, bytes.data(), bytes.size()) &&
                (isCue || (size >= 4 && std::memcmp(bytes.data(), "adtl", 4) == 0))) {
                (isCue ? cue : notes) = std::move(bytes);
            }
        }
        // Samples that run to the end of the file end the walk.
        if (std::memcmp(chunk, "data", 4) == 0 && (size == 0 || body + size > fileSize)) {
            break;
        }
        offset = body + size + (size & 1);
    }
    std::map<std::uint32_t, std::string> names;
    for (std::size_t at = 4; at + 8 <= notes.size();) {
        const std::uint32_t size = Le32(&notes[at + 4]);
        if (size > notes.size() - at - 8) {
            break;
        }
        if (std::memcmp(&notes[at], "labl", 4) == 0 && size >= 4) {
            const char* text = reinterpret_cast<const char*>(&notes[at + 12]);
            names[Le32(&notes[at + 8])] = std::string(text, std::find(text, text + size - 4, '\0'));
        }
        at += 8 + size + (size & 1);
    }
    std::vector<WavCuePoint> points;
    const std::size_t count =
        cue.size() >= 4 ? std::min<std::size_t>(Le32(cue.data()), (cue.size() - 4) / 24) : 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* point = &cue[4 + i * 24];
        const auto name = names.find(Le32(point));
        points.push_back({Le32(point + 20), name == names.end() ? std::string() : name->second});
    }
    return points;
}
