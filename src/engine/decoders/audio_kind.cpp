#include "engine/decoders/audio_kind.h"

#include "engine/decoders/mp3_length.h"

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> ReadBytes(const ReadAt& read, std::uint64_t offset, std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    bytes.resize(read(offset, bytes.data(), size));
    return bytes;
}

bool Starts(const std::vector<std::uint8_t>& bytes, std::size_t at, const char* text) {
    const std::size_t size = std::strlen(text);
    return bytes.size() >= at + size && std::memcmp(bytes.data() + at, text, size) == 0;
}

// Length of the ADTS frame whose header starts the bytes; 0 when none does.
std::size_t AdtsFrameBytes(const std::vector<std::uint8_t>& b, std::size_t at) {
    if (b.size() < at + 7 || b[at] != 0xFF || (b[at + 1] & 0xF6) != 0xF0) {
        return 0;  // no sync, or a layer other than 0 (that is MPEG audio)
    }
    return std::size_t(b[at + 3] & 3) << 11 | std::size_t(b[at + 4]) << 3 | b[at + 5] >> 5;
}

// The codec of an Ogg stream, from its first page's first packet.
AudioKind OggKind(const std::vector<std::uint8_t>& page) {
    if (page.size() < 27) {
        return AudioKind::kOther;
    }
    const std::size_t packet = 27 + std::size_t(page[26]);
    return Starts(page, packet, "\x01vorbis") ? AudioKind::kVorbis
           : Starts(page, packet, "OpusHead") ? AudioKind::kOpus
                                              : AudioKind::kOther;
}

}  // namespace

AudioKind DetectAudioKind(const ReadAt& read, std::uint64_t fileSize) {
    const std::vector<std::uint8_t> start = ReadBytes(read, 0, 512);
    if ((Starts(start, 0, "RIFF") || Starts(start, 0, "RF64") || Starts(start, 0, "BW64")) &&
        Starts(start, 8, "WAVE")) {
        return AudioKind::kWav;
    }
    if (Starts(start, 0, "OggS")) {
        return OggKind(start);
    }
    if (Starts(start, 4, "ftyp")) {
        return AudioKind::kMp4;
    }
    std::uint64_t offset = 0;
    std::vector<std::uint8_t> tag = start;
    for (int tags = 0; tags < kMostId3v2Tags && tag.size() >= 10 && Id3v2TagBytes(tag.data());
         ++tags, tag = ReadBytes(read, offset, 10)) {
        offset += Id3v2TagBytes(tag.data());
    }
    // Room for the longest ADTS frame and the next one's header.
    const std::vector<std::uint8_t> stream = ReadBytes(read, offset, 8192 + 7);
    if (Starts(stream, 0, "fLaC")) {
        return AudioKind::kFlac;
    }
    // Two ADTS frames in a row, or one filling the file.
    const std::size_t first = AdtsFrameBytes(stream, 0);
    if (first >= 7 && (AdtsFrameBytes(stream, first) > 0 || offset + first == fileSize)) {
        return AudioKind::kAdts;
    }
    return AudioKind::kOther;
}
