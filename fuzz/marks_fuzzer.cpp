// CUE sheets, label files and WAV cue chunks of any bytes: none crashes its
// reader; a sheet written back unedited keeps its bytes, and one with a cue
// point added reads back with that track.
#include "app/text_codec.h"
#include "cues/cue_marks.h"
#include "cues/cue_sheet.h"
#include "engine/decoders/wav_header.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ParseLabelFile(DecodeText(bytes));
    ParseWavCuePoints(ReadFromBytes({data, size}), size);
    const std::optional<CueSheet> sheet = ParseCueSheet(bytes);
    if (!sheet) {
        return 0;
    }
    QList<CueRecord> cues = ListedCues(*sheet);
    if (FormatCueSheet(UpdateCueSheet(*sheet, cues)) != bytes) {
        std::abort();
    }
    cues.append({61, QStringLiteral("00:01:01 - \"neu\"")});
    const std::optional<CueSheet> again =
        ParseCueSheet(FormatCueSheet(UpdateCueSheet(*sheet, cues)));
    if (!again || again->tracks.size() != cues.size() ||
        again->tracks.last().listed.seconds != 61) {
        std::abort();
    }
    return 0;
}
