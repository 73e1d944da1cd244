// MP3 frame walks and WAV headers of any bytes: every frame found lies inside
// the file, in order, and a WAV's samples lie inside the file. Telling the
// kind of any bytes never reads past them.
#include "engine/decoders/audio_kind.h"
#include "engine/decoders/mp3_length.h"
#include "engine/decoders/wav_header.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (const std::optional<Mp3Layout> layout = ScanMp3(bytes)) {
        if (layout->frameCount != layout->frameOffsets.size() || layout->sampleRate <= 0) {
            std::abort();
        }
        for (std::size_t i = 0; i < layout->frameOffsets.size(); ++i) {
            const std::uint64_t offset = layout->frameOffsets[i];
            if (offset + 4 > size || (i > 0 && offset <= layout->frameOffsets[i - 1])) {
                std::abort();
            }
        }
    }
    if (const std::optional<WavFormat> wav = ParseWavHeader(bytes, size)) {
        if (wav->dataOffset + wav->dataBytes > size || wav->blockAlign <= 0 ||
            wav->dataBytes % wav->blockAlign != 0) {
            std::abort();
        }
    }
    DetectAudioKind(ReadFromBytes(bytes), size);
    return 0;
}
