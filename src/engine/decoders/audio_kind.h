#pragma once

#include "engine/decoders/file_reader.h"

#include <cstdint>

// What a file holds, told by its first bytes, whatever its name.
enum class AudioKind { kWav, kFlac, kVorbis, kOpus, kMp4, kAdts, kOther };

// Looks at the start of a file of fileSize bytes (after any ID3v2 tags, which
// some writers put before FLAC and AAC streams too). kOther is left to the
// MP3 frame walk, which refuses what is not MPEG audio.
AudioKind DetectAudioKind(const ReadAt& read, std::uint64_t fileSize);
