#include "engine/decoders/wav_header.h"

#include <algorithm>
#include <cstring>
#include <functional>
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

// Hands each chunk of a RIFF or RF64 WAVE file to `visit` (its id, where its
// body starts, its size; a data chunk's size from the ds64 chunk where RF64
// keeps it there) until `visit` returns false or the list ends. False when
// the file is no WAVE file or its chunk list cannot be read.
bool WalkChunks(const ReadAt& read, std::uint64_t fileSize,
                const std::function<bool(const std::uint8_t* id, std::uint64_t body,
                                         std::uint64_t size)>& visit) {
    std::uint8_t head[12];
    if (!ReadFully(read, 0, head, sizeof head) || std::memcmp(head + 8, "WAVE", 4) != 0) {
        return false;
    }
    const bool rf64 = std::memcmp(head, "RF64", 4) == 0 || std::memcmp(head, "BW64", 4) == 0;
    if (!rf64 && std::memcmp(head, "RIFF", 4) != 0) {
        return false;
    }
    std::optional<std::uint64_t> ds64DataSize;
    std::uint64_t offset = 12;
    for (int chunks = 0; chunks < kMostChunks && offset + 8 <= fileSize; ++chunks) {
        std::uint8_t chunk[8];
        if (!ReadFully(read, offset, chunk, sizeof chunk)) {
            return false;
        }
        std::uint64_t size = Le32(chunk + 4);
        const std::uint64_t body = offset + 8;
        if (rf64 && std::memcmp(chunk, "ds64", 4) == 0) {
            std::uint8_t d[16];
            if (size < 16 || !ReadFully(read, body, d, sizeof d)) {
                return false;
            }
            ds64DataSize = Le64(d + 8);
        } else if (rf64 && std::memcmp(chunk, "data", 4) == 0 && size == kSizeInDs64) {
            size = ds64DataSize.value_or(0);
        }
        if (!visit(chunk, body, size)) {
            return true;
        }
        offset = body + size + (size & 1);
    }
    return true;
}

}  // namespace

std::optional<WavFormat> ParseWavHeader(const ReadAt& read, std::uint64_t fileSize) {
    WavFormat format;
    bool haveFormat = false, found = false;
    const bool walked = WalkChunks(
        read, fileSize, [&](const std::uint8_t* id, std::uint64_t body, std::uint64_t size) {
            if (std::memcmp(id, "fmt ", 4) == 0) {
                std::uint8_t f[40];
                haveFormat = size >= 16 && body + size <= fileSize &&
                             ReadFully(read, body, f, std::size_t(size < 40 ? size : 40)) &&
                             ParseFormat(f, size, format);
                return haveFormat;  // a damaged format ends the walk
            }
            if (std::memcmp(id, "data", 4) != 0) {
                return true;
            }
            if (haveFormat && body <= fileSize) {
                // Writers that could not finish leave the size at 0, too large or
                // at its maximum: the samples then run to the end of the file.
                const std::uint64_t available = fileSize - body;
                const std::uint64_t bytes = size == 0 || size > available ? available : size;
                format.dataOffset = body;
                format.dataBytes = bytes - bytes % std::uint64_t(format.blockAlign);
                found = true;
            }
            return false;
        });
    return walked && found ? std::optional(format) : std::nullopt;
}

std::optional<WavFormat> ParseWavHeader(std::span<const std::uint8_t> start,
                                        std::uint64_t fileSize) {
    return ParseWavHeader(ReadFromBytes(start), fileSize);
}

std::vector<WavCuePoint> ParseWavCuePoints(const ReadAt& read, std::uint64_t fileSize) {
    // Recorders write a few hundred marks; a chunk larger than this is no cue list.
    constexpr std::uint64_t kLargestChunk = 16 << 20;
    std::vector<std::uint8_t> cue, notes;
    WalkChunks(read, fileSize, [&](const std::uint8_t* id, std::uint64_t body, std::uint64_t size) {
        const bool isCue = std::memcmp(id, "cue ", 4) == 0;
        const bool isList = std::memcmp(id, "LIST", 4) == 0;
        if ((isCue || isList) && size <= kLargestChunk && body + size <= fileSize) {
            std::vector<std::uint8_t> bytes(size);
            if (ReadFully(read, body, bytes.data(), bytes.size()) &&
                (isCue || (size >= 4 && std::memcmp(bytes.data(), "adtl", 4) == 0))) {
                (isCue ? cue : notes) = std::move(bytes);
            }
        }
        // Samples that run to the end of the file end the walk.
        return std::memcmp(id, "data", 4) != 0 || (size != 0 && body + size <= fileSize);
    });
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
