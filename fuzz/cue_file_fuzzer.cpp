// Cue files of any bytes: the reader never fails on them, and what it reads
// is written back and read again unchanged.
#include "app/text_codec.h"
#include "cues/cue_file.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QList<CueRecord>> cues = ParseCueFile(DecodeText(bytes));
    if (!cues) {
        return 0;
    }
    const QString written = DecodeText(EncodeText(FormatCueFile(*cues)));
    if (ParseCueFile(written) != cues) {
        std::abort();
    }
    return 0;
}
